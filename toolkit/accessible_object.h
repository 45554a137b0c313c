#pragma once

#include <windows.h>

#include <oleacc.h>

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/com_guard.h"

// IAccessible's id and its type library's. mingw-w64 defines both in its uuid
// and its oleacc library, and a program that takes them from both does not
// link; these spellings need neither.
inline const IID& kAccessibleInterface = __uuidof(IAccessible);
inline constexpr GUID kAccessibilityLibrary = {
    0x1ea4dbf0, 0x3c3b, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What every accessible object of the program shares: COM's reference
// counting and IDispatch, the window it describes, and an answer to every
// question but the three each control gives itself (its name, role and
// state). By default an object is one element with no children, no value,
// description, selection or action, that takes the focus and lies over its
// window's client area; a control says only where it differs, through the
// hooks below or by answering a question itself. Every answer here that does
// any work is made inside GuardedComCall, and so must every one a control
// adds: no exception reaches the client.
//
// Screen readers hold these objects as long as they like, also after the
// window is gone; the window therefore keeps its object in an AccessibleSlot,
// which cuts it off when the window goes, and a cut-off object answers
// CO_E_OBJNOTCONNECTED to every question instead of reaching a control that
// no longer exists.
class AccessibleObject : public IAccessible {
public:
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    // IUnknown; nothing in these can throw.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, for script clients, through the system's accessibility type
    // library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // The same for every control here: the parent is the window's standard
    // object (frame, title bar, scroll bars), there is no help, the shortcut
    // is the mnemonic of the dialog's label in front of the control, and
    // nothing takes a name or a value from outside.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

    // The defaults. Children 1 to ChildCount() are elements, no objects of
    // their own; any other id is E_INVALIDARG.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    // No value, description, selection or action: DISP_E_MEMBERNOTFOUND.
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    // FocusedChild() while the window has the focus, S_FALSE otherwise.
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    // The object itself takes the focus; everything else is E_INVALIDARG.
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    // ChildRect() on the screen.
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    // The first, last and next children by NeighbourChild(); from the object
    // itself to the dialog's other controls.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    // ChildAt() a point of the client area; S_FALSE outside it.
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;

    // Cuts the object off from its window for good.
    void Disconnect();

protected:
    explicit AccessibleObject(HWND describedWindow);
    virtual ~AccessibleObject();

    // What a control with children tells the defaults, on the window's
    // thread while the window is there. Ids are child ids, CHILDID_SELF for
    // the object itself.
    virtual long ChildCount() const { return 0; }
    // The child that has the focus while the window has it.
    virtual long FocusedChild() const { return CHILDID_SELF; }
    // In client coordinates; by default the client area.
    virtual RECT ChildRect(long id) const;
    // The child under a point of the client area.
    virtual long ChildAt(POINT) const { return CHILDID_SELF; }
    // The child in that direction (NAVDIR_FIRSTCHILD and NAVDIR_LASTCHILD from
    // the object itself, the others from a child); none by default.
    virtual std::optional<long> NeighbourChild(long, long) const { return std::nullopt; }

    // S_OK while the window is there and the call comes on its thread, the
    // only one that may touch the control; the error to answer otherwise.
    HRESULT Usable() const;
    HWND Window() const { return window.load(); }
    // Reads a child id, accepting what script clients pass for "self";
    // false for anything that is no child id.
    static bool ReadChild(const VARIANT& child, long& id);
    // Usable, and the id of a child there is (0 to ChildCount()), or
    // E_INVALIDARG.
    HRESULT FindChild(const VARIANT& child, long& id) const;
    // The start of an answer about one child: E_POINTER without a place for
    // the answer, which is cleared first, then FindChild.
    HRESULT BeginAnswer(const VARIANT& child, BSTR* answer, long& id) const;
    HRESULT BeginAnswer(const VARIANT& child, VARIANT* answer, long& id) const;
    // The same for an answer about no one child: E_POINTER, then Usable.
    HRESULT BeginAnswer(VARIANT* answer) const;
    // An action on one child, run inside GuardedComCall once FindChild
    // finds it: act(id) says how it went.
    template <typename Act>
    HRESULT ActOn(const VARIANT& child, Act&& act) const
    {
        return GuardedComCall([&] {
            long id = 0;
            const HRESULT found = FindChild(child, id);
            return FAILED(found) ? found : act(id);
        });
    }
    // An answer about one child, made inside GuardedComCall once BeginAnswer
    // lets it: what(id) fills the answer and says how it went.
    template <typename Answer, typename What>
    HRESULT AnswerAbout(const VARIANT& child, Answer* answer, What&& what) const
    {
        return GuardedComCall([&] {
            long id = 0;
            const HRESULT found = BeginAnswer(child, answer, id);
            return FAILED(found) ? found : what(id);
        });
    }
    // The window's standard object of the given kind, made by the system;
    // null where there is none.
    IAccessible* StandardObject(LONG objectId);
    // Moving from the control itself to its neighbours, the dialog's other
    // controls, which the system's object of the client area knows.
    HRESULT NavigateAmongWindows(long direction, VARIANT start, VARIANT* end);
    // The states every control shares: focusable, focused, unavailable,
    // invisible.
    long WindowStates() const;
    // The label in front of the control in the dialog, as it shows it: the
    // name of a control that has no text of its own.
    std::string LabelName() const;

private:
    HRESULT TypeInfo(ITypeInfo** info);
    std::string LabelText() const;
    // DISP_E_MEMBERNOTFOUND about a child there is: a text it has none of.
    HRESULT MissingText(const VARIANT& child, BSTR* text) const;

    std::atomic<ULONG> references{1};
    // Read by a call from any thread, before it learns it came on the wrong one.
    std::atomic<HWND> window{nullptr};
    DWORD thread = 0;
    ITypeInfo* typeInfo = nullptr;
};

// Answers for the IAccessible getters: text as a BSTR, S_FALSE for none.
HRESULT AnswerText(std::string_view text, BSTR* answer);
// A screen rectangle as accLocation answers it.
HRESULT AnswerLocation(const RECT& screen, long* left, long* top, long* width, long* height);
// A child id (CHILDID_SELF for the object), or VT_EMPTY for none.
void SetChildVariant(VARIANT* answer, long id);
// A list of children: VT_EMPTY for none, VT_I4 for one, an enumerator of
// VT_I4 ids for several (the form get_accSelection answers in).
HRESULT AnswerChildren(const std::vector<long>& ids, VARIANT* answer);
// A rectangle in a window's client coordinates, in screen coordinates.
RECT ClientToScreenRect(HWND hwnd, RECT rect);
// WM_GETOBJECT asks for the client area's object (its lParam, a 32-bit id,
// is OBJID_CLIENT); the window's frame and scroll bars are the system's.
bool IsClientObjectRequest(LPARAM objectId);
// WM_GETOBJECT's answer with the object: the reference the system hands the
// client. Takes over the caller's reference; false when there is no object,
// so the window answers as a plain window does.
bool AnswerObjectRequest(IAccessible* accessible, WPARAM wParam, LRESULT& result);

// The one accessible object of a window: made on the first request, handed to
// every client after that, and cut off from the window when the window goes
// (the window calls Reset in WM_DESTROY) or the control's object does.
class AccessibleSlot {
public:
    AccessibleSlot() = default;
    AccessibleSlot(const AccessibleSlot&) = delete;
    AccessibleSlot& operator=(const AccessibleSlot&) = delete;
    ~AccessibleSlot() { Reset(); }

    // A new reference to the object, made by make() when there is none yet;
    // null when it cannot be made.
    template <typename Make>
    IAccessible* Get(Make make)
    {
        if (object == nullptr) {
            object = make();
        }
        if (object != nullptr) {
            object->AddRef();
        }
        return object;
    }

    void Reset();

private:
    AccessibleObject* object = nullptr;
};
