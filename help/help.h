// The help file and the home page.
#ifndef JOTWISE_HELP_HELP_H
#define JOTWISE_HELP_HELP_H

#include <windows.h>

enum HelpRequest { kHelpDefaultTopic = 0, kHelpContext = 1 };

void ShowHelp(HWND asker, int kind, DWORD context);
char* GetModuleDirectory(HINSTANCE module, char* buffer);
// The directory part of a path, safe for double-byte characters.
void DirectoryOfPath(const char* path, char* buffer, int size);
void OpenHomePage(HWND mainWindow);

// The signature of HtmlHelpW in hhctrl.ocx.
using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);
// Lets a test see what ShowHelp asks of the help system; null puts the
// library's own entry back.
void SetHtmlHelpForTesting(HtmlHelpFunction function);

#endif
