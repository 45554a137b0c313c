// The repainter against a small fake of the list's window: which parts of a
// real window it marks for painting as the rows and the view change.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "listctrl/list_repainter.h"
#include "listctrl/list_window.h"

namespace {

constexpr int kRow = 20;
constexpr int kHeader = 20;

// A window with the model, the look and the viewport the test sets, over a
// real window whose update region shows what the repainter asked for.
class FakeListWindow final : public ListWindow {
public:
    explicit FakeListWindow(HWND shown) : window(shown) {}

    HWND Handle() const override { return window; }
    ListModel& Model() override { return model; }
    const ListLook& Look() const override { return look; }
    const ListViewOptions& Options() const override { return options; }
    ListLayout Layout() const override
    {
        return ListLayout(model, viewport, ListSizes{kRow, kHeader});
    }
    ListPaintState PaintState() const override
    {
        return ListPaintState{model, Layout(), look, options};
    }
    void Repaint() override {}
    void RepaintRow(int) override {}
    void ShowTitleTip(POINT, const ListHit&) override {}
    void HideTitleTip() override {}
    void EnsureVisible(int, int) override {}
    void FocusRow(int) override {}
    void SortByColumn(int) override {}
    bool SetColumnWidth(int, int) override { return false; }
    void MoveDraggedColumn(int, int, int) override {}
    bool IsEditing() const override { return false; }

    ListModel model;
    ListLook look;
    ListViewOptions options;
    ListViewport viewport{200, 100, 0, 0}; // four rows below the header
    HWND window;
};

using Sides = std::vector<LONG>; // left, top, right, bottom

// What the window is marked to paint, and then nothing again.
Sides TakeUpdate(HWND window)
{
    RECT update{};
    GetUpdateRect(window, &update, FALSE);
    ValidateRect(window, nullptr);
    return {update.left, update.top, update.right, update.bottom};
}

// A batch adds its rows below the visible ones, a row at a time: that costs
// no paint, while a change to a visible row repaints that row alone and a
// scroll repaints everything.
TEST(ListRepainter, RepaintsOnlyTheRowsWhosePictureChanged)
{
    const HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    FakeListWindow list(window);
    list.model.AddColumn("Password", 120, -1, false, FormatText, 0);
    for (int row = 0; row < 10; ++row) {
        list.model.AddItem("row " + std::to_string(row), -1, FormatText, 0);
    }
    ListRepainter repainter(list);
    repainter.Repaint();
    EXPECT_EQ(TakeUpdate(window), (Sides{0, 0, 200, 100})) << "the first time, all of it";

    list.model.AddItem("below", -1, FormatText, 0);
    repainter.Repaint();
    EXPECT_EQ(TakeUpdate(window), (Sides{0, 0, 0, 0})) << "a row out of view";

    list.model.SetItemText(1, 0, "changed");
    repainter.Repaint();
    EXPECT_EQ(TakeUpdate(window), (Sides{0, kHeader + kRow, 200, kHeader + 2 * kRow}));

    list.viewport.scrollY = kRow;
    repainter.Repaint();
    EXPECT_EQ(TakeUpdate(window), (Sides{0, 0, 200, 100})) << "scrolled";
    DestroyWindow(window);
}

} // namespace
