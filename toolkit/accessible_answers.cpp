// The answers every accessible object gives in the same form (texts,
// rectangles, child ids, lists of children) and the slot a window keeps its
// object in.
#include "toolkit/accessible_object.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>

namespace {

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
        *copy = nullptr;
        // The copy of the ids may run out of memory; nothing else here throws.
        return GuardedComCall([&] {
            *copy = new ChildEnumerator(ids, next);
            return S_OK;
        });
    }

private:
    ~ChildEnumerator() = default;

    std::atomic<ULONG> references{1};
    std::vector<long> ids;
    std::size_t next = 0;
};

} // namespace

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
