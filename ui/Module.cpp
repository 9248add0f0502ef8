#include "ui/Module.h"

#include "tessary/ImportTable.h"

#include <array>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
// The runtime's own release of its emergency pool, made for leak checkers; libstdc++ has it since
// GCC 5 but declares it in no header.
void __freeres() noexcept;
} // namespace __gnu_cxx
#endif

#if defined(__MINGW32__) && defined(__i386__) && !defined(__SEH__) &&                              \
    !defined(__USING_SJLJ_EXCEPTIONS__)
#define VIGREL_DW2_UNWIND 1
extern "C" {
// The unwinder linked into this module (libgcc's), which its throws search.
void __register_frame_info(const void* begin, void* object);
void* __deregister_frame_info(const void* begin);
}
// A mark inside this module's unwind tables (the section .eh_frame): no code is emitted, only a
// label at the start of this file's own records.
asm(".section .eh_frame,\"dr\"\n"
    "_vigrel_eh_frame_mark:\n"
    ".text\n");
extern "C" const char vigrel_eh_frame_mark[] asm("_vigrel_eh_frame_mark");
#endif

namespace vigrel {
namespace {

#if defined(VIGREL_DW2_UNWIND)
// The start of the section that holds the mark: the tables of the whole module, in the order the
// linker laid them, up to the runtime's end marker.
const void* UnwindTables() {
    const auto base = reinterpret_cast<const BYTE*>(ModuleInstance());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    const auto mark = reinterpret_cast<const BYTE*>(vigrel_eh_frame_mark);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const BYTE* start = base + section->VirtualAddress;
        if (mark >= start && mark < start + section->Misc.VirtualSize) {
            return start;
        }
    }
    return nullptr;
}

// The unwinder's record of the registered tables; it writes at most a few pointers here.
alignas(void*) unsigned char registration[16 * sizeof(void*)];
const void* registered = nullptr;
#endif

} // namespace

void RegisterOwnUnwindTables() {
#if defined(VIGREL_DW2_UNWIND)
    if (registered == nullptr && GetModuleHandleA("libgcc_s_dw2-1.dll") != nullptr) {
        registered = UnwindTables();
        if (registered != nullptr) {
            __register_frame_info(registered, registration);
        }
    }
#endif
}

void ForgetOwnUnwindTables() {
#if defined(VIGREL_DW2_UNWIND)
    if (registered != nullptr) {
        __deregister_frame_info(registered);
        registered = nullptr;
    }
#endif
}

HINSTANCE ModuleInstance() {
    static const HINSTANCE instance = [] {
        HMODULE module = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
        return module;
    }();
    return instance;
}

void NoteWindowThread() {
    static const DWORD home = GetCurrentThreadId();
    static bool pinned = false;
    if (pinned || GetCurrentThreadId() == home) {
        return;
    }
    HMODULE module = nullptr;
    pinned =
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCSTR>(&NoteWindowThread), &module) != FALSE;
}

namespace {

// Indexes the runtime took through this module's import of TlsAlloc. The runtime takes them in
// the middle of its first throw on a thread (its exception state is thread-local), under a lock
// of its own: recording one may neither allocate nor throw, or a throw for want of memory would
// wait on that lock for ever. The runtime takes a few; more go unrecorded and stay taken.
std::array<DWORD, 32> takenIndexes;
std::size_t takenCount = 0;

decltype(&TlsAlloc) systemTlsAlloc = &TlsAlloc;

DWORD WINAPI RecordingTlsAlloc() noexcept {
    const DWORD index = systemTlsAlloc();
    if (index != TLS_OUT_OF_INDEXES && takenCount < takenIndexes.size()) {
        takenIndexes[takenCount++] = index;
    }
    return index;
}

} // namespace

void WatchRuntimeStorage() {
    // Where the import cannot be replaced, the runtime's indexes go unrecorded and stay taken, as
    // they would without the watch.
    const ImportPatch patch = PatchImport(ModuleInstance(), "KERNEL32.dll", "TlsAlloc",
                                          reinterpret_cast<void*>(&RecordingTlsAlloc));
    if (patch) {
        systemTlsAlloc = reinterpret_cast<decltype(&TlsAlloc)>(patch.previous);
    }
}

void ReleaseRuntimeReserves() {
#if defined(__GLIBCXX__)
    __gnu_cxx::__freeres();
#endif
    for (std::size_t i = 0; i < takenCount; ++i) {
        TlsFree(takenIndexes[i]);
    }
    takenCount = 0;
}

} // namespace vigrel
