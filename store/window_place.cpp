#include "store/window_place.h"

#include "store/registry_key.h"
#include "store/store.h"

bool ReadWindowPlace(const wchar_t* name, RECT* place)
{
    RegistryKey key(kStoreBase, kStoreKey);
    RECT stored{};
    DWORD size = sizeof(stored);
    DWORD type = 0;
    if (!key.Handle()
        || RegQueryValueExW(key.Handle(), name, nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size)
            != ERROR_SUCCESS
        || type != REG_BINARY || size != sizeof(stored))
        return false;
    if (stored.right <= stored.left || stored.bottom <= stored.top)
        return false;
    *place = stored;
    return true;
}

void SaveWindowPlace(const wchar_t* name, const RECT& place)
{
    RegistryKey key(kStoreBase, kStoreKey);
    if (key.Handle())
        RegSetValueExW(
            key.Handle(), name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&place), sizeof(place));
}
