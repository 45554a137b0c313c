#include <windows.h>

#include "platform/system_seed_material.h"

namespace {

class Win32SeedMaterial final : public SeedMaterial {
public:
    std::uint32_t LogicalDrives() override { return GetLogicalDrives(); }

    unsigned DriveType(const char* rootPath) override { return GetDriveTypeA(rootPath); }

    bool VolumeInformation(const char* rootPath, char* volumeName, char* fileSystemName,
                           std::uint32_t& serialNumber) override
    {
        DWORD serial = 0;
        DWORD maximumComponentLength = 0;
        DWORD fileSystemFlags = 0;
        const BOOL ok = GetVolumeInformationA(rootPath, volumeName, kVolumeBufferSize, &serial,
                                              &maximumComponentLength, &fileSystemFlags,
                                              fileSystemName, kVolumeBufferSize);
        serialNumber = serial;
        return ok != FALSE;
    }

    std::uint32_t TickCount() override { return GetTickCount(); }
    std::uint32_t ProcessId() override { return GetCurrentProcessId(); }
    std::uint32_t ThreadId() override { return GetCurrentThreadId(); }

    bool CursorPosition(std::int32_t& x, std::int32_t& y) override
    {
        POINT point{};
        if (!GetCursorPos(&point)) {
            return false;
        }
        x = point.x;
        y = point.y;
        return true;
    }
};

} // namespace

SeedMaterial& SystemSeedMaterial()
{
    static Win32SeedMaterial material;
    return material;
}
