#pragma once

#include <optional>

// The user's options between runs: 32-bit numbers under the per-user key
// SOFTWARE\Tavolin\Sorvane. Nothing is cached; every access opens the key,
// does its one read or write and closes it again. The store only moves
// numbers: what they mean and their defaults belong to its callers.
class SettingsStore {
public:
    // The stored number; nothing when the key or value cannot be read or the
    // value holds more than four bytes. A shorter value gives its bytes as
    // the low bytes of the number.
    static std::optional<int> ReadValue(const char* name);
    // Stores the number as REG_DWORD, creating the key when needed. Failures
    // are silent: the option is then simply not kept.
    static void WriteValue(const char* name, int value);

    // The key's path below HKEY_CURRENT_USER.
    static const char* KeyPath();
};
