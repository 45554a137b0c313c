#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/accessible_object.h"
#include "toolkit/dialog_base.h"
#include "toolkit/double_buffer.h"
#include "toolkit/module.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"

namespace {

constexpr char kClassName[] = "SorvaneToolkitTestWindow";
constexpr UINT kPing = WM_APP + 1;
// Distinct answers tell who answered: the window's own procedure or the object.
constexpr LRESULT kBaseAnswer = 0x5A;
constexpr LRESULT kObjectAnswer = 0x42;
constexpr UINT_PTR kWatcherId = 2;

LRESULT CALLBACK BaseProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kPing) {
        return kBaseAnswer;
    }
    const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    return message == WM_NCDESTROY ? kBaseAnswer : result;
}

class ToolkitEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        programModule.Init(GetModuleHandleA(nullptr));
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = BaseProc;
        windowClass.hInstance = programModule.Instance();
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
    }
    void TearDown() override { programModule.Term(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

class Probe : public SubclassedWindow {
public:
    std::optional<UINT> throwAt;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == throwAt) {
            throw std::runtime_error("handler failed");
        }
        return message == kPing ? kObjectAnswer : DefaultProc(message, wParam, lParam);
    }
};

// What a subclass installed after the object's saw at WM_NCDESTROY, once the
// object had had its turn.
struct Watch {
    Probe* probe;
    LRESULT ncDestroyAnswer = 0;
    HWND handleAfterObject = nullptr;
    LRESULT pingAnswerAfterObject = 0;
};

LRESULT CALLBACK WatcherProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR refData)
{
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        auto* watch = reinterpret_cast<Watch*>(refData);
        watch->ncDestroyAnswer = result;
        watch->handleAfterObject = watch->probe->Handle();
        // The window still dispatches here; the base procedure answers only
        // when the object's subclass is gone.
        watch->pingAnswerAfterObject = SendMessageA(hwnd, kPing, 0, 0);
        RemoveWindowSubclass(hwnd, WatcherProc, kWatcherId);
    }
    return result;
}

class SubclassTest : public ::testing::Test {
protected:
    Probe probe;
    Watch watch{&probe};
    HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  programModule.Instance(), nullptr);

    void SetUp() override
    {
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(probe.Subclass(window));
        ASSERT_EQ(probe.Handle(), window);
        ASSERT_EQ(SendMessageA(window, kPing, 0, 0), kObjectAnswer);
        ASSERT_TRUE(SetWindowSubclass(window, WatcherProc, kWatcherId,
                                      reinterpret_cast<DWORD_PTR>(&watch)));
    }
    void TearDown() override
    {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }

    void ExpectCleanDestruction()
    {
        ASSERT_TRUE(DestroyWindow(window));
        EXPECT_EQ(watch.ncDestroyAnswer, kBaseAnswer);
        EXPECT_EQ(watch.handleAfterObject, nullptr);
        EXPECT_EQ(watch.pingAnswerAfterObject, kBaseAnswer);
        EXPECT_EQ(probe.Handle(), nullptr);
    }
};

TEST_F(SubclassTest, DestructionRemovesTheSubclassAndClearsTheHandle)
{
    ExpectCleanDestruction();
}

TEST_F(SubclassTest, ThrowingHandlerAnswersWithTheDefaultProcedure)
{
    probe.throwAt = kPing;
    EXPECT_EQ(SendMessageA(window, kPing, 0, 0), kBaseAnswer);
    probe.throwAt.reset();
    EXPECT_EQ(SendMessageA(window, kPing, 0, 0), kObjectAnswer);
}

TEST_F(SubclassTest, HandlerThrowingAtNcDestroyStillLetsGo)
{
    probe.throwAt = WM_NCDESTROY;
    ExpectCleanDestruction();
}

std::vector<int> closed;
void RecordClose(int handle)
{
    closed.push_back(handle);
}
using Counted = UniqueAny<int, RecordClose, -1>;

// Every way of giving a handle up closes exactly what is given up, once.
TEST(UniqueAny, ClosesEachHandleExactlyOnce)
{
    closed.clear();
    {
        Counted first(1);
        Counted moved(std::move(first)); // handed over, nothing closed
        EXPECT_FALSE(first);
        Counted second(2);
        second = std::move(moved); // closes 2 only
        EXPECT_EQ(closed, std::vector<int>{2});
        Counted& alias = second;
        second = std::move(alias); // itself: closes nothing
        EXPECT_EQ(second.get(), 1);
        second.reset(3); // closes 1
        second.reset();  // closes 3
        second.reset();  // nothing left
        second.reset(4);
        EXPECT_EQ(second.release(), 4); // the caller's now
        EXPECT_EQ(closed, (std::vector<int>{2, 1, 3}));
        Counted last(5);
    }
    EXPECT_EQ(closed, (std::vector<int>{2, 1, 3, 5}));
}

// A paint as a fake BeginPaint fills it: the window's DC, or none.
struct FakePaintCalls {
    static inline HDC next = nullptr;
    static inline std::vector<std::pair<HWND, HDC>> ended;
    static HDC Begin(HWND, PAINTSTRUCT* paint)
    {
        paint->hdc = next;
        paint->rcPaint = RECT{1, 2, 30, 40};
        return next;
    }
    static void End(HWND window, const PAINTSTRUCT* paint)
    {
        ended.emplace_back(window, paint->hdc);
    }
};

