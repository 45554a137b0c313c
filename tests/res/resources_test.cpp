// The icons, list images, cursors, strings, version record and manifest
// linked into this test executable are the ones sorvane.exe carries; each is
// loaded the way the program loads it and checked for what the program and
// the system need of it.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

HINSTANCE Module()
{
    return GetModuleHandleA(nullptr);
}

TEST(Resources, SaveFilterString)
{
    char buffer[256] = {};
    const int length = LoadStringA(Module(), 129, buffer, static_cast<int>(sizeof buffer));
    EXPECT_GT(length, 0);
    EXPECT_STREQ(buffer, "Text Files (*.txt)%*.txt%All Files (*.*)%*.*%");
}

// The sizes stored for an icon, read from its group directory.
std::vector<int> IconSizes(int id)
{
    std::vector<int> sizes;
    HRSRC found =
        FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    if (!found)
        return sizes;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(Module(), found)));
    const DWORD size = SizeofResource(Module(), found);
    if (!data || size < 6)
        return sizes;
    WORD count = 0;
    std::memcpy(&count, data + 4, sizeof count);
    // Each entry: width, height, colours, reserved, planes, bit count, bytes, id.
    for (WORD i = 0; i < count && 6u + 14u * (i + 1u) <= size; ++i) {
        const BYTE* entry = data + 6 + 14 * i;
        WORD bits = 0;
        std::memcpy(&bits, entry + 6, sizeof bits);
        if (entry[0] == entry[1] && bits == 32)
            sizes.push_back(entry[0] ? entry[0] : 256);
    }
    return sizes;
}

