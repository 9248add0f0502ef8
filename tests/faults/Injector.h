// Fault injection into a loaded plug-in from outside, as verification tools do it: the plug-in's
// import table is patched so that every request it makes to the system for a resource goes
// through a counter, the Nth request of one kind is refused as the system refuses it, and every
// resource the plug-in takes is recorded until it gives it back. The plug-in itself is the
// shipped DLL, unchanged.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace vigrel::faults {

enum class Resource {
    Memory,   // the C and C++ allocators (malloc, calloc, realloc)
    Global,   // GlobalAlloc
    Class,    // RegisterClassExW
    Window,   // CreateWindowExW
    Timer,    // SetTimer
    Gdi,      // device contexts, bitmaps, fonts, brushes, pens, regions
    Callback, // a variable read for which the host hands back nothing
};
inline constexpr std::size_t ResourceCount = 7;
const char* Name(Resource resource);
// The resource named `name`, or false.
bool Parse(const std::string& name, Resource& resource);

class Injector {
public:
    // Starts a run anew: forgets every count and record, and refuses the `failAt`th request of
    // `kind` (counting from 1); 0 refuses nothing.
    void Arm(Resource kind, unsigned failAt);
    // Patches the imports of `plugIn`; call after every load, before the plug-in runs. False,
    // with the reason in `error`, when an import slot cannot be patched.
    bool Watch(HMODULE plugIn, std::string& error);
    // Counts a request of `kind` and tells whether to refuse it.
    bool Refuse(Resource kind);
    // Whether the armed request came (and was refused).
    bool Fired() const { return fired_; }
    unsigned Requests(Resource kind) const { return requests_[static_cast<std::size_t>(kind)]; }
    // What the plug-in still holds of what it took: one line per resource left, empty when all
    // is given back. Call after the plug-in has been unloaded.
    std::vector<std::string> Leaks() const;

    // The hooks' bookkeeping.
    void Took(Resource kind, const void* handle);
    void Gave(const void* handle);
    void TookClass(const wchar_t* name, HINSTANCE instance);
    void TookTimer(HWND window, UINT_PTR id);
    void GaveTimer(HWND window, UINT_PTR id);

    static Injector& Current();

private:
    struct Taken {
        Resource kind;
        const void* handle;
    };
    Resource kind_ = Resource::Memory;
    unsigned failAt_ = 0;
    bool fired_ = false;
    std::array<unsigned, ResourceCount> requests_{};
    std::vector<Taken> taken_;
    std::vector<std::pair<std::wstring, HINSTANCE>> classes_;
    std::vector<std::pair<HWND, UINT_PTR>> timers_;
};

} // namespace vigrel::faults
