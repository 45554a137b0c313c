// Painting the list: background, rows, cells and the rubber band, all into
// one off-screen bitmap so the window never flickers. The header band is
// painted last, in list_header.cpp.
#include <vsstyle.h>

#include <algorithm>
#include <string>

#include "listctrl/list_date.h"
#include "listctrl/password_list_control.h"
#include "res/resource.h"

namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
constexpr BYTE kBandOpacity = 180;

UINT Alignment(std::uint32_t flags)
{
    if (flags & FlagCentre) {
        return DT_CENTER;
    }
    return (flags & FlagRight) ? DT_RIGHT : DT_LEFT;
}

SIZE ImageSize(HIMAGELIST images)
{
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    return SIZE{width, height};
}

// Draws one image clipped to the cell, so a narrow column never shows a
// neighbour's picture.
void DrawImageClipped(HDC dc, HIMAGELIST images, int image, int x, int y, const RECT& clip)
{
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    ImageList_Draw(images, image, dc, x, y, ILD_TRANSPARENT);
    RestoreDC(dc, saved);
}

} // namespace

std::string FormatCellDate(const ListModel& model, int row, int index, std::uint32_t flags)
{
    ListDateTime date;
    if (!model.GetItemDate(row, index, date) || date.year == 0) {
        return {};
    }
    const SYSTEMTIME time = ToSystemTime(date);
    char datePart[64] = {};
    char timePart[64] = {};
    if (!(flags & FlagTimeOnly) && GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time,
                                                  nullptr, datePart, sizeof datePart) == 0) {
        return {};
    }
    if (!(flags & FlagDateOnly) &&
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, timePart, sizeof timePart) == 0) {
        return {};
    }
    if (flags & FlagDateOnly) {
        return datePart;
    }
    if (flags & FlagTimeOnly) {
        return timePart;
    }
    return std::string(datePart) + " " + timePart;
}

void PasswordListControl::Paint(HDC dc, const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const UniqueDc buffer(CreateCompatibleDC(dc));
    const UniqueBitmap bitmap(buffer ? CreateCompatibleBitmap(dc, width, height) : nullptr);
    if (!bitmap) {
        PaintContent(dc, area); // without memory for a buffer, straight onto the window
        return;
    }
    const SelectGuard select(buffer.get(), bitmap.get());
    // Drawing uses client coordinates; the buffer starts at the area's corner.
    SetWindowOrgEx(buffer.get(), area.left, area.top, nullptr);
    PaintContent(buffer.get(), area);
    BitBlt(dc, area.left, area.top, width, height, buffer.get(), area.left, area.top, SRCCOPY);
}

void PasswordListControl::PaintContent(HDC dc, const RECT& clip)
{
    const int saved = SaveDC(dc);
    PaintBackground(dc, clip);
    PaintRows(dc, clip, FirstVisibleRow(), HeaderBottom());
    if (banding) {
        PaintBand(dc);
    }
    PaintHeader(dc, clip);
    RestoreDC(dc, saved);
}

