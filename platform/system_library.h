// Functions of system libraries that are loaded at first use, from the
// system folder only. Imported the usual way, they would be loaded at start
// together with what they depend on, by a search that begins beside the
// program, before anything could narrow it.
#ifndef JOTWISE_PLATFORM_SYSTEM_LIBRARY_H
#define JOTWISE_PLATFORM_SYSTEM_LIBRARY_H

#include <windows.h>

// The function, or null when the library or the function is missing.
FARPROC SystemFunction(const wchar_t* library, const char* name);

template <typename Function> Function SystemFunctionAs(const wchar_t* library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(library, name)));
}

#endif
