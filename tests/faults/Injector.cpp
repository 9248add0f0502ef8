#include "tests/faults/Injector.h"

#include "tools/probe/PlugInProbe.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace vigrel::faults {
namespace {

constexpr std::array<const char*, ResourceCount> ResourceNames = {
    "memory", "global", "class", "window", "timer", "gdi", "callback",
};

Injector& I() {
    return Injector::Current();
}

// The functions the hooks stand in front of: whatever the import table held before (another
// hook, such as the host's block ledger, or the system's own).
struct Originals {
    decltype(&malloc) Malloc;
    decltype(&calloc) Calloc;
    decltype(&realloc) Realloc;
    decltype(&GlobalAlloc) GlobalAlloc_;
    decltype(&RegisterClassExW) RegisterClassExW_;
    decltype(&CreateWindowExW) CreateWindowExW_;
    decltype(&SetTimer) SetTimer_;
    decltype(&KillTimer) KillTimer_;
    decltype(&CreateCompatibleDC) CreateCompatibleDC_;
    decltype(&CreateDIBSection) CreateDIBSection_;
    decltype(&CreateFontIndirectW) CreateFontIndirectW_;
    decltype(&CreateSolidBrush) CreateSolidBrush_;
    decltype(&CreatePen) CreatePen_;
    decltype(&CreateRectRgn) CreateRectRgn_;
    decltype(&CreateEllipticRgn) CreateEllipticRgn_;
    decltype(&CreateRoundRectRgn) CreateRoundRectRgn_;
    decltype(&GetDC) GetDC_;
    decltype(&GetWindowDC) GetWindowDC_;
    decltype(&DeleteObject) DeleteObject_;
    decltype(&DeleteDC) DeleteDC_;
    decltype(&ReleaseDC) ReleaseDC_;
} real;

// A refused request fails as the system's does: null (or zero) with the reason in the last
// error, or errno for the C allocators.
template <class T> T Refused(T failure) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failure;
}

void* __cdecl Malloc(size_t bytes) {
    if (I().Refuse(Resource::Memory)) {
        errno = ENOMEM;
        return nullptr;
    }
    return real.Malloc(bytes);
}

void* __cdecl Calloc(size_t count, size_t bytes) {
    if (I().Refuse(Resource::Memory)) {
        errno = ENOMEM;
        return nullptr;
    }
    return real.Calloc(count, bytes);
}

void* __cdecl Realloc(void* block, size_t bytes) {
    if (I().Refuse(Resource::Memory)) {
        errno = ENOMEM;
        return nullptr;
    }
    return real.Realloc(block, bytes);
}

HGLOBAL WINAPI HookGlobalAlloc(UINT flags, SIZE_T bytes) {
    return I().Refuse(Resource::Global) ? Refused<HGLOBAL>(nullptr)
                                        : real.GlobalAlloc_(flags, bytes);
}

ATOM WINAPI HookRegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (I().Refuse(Resource::Class)) {
        return Refused<ATOM>(0);
    }
    const ATOM atom = real.RegisterClassExW_(windowClass);
    if (atom != 0) {
        I().TookClass(windowClass->lpszClassName, windowClass->hInstance);
    }
    return atom;
}

HWND WINAPI HookCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR caption, DWORD style,
                                int x, int y, int width, int height, HWND parent, HMENU menu,
                                HINSTANCE instance, LPVOID parameter) {
    if (I().Refuse(Resource::Window)) {
        return Refused<HWND>(nullptr);
    }
    const HWND window = real.CreateWindowExW_(exStyle, className, caption, style, x, y, width,
                                              height, parent, menu, instance, parameter);
    if (window != nullptr) {
        I().Took(Resource::Window, window);
    }
    return window;
}

UINT_PTR WINAPI HookSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    if (I().Refuse(Resource::Timer)) {
        return Refused<UINT_PTR>(0);
    }
    const UINT_PTR made = real.SetTimer_(window, id, elapse, procedure);
    if (made != 0) {
        I().TookTimer(window, window != nullptr ? id : made);
    }
    return made;
}

BOOL WINAPI HookKillTimer(HWND window, UINT_PTR id) {
    I().GaveTimer(window, id);
    return real.KillTimer_(window, id);
}

// One hook for every GDI request: refused, or recorded when the system gives a handle.
template <class Handle> Handle Gdi(Handle handle) {
    if (handle != nullptr) {
        I().Took(Resource::Gdi, handle);
    }
    return handle;
}

HDC WINAPI HookCreateCompatibleDC(HDC dc) {
    return I().Refuse(Resource::Gdi) ? Refused<HDC>(nullptr) : Gdi(real.CreateCompatibleDC_(dc));
}

HBITMAP WINAPI HookCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                    HANDLE section, DWORD offset) {
    return I().Refuse(Resource::Gdi)
               ? Refused<HBITMAP>(nullptr)
               : Gdi(real.CreateDIBSection_(dc, info, usage, bits, section, offset));
}

