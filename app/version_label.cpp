// The version label shows the executable's own file version, so what the
// dialog says can never differ from the file.
#include <cstdio>
#include <memory>
#include <new>

#include "app/main_dialog.h"
#include "res/resource.h"
#include "toolkit/module.h"

namespace {

// Zero throughout when the version record cannot be read, so the label then
// reads v0.0.0.0 and the dialog's initialisation goes on.
VS_FIXEDFILEINFO ReadFixedFileInfo()
{
    VS_FIXEDFILEINFO info{};
    const std::string path = ModuleFileName(nullptr);
    if (path.empty()) {
        return info;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return info;
    }
    const std::unique_ptr<char[]> block(new (std::nothrow) char[size]);
    if (!block || !GetFileVersionInfoA(path.c_str(), 0, size, block.get())) {
        return info;
    }
    void* root = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.get(), "\\", &root, &length) && length == sizeof info) {
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
