#include "app/app_state.h"

namespace
{
AppState* g_state = nullptr;
HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
} // namespace

AppState* App()
{
    return g_state;
}
void SetApp(AppState* state)
{
    g_state = state;
}

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

AppLock::AppLock()
    : state_(App())
{
    if (state_)
        EnterCriticalSection(&state_->lock);
}

AppLock::~AppLock()
{
    if (state_)
        LeaveCriticalSection(&state_->lock);
}

NoteRecord* NoteRecordOf(HWND window)
{
    if (!window)
        return nullptr;
    return reinterpret_cast<NoteRecord*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
