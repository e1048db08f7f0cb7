#include "notes/app_state.h"

namespace
{
AppState* g_state = nullptr;
} // namespace

AppState* App()
{
    return g_state;
}
void SetApp(AppState* state)
{
    g_state = state;
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
