// The list's accessible object: the rows and the column titles for screen
// readers, and selecting, focusing and the default actions done the way the
// mouse and the keys do them, notices to the parent included.
#include "listctrl/list_accessible.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "listctrl/list_accessibility.h"
#include "listctrl/password_list_control.h"

namespace {

constexpr long kSelectFlags = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_EXTENDSELECTION |
                              SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION;
constexpr long kNoChild = -1;

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
    explicit ListAccessible(PasswordListControl& control)
        : AccessibleObject(control.Handle()), list(control)
    {
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

private:
    enum class Part { Self, Row, Title };
    struct Target {
        Part part = Part::Self;
        int index = 0; // the row, or the title's display position
    };

    // The child a caller names, once the object may be used at all.
    HRESULT Find(const VARIANT& child, Target& target) const;
    // DISP_E_MEMBERNOTFOUND for a child that exists: a text it has none of.
    HRESULT NoText(const VARIANT& child, BSTR* text) const;
    int Rows() const { return list.Model().GetItemCount(); }
    int Titles() const { return list.Model().showHeader ? list.Model().GetColumnCount() : 0; }
    static long RowId(int row) { return row + 1; }
    long TitleId(int position) const { return Rows() + position + 1; }
    std::string RowName(int row) const;
    long RowState(int row) const;
    long TitleState(int position) const;
    RECT TitleRect(int position) const;
    long Neighbour(const Target& from, long direction) const;
    HRESULT SelectRow(int row, long flags);
    void RemoveRangeFromSelection(int row);
    void FocusRow(int row);

    PasswordListControl& list;
};

HRESULT ListAccessible::Find(const VARIANT& child, Target& target) const
{
    if (const HRESULT usable = Usable(); FAILED(usable)) {
        return usable;
    }
    long id = 0;
    if (!ReadChild(child, id) || id < 0 || id > Rows() + Titles()) {
        return E_INVALIDARG;
    }
    if (id == CHILDID_SELF) {
        target = Target{Part::Self, 0};
    } else if (id <= Rows()) {
        target = Target{Part::Row, static_cast<int>(id - 1)};
    } else {
        target = Target{Part::Title, static_cast<int>(id - Rows() - 1)};
    }
    return S_OK;
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
    const RECT rect = TitleRect(position);
    long state = 0;
    if (rect.right <= rect.left) {
        state |= STATE_SYSTEM_INVISIBLE;
    } else if (rect.right <= 0 || rect.left >= list.Layout().Viewport().width) {
        state |= STATE_SYSTEM_OFFSCREEN;
    }
    return state | (WindowStates() & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
}

RECT ListAccessible::TitleRect(int position) const
{
    return ToRect(list.Layout().TitleRect(position));
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accChildCount(long* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    if (const HRESULT usable = Usable(); FAILED(usable)) {
        return usable;
    }
    *count = Rows() + Titles();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
    // Rows and titles are elements of the list, not objects of their own.
    return target.part == Part::Self ? E_INVALIDARG : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = nullptr;
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
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
}

// A list and its rows have names, no values, and a row's name already
// carries all its cells, so there is no description either.
HRESULT ListAccessible::NoText(const VARIANT& child, BSTR* text) const
{
    if (text == nullptr) {
        return E_POINTER;
    }
    *text = nullptr;
    Target target;
    const HRESULT found = Find(child, target);
    return FAILED(found) ? found : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accValue(VARIANT child, BSTR* value)
{
    return NoText(child, value);
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return NoText(child, description);
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (role == nullptr) {
        return E_POINTER;
    }
    VariantInit(role);
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
    V_VT(role) = VT_I4;
    V_I4(role) = target.part == Part::Row     ? ROLE_SYSTEM_LISTITEM
                 : target.part == Part::Title ? ROLE_SYSTEM_COLUMNHEADER
                                              : ROLE_SYSTEM_LIST;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (state == nullptr) {
        return E_POINTER;
    }
    VariantInit(state);
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
    V_VT(state) = VT_I4;
    switch (target.part) {
    case Part::Row:
        V_I4(state) = RowState(target.index);
        break;
    case Part::Title:
        V_I4(state) = TitleState(target.index);
        break;
    default:
        V_I4(state) = WindowStates() | (list.Model().singleSelect ? 0
                                                                  : STATE_SYSTEM_MULTISELECTABLE |
                                                                        STATE_SYSTEM_EXTSELECTABLE);
        break;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accFocus(VARIANT* child)
{
    if (child == nullptr) {
        return E_POINTER;
    }
    VariantInit(child);
    if (const HRESULT usable = Usable(); FAILED(usable)) {
        return usable;
    }
    if (GetFocus() != Window()) {
        return S_FALSE;
    }
    const int row = list.Model().EffectiveFocusRow();
    SetChildVariant(child, row >= 0 ? RowId(row) : CHILDID_SELF);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accSelection(VARIANT* children)
{
    if (children == nullptr) {
        return E_POINTER;
    }
    VariantInit(children);
    if (const HRESULT usable = Usable(); FAILED(usable)) {
        return usable;
    }
    std::vector<int> rows;
    list.Model().GetSelectedItems(rows);
    std::vector<long> ids;
    for (const int row : rows) {
        ids.push_back(RowId(row));
    }
    return AnswerChildren(ids, children);
}

HRESULT STDMETHODCALLTYPE ListAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (action == nullptr) {
        return E_POINTER;
    }
    *action = nullptr;
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
    if (target.part == Part::Row) {
        return AnswerText("Double Click", action);
    }
    // A click on a title sorts by its column.
    if (target.part == Part::Title && list.Model().sortEnabled) {
        return AnswerText("Click", action);
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE ListAccessible::accDoDefaultAction(VARIANT child)
{
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
    ListModel& model = list.Model();
    if (target.part == Part::Row) {
        // The press of a double-click selects the row, then the parent hears
        // of the double-click.
        model.SelectItem(target.index, -1, 0);
        model.NotifyParent(target.index, -1, NotifyDoubleClick);
        return S_OK;
    }
    if (target.part == Part::Title && model.sortEnabled) {
        list.SortByColumn(target.index);
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE ListAccessible::accSelect(long flags, VARIANT child)
{
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
    if (!ValidSelectFlags(flags)) {
        return E_INVALIDARG;
    }
    switch (target.part) {
    case Part::Row:
        return SelectRow(target.index, flags);
    case Part::Self:
        if (flags != SELFLAG_TAKEFOCUS) {
            return E_INVALIDARG;
        }
        SetFocus(Window());
        return S_OK;
    default:
        return E_INVALIDARG; // titles take neither the focus nor the selection
    }
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
        FocusRow(row);
    }
    // A single-selection list keeps its row: no click takes it away.
    return remove && model.IsSelected(row) ? E_FAIL : S_OK;
}

// Ctrl-clicks on the selected rows from the anchor to the row; the anchor
// stays where it was, the focus goes to the row.
void ListAccessible::RemoveRangeFromSelection(int row)
{
    ListModel& model = list.Model();
    const int anchor = model.anchorRow >= 0 ? model.anchorRow : row;
    for (int each = std::min(anchor, row); each <= std::max(anchor, row); ++each) {
        if (model.IsSelected(each)) {
            model.SelectItem(each, -1, kModifierCtrl);
        }
    }
    model.anchorRow = anchor;
    FocusRow(row);
}

// What Ctrl with an arrow key does: the focus moves, the selection stays.
void ListAccessible::FocusRow(int row)
{
    list.FocusRow(row);
}

HRESULT STDMETHODCALLTYPE ListAccessible::accLocation(long* left, long* top, long* width,
                                                      long* height, VARIANT child)
{
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    Target target;
    if (const HRESULT found = Find(child, target); FAILED(found)) {
        return found;
    }
    RECT rect{};
    switch (target.part) {
    case Part::Row:
        rect = ToRect(list.Layout().RowRect(target.index));
        break;
    case Part::Title:
        rect = TitleRect(target.index);
        break;
    default:
        GetClientRect(Window(), &rect);
        break;
    }
    return AnswerLocation(ClientToScreenRect(Window(), rect), left, top, width, height);
}

// The child in that direction among the rows, or among the titles;
// kNoChild where there is none.
long ListAccessible::Neighbour(const Target& from, long direction) const
{
    const int rows = Rows();
    const int titles = Titles();
    if (from.part == Part::Self) {
        if (direction == NAVDIR_FIRSTCHILD) {
            return rows > 0 ? RowId(0) : titles > 0 ? TitleId(0) : kNoChild;
        }
        return rows > 0 ? RowId(rows - 1) : titles > 0 ? TitleId(titles - 1) : kNoChild;
    }
    const bool forward = direction == NAVDIR_NEXT ||
                         direction == (from.part == Part::Row ? NAVDIR_DOWN : NAVDIR_RIGHT);
    const bool back = direction == NAVDIR_PREVIOUS ||
                      direction == (from.part == Part::Row ? NAVDIR_UP : NAVDIR_LEFT);
    const int count = from.part == Part::Row ? rows : titles;
    const int to = forward ? from.index + 1 : back ? from.index - 1 : -1;
    if (to < 0 || to >= count) {
        return kNoChild;
    }
    return from.part == Part::Row ? RowId(to) : TitleId(to);
}

HRESULT STDMETHODCALLTYPE ListAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (end == nullptr) {
        return E_POINTER;
    }
    VariantInit(end);
    Target from;
    if (const HRESULT found = Find(start, from); FAILED(found)) {
        return found;
    }
    if (direction <= NAVDIR_MIN || direction >= NAVDIR_MAX) {
        return E_INVALIDARG;
    }
    const bool toChild = direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
    if (from.part != Part::Self && toChild) {
        return E_INVALIDARG; // rows and titles have no children
    }
    if (from.part == Part::Self && !toChild) {
        return NavigateAmongWindows(direction, start, end);
    }
    const long to = Neighbour(from, direction);
    if (to == kNoChild) {
        return S_FALSE;
    }
    SetChildVariant(end, to);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ListAccessible::accHitTest(long x, long y, VARIANT* child)
{
    if (child == nullptr) {
        return E_POINTER;
    }
    VariantInit(child);
    if (const HRESULT usable = Usable(); FAILED(usable)) {
        return usable;
    }
    POINT point{x, y};
    ScreenToClient(Window(), &point);
    RECT client{};
    GetClientRect(Window(), &client);
    if (!PtInRect(&client, point)) {
        return S_FALSE;
    }
    long id = CHILDID_SELF;
    if (point.y < list.Layout().HeaderBottom()) {
        for (int position = 0; position < Titles() && id == CHILDID_SELF; ++position) {
            const RECT title = TitleRect(position);
            if (PtInRect(&title, point)) {
                id = TitleId(position);
            }
        }
    } else if (const ListHit hit = list.HitTestCell(point); hit.row >= 0) {
        const RECT row = ToRect(list.Layout().RowRect(hit.row));
        if (PtInRect(&row, point)) {
            id = RowId(hit.row);
        }
    }
    SetChildVariant(child, id);
    return S_OK;
}

AccessibleObject* NewListAccessible(PasswordListControl& list)
{
    return new (std::nothrow) ListAccessible(list);
}

IAccessible* ListAccessibility::Object()
{
    if (list.Handle() == nullptr) {
        return nullptr;
    }
    return slot.Get([this] { return NewListAccessible(list); });
}

bool ListAccessibility::OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return IsClientObjectRequest(lParam) && AnswerObjectRequest(Object(), wParam, result);
}