void PasswordListControl::PaintBackground(HDC dc, const RECT& clip)
{
    FillSolid(dc, clip, look.colors.back);
    BITMAP picture{};
    const int header = HeaderBottom();
    const int height = ClientHeight();
    if (backgroundBitmap == nullptr || height <= header ||
        GetObjectA(backgroundBitmap, sizeof picture, &picture) == 0) {
        return;
    }
    const UniqueDc source(CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    const SelectGuard select(source.get(), backgroundBitmap);
    const int width = ClientWidth();
    if (tileBackground) {
        for (int y = 0; y <= height; y += picture.bmHeight) {
            for (int x = 0; x <= width; x += picture.bmWidth) {
                BitBlt(dc, x, y, picture.bmWidth, picture.bmHeight, source.get(), 0, 0, SRCCOPY);
            }
        }
        return;
    }
    const int x = picture.bmWidth < width ? (width - picture.bmWidth) / 2 : 0;
    const int below = height - header;
    if (picture.bmHeight + look.Px(16) < below) {
        const int y = header + below / 2 - (picture.bmHeight + look.Px(16)) / 2;
        BitBlt(dc, x, y, picture.bmWidth, picture.bmHeight, source.get(), 0, 0, SRCCOPY);
    } else {
        BitBlt(dc, x, header, std::min<int>(picture.bmWidth, width), below, source.get(), 0, 0,
               SRCCOPY);
    }
}

void PasswordListControl::PaintRows(HDC dc, const RECT& clip, int firstRow, int top)
{
    const int left = -ScrollPosition(SB_HORZ);
    const int right = left + model.GetTotalWidth();
    const int count = model.GetItemCount();
    for (int row = firstRow; row < count; ++row, top += model.rowHeight) {
        const RECT rect{left, top, right, top + model.rowHeight};
        if (rect.bottom <= clip.top) {
            continue;
        }
        if (rect.top >= clip.bottom || rect.left >= clip.right) {
            break;
        }
        PaintRow(dc, clip, row, rect);
    }
}

bool PasswordListControl::ListHasFocus() const
{
    return GetFocus() == Handle() || editing;
}

void PasswordListControl::PaintRow(HDC dc, const RECT& clip, int row, const RECT& rowRect)
{
    const bool selected = model.IsSelected(row);
    const bool focused = ListHasFocus();
    if (selected) {
        const ListColors& c = look.colors;
        if (Themed()) {
            DrawRoundedFrame(dc, rowRect, focused ? c.selectedOuter : c.inactiveOuter,
                             focused ? c.selectedInner : c.inactiveInner, c.back, look);
            RECT inside = rowRect;
            InflateRect(&inside, -2, -2);
            FillVerticalGradient(dc, inside, focused ? c.selectedTop : c.inactiveTop,
                                 focused ? c.selectedBottom : c.inactiveBottom);
        } else {
            FillSolid(dc, rowRect, c.highlight);
        }
    }
    int left = rowRect.left;
    for (int position = 0; position < model.GetColumnCount(); ++position) {
        const int width = model.GetColumnWidth(position);
        const RECT cell{left, rowRect.top, left + width - 1, rowRect.bottom};
        left += width;
        if (cell.right < clip.left || cell.right <= cell.left) {
            continue;
        }
        if (cell.left > clip.right) {
            break;
        }
        // A custom cell belongs to a derived control, and so does the rest
        // of its row.
        if (model.GetItemFormat(row, model.GetColumnIndex(position)) == FormatCustom) {
            break;
        }
        PaintCell(dc, row, position, cell, selected, focused);
    }
}

void PasswordListControl::PaintCell(HDC dc, int row, int position, const RECT& cell, bool selected,
                                    bool focused)
{
    const int index = model.GetColumnIndex(position);
    ListCell data;
    if (!model.GetSubItem(row, index, data)) {
        return;
    }
    const ListColors& c = look.colors;
    const bool focusCell =
        model.focusCellMode && row == model.focusRow && position == model.focusColumn;
    if (!focusCell) {
        if (data.backColor != c.back) {
            const UniqueBrush brush(CreateSolidBrush(data.backColor));
            const UniquePen pen(CreatePen(PS_SOLID, 1, data.backColor));
            const SelectGuard selectBrush(dc, brush.get());
            const SelectGuard selectPen(dc, pen.get());
            RoundRect(dc, cell.left, cell.top, cell.right, cell.bottom, look.Px(3), look.Px(3));
        }
    } else if (!Themed()) {
        FillSolid(dc, cell, editing ? c.back : c.focusCell);
        if (editing) {
            const UniqueBrush frame(CreateSolidBrush(c.focusCell));
            FrameRect(dc, &cell, frame.get());
        }
    } else if (focused) {
        DrawRoundedFrame(dc, cell, c.selectedOuter, c.selectedInner, c.back, look);
        RECT inside = cell;
        InflateRect(&inside, -2, -2);
        if (editing) {
            FillSolid(dc, inside, c.back);
        } else {
            FillVerticalGradient(dc, inside, c.focusTop, c.focusBottom);
        }
    }

    RECT textRect = TextRect(cell, position);
    if (ShowsCellImage(row, position, data.image)) {
        const SIZE image = ImageSize(itemImages);
        const int y = cell.top + (cell.bottom - cell.top - image.cy) / 2;
        const int x = !data.text.empty() ? textRect.left
                                         : (textRect.left + textRect.right) / 2 - image.cx / 2 -
                                               (Themed() ? 1 : 0);
        DrawImageClipped(dc, itemImages, data.image, x, y, cell);
        textRect.left += image.cx + look.Px(4);
    }
    if (textRect.right <= textRect.left) {
        return;
    }
    const HFONT font = data.font != nullptr ? static_cast<HFONT>(data.font) : look.listFont.get();
    const SelectGuard selectFont(dc, font);
    SetTextColor(dc, selected && !Themed() && !focusCell ? c.highlightText : data.textColor);
    SetBkMode(dc, TRANSPARENT);
    PaintCellText(dc, row, index, model.GetItemFormat(row, index), model.GetItemFlags(row, index),
                  cell, textRect);
}

// The focus cell of an open editor leaves its image to the editor.
bool PasswordListControl::ShowsCellImage(int row, int position, int image) const
{
    const bool editorCell =
        editing && model.focusCellMode && row == model.focusRow && position == model.focusColumn;
    return itemImages != nullptr && image != -1 && !editorCell;
}

RECT PasswordListControl::CellTextRect(int row, int position, const RECT& cell) const
{
    RECT textRect = TextRect(cell, position);
    if (ShowsCellImage(row, position, model.GetItemImage(row, model.GetColumnIndex(position)))) {
        textRect.left += ImageSize(itemImages).cx + look.Px(4);
    }
    return textRect;
}

void PasswordListControl::PaintCellText(HDC dc, int row, int index, int format, std::uint32_t flags,
                                        const RECT& cell, const RECT& textRect)
{
    const std::string text = model.GetItemText(row, index);
    RECT rect = textRect;
    const UINT drawFormat = kTextFormat | Alignment(flags);
    switch (format) {
    case FormatDateTime: {
        const std::string date = FormatCellDate(model, row, index, flags);
        DrawTextA(dc, date.c_str(), -1, &rect, drawFormat);
        return;
    }
    case FormatCheckBox:
    case FormatCheckBox3: {
        const long value = ReadNumber(text);
        int image = value > 0 ? LIST_IMAGE_CHECK_SET : LIST_IMAGE_CHECK_CLEAR;
        if (format == FormatCheckBox3) {
            image = value < 0    ? LIST_IMAGE_CHECK3_THIRD
                    : value == 0 ? LIST_IMAGE_CHECK_CLEAR
                                 : LIST_IMAGE_CHECK3_SET;
        }
        const SIZE size = ImageSize(systemImages.get());
        const int x = (textRect.left + textRect.right) / 2 - size.cx / 2 - 1;
        const int y = cell.top + (cell.bottom - cell.top - size.cy) / 2;
        DrawImageClipped(dc, systemImages.get(), image, x, y, cell);
        return;
    }
    case FormatProgress:
        PaintProgress(dc, cell, static_cast<int>(std::clamp(ReadNumber(text), 0L, 100L)), flags);
        return;
    case FormatHyperLink:
        if (row == hotItem && index == model.GetColumnIndex(hotColumn) && !(flags & FlagReadOnly)) {
            SelectObject(dc, look.underlineFont.get());
            SetTextColor(dc, look.colors.hyperlink);
        }
        break;
    default:
        break;
    }
    if (!text.empty()) {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, drawFormat);
    }
}

