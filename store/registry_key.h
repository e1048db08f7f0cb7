// One open key under HKEY_CURRENT_USER, closed when the object goes.
#ifndef JOTWISE_STORE_REGISTRY_KEY_H
#define JOTWISE_STORE_REGISTRY_KEY_H

#include <windows.h>

class RegistryKey
{
public:
    // Opens (creating when missing) HKCU\<basePath>\<subkey>.
    RegistryKey(const char* basePath, const char* subkey);
    // Takes over a key the caller opened (null for none).
    explicit RegistryKey(HKEY key)
        : key_(key)
    {
    }
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    virtual HKEY Open(HKEY root, const char* path);

    HKEY Handle() const { return key_; }
    bool WriteString(const char* name, const char* text);
    bool WriteBinary(const char* name, const void* data, DWORD size);
    bool ReadBinary(const char* name, void* buffer, DWORD capacity);
    // With no buffer: the stored size in bytes, terminator included.
    // With one: the length copied (at most capacity - 1 characters).
    // 0 for a missing, empty or unreadable value.
    DWORD ReadString(const char* name, char* buffer, DWORD capacity);
    bool DeleteValue(const char* name);
    // The system's code for the last open or write that failed.
    LONG LastError() const { return error_; }
    // A REG_DWORD value; false when missing or of another type or size.
    bool ReadDword(const char* name, DWORD* value);
    bool WriteDword(const char* name, DWORD value);

private:
    bool Written(LONG result);

    HKEY key_ = nullptr;
    LONG error_ = ERROR_SUCCESS;
};

#endif
