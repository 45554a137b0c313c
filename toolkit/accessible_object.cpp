// The part every accessible object of the program shares, and the answers a
// control gives unless it says otherwise.
#include "toolkit/accessible_object.h"

#include <string>

namespace {

std::string WindowText(HWND hwnd)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A static that shows text, or a group box: what a dialog puts in front of
// a control to name it.
bool IsLabel(HWND hwnd)
{
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    if (lstrcmpiA(className, "Static") == 0) {
        const LONG_PTR kind = style & SS_TYPEMASK;
        return kind <= SS_RIGHT || kind == SS_SIMPLE || kind == SS_LEFTNOWORDWRAP;
    }
    return lstrcmpiA(className, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

// The text as shown: "&&" is an ampersand, a single one underlines the next
// character.
std::string WithoutMnemonic(const std::string& text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

char MnemonicOf(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&') {
                return text[i + 1];
            }
            ++i;
        }
    }
    return '\0';
}

} // namespace

AccessibleObject::AccessibleObject(HWND describedWindow)
    : window(describedWindow), thread(GetWindowThreadProcessId(describedWindow, nullptr))
{
}

AccessibleObject::~AccessibleObject()
{
    if (typeInfo != nullptr) {
        typeInfo->Release();
    }
}

HRESULT STDMETHODCALLTYPE AccessibleObject::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kAccessibleInterface) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE AccessibleObject::AddRef()
{
    return ++references;
}

