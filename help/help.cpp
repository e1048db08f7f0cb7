// Placeholder until help is built.
#include "help/help.h"

void ShowHelp(HWND, int, DWORD) {}
char* GetModuleDirectory(HINSTANCE, char* buffer) { return buffer; }
void DirectoryOfPath(const char*, char* buffer, int) { buffer[0] = 0; }
void OpenHomePage(HWND) {}
