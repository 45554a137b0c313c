// The version label shows the executable's own file version, so what the
// dialog says can never differ from the file.
#include <cstdio>
#include <vector>

#include "app/main_dialog.h"
#include "res/resource.h"

namespace {

VS_FIXEDFILEINFO ReadFixedFileInfo()
{
    VS_FIXEDFILEINFO info{};
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        return info;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) {
        return info;
    }
    void* root = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &root, &length) && length == sizeof info) {
        info = *static_cast<const VS_FIXEDFILEINFO*>(root);
    }
    return info;
}

} // namespace

void MainDialog::SetVersionLabel()
{
    const VS_FIXEDFILEINFO info = ReadFixedFileInfo();
    char text[64];
    std::snprintf(text, sizeof text, "v%u.%u.%u.%u", HIWORD(info.dwFileVersionMS),
                  LOWORD(info.dwFileVersionMS), HIWORD(info.dwFileVersionLS),
                  LOWORD(info.dwFileVersionLS));
    SetText(IDC_VERSION, text);
}
