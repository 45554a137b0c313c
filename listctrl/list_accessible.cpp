// The list's accessible object: the rows and the column titles for screen
// readers, and selecting, focusing and the default actions done the way the
// mouse and the keys do them, notices to the parent included.
#include "listctrl/list_accessible.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "listctrl/list_window.h"

namespace {

constexpr long kSelectFlags = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_EXTENDSELECTION |
                              SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION;
// Adding and removing at once, or taking the selection while changing it,
// asks for two different things.
bool ValidSelectFlags(long flags)
{
    if ((flags & ~kSelectFlags) != 0 ||
        ((flags & SELFLAG_ADDSELECTION) && (flags & SELFLAG_REMOVESELECTION))) {
        return false;
    }
    const long changes = SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION;
    return !(flags & SELFLAG_TAKESELECTION) || !(flags & changes);
}

} // namespace

class ListAccessible final : public AccessibleObject {
public:
    explicit ListAccessible(ListWindow& control) : AccessibleObject(control.Handle()), list(control)
    {
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

protected:
    long ChildCount() const override { return Rows() + Titles(); }
    long FocusedChild() const override;
    RECT ChildRect(long id) const override;
    long ChildAt(POINT point) const override;
    std::optional<long> NeighbourChild(long from, long direction) const override;

private:
    enum class Part { Self, Row, Title };
    struct Target {
        Part part = Part::Self;
        int index = 0; // the row, or the title's display position
    };

    Target TargetOf(long id) const;
    int Rows() const { return list.Model().GetItemCount(); }
    int Titles() const { return list.Options().showHeader ? list.Model().GetColumnCount() : 0; }
    static long RowId(int row) { return row + 1; }
    long TitleId(int position) const { return Rows() + position + 1; }
    std::string RowName(int row) const;
    long RowState(int row) const;
    long TitleState(int position) const;
    HRESULT SelectRow(int row, long flags);
    void RemoveRangeFromSelection(int row);

    ListWindow& list;
};

ListAccessible::Target ListAccessible::TargetOf(long id) const
{
    if (id == CHILDID_SELF) {
        return Target{Part::Self, 0};
    }
    if (id <= Rows()) {
        return Target{Part::Row, static_cast<int>(id - 1)};
    }
    return Target{Part::Title, static_cast<int>(id - Rows() - 1)};
}

// The cells as the row shows them, in the header's order; a column dragged
// to nothing shows nothing.
std::string ListAccessible::RowName(int row) const
{
    const ListModel& model = list.Model();
    std::string name;
    for (int position = 0; position < model.GetColumnCount(); ++position) {
        if (model.GetColumnWidth(position) == 0) {
            continue;
        }
        const std::string text = CellText(model, row, model.GetColumnIndex(position));
        if (!text.empty()) {
            name += name.empty() ? text : ", " + text;
        }
    }
    return name;
}

long ListAccessible::RowState(int row) const
{
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (list.Model().IsSelected(row)) {
        state |= STATE_SYSTEM_SELECTED;
    }
    if (GetFocus() == Window() && list.Model().EffectiveFocusRow() == row) {
        state |= STATE_SYSTEM_FOCUSED;
    }
    const ListLayout layout = list.Layout();
    const ListRect rect = layout.RowRect(row);
    if (rect.bottom <= layout.HeaderBottom() || rect.top >= layout.Viewport().height) {
        state |= STATE_SYSTEM_OFFSCREEN;
    }
    return state | (WindowStates() & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
}

long ListAccessible::TitleState(int position) const
{
    const ListLayout layout = list.Layout();
    const ListRect rect = layout.TitleRect(position);
    long state = 0;
    if (rect.right <= rect.left) {
        state |= STATE_SYSTEM_INVISIBLE;
    } else if (rect.right <= 0 || rect.left >= layout.Viewport().width) {
        state |= STATE_SYSTEM_OFFSCREEN;
    }
    return state | (WindowStates() & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
}

long ListAccessible::FocusedChild() const
{
    const int row = list.Model().EffectiveFocusRow();
    return row >= 0 ? RowId(row) : CHILDID_SELF;
}

RECT ListAccessible::ChildRect(long id) const
{
    const Target target = TargetOf(id);
    switch (target.part) {
    case Part::Row:
        return ToRect(list.Layout().RowRect(target.index));
    case Part::Title:
        return ToRect(list.Layout().TitleRect(target.index));
    default:
        return AccessibleObject::ChildRect(id);
    }
}

long ListAccessible::ChildAt(POINT point) const
{
    const ListLayout layout = list.Layout();
    const ListPoint at = ToListPoint(point);
    if (point.y < layout.HeaderBottom()) {
        for (int position = 0; position < Titles(); ++position) {
            if (layout.TitleRect(position).Contains(at)) {
                return TitleId(position);
            }
        }
        return CHILDID_SELF;
    }
    const ListHit hit = layout.HitTestCell(at);
    return hit.row >= 0 && layout.RowRect(hit.row).Contains(at) ? RowId(hit.row) : CHILDID_SELF;
}

// Among the rows, or among the titles; nothing beyond either end.
std::optional<long> ListAccessible::NeighbourChild(long from, long direction) const
{
    const int rows = Rows();
    const int titles = Titles();
    const Target start = TargetOf(from);
    if (start.part == Part::Self) {
        if (direction == NAVDIR_FIRSTCHILD) {
            return rows > 0     ? std::optional(RowId(0))
                   : titles > 0 ? std::optional(TitleId(0))
                                : std::nullopt;
        }
        return rows > 0     ? std::optional(RowId(rows - 1))
               : titles > 0 ? std::optional(TitleId(titles - 1))
                            : std::nullopt;
    }
    const bool row = start.part == Part::Row;
    const bool forward =
        direction == NAVDIR_NEXT || direction == (row ? NAVDIR_DOWN : NAVDIR_RIGHT);
    const bool back = direction == NAVDIR_PREVIOUS || direction == (row ? NAVDIR_UP : NAVDIR_LEFT);
    const int to = forward ? start.index + 1 : back ? start.index - 1 : -1;
    if (to < 0 || to >= (row ? rows : titles)) {
        return std::nullopt;
    }
    return row ? RowId(to) : TitleId(to);
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accName(VARIANT child, BSTR* name)
{
    return AnswerAbout(child, name, [&](long id) {
        const Target target = TargetOf(id);
        switch (target.part) {
        case Part::Row:
            return AnswerText(RowName(target.index), name);
        case Part::Title: {
            ListColumn column;
            list.Model().GetColumn(target.index, column);
            return AnswerText(column.title, name);
        }
        default:
            return AnswerText(LabelName(), name);
        }
    });
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    return AnswerAbout(child, role, [&](long id) {
        const Part part = TargetOf(id).part;
        V_VT(role) = VT_I4;
        V_I4(role) = part == Part::Row     ? ROLE_SYSTEM_LISTITEM
                     : part == Part::Title ? ROLE_SYSTEM_COLUMNHEADER
                                           : ROLE_SYSTEM_LIST;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accState(VARIANT child, VARIANT* state)
{
    return AnswerAbout(child, state, [&](long id) {
        const Target target = TargetOf(id);
        V_VT(state) = VT_I4;
        switch (target.part) {
        case Part::Row:
            V_I4(state) = RowState(target.index);
            break;
        case Part::Title:
            V_I4(state) = TitleState(target.index);
            break;
        default:
            V_I4(state) =
                WindowStates() | (list.Model().SingleSelect()
                                      ? 0
                                      : STATE_SYSTEM_MULTISELECTABLE | STATE_SYSTEM_EXTSELECTABLE);
            break;
        }
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accSelection(VARIANT* children)
{
    return GuardedComCall([&] {
        if (const HRESULT usable = BeginAnswer(children); FAILED(usable)) {
            return usable;
        }
        std::vector<int> rows;
        list.Model().GetSelectedItems(rows);
        std::vector<long> ids;
        for (const int row : rows) {
            ids.push_back(RowId(row));
        }
        return AnswerChildren(ids, children);
    });
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return AnswerAbout(child, action, [&](long id) {
        const Part part = TargetOf(id).part;
        if (part == Part::Row) {
            return AnswerText("Double Click", action);
        }
        // A click on a title sorts by its column.
        if (part == Part::Title && list.Model().SortEnabled()) {
            return AnswerText("Click", action);
        }
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT STDMETHODCALLTYPE ListAccessible::accDoDefaultAction(VARIANT child)
{
    return ActOn(child, [&](long id) {
        const Target target = TargetOf(id);
        ListModel& model = list.Model();
        if (target.part == Part::Row) {
            // The press of a double-click selects the row, then the parent
            // hears of the double-click.
            model.SelectItem(target.index, -1, 0);
            model.NotifyParent(target.index, -1, NotifyDoubleClick);
            return S_OK;
        }
        if (target.part == Part::Title && model.SortEnabled()) {
            list.SortByColumn(target.index);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    });
}

// Rows take the selection as clicks give it; the list itself takes the
// focus; titles take neither.
HRESULT STDMETHODCALLTYPE ListAccessible::accSelect(long flags, VARIANT child)
{
    return ActOn(child, [&](long id) {
        if (!ValidSelectFlags(flags)) {
            return E_INVALIDARG;
        }
        const Target target = TargetOf(id);
        if (target.part == Part::Row) {
            return SelectRow(target.index, flags);
        }
        return AccessibleObject::accSelect(flags, child);
    });
}

// Each kind of selection is the click that makes it; the list's own rules,
// its notices to the parent and its events come with it.
HRESULT ListAccessible::SelectRow(int row, long flags)
{
    ListModel& model = list.Model();
    if (flags & SELFLAG_TAKEFOCUS) {
        SetFocus(Window()); // a click takes the focus before it selects
    }
    const bool selected = model.IsSelected(row);
    const bool add = (flags & SELFLAG_ADDSELECTION) != 0;
    const bool remove = (flags & SELFLAG_REMOVESELECTION) != 0;
    if (flags & SELFLAG_TAKESELECTION) {
        model.SelectItem(row, -1, 0);
    } else if ((flags & SELFLAG_EXTENDSELECTION) && remove) {
        RemoveRangeFromSelection(row);
    } else if (flags & SELFLAG_EXTENDSELECTION) {
        // A Shift-click; this list's Ctrl+Shift-click is the same.
        model.SelectItem(row, -1, kModifierShift);
    } else if ((add && !selected) || (remove && selected)) {
        model.SelectItem(row, -1, kModifierCtrl); // a Ctrl-click toggles the row
    } else if (flags & SELFLAG_TAKEFOCUS) {
        list.FocusRow(row); // Ctrl with an arrow: the focus moves, the selection stays
    }
    // A single-selection list keeps its row: no click takes it away.
    return remove && model.IsSelected(row) ? E_FAIL : S_OK;
}

// Ctrl-clicks on the selected rows from the anchor to the row; the anchor
// stays where it was, the focus goes to the row.
void ListAccessible::RemoveRangeFromSelection(int row)
{
    ListModel& model = list.Model();
    const int anchor = model.AnchorRow() >= 0 ? model.AnchorRow() : row;
    for (int each = std::min(anchor, row); each <= std::max(anchor, row); ++each) {
        if (model.IsSelected(each)) {
            model.SelectItem(each, -1, kModifierCtrl);
        }
    }
    model.SetAnchorRow(anchor);
    list.FocusRow(row);
}

AccessibleObject* NewListAccessible(ListWindow& list)
{
    return new (std::nothrow) ListAccessible(list);
}
