#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "toolkit/accessible_object.h"
#include "toolkit/subclassed_window.h"
#include "toolkit/unique_handles.h"

// How a link looks and what activating it does.
using LinkStyle = std::uint32_t;
inline constexpr LinkStyle NoUnderline = 0x01;
inline constexpr LinkStyle HoverUnderline = 0x02;
inline constexpr LinkStyle CommandMode = 0x04;
inline constexpr LinkStyle NotifyMode = 0x0C;
inline constexpr LinkStyle AnchorTags = 0x10;
inline constexpr LinkStyle AnchorTagsBold = 0x30;
inline constexpr LinkStyle NoTooltip = 0x40;

// "red,green,blue" in decimal, as the browser keeps its link colours; nothing
// when the text is not such a triple. Each number keeps its low eight bits.
std::optional<COLORREF> ParseColorTriple(std::string_view text);

// A piece of the label's text: where it starts and how long it is.
struct TextPart {
    const char* start = nullptr;
    int length = 0;
};

// The text around and between "<A>" and "</A>".
struct TaggedText {
    TextPart before;
    TextPart link;
    TextPart after;
};

// Turns a static control of a dialog into a link: drawn in the link colours
// with a link font, a hand over the link, a tooltip, and activated by a click
// or by Enter and Space when it has the focus. Activation opens the target
// through the shell, or tells the parent by WM_COMMAND or WM_NOTIFY.
class HyperLinkLabel final : public SubclassedWindow {
public:
    HyperLinkLabel() = default;
    ~HyperLinkLabel() override;

    // Once the window has been taken over: fonts, cursor, tooltip, text and
    // target, and the link colours of the user's browser settings.
    void Attach();

    bool SetLinkText(std::string_view newText);
    bool SetTarget(std::string_view newTarget);
    bool Activate();
    // Answers true once for each activation, while the link tells its
    // parent of it: a parent runs a link's command only when it can claim
    // it, whatever else reaches it with the link's identifier (a command
    // another program posts, or sends while the first one's box is open).
    bool ClaimActivation() { return std::exchange(activationPending, false); }
    bool UpdateLinkRect();
    TaggedText SplitTaggedText() const;

    LinkStyle style = 0;

    COLORREF LinkColor() const { return linkColor; }
    COLORREF VisitedColor() const { return visitedColor; }
    bool Visited() const { return visited; }
    RECT LinkRect() const { return linkRect; }

    // What screen readers see: a new reference to the link's accessible
    // object, the one WM_GETOBJECT hands out; null when it cannot be made.
    IAccessible* Accessible();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The label's one tool in its tooltip.
    static constexpr UINT_PTR kToolId = 1;

    friend class LinkAccessible;

    bool Has(LinkStyle bits) const { return (style & bits) == bits; }
    // The text shown: the label's own, else its target.
    const char* ShownText() const;
    // A link with something to do: a target to open or a command to send.
    bool IsActive() const { return target != nullptr || Has(CommandMode); }
    bool IsInLink(LPARAM pointInClient) const;
    UINT TextAlignment() const;
    void AdoptStatic();
    void CreateLinkFont();
    void MeasureLink(HDC dc, const RECT& client);
    void ReadBrowserColors();
    void AddTool();
    void RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void PaintTaggedText(HDC dc, const RECT& client, COLORREF color);
    HFONT CurrentLinkFont() const;
    void SetHovering(bool hover);
    bool HandleMouse(UINT message, LPARAM lParam, LRESULT& result);
    bool HandleState(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleInput(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSetCursor(LRESULT& result);
    LRESULT OnGetDlgCode(const MSG* message) const;

    std::unique_ptr<char[]> text;
    std::unique_ptr<char[]> target;
    HCURSOR cursor = nullptr;
    UniqueFont linkFont;
    HFONT normalFont = nullptr; // borrowed from the parent
    RECT linkRect{};
    UniqueWindow tooltip;
    COLORREF linkColor = RGB(0, 0, 255);
    COLORREF visitedColor = RGB(128, 0, 128);
    bool paintsText = true;
    bool visited = false;
    bool hovering = false;
    bool activationPending = false;
    AccessibleSlot accessible;
};
