// The hyperlink label's accessible object: a link with its text as the name
// and a click as its default action.
#include "toolkit/link_accessible.h"

#include <new>
#include <string>

#include "toolkit/hyperlink_label.h"

class LinkAccessible final : public AccessibleObject {
public:
    explicit LinkAccessible(HyperLinkLabel& label) : AccessibleObject(label.Handle()), link(label)
    {
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
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
    // S_OK when the caller names the link itself, the only element there is.
    HRESULT Self(const VARIANT& child) const;
    // The text as the label shows it, without the anchor tags.
    std::string Text() const;

    HyperLinkLabel& link;
};

HRESULT LinkAccessible::Self(const VARIANT& child) const
{
    if (const HRESULT usable = Usable(); FAILED(usable)) {
        return usable;
    }
    long id = 0;
    return ReadChild(child, id) && id == CHILDID_SELF ? S_OK : E_INVALIDARG;
}

std::string LinkAccessible::Text() const
{
    const char* shown = link.ShownText();
    if (shown == nullptr) {
        return {};
    }
    const TaggedText parts = link.SplitTaggedText();
    if (!link.Has(AnchorTags) || parts.link.start == nullptr) {
        return shown;
    }
    std::string text;
    for (const TextPart& part : {parts.before, parts.link, parts.after}) {
        if (part.start != nullptr) {
            text.append(part.start, static_cast<std::size_t>(part.length));
        }
    }
    return text;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accChildCount(long* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return Usable();
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accChild(VARIANT, IDispatch** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    const HRESULT usable = Usable();
    return FAILED(usable) ? usable : E_INVALIDARG; // a link has no children
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (name == nullptr) {
        return E_POINTER;
    }
    *name = nullptr;
    const HRESULT self = Self(child);
    return FAILED(self) ? self : AnswerText(Text(), name);
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = nullptr;
    if (const HRESULT self = Self(child); FAILED(self)) {
        return self;
    }
    // A link's value is where it leads; a command link leads nowhere.
    if (link.Has(CommandMode) || link.target == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    return AnswerText(link.target.get(), value);
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    if (description == nullptr) {
        return E_POINTER;
    }
    *description = nullptr;
    const HRESULT self = Self(child);
    return FAILED(self) ? self : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (role == nullptr) {
        return E_POINTER;
    }
    VariantInit(role);
    if (const HRESULT self = Self(child); FAILED(self)) {
        return self;
    }
    V_VT(role) = VT_I4;
    V_I4(role) = ROLE_SYSTEM_LINK;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (state == nullptr) {
        return E_POINTER;
    }
    VariantInit(state);
    if (const HRESULT self = Self(child); FAILED(self)) {
        return self;
    }
    V_VT(state) = VT_I4;
    V_I4(state) =
        WindowStates() | STATE_SYSTEM_LINKED | (link.Visited() ? STATE_SYSTEM_TRAVERSED : 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    if (shortcut == nullptr) {
        return E_POINTER;
    }
    *shortcut = nullptr;
    // The text in front of a link is no label of it, often another link.
    const HRESULT self = Self(child);
    return FAILED(self) ? self : S_FALSE;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accFocus(VARIANT* child)
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
    SetChildVariant(child, CHILDID_SELF);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accSelection(VARIANT* children)
{
    if (children == nullptr) {
        return E_POINTER;
    }
    VariantInit(children);
    const HRESULT usable = Usable();
    return FAILED(usable) ? usable : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (action == nullptr) {
        return E_POINTER;
    }
    *action = nullptr;
    if (const HRESULT self = Self(child); FAILED(self)) {
        return self;
    }
    return link.IsActive() ? AnswerText("Jump", action) : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::accDoDefaultAction(VARIANT child)
{
    if (const HRESULT self = Self(child); FAILED(self)) {
        return self;
    }
    if (!link.IsActive()) {
        return DISP_E_MEMBERNOTFOUND;
    }
    // A switched-off link takes no click either.
    if (!IsWindowEnabled(Window())) {
        return E_FAIL;
    }
    return link.Activate() ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::accSelect(long flags, VARIANT child)
{
    if (const HRESULT self = Self(child); FAILED(self)) {
        return self;
    }
    if (flags != SELFLAG_TAKEFOCUS) {
        return E_INVALIDARG; // there is nothing to select in a link
    }
    SetFocus(Window());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LinkAccessible::accLocation(long* left, long* top, long* width,
                                                      long* height, VARIANT child)
{
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    if (const HRESULT self = Self(child); FAILED(self)) {
        return self;
    }
    // Where the link's text is, which is where a click acts.
    RECT rect = link.LinkRect();
    if (IsRectEmpty(&rect)) {
        GetClientRect(Window(), &rect);
    }
    return AnswerLocation(ClientToScreenRect(Window(), rect), left, top, width, height);
}

HRESULT STDMETHODCALLTYPE LinkAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (end == nullptr) {
        return E_POINTER;
    }
    VariantInit(end);
    if (const HRESULT self = Self(start); FAILED(self)) {
        return self;
    }
    if (direction <= NAVDIR_MIN || direction >= NAVDIR_MAX) {
        return E_INVALIDARG;
    }
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
        return S_FALSE;
    }
    return NavigateAmongWindows(direction, start, end);
}

HRESULT STDMETHODCALLTYPE LinkAccessible::accHitTest(long x, long y, VARIANT* child)
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
    SetChildVariant(child, CHILDID_SELF);
    return S_OK;
}

AccessibleObject* NewLinkAccessible(HyperLinkLabel& link)
{
    return new (std::nothrow) LinkAccessible(link);
}

IAccessible* HyperLinkLabel::Accessible()
{
    if (Handle() == nullptr) {
        return nullptr;
    }
    return accessible.Get([this] { return NewLinkAccessible(*this); });
}
