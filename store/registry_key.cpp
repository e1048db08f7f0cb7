// Placeholder until the registry store is built.
#include "store/registry_key.h"

RegistryKey::RegistryKey(const char*, const char*) {}
RegistryKey::~RegistryKey() {}
HKEY RegistryKey::Open(HKEY, const char*) { return nullptr; }
bool RegistryKey::WriteString(const char*, const char*) { return false; }
bool RegistryKey::WriteBinary(const char*, const void*, DWORD) { return false; }
bool RegistryKey::ReadBinary(const char*, void*, DWORD) { return false; }
DWORD RegistryKey::ReadString(const char*, char*, DWORD) { return 0; }
bool RegistryKey::DeleteValue(const char*) { return false; }