HFONT WINAPI HookCreateFontIndirectW(const LOGFONTW* font) {
    return I().Refuse(Resource::Gdi) ? Refused<HFONT>(nullptr)
                                     : Gdi(real.CreateFontIndirectW_(font));
}

HBRUSH WINAPI HookCreateSolidBrush(COLORREF color) {
    return I().Refuse(Resource::Gdi) ? Refused<HBRUSH>(nullptr)
                                     : Gdi(real.CreateSolidBrush_(color));
}

HPEN WINAPI HookCreatePen(int style, int width, COLORREF color) {
    return I().Refuse(Resource::Gdi) ? Refused<HPEN>(nullptr)
                                     : Gdi(real.CreatePen_(style, width, color));
}

HRGN WINAPI HookCreateRectRgn(int left, int top, int right, int bottom) {
    return I().Refuse(Resource::Gdi) ? Refused<HRGN>(nullptr)
                                     : Gdi(real.CreateRectRgn_(left, top, right, bottom));
}

HRGN WINAPI HookCreateEllipticRgn(int left, int top, int right, int bottom) {
    return I().Refuse(Resource::Gdi) ? Refused<HRGN>(nullptr)
                                     : Gdi(real.CreateEllipticRgn_(left, top, right, bottom));
}

HRGN WINAPI HookCreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h) {
    return I().Refuse(Resource::Gdi)
               ? Refused<HRGN>(nullptr)
               : Gdi(real.CreateRoundRectRgn_(left, top, right, bottom, w, h));
}

HDC WINAPI HookGetDC(HWND window) {
    return I().Refuse(Resource::Gdi) ? Refused<HDC>(nullptr) : Gdi(real.GetDC_(window));
}

HDC WINAPI HookGetWindowDC(HWND window) {
    return I().Refuse(Resource::Gdi) ? Refused<HDC>(nullptr) : Gdi(real.GetWindowDC_(window));
}

BOOL WINAPI HookDeleteObject(HGDIOBJ object) {
    I().Gave(object);
    return real.DeleteObject_(object);
}

BOOL WINAPI HookDeleteDC(HDC dc) {
    I().Gave(dc);
    return real.DeleteDC_(dc);
}

int WINAPI HookReleaseDC(HWND window, HDC dc) {
    I().Gave(dc);
    return real.ReleaseDC_(window, dc);
}

// Routes `function` through `hook`; a slot that cannot be patched adds its reason to `error`.
template <class F>
void Patch(HMODULE module, const char* dll, const char* function, F hook, F& original,
           std::string& error) {
    const ImportPatch patch = PatchImport(module, dll, function, reinterpret_cast<void*>(hook));
    if (patch) {
        original = reinterpret_cast<F>(patch.previous);
    } else if (!patch.error.empty()) {
        error += (error.empty() ? "" : "; ") + patch.error;
    }
}

} // namespace

const char* Name(Resource resource) {
    return ResourceNames[static_cast<std::size_t>(resource)];
}

bool Parse(const std::string& name, Resource& resource) {
    const auto found = std::find(ResourceNames.begin(), ResourceNames.end(), name);
    if (found == ResourceNames.end()) {
        return false;
    }
    resource = static_cast<Resource>(found - ResourceNames.begin());
    return true;
}

Injector& Injector::Current() {
    static Injector injector;
    return injector;
}

void Injector::Arm(Resource kind, unsigned failAt) {
    *this = Injector{};
    kind_ = kind;
    failAt_ = failAt;
}

bool Injector::Watch(HMODULE plugIn, std::string& error) {
    error.clear();
    Patch(plugIn, "msvcrt.dll", "malloc", &Malloc, real.Malloc, error);
    Patch(plugIn, "msvcrt.dll", "calloc", &Calloc, real.Calloc, error);
    Patch(plugIn, "msvcrt.dll", "realloc", &Realloc, real.Realloc, error);
    Patch(plugIn, "KERNEL32.dll", "GlobalAlloc", &HookGlobalAlloc, real.GlobalAlloc_, error);
    Patch(plugIn, "USER32.dll", "RegisterClassExW", &HookRegisterClassExW, real.RegisterClassExW_,
          error);
    Patch(plugIn, "USER32.dll", "CreateWindowExW", &HookCreateWindowExW, real.CreateWindowExW_,
          error);
    Patch(plugIn, "USER32.dll", "SetTimer", &HookSetTimer, real.SetTimer_, error);
    Patch(plugIn, "USER32.dll", "KillTimer", &HookKillTimer, real.KillTimer_, error);
    Patch(plugIn, "USER32.dll", "GetDC", &HookGetDC, real.GetDC_, error);
    Patch(plugIn, "USER32.dll", "GetWindowDC", &HookGetWindowDC, real.GetWindowDC_, error);
    Patch(plugIn, "USER32.dll", "ReleaseDC", &HookReleaseDC, real.ReleaseDC_, error);
    Patch(plugIn, "GDI32.dll", "CreateCompatibleDC", &HookCreateCompatibleDC,
          real.CreateCompatibleDC_, error);
    Patch(plugIn, "GDI32.dll", "CreateDIBSection", &HookCreateDIBSection, real.CreateDIBSection_,
          error);
    Patch(plugIn, "GDI32.dll", "CreateFontIndirectW", &HookCreateFontIndirectW,
          real.CreateFontIndirectW_, error);
    Patch(plugIn, "GDI32.dll", "CreateSolidBrush", &HookCreateSolidBrush, real.CreateSolidBrush_,
          error);
    Patch(plugIn, "GDI32.dll", "CreatePen", &HookCreatePen, real.CreatePen_, error);
    Patch(plugIn, "GDI32.dll", "CreateRectRgn", &HookCreateRectRgn, real.CreateRectRgn_, error);
    Patch(plugIn, "GDI32.dll", "CreateEllipticRgn", &HookCreateEllipticRgn, real.CreateEllipticRgn_,
          error);
    Patch(plugIn, "GDI32.dll", "CreateRoundRectRgn", &HookCreateRoundRectRgn,
          real.CreateRoundRectRgn_, error);
    Patch(plugIn, "GDI32.dll", "DeleteObject", &HookDeleteObject, real.DeleteObject_, error);
    Patch(plugIn, "GDI32.dll", "DeleteDC", &HookDeleteDC, real.DeleteDC_, error);
    return error.empty();
}