void ExpectIcon(int id, const std::vector<int>& sizes)
{
    EXPECT_EQ(IconSizes(id), sizes);
    for (int size : sizes) {
        SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
        HICON icon = static_cast<HICON>(
            LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        ASSERT_NE(info.hbmColor, nullptr);
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// 16 at 96 DPI, and the sizes 125, 150, 200 and 300 percent ask for.
TEST(Resources, ApplicationIconAtFiveSizes)
{
    ExpectIcon(128, {16, 20, 24, 32, 48});
}

TEST(Resources, WindowIconAtFiveSizes)
{
    ExpectIcon(201, {16, 20, 24, 32, 48});
}

// A list image strip read as 32-bit pixels, top-down, 0x00RRGGBB.
std::vector<uint32_t> ListImagePixels(int id, int& width, int& height)
{
    std::vector<uint32_t> pixels;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return pixels;
    BITMAP description{};
    GetObjectA(bitmap, sizeof description, &description);
    width = description.bmWidth;
    height = description.bmHeight;
    pixels.resize(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    if (GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        pixels.clear();
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    for (uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

void ExpectListImages(int id, int size)
{
    int width = 0, height = 0;
    const std::vector<uint32_t> pixels = ListImagePixels(id, width, height);
    ASSERT_EQ(width, 6 * size);
    ASSERT_EQ(height, size);
    ASSERT_EQ(pixels.size(), 6u * size * size);
    constexpr uint32_t kMagenta = 0xFF00FF;
    auto at = [&](int image, int x, int y) { return pixels[y * width + image * size + x]; };

    // Number of drawn pixels in each row of an image.
    auto rowWidths = [&](int image) {
        std::vector<int> widths;
        for (int y = 0; y < size; ++y) {
            int drawn = 0;
            for (int x = 0; x < size; ++x)
                drawn += at(image, x, y) != kMagenta;
            if (drawn)
                widths.push_back(drawn);
        }
        return widths;
    };
    for (int image = 0; image < 6; ++image) {
        SCOPED_TRACE("image " + std::to_string(image));
        EXPECT_EQ(at(image, size - 1, size - 1), kMagenta)
            << "the background is the transparent colour";
        EXPECT_FALSE(rowWidths(image).empty()) << "nothing drawn";
    }
    // The boxes grow with the glyph: 13 of its 16 pixels.
    EXPECT_NEAR(rowWidths(2)[rowWidths(2).size() / 2], 13 * size / 16, 1);
    // The sort arrows sit in the top rows and point down (descending, image 0)
    // and up (ascending, image 1).
    const std::vector<int> down = rowWidths(0), up = rowWidths(1);
    ASSERT_GE(down.size(), 2u);
    ASSERT_GE(up.size(), 2u);
    EXPECT_GT(down.front(), down.back());
    EXPECT_LT(up.front(), up.back());
    for (int y = size / 2; y < size; ++y)
        EXPECT_EQ(at(0, size / 2, y), kMagenta);
    // The marked check boxes differ from the clear one and from each other,
    // in the middle of the tick.
    const int x = 15 * size / 32, y = 17 * size / 32;
    EXPECT_NE(at(3, x, y), at(2, x, y));
    EXPECT_NE(at(5, x, y), at(2, x, y));
    EXPECT_NE(at(5, x, y), at(4, x, y));
}

// Bitmap 205 holds the 16-pixel glyphs; 208 to 211 the same ones larger.
TEST(Resources, ListImagesAreSixGlyphsOnMagentaAtEachSize)
{
    for (const auto& [id, size] : {std::pair{205, 16}, std::pair{208, 20}, std::pair{209, 24},
                                   std::pair{210, 32}, std::pair{211, 48}}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        ExpectListImages(id, size);
    }
}

// The cursor's size and hotspot.
struct CursorFacts {
    int width = 0, height = 0;
    POINT hotspot{-1, -1};
};

CursorFacts ReadCursor(int id, int size)
{
    CursorFacts facts;
    HCURSOR cursor = static_cast<HCURSOR>(
        LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_CURSOR, size, size, 0));
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor, &info))
        return facts;
    if (!info.fIcon)
        facts.hotspot = {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    facts.width = mask.bmWidth;
    // A monochrome cursor stacks the AND mask above the XOR image.
    facts.height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
    return facts;
}

// The widths stored for a cursor, read from its group directory.
std::vector<int> CursorSizes(int id)
{
    std::vector<int> sizes;
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(12));
    const auto* data =
        found ? static_cast<const BYTE*>(LockResource(LoadResource(Module(), found))) : nullptr;
    const DWORD size = found ? SizeofResource(Module(), found) : 0;
    WORD count = 0;
    if (data && size >= 6)
        std::memcpy(&count, data + 4, sizeof count);
    // Each entry: width, height (twice: mask and image), planes, bit count, bytes, id.
    for (WORD i = 0; i < count && 6u + 14u * (i + 1u) <= size; ++i) {
        WORD width = 0;
        std::memcpy(&width, data + 6 + 14 * i, sizeof width);
        sizes.push_back(width);
    }
    return sizes;
}

// 32 pixels at 96 DPI, 48 and 64 for 150 and 200 percent.
TEST(Resources, CursorsPointWhereTheyShould)
{
    EXPECT_EQ(CursorSizes(206), (std::vector<int>{32, 48, 64}));
    EXPECT_EQ(CursorSizes(207), (std::vector<int>{32, 48, 64}));
    for (const int size : {32, 48, 64}) {
        SCOPED_TRACE(size);
        const CursorFacts resize = ReadCursor(206, size);
        EXPECT_EQ(resize.width, size);
        EXPECT_EQ(resize.height, size);
        EXPECT_NEAR(resize.hotspot.x, size / 2, 1); // the middle of the double arrow
        EXPECT_NEAR(resize.hotspot.y, size / 2, 1);

        const CursorFacts hand = ReadCursor(207, size);
        EXPECT_EQ(hand.width, size);
        EXPECT_EQ(hand.height, size);
        EXPECT_LE(hand.hotspot.y, 2); // the fingertip is the hand's topmost point
        EXPECT_GE(hand.hotspot.x, 0);
    }
}

// ---------------------------------------------------------------------------
// Version record and manifest, read from this executable.

std::string VersionString(const std::vector<char>& block, const char* name)
{
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || !value)
        return "(missing)";
    return static_cast<const char*>(value);
}

TEST(Resources, VersionRecordIs1_0_0_6)
{
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH - 1), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000006u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000006u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    EXPECT_EQ(VersionString(block, "ProductName"), "Sorvane");
    EXPECT_EQ(VersionString(block, "FileVersion"), "1.0.0.6");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "1.0.0.6");
}

// The text of the first element `<tag ...>` at or after `from`.
std::string ElementTag(const std::string& xml, const char* tag, size_t from = 0)
{
    const size_t start = xml.find(std::string("<") + tag, from);
    if (start == std::string::npos)
        return {};
    const size_t end = xml.find('>', start);
    return end == std::string::npos ? std::string() : xml.substr(start, end - start + 1);
}

TEST(Resources, ManifestAsksForCommonControls6)
{
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(Module(), found)));
    ASSERT_NE(data, nullptr);
    const std::string xml(data, SizeofResource(Module(), found));

    const std::string identity = ElementTag(xml, "assemblyIdentity");
    const char* architecture =
        sizeof(void*) == 8 ? "processorArchitecture=\"amd64\"" : "processorArchitecture=\"x86\"";
    EXPECT_NE(identity.find(architecture), std::string::npos) << identity;
    EXPECT_NE(identity.find("name=\"Ketrine\""), std::string::npos) << identity;
    EXPECT_NE(identity.find("version=\"1.0.0.0\""), std::string::npos) << identity;
    EXPECT_NE(identity.find("type=\"win32\""), std::string::npos) << identity;
    EXPECT_NE(xml.find("<description>Ketrine Application</description>"), std::string::npos);

    const size_t dependency = xml.find("<dependentAssembly");
    ASSERT_NE(dependency, std::string::npos);
    const std::string controls = ElementTag(xml, "assemblyIdentity", dependency);
    EXPECT_NE(controls.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(controls.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(controls.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
}

TEST(Resources, CommonControlsComeFromTheSideBySideStore)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(comctl, path, MAX_PATH), 0u);
    std::string lower(path);
    CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    EXPECT_NE(lower.find("winsxs"), std::string::npos) << path;
}

} // namespace
