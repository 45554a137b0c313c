#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Field order follows SYSTEMTIME, so the window converts member by member.
struct ListDateTime {
    int year = 0;
    int month = 0;
    int dayOfWeek = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;

    bool operator==(const ListDateTime&) const = default;
};

// A font handle lent to the list; the list never frees it.
using ListFont = void*;
// 0x00BBGGRR, the layout of COLORREF.
using ListColor = std::uint32_t;
// A cell's colour when it has none of its own: the list's, as the view
// reads it from the system, so a change of the user's colours reaches every
// such cell. No COLORREF has its high byte set.
inline constexpr ListColor kListDefaultColor = 0xFF000000;

// Cell formats.
inline constexpr int FormatText = 0;
inline constexpr int FormatEdit = 1;
inline constexpr int FormatDateTime = 2;
inline constexpr int FormatCombo = 3;
inline constexpr int FormatCheckBox = 4;
inline constexpr int FormatCheckBox3 = 5;
inline constexpr int FormatHyperLink = 6;
inline constexpr int FormatProgress = 7;
inline constexpr int FormatCustom = 8;

// Cell and column flags.
inline constexpr std::uint32_t FlagLeft = 0x0001;
inline constexpr std::uint32_t FlagRight = 0x0002;
inline constexpr std::uint32_t FlagCentre = 0x0004;
inline constexpr std::uint32_t FlagReadOnly = 0x0008;
inline constexpr std::uint32_t FlagUpperCase = 0x0010;
inline constexpr std::uint32_t FlagNumber = 0x0020;
inline constexpr std::uint32_t FlagDecimal = 0x0040;
inline constexpr std::uint32_t FlagNegative = 0x0080;
inline constexpr std::uint32_t FlagCompare = 0x0100;
inline constexpr std::uint32_t FlagEditableList = 0x0200;
inline constexpr std::uint32_t FlagDateOnly = 0x0400;
inline constexpr std::uint32_t FlagTimeOnly = 0x0800;
inline constexpr std::uint32_t FlagNoDate = 0x1000;
inline constexpr std::uint32_t FlagPlainProgress = 0x2000;

// A cell's text as a number: leading blanks, a sign and digits, as the
// runtime's atol reads them; other text reads as 0. Out-of-range numbers are
// clamped, which keeps their sign.
long ReadNumber(std::string_view text);

// Drops the flags that contradict a stronger one.
std::uint32_t NormaliseFlags(std::uint32_t flags);

// Modifier bits of SelectItem, the same bits as the mouse messages' key state.
inline constexpr unsigned kModifierShift = 0x0004;
inline constexpr unsigned kModifierCtrl = 0x0008;

// What the list tells its parent.
inline constexpr int NotifySelected = -1501;
inline constexpr int NotifyLeftClick = -1502;
inline constexpr int NotifyRightClick = -1503;
inline constexpr int NotifyDoubleClick = -1504;
inline constexpr int NotifyEndEdit = -1505;
inline constexpr int NotifyModified = -1506;
inline constexpr int NotifyHyperLink = -1507;

struct ListColumn {
    std::string title;
    int width = 0;
    bool fixed = false;
    int format = FormatText;
    std::uint32_t flags = 0;
    int image = -1;
    // Position at the time the column was added; cells are stored by it, so
    // it stays with the column when the display order changes.
    int index = 0;
    std::vector<std::string> choices;
};

struct ListCell {
    std::string text;
    int image = -1;
    int format = 0;                   // 0: the column's format
    std::uint32_t flags = 0;          // 0: the column's flags
    std::vector<std::string> choices; // empty: the column's choices
    ListFont font = nullptr;          // null: the list's font
    ListColor backColor = kListDefaultColor;
    ListColor textColor = kListDefaultColor;
};

// One cell per column that existed when the row was added, by data index.
using ListRow = std::vector<ListCell>;

// The window turns this into its WM_NOTIFY record.
struct ListEvent {
    int code = 0;
    int row = -1;
    int column = 0; // data index; 0 when no column is concerned
    std::uint8_t key = 0;
    const char* text = nullptr;
    const ListDateTime* dateTime = nullptr;
};