bool Injector::Refuse(Resource kind) {
    const unsigned request = ++requests_[static_cast<std::size_t>(kind)];
    if (kind == kind_ && request == failAt_) {
        fired_ = true;
        if (std::getenv("FAULTHOST_TRACE") != nullptr) {
            // Where the refused request came from, as offsets into the modules on the stack.
            void* frames[24];
            const USHORT count = RtlCaptureStackBackTrace(1, 24, frames, nullptr);
            for (USHORT i = 0; i < count; ++i) {
                HMODULE module = nullptr;
                GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   static_cast<LPCWSTR>(frames[i]), &module);
                wchar_t name[MAX_PATH] = {};
                GetModuleFileNameW(module, name, MAX_PATH);
                std::fprintf(stderr, "refused from %ls+0x%llx\n", name,
                             static_cast<unsigned long long>(static_cast<BYTE*>(frames[i]) -
                                                             reinterpret_cast<BYTE*>(module)));
            }
        }
        return true;
    }
    return false;
}

void Injector::Took(Resource kind, const void* handle) {
    taken_.push_back({kind, handle});
}

void Injector::Gave(const void* handle) {
    const auto found = std::find_if(taken_.begin(), taken_.end(), [handle](const Taken& taken) {
        return taken.kind == Resource::Gdi && taken.handle == handle;
    });
    if (found != taken_.end()) {
        taken_.erase(found);
    }
}

void Injector::TookClass(const wchar_t* name, HINSTANCE instance) {
    classes_.emplace_back(name, instance);
}

void Injector::TookTimer(HWND window, UINT_PTR id) {
    timers_.emplace_back(window, id);
}

void Injector::GaveTimer(HWND window, UINT_PTR id) {
    std::erase(timers_, std::pair{window, id});
}

std::vector<std::string> Injector::Leaks() const {
    std::vector<std::string> leaks;
    std::size_t windows = 0;
    std::map<DWORD, std::size_t> gdi; // by object type
    for (const Taken& taken : taken_) {
        if (taken.kind == Resource::Window) {
            windows += IsWindow(static_cast<HWND>(const_cast<void*>(taken.handle))) ? 1 : 0;
        } else {
            ++gdi[GetObjectType(static_cast<HGDIOBJ>(const_cast<void*>(taken.handle)))];
        }
    }
    for (const auto& [type, count] : gdi) {
        static const std::map<DWORD, const char*> typeNames = {
            {0, "deleted elsewhere"},    {OBJ_PEN, "pens"},         {OBJ_BRUSH, "brushes"},
            {OBJ_DC, "device contexts"}, {OBJ_MEMDC, "memory DCs"}, {OBJ_BITMAP, "bitmaps"},
            {OBJ_FONT, "fonts"},         {OBJ_REGION, "regions"},
        };
        const auto name = typeNames.find(type);
        leaks.push_back(std::to_string(count) + " GDI objects (" +
                        (name != typeNames.end() ? name->second : "other") + ")");
    }
    std::size_t classes = 0;
    for (const auto& [name, instance] : classes_) {
        WNDCLASSEXW info{};
        info.cbSize = sizeof info;
        classes += GetClassInfoExW(instance, name.c_str(), &info) ? 1 : 0;
    }
    // A timer of a window goes with its window.
    const std::size_t timers =
        std::count_if(timers_.begin(), timers_.end(), [](const std::pair<HWND, UINT_PTR>& timer) {
            return timer.first == nullptr || IsWindow(timer.first);
        });
    for (const auto& [count, what] :
         {std::pair{windows, "windows"}, std::pair{classes, "window classes"},
          std::pair{timers, "timers"}}) {
        if (count != 0) {
            leaks.push_back(std::to_string(count) + " " + what);
        }
    }
    return leaks;
}

} // namespace vigrel::faults
