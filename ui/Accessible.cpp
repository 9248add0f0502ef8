#include "ui/Accessible.h"

#include "ui/Boundary.h"
#include "ui/DpiAwareness.h"
#include "ui/WideText.h"

#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <string>
#include <utility>

namespace vigrel {

struct AccessibleLink {
    const AccessibleParent* parent; // null once the window has gone
    HWND window;
    DWORD thread;           // the window's: the only thread the objects answer on
    bool apartment = false; // the link entered the thread's COM apartment, and leaves it
};

namespace {

// The objects alive, and the module's reference to itself that they keep.
std::atomic<long> liveObjects{0};
HMODULE heldModule = nullptr;

bool HoldModule() {
    if (heldModule == nullptr) {
        HMODULE module = nullptr;
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                reinterpret_cast<LPCWSTR>(&HoldModule), &module)) {
            return false;
        }
        heldModule = module;
    }
    return true;
}

DWORD RoleOf(TAccessibleRole role) {
    switch (role) {
    case TAccessibleRole::arStaticText:
        return ROLE_SYSTEM_STATICTEXT;
    case TAccessibleRole::arPushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case TAccessibleRole::arLink:
        return ROLE_SYSTEM_LINK;
    case TAccessibleRole::arGraphic:
        break;
    }
    return ROLE_SYSTEM_GRAPHIC;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

template <class... P> bool Given(P*... pointers) {
    return ((pointers != nullptr) && ...);
}

void SetId(VARIANT* out, LONG id) {
    out->vt = VT_I4;
    out->lVal = id;
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// What a drawn control answers for a text it does not have.
auto None(BSTR* out) {
    return [out](TGraphicControl&) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        return S_FALSE;
    };
}

using PointMapping = BOOL(WINAPI*)(HWND, LPPOINT);

BOOL WINAPI Unmapped(HWND, LPPOINT) {
    return TRUE;
}

// The system's mapping of a window's logical point to physical screen pixels, or back: the
// per-monitor one from Windows 8.1, the one of Vista, none before.
PointMapping SystemMapping(const char* perMonitor, const char* vista) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    for (const char* name : {perMonitor, vista}) {
        if (const FARPROC found = GetProcAddress(user32, name); found != nullptr) {
            return reinterpret_cast<PointMapping>(reinterpret_cast<void*>(found));
        }
    }
    return &Unmapped;
}

TPointMapping& Mapping() {
    static TPointMapping mapping{};
    return mapping;
}

PointMapping ToPhysical() {
    static const PointMapping system =
        SystemMapping("LogicalToPhysicalPointForPerMonitorDPI", "LogicalToPhysicalPoint");
    return Mapping().ToPhysical != nullptr ? Mapping().ToPhysical : system;
}

PointMapping ToLogical() {
    static const PointMapping system =
        SystemMapping("PhysicalToLogicalPointForPerMonitorDPI", "PhysicalToLogicalPoint");
    return Mapping().ToLogical != nullptr ? Mapping().ToLogical : system;
}

