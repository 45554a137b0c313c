#include "toolkit/accessible_object.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>

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

// The ids of several children, one after the other, as get_accSelection
// hands them out.
class ChildEnumerator final : public IEnumVARIANT {
public:
    ChildEnumerator(std::vector<long> childIds, std::size_t position)
        : ids(std::move(childIds)), next(position)
    {
    }
    ChildEnumerator(const ChildEnumerator&) = delete;
    ChildEnumerator& operator=(const ChildEnumerator&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid != IID_IUnknown && iid != IID_IEnumVARIANT) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override
    {
        if (items == nullptr || (count > 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG given = 0;
        for (; given < count && next < ids.size(); ++given, ++next) {
            SetChildVariant(&items[given], ids[next]);
        }
        if (fetched != nullptr) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const std::size_t left = ids.size() - next;
        next += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override
    {
        if (copy == nullptr) {
            return E_POINTER;
        }
        *copy = new (std::nothrow) ChildEnumerator(ids, next);
        return *copy != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~ChildEnumerator() = default;

    std::atomic<ULONG> references{1};
    std::vector<long> ids;
    std::size_t next = 0;
};

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
    if (count == nullptr) {
        return E_POINTER;
    }
    ITypeInfo* info = nullptr;
    *count = SUCCEEDED(TypeInfo(&info)) ? 1 : 0;
    if (info != nullptr) {
        info->Release();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    return index != 0 ? DISP_E_BADINDEX : TypeInfo(info);
}

HRESULT STDMETHODCALLTYPE AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                                          DISPID* ids)
{
    ITypeInfo* info = nullptr;
    const HRESULT loaded = TypeInfo(&info);
    if (FAILED(loaded)) {
        return loaded;
    }
    const HRESULT result = DispGetIDsOfNames(info, names, count, ids);
    info->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                                   DISPPARAMS* parameters, VARIANT* result,
                                                   EXCEPINFO* exception, UINT* argumentError)
{
    ITypeInfo* info = nullptr;
    const HRESULT loaded = TypeInfo(&info);
    if (FAILED(loaded)) {
        return loaded;
    }
    const HRESULT invoked = DispInvoke(static_cast<IAccessible*>(this), info, id, flags, parameters,
                                       result, exception, argumentError);
    info->Release();
    return invoked;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accParent(IDispatch** parent)
{
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
    const HRESULT result = frame->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(parent));
    frame->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelp(VARIANT, BSTR* help)
{
    if (help == nullptr) {
        return E_POINTER;
    }
    *help = nullptr;
    const HRESULT usable = Usable();
    return FAILED(usable) ? usable : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file == nullptr || topic == nullptr) {
        return E_POINTER;
    }
    *file = nullptr;
    *topic = 0;
    const HRESULT usable = Usable();
    return FAILED(usable) ? usable : DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
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
}

HRESULT STDMETHODCALLTYPE AccessibleObject::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AccessibleObject::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
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

HRESULT AnswerText(std::string_view text, BSTR* answer)
{
    *answer = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    const int size = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX / 2));
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return E_FAIL;
    }
    BSTR converted = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (converted == nullptr) {
        return E_OUTOFMEMORY;
    }
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, converted, length);
    *answer = converted;
    return S_OK;
}

HRESULT AnswerLocation(const RECT& screen, long* left, long* top, long* width, long* height)
{
    *left = screen.left;
    *top = screen.top;
    *width = screen.right - screen.left;
    *height = screen.bottom - screen.top;
    return S_OK;
}

void SetChildVariant(VARIANT* answer, long id)
{
    VariantInit(answer);
    V_VT(answer) = VT_I4;
    V_I4(answer) = id;
}

HRESULT AnswerChildren(const std::vector<long>& ids, VARIANT* answer)
{
    VariantInit(answer);
    if (ids.empty()) {
        return S_FALSE;
    }
    if (ids.size() == 1) {
        SetChildVariant(answer, ids.front());
        return S_OK;
    }
    auto* enumerator = new (std::nothrow) ChildEnumerator(ids, 0);
    if (enumerator == nullptr) {
        return E_OUTOFMEMORY;
    }
    V_VT(answer) = VT_UNKNOWN;
    V_UNKNOWN(answer) = enumerator;
    return S_OK;
}

RECT ClientToScreenRect(HWND hwnd, RECT rect)
{
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsClientObjectRequest(LPARAM objectId)
{
    // The id travels as 32 bits; a 64-bit lParam may or may not carry the
    // sign of a negative one.
    return static_cast<DWORD>(objectId) == static_cast<DWORD>(OBJID_CLIENT);
}

bool AnswerObjectRequest(IAccessible* accessible, WPARAM wParam, LRESULT& result)
{
    if (accessible == nullptr) {
        return false;
    }
    result = LresultFromObject(kAccessibleInterface, wParam, accessible);
    accessible->Release();
    return true;
}

void AccessibleSlot::Reset()
{
    if (object != nullptr) {
        object->Disconnect();
        object->Release();
        object = nullptr;
    }
}
