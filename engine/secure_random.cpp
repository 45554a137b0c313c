#include "engine/secure_random.h"

void SecureRandomSource::Refill()
{
    if (!SystemRandomBytes(buffer.data(), buffer.size())) {
        used = buffer.size();
        throw RandomUnavailable();
    }
    used = 0;
}
