#include "app/settings_store.h"

#include <windows.h>

#include <cstring>

#include "toolkit/unique_handles.h"

const char* SettingsStore::KeyPath()
{
    return "SOFTWARE\\Tavolin\\Sorvane";
}

std::optional<int> SettingsStore::ReadValue(const char* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const UniqueKey key(opened);
    unsigned char data[4] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key.get(), name, nullptr, nullptr, data, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    int value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

void SettingsStore::WriteValue(const char* name, int value)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const UniqueKey key(opened);
    const DWORD data = static_cast<DWORD>(value);
    RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof data);
}