// A rectangle of `window`'s client area in physical screen pixels: mapped to the screen in the
// window's own awareness, whatever the caller's, then to the pixels of the display.
RECT ScreenBounds(HWND window, const RECT& client) {
    const ThreadDpiAwareness windowAwareness(WindowAwareness(window));
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    for (POINT& corner : corners) {
        ClientToScreen(window, &corner);
        ToPhysical()(window, &corner);
    }
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

// A point in physical screen pixels in `window`'s client coordinates: the inverse path.
POINT ClientPoint(HWND window, POINT screen) {
    const ThreadDpiAwareness windowAwareness(WindowAwareness(window));
    ToLogical()(window, &screen);
    ScreenToClient(window, &screen);
    return screen;
}

// A window's client object: the standard one, which answers for the window and its child windows
// (child ids 1 to the number of child windows), and after those the drawn controls as simple
// elements. Ids are counted afresh at every call, as the standard object counts its own.
class AccessibleObject final : public IAccessible, public IEnumVARIANT, public IOleWindow {
public:
    // Takes over the reference to `standard`.
    AccessibleObject(std::shared_ptr<AccessibleLink> link, IAccessible* standard)
        : link_(std::move(link)), standard_(standard) {
        ++liveObjects;
    }
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (iid == __uuidof(IEnumVARIANT)) {
            *object = static_cast<IEnumVARIANT*>(this);
        } else if (iid == __uuidof(IOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch: no type information; clients call the interface itself.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Answer([&] { return standard_->get_accParent(parent); });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!Given(count)) {
            return E_POINTER;
        }
        return Answer([&] {
            const Children children = Survey();
            *count = children.windows + static_cast<LONG>(children.drawn.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return ForChild(
            child,
            [&](TGraphicControl&) {
                if (object == nullptr) {
                    return E_POINTER;
                }
                *object = nullptr; // a simple element: asked through this object
                return S_FALSE;
            },
            [&] { return standard_->get_accChild(child, object); });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!Given(name)) {
            return E_POINTER;
        }
        return ForChild(
            child,
            [&](TGraphicControl& control) { return Text(ToWide(control.SpokenName()), name); },
            [&] { return standard_->get_accName(child, name); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return ForChild(child, None(value), [&] { return standard_->get_accValue(child, value); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return ForChild(child, None(text),
                        [&] { return standard_->get_accDescription(child, text); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!Given(role)) {
            return E_POINTER;
        }
        return ForChild(
            child,
            [&](TGraphicControl& control) {
                SetId(role, static_cast<LONG>(RoleOf(control.AccessibleRole())));
                return S_OK;
            },
            [&] {
                if (IsSelf(child) && link_->parent->AccessibleAsDialog()) {
                    SetId(role, ROLE_SYSTEM_DIALOG);
                    return S_OK;
                }
                return standard_->get_accRole(child, role);
            });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!Given(state)) {
            return E_POINTER;
        }
        return ForChild(
            child,
            [&](TGraphicControl& control) {
                LONG bits = control.Enabled() ? 0 : STATE_SYSTEM_UNAVAILABLE;
                if (control.AccessibleRole() == TAccessibleRole::arLink) {
                    bits |= STATE_SYSTEM_LINKED;
                }
                if (!IsWindowVisible(link_->window)) {
                    bits |= STATE_SYSTEM_INVISIBLE;
                }
                SetId(state, bits);
                return S_OK;
            },
            [&] { return standard_->get_accState(child, state); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return ForChild(child, None(help), [&] { return standard_->get_accHelp(child, help); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return ForChild(
            child,
            [&](TGraphicControl&) {
                if (!Given(file, topic)) {
                    return E_POINTER;
                }
                *file = nullptr;
                *topic = 0;
                return S_FALSE;
            },
            [&] { return standard_->get_accHelpTopic(file, child, topic); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return ForChild(child, None(keys), [&] {
            const std::string shortcut = link_->parent->AccessibleShortcut();
            if (IsSelf(child) && !shortcut.empty()) {
                return keys != nullptr ? Text(ToWide(shortcut), keys) : E_POINTER;
            }
            return standard_->get_accKeyboardShortcut(child, keys);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Answer([&] { return standard_->get_accFocus(focus); });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Answer([&] { return standard_->get_accSelection(selection); });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!Given(action)) {
            return E_POINTER;
        }
        return ForChild(
            child,
            [&](TGraphicControl& control) {
                *action = nullptr;
                return control.HasDefaultAction()
                           ? Text(ToWide(control.DefaultActionName()), action)
                           : S_FALSE;
            },
            [&] { return standard_->get_accDefaultAction(child, action); });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return ForChild(
            child, [](TGraphicControl&) { return DISP_E_MEMBERNOTFOUND; },
            [&] { return standard_->accSelect(flags, child); });
    }
    // In physical screen pixels, as the standard object places the child windows.
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (!Given(left, top, width, height)) {
            return E_POINTER;
        }
        return ForChild(
            child,
            [&](TGraphicControl& control) {
                const RECT bounds = ScreenBounds(link_->window, control.BoundsRect());
                *left = bounds.left;
                *top = bounds.top;
                *width = bounds.right - bounds.left;
                *height = bounds.bottom - bounds.top;
                return S_OK;
            },
            [&] { return standard_->accLocation(left, top, width, height, child); });
    }
    // Drawn controls first, then the child windows: a walk by navigation from the first child
    // meets every one. The child ids stay as they are (the windows first), since they pass to and
    // from the standard object.
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!Given(end)) {
            return E_POINTER;
        }
        return Answer([&] {
            const Children children = Survey();
            const auto drawn = static_cast<LONG>(children.drawn.size());
            const LONG total = children.windows + drawn;
            const LONG from = start.vt == VT_I4 ? start.lVal : -1;
            if (drawn == 0 || from < 0 || from > total) {
                return standard_->accNavigate(direction, start, end);
            }
            VariantInit(end);
            // Places in the order of navigation, from 0; the id at each.
            const auto place = [&](LONG id) {
                return id > children.windows ? id - children.windows - 1 : drawn + id - 1;
            };
            LONG to = -1;
            if (from == CHILDID_SELF) {
                to = direction == NAVDIR_FIRSTCHILD  ? 0
                     : direction == NAVDIR_LASTCHILD ? total - 1
                                                     : -1;
                if (to < 0) {
                    return standard_->accNavigate(direction, start, end);
                }
            } else if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS) {
                to = place(from) + (direction == NAVDIR_NEXT ? 1 : -1);
            } else if (from <= children.windows) {
                return standard_->accNavigate(direction, start, end);
            }
            if (to < 0 || to >= total) {
                return S_FALSE;
            }
            if (to >= drawn) {
                return StandardChild(static_cast<ULONG>(to - drawn), end);
            }
            SetId(end, children.windows + to + 1);
            return S_OK;
        });
    }
    // The point is in physical screen pixels: over a child window, the standard object answers;
    // else the topmost drawn control there, else the standard object again.
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* found) override {
        if (!Given(found)) {
            return E_POINTER;
        }
        return Answer([&] {
            const POINT point = ClientPoint(link_->window, POINT{x, y});
            const HWND at = ChildWindowFromPointEx(link_->window, point,
                                                   CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (at == link_->window) {
                const Children children = Survey();
                for (std::size_t i = children.drawn.size(); i-- > 0;) {
                    const RECT bounds = children.drawn[i]->BoundsRect();
                    if (PtInRect(&bounds, point)) {
                        VariantInit(found);
                        SetId(found, children.windows + static_cast<LONG>(i) + 1);
                        return S_OK;
                    }
                }
            }
            return standard_->accHitTest(x, y, found);
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return ForChild(
            child,
            [&](TGraphicControl& control) {
                if (!control.HasDefaultAction()) {
                    return DISP_E_MEMBERNOTFOUND;
                }
                if (!control.Enabled()) {
                    return E_FAIL;
                }
                // Posted: the action may call the host or show a message box, which the screen
                // reader must not wait for.
                return PostMessageW(link_->window, CM_DEFAULTACTION, 0,
                                    reinterpret_cast<LPARAM>(&control))
                           ? S_OK
                           : E_FAIL;
            },
            [&] { return standard_->accDoDefaultAction(child); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return ForChild(
            child, [](TGraphicControl&) { return DISP_E_MEMBERNOTFOUND; },
            [&] { return standard_->put_accName(child, name); });
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return ForChild(
            child, [](TGraphicControl&) { return DISP_E_MEMBERNOTFOUND; },
            [&] { return standard_->put_accValue(child, value); });
    }

    // IEnumVARIANT: the child windows as the standard object gives them, then the drawn controls'
    // ids.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (count > 0 && !Given(items)) {
            return E_POINTER;
        }
        ULONG got = 0;
        const HRESULT result = Answer([&] {
            const Children children = Survey();
            const auto total =
                static_cast<ULONG>(children.windows) + static_cast<ULONG>(children.drawn.size());
            for (; got < count && position_ < total; ++got, ++position_) {
                VariantInit(&items[got]);
                if (position_ < static_cast<ULONG>(children.windows)) {
                    const HRESULT child = StandardChild(position_, &items[got]);
                    if (FAILED(child)) {
                        return child;
                    }
                } else {
                    SetId(&items[got], static_cast<LONG>(position_) + 1);
                }
            }
            return got == count ? S_OK : S_FALSE;
        });
        if (FAILED(result)) {
            for (ULONG i = 0; i < got; ++i) {
                VariantClear(&items[i]);
            }
            got = 0;
        }
        if (fetched != nullptr) {
            *fetched = got;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        return Answer([&] {
            const Children children = Survey();
            const auto total =
                static_cast<ULONG>(children.windows) + static_cast<ULONG>(children.drawn.size());
            const ULONG left = total - std::min(position_, total);
            position_ += std::min(count, left);
            return count <= left ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (copy == nullptr) {
            return E_POINTER;
        }
        *copy = nullptr;
        return Answer([&] {
            standard_->AddRef();
            auto* clone = new (std::nothrow) AccessibleObject(link_, standard_);
            if (clone == nullptr) {
                standard_->Release();
                return E_OUTOFMEMORY;
            }
            clone->position_ = position_;
            *copy = clone;
            return S_OK;
        });
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = nullptr;
        return Answer([&] {
            *window = link_->window;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    struct Children {
        LONG windows = 0;
        std::vector<TGraphicControl*> drawn;
    };

    ~AccessibleObject() {
        standard_->Release();
        --liveObjects;
    }

    // Runs `answer` while the window is there, on its thread; no failure leaves the object.
    template <class F> HRESULT Answer(F answer) noexcept {
        if (GetCurrentThreadId() != link_->thread) {
            return RPC_E_WRONG_THREAD;
        }
        if (link_->parent == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        return ContainCall(answer);
    }

    // Runs `drawn` for a child id that names a drawn control, else `standard`.
    template <class D, class S> HRESULT ForChild(const VARIANT& child, D drawn, S standard) {
        return Answer([&] {
            if (child.vt == VT_I4 && child.lVal > 0) {
                const Children children = Survey();
                const LONG index = child.lVal - children.windows - 1;
                if (index >= 0 && index < static_cast<LONG>(children.drawn.size())) {
                    return drawn(*children.drawn[static_cast<std::size_t>(index)]);
                }
            }
            return standard();
        });
    }

    Children Survey() const {
        Children children;
        if (FAILED(standard_->get_accChildCount(&children.windows)) || children.windows < 0) {
            children.windows = 0;
        }
        children.drawn = link_->parent->AccessibleControls();
        return children;
    }

    // The standard object's child at `position` (from 0), as its enumeration gives it; as a child
    // id when it has none.
    HRESULT StandardChild(ULONG position, VARIANT* out) const {
        IEnumVARIANT* items = nullptr;
        if (FAILED(standard_->QueryInterface(__uuidof(IEnumVARIANT),
                                             reinterpret_cast<void**>(&items)))) {
            SetId(out, static_cast<LONG>(position) + 1);
            return S_OK;
        }
        ULONG got = 0;
        HRESULT result = items->Reset();
        if (SUCCEEDED(result)) {
            result = items->Skip(position);
        }
        if (result == S_OK) {
            result = items->Next(1, out, &got);
        }
        items->Release();
        if (SUCCEEDED(result) && got != 1) {
            SetId(out, static_cast<LONG>(position) + 1);
        }
        return FAILED(result) ? result : S_OK;
    }

    std::atomic<ULONG> references_{1};
    std::shared_ptr<AccessibleLink> link_;
    IAccessible* standard_; // owned reference
    ULONG position_ = 0;    // the enumeration's next child, from 0
};

} // namespace

bool AnswerGetObject(std::shared_ptr<AccessibleLink>& link, AccessibleParent& parent, HWND window,
                     TMessage& message) {
    if (static_cast<DWORD>(message.LParam) != static_cast<DWORD>(OBJID_CLIENT) ||
        (parent.AccessibleControls().empty() && !parent.AccessibleAsDialog() &&
         parent.AccessibleShortcut().empty())) {
        return false;
    }
    // COM makes a window of its own for the thread when it first marshals, which outlives the
    // window asking: made in the host's awareness, not in the unaware dialog's.
    const ThreadDpiAwareness hostAwareness(HostAwareness());
    if (!link) {
        link = std::make_shared<AccessibleLink>(&parent, window, GetCurrentThreadId());
        // Handing an object out marshals it, which needs an apartment on the window's thread. A
        // single-threaded one also keeps every call, its last release included, on this thread,
        // where the host's close looks at the objects left; a thread of the multithreaded
        // apartment gets the standard object alone.
        link->apartment = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    if (!link->apartment) {
        return false;
    }
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard)))) {
        return false;
    }
    auto* object = HoldModule() ? new (std::nothrow) AccessibleObject(link, standard) : nullptr;
    if (object == nullptr) {
        standard->Release();
        return false;
    }
    const LRESULT result =
        LresultFromObject(__uuidof(IAccessible), message.WParam, static_cast<IAccessible*>(object));
    object->Release();
    if (result <= 0) {
        return false;
    }
    message.Result = result;
    return true;
}

TPointMapping ReplacePointMapping(TPointMapping mapping) {
    return std::exchange(Mapping(), mapping);
}

void DisconnectAccessible(std::shared_ptr<AccessibleLink>& link) {
    if (!link) {
        return;
    }
    link->parent = nullptr;
    if (link->apartment && GetCurrentThreadId() == link->thread) {
        CoUninitialize();
    }
    link.reset();
}

void ReleaseAccessibleHold() {
    if (heldModule != nullptr && liveObjects == 0) {
        FreeLibrary(std::exchange(heldModule, nullptr));
    }
}

} // namespace vigrel
