#pragma once

#include <cstddef>

// Fills the buffer from the operating system's cryptographic generator
// (BCryptGenRandom with the system-preferred generator on Windows, getrandom
// elsewhere). Answers false when the generator fails; the buffer is then
// unusable. Fits RandomBytes, the byte source of SecureRandomSource.
bool SystemRandomBytes(void* buffer, std::size_t size);