ULONG STDMETHODCALLTYPE AccessibleObject::Release()
{
    const ULONG left = --references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT AccessibleObject::TypeInfo(ITypeInfo** info)
{
    if (typeInfo == nullptr) {
        ITypeLib* library = nullptr;
        // The library is registered with the system's accessibility DLL,
        // which also carries it as a resource.
        if (FAILED(LoadRegTypeLib(kAccessibilityLibrary, 1, 1, 0, &library)) &&
            FAILED(LoadTypeLibEx(L"oleacc.dll", REGKIND_NONE, &library))) {
            return TYPE_E_CANTLOADLIBRARY;
        }
        const HRESULT found = library->GetTypeInfoOfGuid(kAccessibleInterface, &typeInfo);
        library->Release();
        if (FAILED(found)) {
            return found;
        }
    }
    typeInfo->AddRef();
    *info = typeInfo;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::GetTypeInfoCount(UINT* count)
{
    return GuardedComCall([&] {
        if (count == nullptr) {
            return E_POINTER;
        }
        ITypeInfo* info = nullptr;
        *count = SUCCEEDED(TypeInfo(&info)) ? 1 : 0;
        if (info != nullptr) {
            info->Release();
        }
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    return GuardedComCall([&] {
        if (info == nullptr) {
            return E_POINTER;
        }
        *info = nullptr;
        return index != 0 ? DISP_E_BADINDEX : TypeInfo(info);
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                                          DISPID* ids)
{
    return GuardedComCall([&] {
        ITypeInfo* info = nullptr;
        const HRESULT loaded = TypeInfo(&info);
        if (FAILED(loaded)) {
            return loaded;
        }
        const HRESULT result = DispGetIDsOfNames(info, names, count, ids);
        info->Release();
        return result;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                                   DISPPARAMS* parameters, VARIANT* result,
                                                   EXCEPINFO* exception, UINT* argumentError)
{
    return GuardedComCall([&] {
        ITypeInfo* info = nullptr;
        const HRESULT loaded = TypeInfo(&info);
        if (FAILED(loaded)) {
            return loaded;
        }
        const HRESULT invoked = DispInvoke(static_cast<IAccessible*>(this), info, id, flags,
                                           parameters, result, exception, argumentError);
        info->Release();
        return invoked;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accParent(IDispatch** parent)
{
    return GuardedComCall([&] {
        if (parent == nullptr) {
            return E_POINTER;
        }
        *parent = nullptr;
        if (const HRESULT usable = Usable(); FAILED(usable)) {
            return usable;
        }
        IAccessible* frame = StandardObject(OBJID_WINDOW);
        if (frame == nullptr) {
            return S_FALSE;
        }
        const HRESULT result =
            frame->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(parent));
        frame->Release();
        return result;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelp(VARIANT, BSTR* help)
{
    return GuardedComCall([&] {
        if (help == nullptr) {
            return E_POINTER;
        }
        *help = nullptr;
        const HRESULT usable = Usable();
        return FAILED(usable) ? usable : DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    return GuardedComCall([&] {
        if (file == nullptr || topic == nullptr) {
            return E_POINTER;
        }
        *file = nullptr;
        *topic = 0;
        const HRESULT usable = Usable();
        return FAILED(usable) ? usable : DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return GuardedComCall([&] {
        if (shortcut == nullptr) {
            return E_POINTER;
        }
        *shortcut = nullptr;
        if (const HRESULT usable = Usable(); FAILED(usable)) {
            return usable;
        }
        long id = 0;
        if (!ReadChild(child, id)) {
            return E_INVALIDARG;
        }
        // The dialog's label carries the control's mnemonic; its parts have none.
        char key = id == CHILDID_SELF ? MnemonicOf(LabelText()) : '\0';
        if (key == '\0') {
            return S_FALSE;
        }
        CharUpperBuffA(&key, 1);
        return AnswerText(std::string("Alt+") + key, shortcut);
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accChildCount(long* count)
{
    return GuardedComCall([&] {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        if (const HRESULT usable = Usable(); FAILED(usable)) {
            return usable;
        }
        *count = ChildCount();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accChild(VARIANT child, IDispatch** object)
{
    return GuardedComCall([&] {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        long id = 0;
        if (const HRESULT found = FindChild(child, id); FAILED(found)) {
            return found;
        }
        // The children are elements of this object, not objects of their own.
        return id == CHILDID_SELF ? E_INVALIDARG : S_FALSE;
    });
}

HRESULT AccessibleObject::MissingText(const VARIANT& child, BSTR* text) const
{
    return AnswerAbout(child, text, [](long) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accValue(VARIANT child, BSTR* value)
{
    return MissingText(child, value);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accDescription(VARIANT child, BSTR* description)
{
    return MissingText(child, description);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return MissingText(child, action);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accSelection(VARIANT* children)
{
    return GuardedComCall([&] {
        const HRESULT usable = BeginAnswer(children);
        return FAILED(usable) ? usable : DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accDoDefaultAction(VARIANT child)
{
    return ActOn(child, [](long) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accFocus(VARIANT* child)
{
    return GuardedComCall([&] {
        if (const HRESULT usable = BeginAnswer(child); FAILED(usable)) {
            return usable;
        }
        if (GetFocus() != Window()) {
            return S_FALSE;
        }
        SetChildVariant(child, FocusedChild());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accSelect(long flags, VARIANT child)
{
    return ActOn(child, [&](long id) {
        if (id != CHILDID_SELF || flags != SELFLAG_TAKEFOCUS) {
            return E_INVALIDARG;
        }
        SetFocus(Window());
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accLocation(long* left, long* top, long* width,
                                                        long* height, VARIANT child)
{
    return GuardedComCall([&] {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_POINTER;
        }
        *left = *top = *width = *height = 0;
        long id = 0;
        if (const HRESULT found = FindChild(child, id); FAILED(found)) {
            return found;
        }
        const RECT screen = ClientToScreenRect(Window(), ChildRect(id));
        return AnswerLocation(screen, left, top, width, height);
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    return GuardedComCall([&] {
        long from = 0;
        if (const HRESULT found = BeginAnswer(start, end, from); FAILED(found)) {
            return found;
        }
        if (direction <= NAVDIR_MIN || direction >= NAVDIR_MAX) {
            return E_INVALIDARG;
        }
        const bool toChild = direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
        if (from != CHILDID_SELF && toChild) {
            return E_INVALIDARG; // the children have none of their own
        }
        if (from == CHILDID_SELF && !toChild) {
            return NavigateAmongWindows(direction, start, end);
        }
        const std::optional<long> to = NeighbourChild(from, direction);
        if (!to) {
            return S_FALSE;
        }
        SetChildVariant(end, *to);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE AccessibleObject::accHitTest(long x, long y, VARIANT* child)
{
    return GuardedComCall([&] {
        if (const HRESULT usable = BeginAnswer(child); FAILED(usable)) {
            return usable;
        }
        POINT point{x, y};
        ScreenToClient(Window(), &point);
        RECT client{};
        GetClientRect(Window(), &client);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        SetChildVariant(child, ChildAt(point));
        return S_OK;
    });
}

RECT AccessibleObject::ChildRect(long) const
{
    RECT client{};
    GetClientRect(Window(), &client);
    return client;
}

void AccessibleObject::Disconnect()
{
    window = nullptr;
}

HRESULT AccessibleObject::Usable() const
{
    const HWND described = window.load();
    if (described == nullptr || !IsWindow(described)) {
        return CO_E_OBJNOTCONNECTED;
    }
    return GetCurrentThreadId() == thread ? S_OK : RPC_E_WRONG_THREAD;
}

HRESULT AccessibleObject::FindChild(const VARIANT& child, long& id) const
{
    if (const HRESULT usable = Usable(); FAILED(usable)) {
        return usable;
    }
    return ReadChild(child, id) && id >= 0 && id <= ChildCount() ? S_OK : E_INVALIDARG;
}

HRESULT AccessibleObject::BeginAnswer(const VARIANT& child, BSTR* answer, long& id) const
{
    if (answer == nullptr) {
        return E_POINTER;
    }
    *answer = nullptr;
    return FindChild(child, id);
}

HRESULT AccessibleObject::BeginAnswer(const VARIANT& child, VARIANT* answer, long& id) const
{
    const HRESULT usable = BeginAnswer(answer);
    return FAILED(usable) ? usable : FindChild(child, id);
}

HRESULT AccessibleObject::BeginAnswer(VARIANT* answer) const
{
    if (answer == nullptr) {
        return E_POINTER;
    }
    VariantInit(answer);
    return Usable();
}

bool AccessibleObject::ReadChild(const VARIANT& child, long& id)
{
    const VARIANT* value = &child;
    if (V_VT(value) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(value) != nullptr) {
        value = V_VARIANTREF(value);
    }
    switch (V_VT(value)) {
    case VT_I4:
        id = V_I4(value);
        return true;
    case VT_I2:
        id = V_I2(value);
        return true;
    case VT_EMPTY:
        id = CHILDID_SELF;
        return true;
    case VT_ERROR:
        // An optional argument a script left out.
        id = CHILDID_SELF;
        return V_ERROR(value) == DISP_E_PARAMNOTFOUND;
    default:
        return false;
    }
}

IAccessible* AccessibleObject::StandardObject(LONG objectId)
{
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(Window(), objectId, kAccessibleInterface,
                                         reinterpret_cast<void**>(&standard)))) {
        return nullptr;
    }
    return standard;
}

HRESULT AccessibleObject::NavigateAmongWindows(long direction, VARIANT start, VARIANT* end)
{
    IAccessible* standard = StandardObject(OBJID_CLIENT);
    if (standard == nullptr) {
        return S_FALSE;
    }
    const HRESULT result = standard->accNavigate(direction, start, end);
    standard->Release();
    return result;
}

long AccessibleObject::WindowStates() const
{
    long state = STATE_SYSTEM_FOCUSABLE;
    const HWND described = Window();
    if (GetFocus() == described) {
        state |= STATE_SYSTEM_FOCUSED;
    }
    if (!IsWindowEnabled(described)) {
        state = STATE_SYSTEM_UNAVAILABLE;
    }
    if (!IsWindowVisible(described)) {
        state |= STATE_SYSTEM_INVISIBLE;
    }
    return state;
}

std::string AccessibleObject::LabelName() const
{
    return WithoutMnemonic(LabelText());
}

std::string AccessibleObject::LabelText() const
{
    const HWND previous = GetWindow(Window(), GW_HWNDPREV);
    if (previous == nullptr || !IsLabel(previous)) {
        return {};
    }
    return WindowText(previous);
}
