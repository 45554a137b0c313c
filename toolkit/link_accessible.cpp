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

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;

protected:
    RECT ChildRect(long id) const override;

private:
    // The text as the label shows it, without the anchor tags.
    std::string Text() const;

    HyperLinkLabel& link;
};

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

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accName(VARIANT child, BSTR* name)
{
    return AnswerAbout(child, name, [&](long) { return AnswerText(Text(), name); });
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accValue(VARIANT child, BSTR* value)
{
    return AnswerAbout(child, value, [&](long) {
        // A link's value is where it leads; a command link leads nowhere.
        if (link.Has(CommandMode) || link.target == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return AnswerText(link.target.get(), value);
    });
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    return AnswerAbout(child, role, [&](long) {
        V_VT(role) = VT_I4;
        V_I4(role) = ROLE_SYSTEM_LINK;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accState(VARIANT child, VARIANT* state)
{
    return AnswerAbout(child, state, [&](long) {
        V_VT(state) = VT_I4;
        V_I4(state) =
            WindowStates() | STATE_SYSTEM_LINKED | (link.Visited() ? STATE_SYSTEM_TRAVERSED : 0);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return AnswerAbout(child, shortcut, [&](long) {
        // The text in front of a link is no label of it, often another link.
        return S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE LinkAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return AnswerAbout(child, action, [&](long) {
        return link.IsActive() ? AnswerText("Jump", action) : DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT STDMETHODCALLTYPE LinkAccessible::accDoDefaultAction(VARIANT child)
{
    return ActOn(child, [&](long) {
        if (!link.IsActive()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        // A switched-off link takes no click either.
        if (!IsWindowEnabled(Window())) {
            return E_FAIL;
        }
        return link.Activate() ? S_OK : E_FAIL;
    });
}

// Where the link's text is, which is where a click acts.
RECT LinkAccessible::ChildRect(long id) const
{
    RECT rect = link.LinkRect();
    if (IsRectEmpty(&rect)) {
        rect = AccessibleObject::ChildRect(id);
    }
    return rect;
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
