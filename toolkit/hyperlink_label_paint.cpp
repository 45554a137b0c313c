// Measuring and drawing the link: where its text lies, and how it looks.
#include "toolkit/hyperlink_label.h"

#include <commctrl.h>

namespace {

bool StartsWithIgnoringCase(const char* text, int available, const char* tag, int length)
{
    return available >= length && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text, length,
                                                 tag, length) == CSTR_EQUAL;
}

} // namespace

UINT HyperLinkLabel::TextAlignment() const
{
    const LONG_PTR kind = GetWindowLongPtrA(Handle(), GWL_STYLE) & SS_TYPEMASK;
    return kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT;
}

TaggedText HyperLinkLabel::SplitTaggedText() const
{
    TaggedText parts;
    const char* source = ShownText();
    if (source == nullptr) {
        return parts;
    }
    const int length = lstrlenA(source);
    bool opened = false;
    for (int i = 0; i < length; ++i) {
        if (source[i] != '<') {
            continue;
        }
        if (!opened) {
            if (StartsWithIgnoringCase(source + i, length - i, "<A>", 3)) {
                if (i > 0) {
                    parts.before = {source, i};
                }
                parts.link.start = source + i + 3;
                opened = true;
            }
        } else if (StartsWithIgnoringCase(source + i, length - i, "</A>", 4)) {
            parts.link.length = i - 3 - parts.before.length;
            if (i + 4 < length) {
                parts.after = {source + i + 4, length - (i + 4)};
            }
            break;
        }
    }
    return parts;
}

bool HyperLinkLabel::UpdateLinkRect()
{
    const HWND hwnd = Handle();
    const char* shown = ShownText();
    if (hwnd == nullptr || !IsWindow(hwnd) || shown == nullptr) {
        return false;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    linkRect = client;
    if (paintsText) {
        const WindowDc dc(hwnd);
        MeasureLink(dc.get(), client);
    }
    if (tooltip) {
        // The tip follows the link when the text or the size changes.
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd;
        tool.uId = kToolId;
        tool.rect = linkRect;
        SendMessageA(tooltip.get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

void HyperLinkLabel::MeasureLink(HDC dc, const RECT& client)
{
    // Measured with the font the link is drawn in.
    const HFONT measureFont = linkFont ? linkFont.get() : normalFont;
    if (Has(AnchorTags)) {
        const TaggedText parts = SplitTaggedText();
        if (parts.before.length > 0) {
            const SelectGuard font(dc, normalFont);
            RECT before = client;
            DrawTextA(dc, parts.before.start, parts.before.length, &before,
                      DT_CALCRECT | DT_WORDBREAK);
            linkRect.left = before.right;
        }
        const SelectGuard font(dc, measureFont);
        DrawTextA(dc, parts.link.start != nullptr ? parts.link.start : "", parts.link.length,
                  &linkRect, DT_CALCRECT | DT_WORDBREAK);
        return;
    }
    const SelectGuard font(dc, measureFont);
    const UINT alignment = TextAlignment();
    DrawTextA(dc, ShownText(), -1, &linkRect, DT_CALCRECT | DT_WORDBREAK | alignment);
    const int room = client.right - linkRect.right;
    OffsetRect(&linkRect, alignment == DT_CENTER ? room / 2 : alignment == DT_RIGHT ? room : 0, 0);
}

HFONT HyperLinkLabel::CurrentLinkFont() const
{
    if (!linkFont || (Has(HoverUnderline) && !hovering)) {
        return normalFont;
    }
    return linkFont.get();
}

void HyperLinkLabel::Paint(HDC dc)
{
    const HWND hwnd = Handle();
    RECT client{};
    GetClientRect(hwnd, &client);
    const auto background = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(hwnd)));
    if (background != nullptr) {
        FillRect(dc, &client, background);
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF color = !IsWindowEnabled(hwnd) ? GetSysColor(COLOR_GRAYTEXT)
                           : visited              ? visitedColor
                                                  : linkColor;
    if (Has(AnchorTags)) {
        PaintTaggedText(dc, client, color);
    } else if (const char* shown = ShownText()) {
        const SelectGuard font(dc, CurrentLinkFont());
        const COLORREF oldColor = SetTextColor(dc, color);
        RECT area = linkRect;
        DrawTextA(dc, shown, -1, &area, DT_WORDBREAK | TextAlignment());
        SetTextColor(dc, oldColor);
    }
    if (GetFocus() == hwnd) {
        DrawFocusRect(dc, &linkRect);
    }
    SetBkMode(dc, oldMode);
}

void HyperLinkLabel::PaintTaggedText(HDC dc, const RECT& client, COLORREF color)
{
    const TaggedText parts = SplitTaggedText();
    if (parts.before.length > 0) {
        const SelectGuard font(dc, normalFont);
        RECT area = client;
        DrawTextA(dc, parts.before.start, parts.before.length, &area, DT_WORDBREAK);
    }
    if (parts.link.length > 0) {
        const SelectGuard font(dc, CurrentLinkFont());
        const COLORREF oldColor = SetTextColor(dc, color);
        RECT area = linkRect;
        DrawTextA(dc, parts.link.start, parts.link.length, &area, DT_WORDBREAK);
        SetTextColor(dc, oldColor);
    }
    if (parts.after.length > 0) {
        const SelectGuard font(dc, normalFont);
        RECT area{linkRect.right, linkRect.top, client.right, client.bottom};
        DrawTextA(dc, parts.after.start, parts.after.length, &area, DT_WORDBREAK);
    }
}
