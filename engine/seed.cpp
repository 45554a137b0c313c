#include "engine/seed.h"

#include "engine/md5.h"
#include "engine/random_source.h"

namespace {

void FeedNumber(Md5& digest, std::uint32_t value)
{
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    digest.Update(bytes, sizeof bytes);
}

// Removable drives from C: onward add their label, file system and serial
// number; A: and B: are never examined.
void FeedRemovableDrives(Md5& digest, SeedMaterial& material)
{
    const std::uint32_t drives = material.LogicalDrives();
    for (int position = 2; position < 32; ++position) {
        if ((drives & (1u << position)) == 0) {
            continue;
        }
        const char rootPath[4] = {static_cast<char>('A' + position), ':', '\\', '\0'};
        if (material.DriveType(rootPath) != SeedMaterial::kRemovableDrive) {
            continue;
        }
        char volumeName[SeedMaterial::kVolumeBufferSize] = {};
        char fileSystemName[SeedMaterial::kVolumeBufferSize] = {};
        std::uint32_t serialNumber = 0;
        if (!material.VolumeInformation(rootPath, volumeName, fileSystemName, serialNumber)) {
            continue;
        }
        digest.Update(volumeName, SeedMaterial::kVolumeBufferSize - 1);
        digest.Update(fileSystemName, SeedMaterial::kVolumeBufferSize - 1);
        FeedNumber(digest, serialNumber);
    }
}

} // namespace

std::uint32_t ComputeSeed(SeedMaterial& material)
{
    Md5 digest;
    FeedRemovableDrives(digest, material);
    FeedNumber(digest, material.TickCount());
    FeedNumber(digest, material.ProcessId());
    FeedNumber(digest, material.ThreadId());
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!material.CursorPosition(x, y)) {
        x = 0;
        y = 0;
    }
    FeedNumber(digest, static_cast<std::uint32_t>(x));
    FeedNumber(digest, static_cast<std::uint32_t>(y));

    std::uint32_t seed = 0;
    for (const std::uint8_t byte : digest.Finish()) {
        seed += byte;
    }
    return seed;
}

void SeedRandomSource(SeedMaterial& material)
{
    ThreadRandomSource().Seed(ComputeSeed(material));
}
