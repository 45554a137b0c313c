#include <gtest/gtest.h>

#include <windows.h>
#include <windowsx.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "toolkit/banner_static.h"
#include "toolkit/hyperlink_label.h"
#include "toolkit/module.h"

namespace {

constexpr char kParentClass[] = "SorvaneLinkTestParent";
constexpr int kLinkId = 1029;
constexpr char kSettingsKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";

// What the label's parent heard: command codes and notification codes.
std::vector<int> commands;
std::vector<UINT> notifications;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kLinkId) {
        commands.push_back(HIWORD(wParam));
    } else if (message == WM_NOTIFY) {
        notifications.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class ControlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        programModule.Init(GetModuleHandleA(nullptr));
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = programModule.Instance();
        windowClass.lpszClassName = kParentClass;
        RegisterClassA(&windowClass);
    }
    void TearDown() override { programModule.Term(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ControlsEnvironment);

LPARAM Point(int x, int y)
{
    return MAKELPARAM(x, y);
}

// A control's own painting, through WM_PRINTCLIENT into a memory bitmap:
// its pixels by row, then column.
using Picture = std::vector<std::vector<COLORREF>>;
Picture PrintClient(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    Picture picture(client.bottom, std::vector<COLORREF>(client.right));
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            picture[y][x] = GetPixel(dc, x, y);
        }
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

int Count(const Picture& picture, COLORREF color)
{
    int count = 0;
    for (const auto& row : picture) {
        count += static_cast<int>(std::count(row.begin(), row.end(), color));
    }
    return count;
}

TEST(ParseColorTriple, ReadsThreeNumbersOrNothing)
{
    const struct {
        const char* text;
        std::optional<COLORREF> expected;
    } kCases[] = {
        {"0,0,128", RGB(0, 0, 128)}, {" 12, +34,56", RGB(12, 34, 56)}, {"300,0,0", RGB(44, 0, 0)},
        {"1,2,3x", RGB(1, 2, 3)},    {"-1,0,0", std::nullopt},         {"0,-1,0", std::nullopt},
        {"0,0", std::nullopt},       {"0,0,", std::nullopt},           {"255", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(ParseColorTriple(c.text), c.expected) << c.text;
    }
}

// A link label over a static in a window of its own, shown on the screen.
class LinkTest : public ::testing::Test {
protected:
    HWND parent = CreateWindowExA(WS_EX_TOPMOST, kParentClass, "", WS_POPUP | WS_VISIBLE, 50, 50,
                                  400, 60, nullptr, nullptr, programModule.Instance(), nullptr);
    HWND window = nullptr;
    std::optional<HyperLinkLabel> label;

    void SetUp() override
    {
        commands.clear();
        notifications.clear();
    }
    void TearDown() override { DestroyWindow(parent); }

    // A new label over a new static, in place of any earlier one.
    void Make(const char* text, LinkStyle style)
    {
        label.reset();
        DestroyWindow(window);
        commands.clear();
        notifications.clear();
        window = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 360,
                                 30, parent, reinterpret_cast<HMENU>(kLinkId),
                                 programModule.Instance(), nullptr);
        label.emplace();
        ASSERT_TRUE(label->Subclass(window));
        label->style = style;
        label->Attach();
    }
    LPARAM LinkCentre() const
    {
        const RECT link = label->LinkRect();
        return Point((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    }
    HWND Tooltip() const
    {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM lParam) {
                char name[32] = {};
                GetClassNameA(hwnd, name, sizeof name);
                if (std::string(name) == TOOLTIPS_CLASSA) {
                    *reinterpret_cast<HWND*>(lParam) = hwnd;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
};

// Only the link's own activation reaches the parent: a double-click is one
// activation, and switching the control off and on is none, although the
// static underneath reports both as commands with the link's identifier.
TEST_F(LinkTest, ActivatesByKeysAndClicksOnly)
{
    struct Step {
        UINT message;
        WPARAM wParam;
        bool inLink = true;
    };
    const Step down{WM_LBUTTONDOWN, MK_LBUTTON}, up{WM_LBUTTONUP, 0};
    const struct {
        const char* name;
        LinkStyle style;
        std::vector<Step> steps;
        std::vector<int> commands;
        std::vector<UINT> notifications;
    } kCases[] = {
        // clang-format off
        {"Enter", CommandMode, {{WM_CHAR, VK_RETURN}}, {0}, {}},
        {"Space", CommandMode, {{WM_CHAR, VK_SPACE}}, {0}, {}},
        {"a letter", CommandMode, {{WM_CHAR, 'a'}}, {}, {}},
        {"click", CommandMode, {down, up}, {0}, {}},
        {"press in, release out", CommandMode, {down, {WM_LBUTTONUP, 0, false}}, {}, {}},
        {"double-click", CommandMode,
         {down, up, {WM_LBUTTONDBLCLK, MK_LBUTTON}, up, {WM_NCLBUTTONDBLCLK, HTCLIENT}}, {0}, {}},
        {"off and on", CommandMode, {{WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}}, {}, {}},
        {"Enter, notifying", NotifyMode, {{WM_CHAR, VK_RETURN}}, {}, {NM_CLICK}},
        // clang-format on
    };
    for (const auto& c : kCases) {
        Make("Save passwords list to file...", c.style);
        EXPECT_EQ(SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS, DLGC_WANTCHARS);
        for (const Step& step : c.steps) {
            SendMessageA(window, step.message, step.wParam,
                         step.inLink ? LinkCentre() : Point(355, 5));
        }
        EXPECT_EQ(commands, c.commands) << c.name;
        EXPECT_EQ(notifications, c.notifications) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
    }
}

int relayed = 0;
LRESULT CALLBACK CountRelays(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR)
{
    relayed += message == TTM_RELAYEVENT;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// With tags only the words between them are the link: the hand shows over
// them alone, and the tooltip's tool covers them, follows them and reads the
// label's text.
// The dialog sends its new font when the screen's scale changes: the link
// is measured, and its hand and tooltip placed, in that font.
TEST_F(LinkTest, FollowsANewFont)
{
    Make("Save passwords list to file...", CommandMode);
    const RECT before = label->LinkRect();
    LOGFONTA description{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    description.lfHeight = -40;
    const UniqueFont larger(CreateFontIndirectA(&description));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(larger.get()), TRUE);
    const RECT after = label->LinkRect();
    EXPECT_GT(after.right - after.left, before.right - before.left);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(LinkTest, HandAndTooltipCoverTheLinkOnly)
{
    Make("Go <a>two words</a> now", AnchorTags);
    const TaggedText parts = label->SplitTaggedText();
    EXPECT_EQ(std::string(parts.before.start, parts.before.length), "Go ");
    EXPECT_EQ(std::string(parts.link.start, parts.link.length), "two words");
    EXPECT_EQ(std::string(parts.after.start, parts.after.length), " now");

    const RECT link = label->LinkRect();
    const HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    const struct {
        LPARAM point;
        bool hand;
    } kPoints[] = {{Point(1, link.top + 2), false},
                   {LinkCentre(), true},
                   {Point(link.right + 3, link.top + 2), false}};
    for (const auto& p : kPoints) {
        SetCursor(arrow);
        SendMessageA(window, WM_MOUSEMOVE, 0, p.point);
        EXPECT_EQ(GetCursor() == hand, p.hand) << GET_X_LPARAM(p.point);
    }

    const HWND tooltip = Tooltip();
    ASSERT_NE(tooltip, nullptr);
    ASSERT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageA(tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(text, "Go <a>two words</a> now");
    EXPECT_TRUE(EqualRect(&tool.rect, &link));
    // A new text moves the tool with the link.
    ASSERT_TRUE(label->SetLinkText("Go on and <a>on</a>"));
    ASSERT_TRUE(SendMessageA(tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
    const RECT moved = label->LinkRect();
    EXPECT_GT(moved.left, link.left);
    EXPECT_TRUE(EqualRect(&tool.rect, &moved));

    // The tip learns of the pointer from the label, unless told not to.
    for (const LinkStyle style : {NoTooltip, LinkStyle{0}}) {
        Make("Save passwords list to file...", style);
        SetWindowSubclass(Tooltip(), CountRelays, 1, 0);
        relayed = 0;
        SendMessageA(window, WM_MOUSEMOVE, 0, LinkCentre());
        EXPECT_EQ(relayed, style == NoTooltip ? 0 : 1);
        RemoveWindowSubclass(Tooltip(), CountRelays, 1);
    }
}

// A value of the browser's settings; null deletes it.
void Store(HKEY key, const char* name, const char* value, DWORD type)
{
    RegDeleteValueA(key, name);
    if (value != nullptr) {
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(strlen(value) + 1));
    }
}

// The browser's colours replace the defaults where they are sound text.
TEST_F(LinkTest, TakesTheBrowsersLinkColours)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const COLORREF blue = RGB(0, 0, 255), purple = RGB(128, 0, 128);
    const struct {
        const char* link;
        const char* visited;
        DWORD visitedType;
        COLORREF expectedLink;
        COLORREF expectedVisited;
    } kCases[] = {
        {nullptr, nullptr, REG_SZ, blue, purple},
        {"0,0,128", "300,1,2", REG_EXPAND_SZ, RGB(0, 0, 128), RGB(44, 1, 2)},
        {"100,100,100,", "-1,0,0", REG_SZ, blue, purple},
        {"0000,000,001", "1,2,3", REG_BINARY, blue, purple}, // too long; not text
    };
    for (const auto& c : kCases) {
        Store(key, "Anchor Color", c.link, REG_SZ);
        Store(key, "Anchor Color Visited", c.visited, c.visitedType);
        Make("www.tavolin.example", 0);
        EXPECT_EQ(label->LinkColor(), c.expectedLink) << c.link;
        EXPECT_EQ(label->VisitedColor(), c.expectedVisited) << c.visited;
        EXPECT_GT(Count(PrintClient(window), c.expectedLink), 20) << c.link;
    }
    Store(key, "Anchor Color", nullptr, REG_SZ);
    Store(key, "Anchor Color Visited", nullptr, REG_SZ);
    RegCloseKey(key);
}

VARIANT ChildId(long id)
{
    VARIANT child{};
    V_VT(&child) = VT_I4;
    V_I4(&child) = id;
    return child;
}

// A screen reader's every question to a link, answered as the protocol asks:
// what a link has none of says so, a link has no children, and once the
// window is gone every question but the setters' is answered as cut off.
TEST_F(LinkTest, AccessibleAnswersEveryQuestionAsALink)
{
    Make("Save passwords list to file...", CommandMode);
    IAccessible* object = label->Accessible();
    ASSERT_NE(object, nullptr);
    RECT shown{};
    GetWindowRect(window, &shown);
    const VARIANT self = ChildId(CHILDID_SELF), first = ChildId(1);
    BSTR text = nullptr;
    VARIANT answer{};
    long n = 0;
    IDispatch* dispatch = nullptr;
    const auto locate = [&](const VARIANT& child) {
        return object->accLocation(&n, &n, &n, &n, child);
    };
    const struct {
        const char* question;
        std::function<HRESULT()> ask;
        HRESULT answer;
    } kCases[] = {
        // clang-format off
        {"children", [&] { return object->get_accChildCount(&n); }, S_OK},
        {"child object", [&] { return object->get_accChild(self, &dispatch); }, E_INVALIDARG},
        {"name of a child", [&] { return object->get_accName(first, &text); }, E_INVALIDARG},
        {"role of a child", [&] { return object->get_accRole(first, &answer); }, E_INVALIDARG},
        {"value", [&] { return object->get_accValue(self, &text); }, DISP_E_MEMBERNOTFOUND},
        {"description", [&] { return object->get_accDescription(self, &text); }, DISP_E_MEMBERNOTFOUND},
        {"help", [&] { return object->get_accHelp(self, &text); }, DISP_E_MEMBERNOTFOUND},
        {"shortcut", [&] { return object->get_accKeyboardShortcut(self, &text); }, S_FALSE},
        {"selection", [&] { return object->get_accSelection(&answer); }, DISP_E_MEMBERNOTFOUND},
        {"focus elsewhere", [&] { return object->get_accFocus(&answer); }, S_FALSE},
        {"select", [&] { return object->accSelect(SELFLAG_TAKESELECTION, self); }, E_INVALIDARG},
        {"take the focus", [&] { return object->accSelect(SELFLAG_TAKEFOCUS, self); }, S_OK},
        {"focus", [&] { return object->get_accFocus(&answer); }, S_OK},
        {"location", [&] { return locate(self); }, S_OK},
        {"location of a child", [&] { return locate(first); }, E_INVALIDARG},
        {"first child", [&] { return object->accNavigate(NAVDIR_FIRSTCHILD, self, &answer); }, S_FALSE},
        {"no direction", [&] { return object->accNavigate(NAVDIR_MAX, self, &answer); }, E_INVALIDARG},
        {"hit", [&] { return object->accHitTest(shown.left + 2, shown.top + 2, &answer); }, S_OK},
        {"hit outside", [&] { return object->accHitTest(shown.left - 2, shown.top, &answer); }, S_FALSE},
        {"action", [&] { return object->get_accDefaultAction(self, &text); }, S_OK},
        {"rename", [&] { return object->put_accName(self, nullptr); }, E_NOTIMPL},
        // clang-format on
    };
    SetFocus(parent);
    for (const bool cutOff : {false, true}) {
        if (cutOff) {
            DestroyWindow(window);
            window = nullptr;
        }
        for (const auto& c : kCases) {
            const bool setter = c.answer == E_NOTIMPL;
            EXPECT_EQ(c.ask(), cutOff && !setter ? CO_E_OBJNOTCONNECTED : c.answer)
                << c.question << (cutOff ? ", cut off" : "");
            SysFreeString(std::exchange(text, nullptr));
        }
    }
    EXPECT_EQ(object->Release(), 0u);
}

TEST(ScaleColor, ScalesEachChannelAndStopsAtWhite)
{
    EXPECT_EQ(ScaleColor(RGB(0x20, 0x40, 0x80), 200), RGB(0x40, 0x80, 0xFF));
    EXPECT_EQ(ScaleColor(RGB(0xFF, 0x7F, 0x00), 200), RGB(0xFF, 0xFE, 0x00));
    EXPECT_EQ(ScaleColor(RGB(0x10, 0x21, 0x33), 50), RGB(0x08, 0x10, 0x19));
}

TEST(BannerStatic, PaintsGradientEdgeIconAndText)
{
    const HWND parent = CreateWindowExA(0, kParentClass, "", WS_POPUP, 0, 0, 560, 60, nullptr,
                                        nullptr, programModule.Instance(), nullptr);
    const COLORREF start = GetSysColor(COLOR_ACTIVECAPTION);
    const struct {
        const char* text;
        bool icon;
        int textStart; // first column of text after the icon's place
        bool body;
    } kCases[] = {
        {"Tavolin Sorvane\nStrong passwords\nPick and generate.", true, 43, true},
        {"Tavolin Sorvane\nStrong passwords", false, 5, true},
        {"Tavolin Sorvane", true, 43, false},
    };
    for (const auto& c : kCases) {
        const HWND window = CreateWindowExA(0, "Static", c.text, WS_CHILD | SS_LEFT, 0, 0, 551, 49,
                                            parent, nullptr, programModule.Instance(), nullptr);
        BannerStatic banner;
        ASSERT_TRUE(banner.Subclass(window));
        banner.SetIcon(c.icon ? IDI_APP : 31999);
        const Picture picture = PrintClient(window);
        const int width = static_cast<int>(picture[0].size());
        const int height = static_cast<int>(picture.size());
        EXPECT_EQ(picture[1][0], start) << c.text;
        const COLORREF end = picture[1][width - 1], bright = ScaleColor(start, 200);
        EXPECT_NEAR(GetRValue(end), GetRValue(bright), 4) << c.text;
        EXPECT_NEAR(GetGValue(end), GetGValue(bright), 4) << c.text;
        EXPECT_NEAR(GetBValue(end), GetBValue(bright), 4) << c.text;
        EXPECT_EQ(picture[height - 1][300], GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(picture[height - 2][300], GetSysColor(COLOR_BTNSHADOW));

        // The first column at or after from with something drawn over the
        // gradient below row top; the gradient alone is the same all down a
        // column.
        const auto firstDrawn = [&](int from, int top) {
            for (int x = from; x < width; ++x) {
                for (int y = top; y < height - 2; ++y) {
                    if (picture[y][x] != picture[0][x]) {
                        return x;
                    }
                }
            }
            return -1;
        };
        // The icon fills columns 5 to 36 and leaves a gap before the text.
        EXPECT_GE(firstDrawn(0, 0), 5) << c.text;
        EXPECT_LT(firstDrawn(0, 0), c.icon ? 37 : c.textStart + 3) << c.text;
        const int text = firstDrawn(c.icon ? 37 : 0, 0);
        EXPECT_GE(text, c.textStart) << c.text;
        EXPECT_LE(text, c.textStart + 2) << c.text;
        // The body sits under the title, below the title's line.
        EXPECT_EQ(firstDrawn(c.textStart, 22) != -1, c.body) << c.text;
        DestroyWindow(window);
    }
    DestroyWindow(parent);
}

} // namespace