void PasswordListControl::PaintProgress(HDC dc, const RECT& cell, int value, std::uint32_t flags)
{
    RECT bar = cell;
    InflateRect(&bar, -look.Px(3), -look.Px(2));
    if (!Themed() || (flags & FlagPlainProgress) || !look.progressTheme) {
        DrawRoundedFrame(dc, bar, look.colors.headerShadow, look.colors.headerFace,
                         look.colors.back, look);
        InflateRect(&bar, -look.Px(3), -look.Px(3));
        bar.right = bar.left + static_cast<int>((bar.right - bar.left) * value * 0.01);
        FillVerticalGradient(dc, bar, look.colors.progressTop, look.colors.progressBottom);
        return;
    }
    VisualStyles::DrawBackground(look.progressTheme.get(), dc, PP_BAR, 0, bar);
    RECT chunk{bar.left + look.Px(3), bar.top + look.Px(3), bar.right - look.Px(2),
               bar.bottom - look.Px(3)};
    chunk.right = chunk.left + static_cast<int>((chunk.right - chunk.left) * value * 0.01);
    if (chunk.right > chunk.left) {
        VisualStyles::DrawBackground(look.progressTheme.get(), dc, PP_CHUNK, 0, chunk);
    }
}

void PasswordListControl::PaintBand(HDC dc)
{
    const int header = HeaderBottom();
    const int horizontal = ScrollPosition(SB_HORZ);
    const int vertical = ScrollPosition(SB_VERT);
    RECT band = bandRect;
    OffsetRect(&band, -horizontal, -RowOrigin());
    RECT client{};
    GetClientRect(Handle(), &client);
    // Where the list cannot scroll further, the band stops at the edge
    // instead of vanishing past it.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (GetScrollInfo(Handle(), SB_HORZ, &info) &&
        horizontal + static_cast<int>(info.nPage) > info.nMax && band.right > client.right) {
        band.right = client.right;
    }
    if (GetScrollInfo(Handle(), SB_VERT, &info) &&
        vertical + static_cast<int>(info.nPage) > info.nMax && band.bottom > client.bottom) {
        band.bottom = client.bottom;
    }
    if (horizontal == 0) {
        band.left = std::max<LONG>(band.left, 0);
    }
    if (vertical == 0) {
        band.top = std::max<LONG>(band.top, header);
    }
    const RECT rows{0, header, client.right, client.bottom};
    RECT visible{};
    if (!IntersectRect(&visible, &band, &rows)) {
        return;
    }
    const int width = visible.right - visible.left;
    const int height = visible.bottom - visible.top;
    const UniqueDc tint(CreateCompatibleDC(dc));
    const UniqueBitmap tintBitmap(tint ? CreateCompatibleBitmap(dc, width, height) : nullptr);
    if (tintBitmap) {
        const SelectGuard select(tint.get(), tintBitmap.get());
        FillSolid(tint.get(), RECT{0, 0, width, height},
                  Themed() ? look.colors.highlight : look.colors.focusCell);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, kBandOpacity, 0};
        AlphaBlend(tint.get(), 0, 0, width, height, dc, visible.left, visible.top, width, height,
                   blend);
        BitBlt(dc, visible.left, visible.top, width, height, tint.get(), 0, 0, SRCCOPY);
    }
    const UniqueBrush outline(
        CreateSolidBrush(Themed() ? look.colors.highlight : look.colors.text));
    FrameRect(dc, &visible, outline.get());
}
