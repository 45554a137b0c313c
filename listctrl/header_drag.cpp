// Column dragging: the drag's data, its source and the list's drop target,
// the shell's drag image, and the marker that shows where a column lands.
#include "listctrl/header_drag.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <vsstyle.h>

#include <vector>

#include "listctrl/list_window.h"
#include "toolkit/com_guard.h"
#include "toolkit/module.h"
#include "toolkit/posted_message_filter.h"

namespace {

constexpr char kMarkerClass[] = "DropArrows";

// ---- The marker ----

LRESULT CALLBACK MarkerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsForeignLifecycleMessage(message)) {
        return 0;
    }
    if (message == WM_PAINT) {
        const PaintDc dc(hwnd);
        if (dc.get() != nullptr) {
            FillSolid(dc.get(), dc.Area(), RGB(255, 0, 0));
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterMarkerClass()
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MarkerProc;
    windowClass.hInstance = programModule.Instance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kMarkerClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Two arrows, one pointing down from above the band and one up from below.
HRGN MarkerShape(int height, const ListLook& look)
{
    const auto px = [&look](int size) { return look.Px(size); };
    const POINT down[] = {{px(8), 0},     {px(8), px(4)}, {px(11), px(4)}, {px(6), px(9)},
                          {px(1), px(4)}, {px(4), px(4)}, {px(4), 0}};
    const int h = height;
    const POINT up[] = {{px(4), h},          {px(4), h - px(4)},  {0, h - px(4)},
                        {px(6), h - px(10)}, {px(12), h - px(4)}, {px(8), h - px(4)},
                        {px(8), h}};
    const UniqueRegion top(CreatePolygonRgn(down, 7, WINDING));
    const UniqueRegion bottom(CreatePolygonRgn(up, 7, WINDING));
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (shape != nullptr && top && bottom) {
        CombineRgn(shape, top.get(), bottom.get(), RGN_OR);
    }
    return shape;
}

// ---- COM objects ----

// Reference counting shared by the small objects below.
template <typename Interface>
class ComObject : public Interface {
public:
    virtual ~ComObject() = default;

    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = InterlockedDecrement(&references);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    LONG references = 1;
};

HGLOBAL CopyGlobal(HGLOBAL source)
{
    const SIZE_T size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) {
        return nullptr;
    }
    const void* from = GlobalLock(source);
    void* to = GlobalLock(copy);
    if (from != nullptr && to != nullptr) {
        CopyMemory(to, from, size);
    }
    GlobalUnlock(copy);
    GlobalUnlock(source);
    return copy;
}

// The data of one column drag: the list's window handle in the header
// format, plus whatever the shell's drag-image service stores alongside.
class DragData final : public ComObject<IDataObject> {
public:
    DragData(HWND owner, UINT headerFormat) : list(owner), format(headerFormat) {}
    ~DragData() override
    {
        for (Stored& stored : extra) {
            ReleaseStgMedium(&stored.medium);
        }
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override
    {
        return GuardedComCall([&] {
            if (wanted == nullptr || medium == nullptr) {
                return E_INVALIDARG;
            }
            *medium = STGMEDIUM{};
            if (wanted->cfFormat == format && (wanted->tymed & TYMED_HGLOBAL)) {
                HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
                auto* handle = static_cast<DWORD*>(block != nullptr ? GlobalLock(block) : nullptr);
                if (handle == nullptr) {
                    return E_OUTOFMEMORY;
                }
                *handle = HandleToULong(list);
                GlobalUnlock(block);
                medium->tymed = TYMED_HGLOBAL;
                medium->hGlobal = block;
                return S_OK;
            }
            for (const Stored& stored : extra) {
                if (stored.format.cfFormat == wanted->cfFormat && (wanted->tymed & TYMED_HGLOBAL)) {
                    medium->tymed = TYMED_HGLOBAL;
                    medium->hGlobal = CopyGlobal(stored.medium.hGlobal);
                    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
                }
            }
            return DV_E_FORMATETC;
        });
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override
    {
        if (wanted == nullptr || !(wanted->tymed & TYMED_HGLOBAL)) {
            return DV_E_TYMED;
        }
        if (wanted->cfFormat == format) {
            return S_OK;
        }
        for (const Stored& stored : extra) {
            if (stored.format.cfFormat == wanted->cfFormat) {
                return S_OK;
            }
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out != nullptr) {
            out->ptd = nullptr;
        }
        return E_NOTIMPL;
    }
    // The drag-image service keeps its picture here for the drop target.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* given, STGMEDIUM* medium, BOOL release) override
    {
        return GuardedComCall([&] {
            if (given == nullptr || medium == nullptr || medium->tymed != TYMED_HGLOBAL) {
                return E_NOTIMPL;
            }
            Stored stored{*given, STGMEDIUM{}};
            stored.format.ptd = nullptr;
            stored.medium.tymed = TYMED_HGLOBAL;
            stored.medium.hGlobal = release ? medium->hGlobal : CopyGlobal(medium->hGlobal);
            if (stored.medium.hGlobal == nullptr) {
                return E_OUTOFMEMORY;
            }
            for (Stored& old : extra) {
                if (old.format.cfFormat == given->cfFormat) {
                    ReleaseStgMedium(&old.medium);
                    old = stored;
                    return S_OK;
                }
            }
            extra.push_back(stored);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        return GuardedComCall([&] {
            if (direction != DATADIR_GET) {
                return E_NOTIMPL;
            }
            std::vector<FORMATETC> offered{
                {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
            for (const Stored& stored : extra) {
                offered.push_back(stored.format);
            }
            return SHCreateStdEnumFmtEtc(static_cast<UINT>(offered.size()), offered.data(),
                                         formats);
        });
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    struct Stored {
        FORMATETC format;
        STGMEDIUM medium;
    };

    HWND list;
    UINT format;
    std::vector<Stored> extra;
};

class DragSource final : public ComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override
    {
        if (escapePressed) {
            return DRAGDROP_S_CANCEL;
        }
        return (keys & (MK_LBUTTON | MK_RBUTTON)) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// The effect the keys ask for, among those the source allows.
DWORD RequestedEffect(DWORD keys, DWORD allowed)
{
    const bool ctrl = (keys & MK_CONTROL) != 0;
    const bool shift = (keys & MK_SHIFT) != 0;
    if (ctrl && shift) {
        return DROPEFFECT_LINK;
    }
    if (ctrl) {
        return DROPEFFECT_COPY;
    }
    if (shift) {
        return DROPEFFECT_MOVE;
    }
    for (const DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
        if (allowed & effect) {
            return effect;
        }
    }
    return DROPEFFECT_NONE;
}

template <typename Interface>
Interface* CreateShellHelper()
{
    Interface* helper = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(Interface), reinterpret_cast<void**>(&helper)))) {
        return nullptr;
    }
    return helper;
}

} // namespace

// ---- The list as drop target ----

class ColumnDropTarget final : public ComObject<IDropTarget> {
public:
    ColumnDropTarget(ListWindow& owner, ColumnDragSite& dragSite)
        : list(owner), site(dragSite), imageHelper(CreateShellHelper<IDropTargetHelper>())
    {
    }
    ~ColumnDropTarget() override
    {
        if (imageHelper != nullptr) {
            imageHelper->Release();
        }
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                        DWORD* effect) override
    {
        return Follow(Step::Enter, data, keys, point, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override
    {
        return Follow(Step::Move, nullptr, keys, point, effect);
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        return GuardedComCall([&] {
            if (imageHelper != nullptr) {
                imageHelper->DragLeave();
            }
            Forget();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effect) override
    {
        return Follow(Step::Drop, data, keys, point, effect);
    }

private:
    enum class Step { Enter, Move, Drop };

    // Each step of a drag over the list: the shell's image follows the
    // pointer, the data is looked at when it comes, and the list answers
    // the effect it accepts; a drop moves the column and ends the drag.
    HRESULT Follow(Step step, IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
    {
        return GuardedComCall([&] {
            if (effect == nullptr) {
                return E_INVALIDARG;
            }
            ShowImage(step, data, POINT{point.x, point.y}, *effect);
            if (step != Step::Move) {
                ownDrag = IsOwnDrag(data);
            }
            *effect = Over(keys, point, *effect);
            if (step == Step::Drop) {
                if (*effect == DROPEFFECT_MOVE && site.DraggedColumn() >= 0 &&
                    site.DropPosition() >= 0) {
                    list.MoveDraggedColumn(site.DraggedColumn(), site.DropPosition(), underPointer);
                }
                Forget();
            }
            return S_OK;
        });
    }

    void ShowImage(Step step, IDataObject* data, POINT screen, DWORD effect) const
    {
        if (imageHelper == nullptr) {
            return;
        }
        switch (step) {
        case Step::Enter:
            imageHelper->DragEnter(list.Handle(), data, &screen, effect);
            break;
        case Step::Move:
            imageHelper->DragOver(&screen, effect);
            break;
        case Step::Drop:
            imageHelper->Drop(data, &screen, effect);
            break;
        }
    }

    // Only this list's own column drags are of interest.
    bool IsOwnDrag(IDataObject* data) const
    {
        FORMATETC format{static_cast<CLIPFORMAT>(list.Look().headerClipboardFormat), nullptr,
                         DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data == nullptr || FAILED(data->GetData(&format, &medium))) {
            return false;
        }
        bool own = false;
        if (const auto* handle = static_cast<const DWORD*>(GlobalLock(medium.hGlobal))) {
            own = GlobalSize(medium.hGlobal) >= sizeof(DWORD) &&
                  *handle == HandleToULong(list.Handle());
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
        return own;
    }

    DWORD Over(DWORD keys, POINTL point, DWORD allowed)
    {
        POINT client{point.x, point.y};
        ScreenToClient(list.Handle(), &client);
        UpdateDropPosition(client);
        const DWORD requested = RequestedEffect(keys, allowed);
        const bool accepted = ownDrag && site.DropPosition() >= 0 && requested == DROPEFFECT_MOVE &&
                              (allowed & DROPEFFECT_MOVE);
        return accepted ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    }

    void UpdateDropPosition(POINT client)
    {
        site.SetDropPosition(-1);
        underPointer = -1;
        const ListLayout layout = list.Layout();
        const int position = layout.ColumnAt(client.x);
        site.SetHotTitle(position);
        if (!ownDrag || position < 0) {
            ShowWindow(site.DropMarker(), SW_HIDE);
            return;
        }
        underPointer = position;
        const ListRect title = layout.TitleRect(position);
        int drop = position + (client.x >= (title.left + title.right) / 2 ? 1 : 0);
        const int dragged = site.DraggedColumn();
        if (drop == dragged || drop == dragged + 1) {
            drop = -1;
        }
        site.SetDropPosition(drop);
        if (drop < 0) {
            ShowWindow(site.DropMarker(), SW_HIDE);
            return;
        }
        PlaceMarker(drop == position ? title.left : title.right);
    }

    void PlaceMarker(int x)
    {
        const HWND marker = site.DropMarker();
        RECT box{};
        if (marker == nullptr || !GetWindowRect(marker, &box)) {
            return;
        }
        POINT point{x, list.Look().headerHeight / 2};
        ClientToScreen(list.Handle(), &point);
        const int height = box.bottom - box.top;
        SetWindowPos(marker, HWND_TOP, point.x - list.Look().Px(7), point.y - height / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }

    void Forget()
    {
        ShowWindow(site.DropMarker(), SW_HIDE);
        site.SetDropPosition(-1);
        ownDrag = false;
    }

    ListWindow& list;
    ColumnDragSite& site;
    IDropTargetHelper* imageHelper;
    bool ownDrag = false;
    int underPointer = -1;
};

// ---- Registration and the drag itself ----

HWND CreateDropMarker(HWND owner, int headerHeight, const ListLook& look)
{
    if (!RegisterMarkerClass()) {
        return nullptr;
    }
    const int width = look.Px(12);
    const int height = headerHeight + look.Px(20);
    const HWND marker =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMarkerClass, "", WS_POPUP | WS_DISABLED,
                        0, 0, width, height, owner, nullptr, programModule.Instance(), nullptr);
    if (marker != nullptr) {
        // The window owns the region from here on.
        if (const HRGN shape = MarkerShape(height, look)) {
            if (!SetWindowRgn(marker, shape, FALSE)) {
                DeleteObject(shape);
            }
        }
    }
    return marker;
}

std::unique_ptr<HeaderDragDrop> HeaderDragDrop::Register(ListWindow& list, ColumnDragSite& site)
{
    auto* target = new ColumnDropTarget(list, site);
    if (FAILED(RegisterDragDrop(list.Handle(), target))) {
        target->Release();
        return nullptr;
    }
    return std::unique_ptr<HeaderDragDrop>(new HeaderDragDrop(list, target));
}

HeaderDragDrop::HeaderDragDrop(ListWindow& owner, IDropTarget* dropTarget)
    : list(owner), target(dropTarget)
{
}

HeaderDragDrop::~HeaderDragDrop()
{
    if (list.Handle() != nullptr) {
        RevokeDragDrop(list.Handle());
    }
    target->Release();
}

IDataObject* HeaderDragDrop::NewData() const
{
    return new DragData(list.Handle(), list.Look().headerClipboardFormat);
}

HBITMAP HeaderDragDrop::RenderTitle(int position, SIZE& size) const
{
    ListColumn column;
    if (!list.Model().GetColumn(position, column) || column.width <= 0) {
        return nullptr;
    }
    size = SIZE{column.width, list.Look().headerHeight};
    const WindowDc screen(nullptr);
    const UniqueDc dc(CreateCompatibleDC(screen.get()));
    HBITMAP bitmap = dc ? CreateCompatibleBitmap(screen.get(), size.cx, size.cy) : nullptr;
    if (bitmap == nullptr) {
        return nullptr;
    }
    {
        const SelectGuard select(dc.get(), bitmap);
        RECT rect{0, 0, size.cx, size.cy};
        if (IsThemed(list.Look(), list.Options())) {
            FillSolid(dc.get(), rect, list.Look().colors.back);
            VisualStyles::DrawBackground(list.Look().headerTheme.get(), dc.get(), HP_HEADERITEM,
                                         HIS_PRESSED, rect);
        } else {
            FillSolid(dc.get(), rect, list.Look().colors.headerFace);
            DrawEdge(dc.get(), &rect, EDGE_RAISED, BF_RECT);
        }
        const ListPaintState state = list.PaintState();
        ListPainter(state).PaintTitle(dc.get(), column, rect, position == 0, false);
    }
    return bitmap;
}

void HeaderDragDrop::DragColumn(int position)
{
    IDataObject* data = NewData();
    if (auto* imageHelper = CreateShellHelper<IDragSourceHelper>()) {
        SIZE size{};
        if (const HBITMAP bitmap = RenderTitle(position, size)) {
            SHDRAGIMAGE image{};
            image.sizeDragImage = size;
            image.ptOffset = POINT{size.cx / 2, size.cy / 2};
            image.hbmpDragImage = bitmap;
            image.crColorKey = list.Look().colors.back;
            // On success the service owns the bitmap.
            if (FAILED(imageHelper->InitializeFromBitmap(&image, data))) {
                DeleteObject(bitmap);
            }
        }
        imageHelper->Release();
    }
    auto* source = new DragSource;
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, source, DROPEFFECT_MOVE, &effect);
    source->Release();
    data->Release();
}
