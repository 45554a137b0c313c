// Painting the list: background, rows, cells, the rubber band and the header
// band, from a paint state that nothing here changes.
#include "listctrl/list_painter.h"

#include <vsstyle.h>

#include <algorithm>

#include "listctrl/list_date.h"
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

// Draws one image clipped to a rectangle, so a narrow column never shows a
// neighbour's picture.
void DrawImageClipped(HDC dc, HIMAGELIST images, int image, int x, int y, const RECT& clip)
{
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    ImageList_Draw(images, image, dc, x, y, ILD_TRANSPARENT);
    RestoreDC(dc, saved);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF color)
{
    const UniquePen pen(CreatePen(PS_SOLID, 1, color));
    const SelectGuard select(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

COLORREF OwnOrList(ListColor own, COLORREF list)
{
    return own == kListDefaultColor ? list : own;
}

int CheckImage(int format, long value)
{
    if (format == FormatCheckBox3) {
        return value < 0    ? LIST_IMAGE_CHECK3_THIRD
               : value == 0 ? LIST_IMAGE_CHECK_CLEAR
                            : LIST_IMAGE_CHECK3_SET;
    }
    return value > 0 ? LIST_IMAGE_CHECK_SET : LIST_IMAGE_CHECK_CLEAR;
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

std::string CellText(const ListModel& model, int row, int index)
{
    switch (model.GetItemFormat(row, index)) {
    case FormatDateTime:
        return FormatCellDate(model, row, index, model.GetItemFlags(row, index));
    case FormatCheckBox:
    case FormatCheckBox3:
    case FormatProgress:
        return {}; // pictures, not text
    default:
        return model.GetItemText(row, index);
    }
}

void ListPainter::PaintContent(HDC dc, const RECT& clip) const
{
    const int saved = SaveDC(dc);
    PaintBackground(dc, clip);
    PaintRows(dc, clip, state.layout.FirstVisibleRow(), state.layout.HeaderBottom());
    if (state.banding) {
        PaintBand(dc);
    }
    PaintHeader(dc, clip);
    RestoreDC(dc, saved);
}

void ListPainter::PaintBackground(HDC dc, const RECT& clip) const
{
    FillSolid(dc, clip, state.look.colors.back);
    const HBITMAP backgroundBitmap = state.options.backgroundBitmap;
    BITMAP picture{};
    const int header = state.layout.HeaderBottom();
    const int width = state.layout.Viewport().width;
    const int height = state.layout.Viewport().height;
    if (backgroundBitmap == nullptr || height <= header ||
        GetObjectA(backgroundBitmap, sizeof picture, &picture) == 0) {
        return;
    }
    const UniqueDc source(CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    const SelectGuard select(source.get(), backgroundBitmap);
    if (state.options.tileBackground) {
        for (int y = 0; y <= height; y += picture.bmHeight) {
            for (int x = 0; x <= width; x += picture.bmWidth) {
                BitBlt(dc, x, y, picture.bmWidth, picture.bmHeight, source.get(), 0, 0, SRCCOPY);
            }
        }
        return;
    }
    const int x = picture.bmWidth < width ? (width - picture.bmWidth) / 2 : 0;
    const int below = height - header;
    if (picture.bmHeight + state.look.Px(16) < below) {
        const int y = header + below / 2 - (picture.bmHeight + state.look.Px(16)) / 2;
        BitBlt(dc, x, y, picture.bmWidth, picture.bmHeight, source.get(), 0, 0, SRCCOPY);
    } else {
        BitBlt(dc, x, header, std::min<int>(picture.bmWidth, width), below, source.get(), 0, 0,
               SRCCOPY);
    }
}

void ListPainter::PaintRows(HDC dc, const RECT& clip, int firstRow, int top) const
{
    const RECT first = ToRect(state.layout.RowRect(firstRow));
    const int count = state.model.GetItemCount();
    const int height = state.look.rowHeight;
    for (int row = firstRow; row < count; ++row, top += height) {
        const RECT rect{first.left, top, first.right, top + height};
        if (rect.bottom <= clip.top) {
            continue;
        }
        if (rect.top >= clip.bottom || rect.left >= clip.right) {
            break;
        }
        PaintRow(dc, clip, row, rect);
    }
}

void ListPainter::PaintRow(HDC dc, const RECT& clip, int row, const RECT& rowRect) const
{
    const ListModel& model = state.model;
    const bool selected = model.IsSelected(row);
    if (selected) {
        const ListColors& c = state.look.colors;
        const bool focused = state.focused;
        if (state.Themed()) {
            DrawRoundedFrame(dc, rowRect, focused ? c.selectedOuter : c.inactiveOuter,
                             focused ? c.selectedInner : c.inactiveInner, c.back, state.look);
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
        PaintCell(dc, row, position, cell, selected);
    }
}

bool ListPainter::IsFocusCell(int row, int position) const
{
    const ListModel& model = state.model;
    return model.FocusCellMode() && row == model.FocusRow() && position == model.FocusColumn();
}

void ListPainter::PaintCell(HDC dc, int row, int position, const RECT& cell, bool selected) const
{
    const ListModel& model = state.model;
    const int index = model.GetColumnIndex(position);
    ListCell data;
    if (!model.GetSubItem(row, index, data)) {
        return;
    }
    const bool focusCell = IsFocusCell(row, position);
    const ListColors& colors = state.look.colors;
    PaintCellBackground(dc, cell, OwnOrList(data.backColor, colors.back), focusCell);
    RECT textRect = PlainTextRect(position, cell);
    if (ShowsCellImage(row, position, data.image)) {
        const SIZE image = ImageSize(state.options.itemImages);
        const int y = cell.top + (cell.bottom - cell.top - image.cy) / 2;
        const int x = !data.text.empty() ? textRect.left
                                         : (textRect.left + textRect.right) / 2 - image.cx / 2 -
                                               (state.Themed() ? 1 : 0);
        DrawImageClipped(dc, state.options.itemImages, data.image, x, y, cell);
        textRect.left += image.cx + state.look.Px(4);
    }
    if (textRect.right <= textRect.left) {
        return;
    }
    const HFONT font =
        data.font != nullptr ? static_cast<HFONT>(data.font) : state.look.listFont.get();
    const SelectGuard selectFont(dc, font);
    SetTextColor(dc, selected && !state.Themed() && !focusCell
                         ? colors.highlightText
                         : OwnOrList(data.textColor, colors.text));
    SetBkMode(dc, TRANSPARENT);
    PaintCellText(dc, row, index, cell, textRect);
}

void ListPainter::PaintCellBackground(HDC dc, const RECT& cell, COLORREF own, bool focusCell) const
{
    const ListColors& c = state.look.colors;
    if (!focusCell) {
        if (own != c.back) {
            const UniqueBrush brush(CreateSolidBrush(own));
            const UniquePen pen(CreatePen(PS_SOLID, 1, own));
            const SelectGuard selectBrush(dc, brush.get());
            const SelectGuard selectPen(dc, pen.get());
            const int corner = state.look.Px(3);
            RoundRect(dc, cell.left, cell.top, cell.right, cell.bottom, corner, corner);
        }
    } else if (!state.Themed()) {
        FillSolid(dc, cell, state.editing ? c.back : c.focusCell);
        if (state.editing) {
            const UniqueBrush frame(CreateSolidBrush(c.focusCell));
            FrameRect(dc, &cell, frame.get());
        }
    } else if (state.focused) {
        DrawRoundedFrame(dc, cell, c.selectedOuter, c.selectedInner, c.back, state.look);
        RECT inside = cell;
        InflateRect(&inside, -2, -2);
        if (state.editing) {
            FillSolid(dc, inside, c.back);
        } else {
            FillVerticalGradient(dc, inside, c.focusTop, c.focusBottom);
        }
    }
}

// The focus cell of an open editor leaves its image to the editor.
bool ListPainter::ShowsCellImage(int row, int position, int image) const
{
    const bool editorCell = state.editing && IsFocusCell(row, position);
    return state.options.itemImages != nullptr && image != -1 && !editorCell;
}

RECT ListPainter::PlainTextRect(int position, const RECT& cell) const
{
    RECT text = cell;
    text.left += state.look.Px(position == 0 ? 4 : 3) + state.look.Px(4);
    text.right -= state.look.Px(4);
    return text;
}

RECT ListPainter::TextRect(int row, int position, const RECT& cell) const
{
    RECT text = PlainTextRect(position, cell);
    const int image = state.model.GetItemImage(row, state.model.GetColumnIndex(position));
    if (ShowsCellImage(row, position, image)) {
        text.left += ImageSize(state.options.itemImages).cx + state.look.Px(4);
    }
    return text;
}

void ListPainter::PaintCellText(HDC dc, int row, int index, const RECT& cell,
                                const RECT& textRect) const
{
    const ListModel& model = state.model;
    const int format = model.GetItemFormat(row, index);
    const std::uint32_t flags = model.GetItemFlags(row, index);
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
        const HIMAGELIST glyphs = state.look.systemImages.get();
        const SIZE size = ImageSize(glyphs);
        const int x = (textRect.left + textRect.right) / 2 - size.cx / 2 - 1;
        const int y = cell.top + (cell.bottom - cell.top - size.cy) / 2;
        DrawImageClipped(dc, glyphs, CheckImage(format, ReadNumber(text)), x, y, cell);
        return;
    }
    case FormatProgress:
        PaintProgress(dc, cell, static_cast<int>(std::clamp(ReadNumber(text), 0L, 100L)), flags);
        return;
    case FormatHyperLink:
        if (row == state.hotItem && index == model.GetColumnIndex(state.hotColumn) &&
            !(flags & FlagReadOnly)) {
            SelectObject(dc, state.look.underlineFont.get());
            SetTextColor(dc, state.look.colors.hyperlink);
        }
        break;
    default:
        break;
    }
    if (!text.empty()) {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, drawFormat);
    }
}

void ListPainter::PaintProgress(HDC dc, const RECT& cell, int value, std::uint32_t flags) const
{
    const ListLook& look = state.look;
    RECT bar = cell;
    InflateRect(&bar, -look.Px(3), -look.Px(2));
    if (!state.Themed() || (flags & FlagPlainProgress) || !look.progressTheme) {
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

// The band tints what lies under it, below the header, and is outlined.
void ListPainter::PaintBand(HDC dc) const
{
    const ListViewport& viewport = state.layout.Viewport();
    const RECT rows{0, state.layout.HeaderBottom(), viewport.width, viewport.height};
    RECT visible{};
    if (!IntersectRect(&visible, &state.band, &rows)) {
        return;
    }
    const ListColors& colors = state.look.colors;
    const int width = visible.right - visible.left;
    const int height = visible.bottom - visible.top;
    const UniqueDc tint(CreateCompatibleDC(dc));
    const UniqueBitmap tintBitmap(tint ? CreateCompatibleBitmap(dc, width, height) : nullptr);
    if (tintBitmap) {
        const SelectGuard select(tint.get(), tintBitmap.get());
        FillSolid(tint.get(), RECT{0, 0, width, height},
                  state.Themed() ? colors.highlight : colors.focusCell);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, kBandOpacity, 0};
        AlphaBlend(tint.get(), 0, 0, width, height, dc, visible.left, visible.top, width, height,
                   blend);
        BitBlt(dc, visible.left, visible.top, width, height, tint.get(), 0, 0, SRCCOPY);
    }
    const UniqueBrush outline(CreateSolidBrush(state.Themed() ? colors.highlight : colors.text));
    FrameRect(dc, &visible, outline.get());
}

void ListPainter::PaintHeader(HDC dc, const RECT& clip) const
{
    const ListModel& model = state.model;
    const ListLook& look = state.look;
    const int height = state.layout.HeaderBottom();
    if (height <= 0 || clip.top >= height) {
        return;
    }
    if (!state.Themed()) {
        FillSolid(dc, RECT{0, 0, state.layout.Viewport().width, height}, look.colors.headerFace);
    }
    int left = -state.layout.Viewport().scrollX;
    for (int position = 0; position < model.GetColumnCount(); ++position) {
        ListColumn column;
        model.GetColumn(position, column);
        const RECT rect{left, 0, left + column.width, height};
        left += column.width;
        if (rect.right < clip.left) {
            continue;
        }
        if (rect.left > clip.right) {
            break;
        }
        if (state.Themed()) {
            const int part = position == state.pressedTitle ? HIS_PRESSED
                             : position == state.hotTitle   ? HIS_HOT
                                                            : HIS_NORMAL;
            VisualStyles::DrawBackground(look.headerTheme.get(), dc, HP_HEADERITEM, part, rect);
        } else {
            if (position == state.pressedTitle) {
                FillSolid(dc, rect, look.colors.headerPressed);
            }
            const int top = rect.top + look.Px(4);
            const int bottom = rect.bottom - look.Px(4);
            DrawLine(dc, rect.right - 1, top, rect.right - 1, bottom, look.colors.headerShadow);
            DrawLine(dc, rect.right, top, rect.right, bottom, look.colors.headerHighlight);
        }
        PaintTitle(dc, column, rect, position == 0, true);
    }
    PaintHeaderEnd(dc, left);
}

// Right of the last column: a plain header item themed; classic, a raised
// frame round the band, two pixels wider than the client so its right side
// stays out of view.
void ListPainter::PaintHeaderEnd(HDC dc, int left) const
{
    const ListLook& look = state.look;
    const int width = state.layout.Viewport().width;
    const int height = state.layout.HeaderBottom();
    if (state.Themed() && left < width) {
        const RECT rest{left, 0, width + 2, height};
        VisualStyles::DrawBackground(look.headerTheme.get(), dc, HP_HEADERITEM, HIS_NORMAL, rest);
    } else if (!state.Themed() && state.model.GetColumnCount() > 0) {
        const int right = width + 1;
        DrawLine(dc, 0, 0, right, 0, look.colors.headerHighlight);
        DrawLine(dc, 0, 0, 0, height - 1, look.colors.headerHighlight);
        DrawLine(dc, 0, height - 1, right, height - 1, look.colors.headerShadow);
        DrawLine(dc, right, 0, right, height, look.colors.headerShadow);
    }
}

void ListPainter::PaintTitle(HDC dc, const ListColumn& column, const RECT& columnRect, bool first,
                             bool withArrow) const
{
    const ListModel& model = state.model;
    const ListLook& look = state.look;
    RECT title = columnRect;
    OffsetRect(&title, 0, 1);
    title.left += look.Px(first ? 4 : 3) + look.Px(4);
    title.right -= look.Px(5);
    const bool arrow = withArrow && model.SortEnabled() && column.width > look.Px(15) &&
                       !column.fixed && column.index == model.SortColumn();
    if (arrow) {
        title.right -= look.Px(15);
    }
    const HIMAGELIST glyphs = look.systemImages.get();
    const SIZE image = ImageSize(glyphs);
    if (column.image != -1) {
        const int x = !column.title.empty() ? title.left
                                            : (title.left + title.right) / 2 - image.cx / 2 -
                                                  (state.Themed() ? 1 : 0);
        const int y = (columnRect.bottom - columnRect.top - image.cy) / 2;
        RECT clip = columnRect;
        clip.right -= look.Px(2);
        DrawImageClipped(dc, glyphs, column.image, x, y, clip);
        title.left += image.cx + look.Px(4);
    }
    const SelectGuard font(dc, look.listFont.get());
    SetTextColor(dc, look.colors.headerText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, column.title.c_str(), static_cast<int>(column.title.size()), &title,
              kTextFormat | Alignment(column.flags));
    if (arrow) {
        // The arrow's middle row is 3 rows of every 16 down its glyph, at
        // every size the glyphs are drawn at.
        DrawImageClipped(
            dc, glyphs,
            model.SortAscending() ? LIST_IMAGE_SORT_ASCENDING : LIST_IMAGE_SORT_DESCENDING,
            title.right + look.Px(4),
            (columnRect.top + columnRect.bottom) / 2 - MulDiv(3, image.cy, LIST_IMAGE_SIZE),
            columnRect);
    }
}