// What changed, as the model tells its window after the change.
enum class ListChange {
    RowAdded,      // the row given
    RowRemoved,    // the row given; the rows after it moved up
    RowsCleared,   // every row
    RowsReordered, // sorted, or columns added or moved: every row reads anew
    RowText,       // the user changed a cell of the row given
    Selection,     // the selection, and with it the focus row
    Focus,         // the focus or the anchor alone; the selection stayed
};

// What the list's window does for the model.
class ListModelHost {
public:
    // Told after every change of the rows, their order, the selection or the
    // focus, so the window can tell screen readers what happened; row is the
    // row concerned, -1 when none is.
    virtual void RowsChanged(ListChange /*change*/, int /*row*/) {}
    // Recomputes the scroll ranges and repaints everything.
    virtual void ResetScrollBars() = 0;
    virtual void Repaint() = 0;
    virtual void RepaintRow(int /*row*/) { Repaint(); }
    // Opens the editor of the focused cell when it is in view, otherwise
    // brings the focused row into view a moment later.
    virtual void FollowFocus() = 0;
    // Sends the event to the parent window and answers its result.
    virtual std::intptr_t Notify(const ListEvent& event) = 0;
    // Width of one header image, 0 when none are loaded.
    virtual int SystemImageWidth() = 0;

protected:
    ~ListModelHost() = default;
};

// Columns, rows, selection, focus and sort order of the password list; how
// they look is the view's. Columns are addressed by display position, cells
// by the column's data index. Every operation on a row or column that does
// not exist answers 0, false, -1 or empty text and changes nothing. Rows
// coming and going, the selection, the focus and the sort order change only
// through methods that tell the host. There is no lock: every change is made
// on the thread that owns the list's window, which is also the one that
// paints.
class ListModel {
public:
    explicit ListModel(ListModelHost* listHost = nullptr) : host(listHost) {}

    ListModelHost* GetHost() const { return host; }
    void SetHost(ListModelHost* newHost) { host = newHost; }

    // Columns. An untitled column with an image becomes as wide as the image.
    bool AddColumn(std::string_view title, int width, int image, bool fixed, int format,
                   std::uint32_t flags);
    int GetColumnCount() const;
    bool GetColumn(int position, ListColumn& column) const;
    int GetColumnWidth(int position) const;
    int GetColumnFormat(int position) const;
    std::uint32_t GetColumnFlags(int position) const;
    int GetColumnIndex(int position) const;
    bool GetColumnComboList(int position, std::vector<std::string>& choices) const;
    bool SetColumnComboList(int position, std::vector<std::string> choices);
    int FindColumn(int index) const;
    // A fixed column keeps its width and still answers true.
    bool SetColumnWidth(int position, int width);
    // Sum of the widths minus 1, the last pixel column of the content.
    int GetTotalWidth() const;
    // Takes the column out of the display order and puts it at newPosition.
    bool MoveColumn(int position, int newPosition);

    // Rows.
    int AddItem(std::string_view text, int image, int format, std::uint32_t flags);
    int GetItemCount() const;
    bool GetItem(int row, ListRow& item) const;
    bool GetSubItem(int row, int index, ListCell& cell) const;
    std::string GetItemText(int row, int index) const;
    // Callers repaint; nothing is notified.
    bool SetItemText(int row, int index, std::string_view text);
    int GetItemFormat(int row, int index) const;
    std::uint32_t GetItemFlags(int row, int index) const;
    bool GetItemComboList(int row, int index, std::vector<std::string>& choices) const;
    bool SetItemComboList(int row, int index, std::vector<std::string> choices);
    int GetItemImage(int row, int index) const;
    // The cell's own font; null when it shows the list's.
    ListFont GetItemFont(int row, int index) const;
    bool SetItemFont(int row, int index, ListFont font);
    // Colours of the cell's own; kListDefaultColor gives it the list's again.
    bool SetItemColors(int row, int index, ListColor back, ListColor text);
    // Reads the "YYYYMMDDhhmmss" text of a date cell; false when it is empty.
    bool GetItemDate(int row, int index, ListDateTime& dateTime) const;
    bool SetItemDate(int row, int index, const ListDateTime& dateTime);
    bool DeleteItem(int row);
    void DeleteAllItems();

