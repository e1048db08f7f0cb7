/* Copied beside Jotwise.exe and into its current folder under the names of
   system libraries: if it is ever loaded, it leaves its path in the store's
   parent key, where the test looks. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH] = {0};
        GetModuleFileNameW(instance, path, MAX_PATH);
        HKEY key = NULL;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KOVA\\JotwisePlanted", 0, NULL, 0, KEY_SET_VALUE,
                NULL, &key, NULL)
            == ERROR_SUCCESS) {
            DWORD one = 1;
            RegSetValueExW(key, path, 0, REG_DWORD, (const BYTE*)&one, sizeof(one));
            RegCloseKey(key);
        }
    }
    return TRUE;
}
