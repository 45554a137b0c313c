#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

#include "platform/system_seed_material.h"

namespace {

// A POSIX stand-in with the same shape as the Windows material: no drives are
// examined and there is no pointer to ask.
class PosixSeedMaterial final : public SeedMaterial {
public:
    std::uint32_t LogicalDrives() override { return 0; }
    unsigned DriveType(const char*) override { return 0; }
    bool VolumeInformation(const char*, char*, char*, std::uint32_t&) override { return false; }
    std::uint32_t TickCount() override
    {
        const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count());
    }
    std::uint32_t ProcessId() override { return static_cast<std::uint32_t>(getpid()); }
    std::uint32_t ThreadId() override { return static_cast<std::uint32_t>(syscall(SYS_gettid)); }
    bool CursorPosition(std::int32_t&, std::int32_t&) override { return false; }
};

} // namespace

SeedMaterial& SystemSeedMaterial()
{
    static PosixSeedMaterial material;
    return material;
}