    // Selection. position is a display position, -1 for none.
    bool SelectItem(int row, int position, unsigned modifiers);
    // Select-all and band selection: no notification, no-ops in singleSelect.
    // A band over no row leaves nothing selected.
    bool SelectAll();
    bool SelectRows(int firstRow, int lastRow);
    bool GetSelectedItems(std::vector<int>& selected) const;
    // The focus cell as last set (row, and display position or -1), and the
    // row a Shift-click's range starts from; -1 for none.
    int FocusRow() const { return focusRow; }
    int FocusColumn() const { return focusColumn; }
    int AnchorRow() const { return anchorRow; }
    // Moves the focus to the cell (position -1: the row) without changing
    // the selection, as Ctrl with an arrow key does; a cell that does not
    // exist leaves no focus. Notifies and repaints.
    void SetFocusCell(int row, int position);
    // Where the next Shift-click's range starts; -1 starts it afresh.
    void SetAnchorRow(int row);
    // Where the keys act: the focus row, which Ctrl with an arrow moves
    // alone, selected or not; else the lowest selected row; -1 for none.
    int EffectiveFocusRow() const;
    // The focus column of that row in cell mode, else -1.
    int EffectiveFocusColumn(int row) const;
    bool IsSelected(int row) const;
    int GetSelectedCount() const;
    void ResetSelection();

    // Sorting. SortItems takes a data index and leaves selection and sort
    // state alone; SortByColumn is the title click and takes a position.
    void SortItems(int index);
    bool SortByColumn(int position);
    // The data index the title clicks last sorted by, -1 before any, and
    // its direction.
    int SortColumn() const { return sortColumn; }
    bool SortAscending() const { return sortAscending; }

    // The switches an owner sets. One row at a time; a focus cell that the
    // arrow keys and Tab move from column to column; sorting by title
    // clicks, which is on by default.
    bool SingleSelect() const { return singleSelect; }
    void SetSingleSelect(bool single) { singleSelect = single; }
    bool FocusCellMode() const { return focusCellMode; }
    void SetFocusCellMode(bool cells);
    bool SortEnabled() const { return sortEnabled; }
    void SetSortEnabled(bool enabled);

    // Changes made by the user through the view; position is a display
    // position. Both answer whether the cell changed.
    bool ToggleCheck(int row, int position);
    // key is the virtual key that closed the editor (0 when it lost the
    // focus); a date editor passes its value and "1" or "0" as the text. The
    // window itself clears its editing state and repeats a Tab.
    bool EndEdit(int row, int position, int key, std::string_view text,
                 const ListDateTime* dateTime);

    // position becomes the event's data index, 0 when there is no column.
    std::intptr_t NotifyParent(int row, int position, int code);

private:
    const ListCell* FindCell(int row, int index) const;
    ListCell* FindCell(int row, int index);
    const ListColumn* ColumnOfIndex(int index) const;
    bool IsRow(int row) const;
    int PositionOrNone(int position) const;
    void SelectRange(int from, int to);
    void ShiftAfterDelete(int row);
    void SetChangedCell(int row, int index, std::string text);
    std::intptr_t NotifyIndex(int row, int index, int code);
    void ResetScrollBars();
    void Repaint();
    void Changed(ListChange change, int row = -1);

    ListModelHost* host = nullptr;
    std::vector<ListColumn> columns;
    std::vector<ListRow> rows;
    std::set<int> selection;
    int anchorRow = -1;
    int focusRow = -1;
    int focusColumn = -1; // display position
    int sortColumn = -1;  // data index
    bool sortAscending = true;
    bool singleSelect = false;
    bool focusCellMode = false;
    bool sortEnabled = true;
};
