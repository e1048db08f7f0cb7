#include "platform/system_library.h"

#include <string>

FARPROC SystemFunction(const wchar_t* library, const char* name)
{
    // Kept loaded for the life of the process, like an import.
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) {
        // Windows without the search flags: the full path does the same.
        wchar_t folder[MAX_PATH] = {};
        UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return nullptr;
        module = LoadLibraryW((std::wstring(folder, length) + L"\\" + library).c_str());
    }
    return module ? GetProcAddress(module, name) : nullptr;
}
