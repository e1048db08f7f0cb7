#include <windows.h>

#include "app/main_window.h"

namespace
{

// Libraries come from the system folder only: a file planted beside the
// program or in the current folder under a system library's name (shcore,
// version, uxtheme, ...) must never be loaded. Looked up, as Windows before
// 8 (without the update) lacks it.
void LoadLibrariesFromSystemOnly()
{
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC entry = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (entry)
        reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(entry))(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Without it, at least the current folder leaves the search.
    SetDllDirectoryW(L"");
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LoadLibrariesFromSystemOnly();
    return RunJotwise(instance);
}