// EndPaint once, with the structure BeginPaint filled; none for a failed one.
TEST(PaintDc, EndsWhatItBeganOnce)
{
    const HWND window = reinterpret_cast<HWND>(0x10);
    const HDC dc = reinterpret_cast<HDC>(0x20);
    FakePaintCalls::next = dc;
    {
        const BasicPaintDc<FakePaintCalls> paint(window);
        EXPECT_EQ(paint.get(), dc);
        EXPECT_EQ(paint.PaintStruct().rcPaint.bottom, 40);
        EXPECT_TRUE(FakePaintCalls::ended.empty());
    }
    FakePaintCalls::next = nullptr;
    {
        const BasicPaintDc<FakePaintCalls> failed(window);
    }
    EXPECT_EQ(FakePaintCalls::ended, (std::vector<std::pair<HWND, HDC>>{{window, dc}}));
}

HBITMAP WINAPI NoBitmap(HDC, int, int)
{
    return nullptr;
}

void Fill(HDC dc, const RECT& rect, COLORREF color)
{
    const UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

// Through a bitmap or, without memory for one, straight onto the target: the
// same picture in the same place, and nothing outside the area.
TEST(PaintDoubleBuffered, PaintsTheAreaWithOrWithoutABitmap)
{
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    const RECT area{10, 5, 30, 25};
    for (const bool buffered : {true, false}) {
        const UniqueDc dc(CreateCompatibleDC(nullptr));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, 40, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const UniqueBitmap bitmap(
            CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const SelectGuard select(dc.get(), bitmap.get());
        Fill(dc.get(), RECT{0, 0, 40, 40}, white);
        HDC paintedInto = nullptr;
        PaintDoubleBuffered(
            dc.get(), area,
            [&](HDC target) {
                paintedInto = target;
                Fill(target, RECT{0, 0, 40, 40}, red);
                Fill(target, RECT{12, 7, 14, 9}, blue);
            },
            buffered ? CreateCompatibleBitmap : NoBitmap);
        EXPECT_EQ(paintedInto != dc.get(), buffered);
        const struct {
            int x;
            int y;
            COLORREF color;
        } kPixels[] = {{10, 5, red},  {29, 24, red},  {12, 7, blue},   {13, 8, blue},
                       {9, 5, white}, {10, 4, white}, {30, 24, white}, {29, 25, white}};
        for (const auto& pixel : kPixels) {
            EXPECT_EQ(GetPixel(dc.get(), pixel.x, pixel.y), pixel.color)
                << pixel.x << "," << pixel.y << (buffered ? " buffered" : " straight");
        }
    }
}

// An object whose work throws, as running out of memory or a failed call
// inside a hook would.
class ThrowingAccessible final : public AccessibleObject {
public:
    explicit ThrowingAccessible(HWND described) : AccessibleObject(described) {}
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT*) override { return E_NOTIMPL; }

protected:
    long ChildCount() const override { throw std::bad_alloc(); }
    long ChildAt(POINT) const override { throw std::runtime_error("no child there"); }
};

// No exception reaches a COM client: each becomes an error it understands.
TEST(GuardedComCall, AnswersAnExceptionWithAnError)
{
    EXPECT_EQ(GuardedComCall([] { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(GuardedComCall([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(GuardedComCall([]() -> HRESULT { throw std::runtime_error("lost"); }), E_FAIL);
    EXPECT_EQ(GuardedComCall([]() -> HRESULT { throw 7; }), E_FAIL);

    const UniqueWindow window(CreateWindowA(kClassName, "", WS_POPUP, 30, 30, 50, 50, nullptr,
                                            nullptr, programModule.Instance(), nullptr));
    IAccessible* object = new ThrowingAccessible(window.get());
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), E_OUTOFMEMORY);
    VARIANT child{};
    EXPECT_EQ(object->accHitTest(40, 40, &child), E_FAIL);
    EXPECT_EQ(object->Release(), 0u);
}

class NeverOpened : public DialogBase {
protected:
    bool ProcessMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

TEST(DialogBaseTest, FailedOpenLeavesNoPendingRecord)
{
    constexpr int kMissingTemplate = 31999;
    ASSERT_EQ(
        FindResourceA(programModule.Instance(), MAKEINTRESOURCEA(kMissingTemplate), RT_DIALOG),
        nullptr);
    NeverOpened dialog;
    EXPECT_EQ(dialog.DoModal(nullptr, kMissingTemplate), -1);
    EXPECT_EQ(programModule.TakePendingWindow(), nullptr);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

// Paths longer than MAX_PATH are read whole; a failure gives no path at all,
// never a cut one that would name another folder.
TEST(ModuleFileName, GrowsUntilThePathFits)
{
    const std::string longPath = "C:\\" + std::string(700, 'x') + "\\sorvane.exe";
    const struct {
        std::string path;
        bool fails;
        std::string expected;
    } kCases[] = {
        {"C:\\Tools\\sorvane.exe", false, "C:\\Tools\\sorvane.exe"},
        {longPath, false, longPath},
        {std::string(MAX_PATH, 'y'), false, std::string(MAX_PATH, 'y')},
        {"C:\\sorvane.exe", true, ""},
        {std::string(70000, 'z'), false, ""},
    };
    for (const auto& c : kCases) {
        const std::string got = ReadGrowingPath([&](char* buffer, DWORD size) -> DWORD {
            if (c.fails) {
                return 0;
            }
            // As GetModuleFileNameA: a cut copy answers the buffer's size.
            const std::size_t copied = std::min<std::size_t>(c.path.size(), size - 1);
            std::copy_n(c.path.data(), copied, buffer);
            buffer[copied] = '\0';
            return c.path.size() < size ? static_cast<DWORD>(c.path.size()) : size;
        });
        EXPECT_EQ(got, c.expected) << c.path.size();
    }
    EXPECT_TRUE(ModuleFileName(nullptr).ends_with("\\toolkit_tests.exe"));
}

} // namespace
