#pragma once

#include <cstdint>

// Machine and moment data that a seed is digested from. The system's
// material is in platform/ (SystemSeedMaterial); tests supply their own.
class SeedMaterial {
public:
    static constexpr unsigned kRemovableDrive = 2;
    static constexpr int kVolumeBufferSize = 261;

    virtual ~SeedMaterial() = default;

    // Bit 0 stands for A:, bit 1 for B: and so on.
    virtual std::uint32_t LogicalDrives() = 0;
    // Given "X:\", the kind of drive; kRemovableDrive selects it.
    virtual unsigned DriveType(const char* rootPath) = 0;
    // Fills the two zeroed buffers of kVolumeBufferSize bytes and the serial
    // number; false when the volume cannot be read (a drive without a medium).
    virtual bool VolumeInformation(const char* rootPath, char* volumeName, char* fileSystemName,
                                   std::uint32_t& serialNumber) = 0;
    virtual std::uint32_t TickCount() = 0;
    virtual std::uint32_t ProcessId() = 0;
    virtual std::uint32_t ThreadId() = 0;
    // False when the pointer's position cannot be read; it then counts as 0, 0.
    virtual bool CursorPosition(std::int32_t& x, std::int32_t& y) = 0;
};

// The seed for the material: the sum of the 16 bytes of its MD5 digest, so a
// number from 0 to 4080.
std::uint32_t ComputeSeed(SeedMaterial& material);

// Seeds the calling thread's RandomSource from the material.
void SeedRandomSource(SeedMaterial& material);
