#include "platform/program.h"

namespace
{
HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
} // namespace

HINSTANCE AppInstance()
{
    return g_instance ? g_instance : GetModuleHandleW(nullptr);
}
void SetAppInstance(HINSTANCE instance)
{
    g_instance = instance;
}

HWND MainWindow()
{
    return g_mainWindow;
}
void SetMainWindow(HWND window)
{
    g_mainWindow = window;
}
