#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <cstdint>

#include "platform/system_random.h"

bool SystemRandomBytes(void* buffer, std::size_t size)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 20));
        const NTSTATUS status =
            BCryptGenRandom(nullptr, out, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        if (status < 0) {
            return false;
        }
        out += chunk;
        size -= chunk;
    }
    return true;
}
