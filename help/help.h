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

#endif
