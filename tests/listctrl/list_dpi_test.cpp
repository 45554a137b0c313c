// The list at other scales than 96 DPI: it starts at its screen's scale
// (tests/dpi/run-at-144-dpi.sh runs it at 144 DPI), and a DPI change gives it
// the fonts, rows, header, glyphs and columns of the new scale.
#include <cstdlib>
#include <map>
#include <utility>

#include "tests/listctrl/list_window_fixture.h"

namespace list_window_test {
namespace {

// Colours of the glyphs res/draw_images.py draws.
constexpr COLORREF kBoxEdge = RGB(112, 112, 112);
constexpr COLORREF kArrow = RGB(96, 96, 96);

// The first and last of the positions where the test holds, or {-1, -1}.
template <typename Test>
std::pair<int, int> Span(int from, int to, Test holds)
{
    std::pair<int, int> span{-1, -1};
    for (int at = from; at < to; ++at) {
        if (holds(at)) {
            span = {span.first < 0 ? at : span.first, at};
        }
    }
    return span;
}

TEST_F(ListWindowTest, FollowsTheScaleOfItsScreenAndItsChanges)
{
    if (const char* screen = std::getenv("SORVANE_TEST_DPI")) {
        ASSERT_EQ(WindowDpi(window), std::atoi(screen)) << "the screen is at another scale";
    }
    list.options.themedLook = false;
    model().SetColumnWidth(1, 20);
    model().SetColumnWidth(2, 20);
    model().AddColumn("Done", 50, -1, false, FormatCheckBox, 0);
    AddRows({"b", "a"});
    model().SetItemText(0, 3, "1");
    Click(50, list.Look().headerHeight / 2); // sorted by "Password": an arrow in its title
    // The painted widths of row 0's check box and height of the arrow: the
    // 13 pixels and 5 rows of the 16-pixel glyphs, drawn at 20, 24 and 32.
    const auto glyphs = [&] {
        const Picture picture(window);
        const int box =
            model().GetColumnWidth(0) + model().GetColumnWidth(1) + model().GetColumnWidth(2);
        const auto [left, right] =
            Span(box, picture.width, [&](int x) { return picture.At(x, RowY(0)) == kBoxEdge; });
        const int end = model().GetColumnWidth(0);
        const auto [top, bottom] = Span(0, list.Look().headerHeight, [&](int y) {
            return picture.Any(kArrow, end - list.Look().Px(20), y, end, y + 1);
        });
        EXPECT_NEAR(top + bottom, list.Look().headerHeight, 2) << "the arrow is off the middle";
        return std::pair{right - left + 1, bottom - top + 1};
    };
    const std::map<int, std::pair<int, int>> kGlyphs{
        {96, {13, 5}}, {120, {17, 6}}, {144, {19, 8}}, {192, {26, 10}}};
    const int screen = WindowDpi(window);
    EXPECT_EQ(list.Look().dpi, screen);
    EXPECT_EQ(glyphs(), kGlyphs.at(screen));
    const int startRow = list.Look().rowHeight;

    list.ChangeDpi(96);
    const auto fontHeight = [&] {
        LOGFONTA font{};
        GetObjectA(list.Look().listFont.get(), sizeof font, &font);
        return font.lfHeight;
    };
    const LONG font96 = fontHeight();
    const int row96 = list.Look().rowHeight;
    EXPECT_NEAR(startRow, MulDiv(row96, screen, 96), ScaleForDpi(2, screen));
    for (const int dpi : {144, 192, 120, 96}) {
        SCOPED_TRACE(dpi);
        const int widthBefore = model().GetColumnWidth(0);
        const int dpiBefore = list.Look().dpi;
        ValidateRect(window, nullptr);
        list.ChangeDpi(dpi);
        RECT stale{};
        GetUpdateRect(window, &stale, FALSE);
        const RECT client = ClientOf(window);
        EXPECT_TRUE(EqualRect(&stale, &client)) << "not all of it repaints";
        EXPECT_EQ(list.Look().dpi, dpi);
        EXPECT_NEAR(fontHeight(), MulDiv(font96, dpi, 96), 1);
        const int row = list.Look().rowHeight;
        EXPECT_NEAR(row, MulDiv(row96, dpi, 96), ScaleForDpi(2, dpi));
        EXPECT_EQ(list.Look().headerHeight, row);
        TEXTMETRICA metrics{};
        {
            const WindowDc dc(window);
            const SelectGuard font(dc.get(), list.Look().listFont.get());
            GetTextMetricsA(dc.get(), &metrics);
        }
        EXPECT_LE(metrics.tmHeight + ScaleForDpi(4, dpi), row) << "the text is cut";
        EXPECT_EQ(model().GetColumnWidth(0), MulDiv(widthBefore, dpi, dpiBefore));
        EXPECT_EQ(glyphs(), kGlyphs.at(dpi));
    }
    // Windows tells only top-level windows of a new DPI: whoever sends the
    // list one, it follows its own window's.
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(0xFFFF, 0xFFFF), 0);
    EXPECT_EQ(list.Look().dpi, screen);
}

// A scale beyond the ones the list draws at gives the nearest it allows, and
// the columns follow the scale it took.
TEST_F(ListWindowTest, ChangeDpiKeepsToTheScalesItDraws)
{
    const struct {
        int requested;
        int taken;
    } kCases[] = {{1, kLowestDpi}, {100000, kHighestDpi}};
    for (const auto& c : kCases) {
        list.ChangeDpi(96);
        model().SetColumnWidth(0, 100);
        list.ChangeDpi(c.requested);
        EXPECT_EQ(list.Look().dpi, c.taken) << c.requested;
        EXPECT_EQ(model().GetColumnWidth(0), MulDiv(100, c.taken, 96)) << c.requested;
    }
}

// The drawn set nearest the scale; past the drawn sizes, the 16-pixel set
// enlarged pixel for pixel, so it keeps its transparency.
TEST(ListImagesForDpi, TakeTheNearestDrawnSize)
{
    const std::pair<int, int> kCases[] = {{96, 16},  {120, 20}, {144, 24}, {168, 24}, {192, 32},
                                          {240, 32}, {288, 48}, {384, 48}, {480, 80}};
    for (const auto& [dpi, size] : kCases) {
        SCOPED_TRACE(dpi);
        for (const auto& [images, count] :
             {std::pair{LoadListImages(programModule.Instance(), dpi), LIST_IMAGE_COUNT},
              std::pair{LoadIconImages(programModule.Instance(), IDI_APP, dpi), 1}}) {
            int width = 0;
            int height = 0;
            ASSERT_TRUE(ImageList_GetIconSize(images.get(), &width, &height));
            EXPECT_EQ(std::pair(width, height), std::pair(size, size));
            EXPECT_EQ(ImageList_GetImageCount(images.get()), count);
        }
    }
    const Canvas canvas(80, 80);
    PatBlt(canvas.Dc(), 0, 0, 80, 80, WHITENESS);
    ImageList_Draw(LoadListImages(programModule.Instance(), 480).get(), LIST_IMAGE_CHECK_SET,
                   canvas.Dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.At(1, 1), RGB(255, 255, 255)) << "the magenta is not transparent";
    EXPECT_EQ(canvas.At(5, 40), kBoxEdge);
}

} // namespace
} // namespace list_window_test
