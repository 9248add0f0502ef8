// The import-table patcher, on module images made in memory (shapes a linker of today does not
// make) and on this program itself.
#include "tessary/ImportTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vigrel {
namespace {

constexpr DWORD page = 0x1000;

// One import descriptor of a made image: its DLL, the functions in slot order, whether it has a
// name table, and whether its slots lie in memory reserved but not committed.
struct Descriptor {
    const char* dll;
    std::vector<const char*> functions;
    bool named = true;
    bool uncommitted = false;
};

// The address the loader puts in a slot for `function` of `dll`.
ULONG_PTR Resolved(const char* dll, const char* function) {
    return reinterpret_cast<ULONG_PTR>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function)));
}

// A module image as the loader leaves it: headers, the import directory and the slots filled with
// the resolved addresses. Two pages are committed and a third reserved only.
class MadeImage {
public:
    explicit MadeImage(const std::vector<Descriptor>& descriptors)
        : base_(static_cast<BYTE*>(VirtualAlloc(nullptr, 3 * page, MEM_RESERVE, PAGE_NOACCESS))) {
        VirtualAlloc(base_, 2 * page, MEM_COMMIT, PAGE_READWRITE);
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base_);
        dos->e_lfanew = 0x40;
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base_ + dos->e_lfanew);
        if (!descriptors.empty()) {
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT] = {
                0x200, static_cast<DWORD>((descriptors.size() + 1) * sizeof *table_)};
        }
        for (std::size_t d = 0; d < descriptors.size(); ++d) {
            const Descriptor& descriptor = descriptors[d];
            const DWORD thunks =
                static_cast<DWORD>((descriptor.functions.size() + 1) * sizeof(ULONG_PTR));
            table_[d].Name = Text(descriptor.dll);
            table_[d].FirstThunk = descriptor.uncommitted ? 2 * page : Take(thunks);
            table_[d].OriginalFirstThunk = descriptor.named ? Take(thunks) : 0;
            for (std::size_t i = 0; i < descriptor.functions.size(); ++i) {
                if (descriptor.named) {
                    // Its hint, then its name.
                    Thunks(table_[d].OriginalFirstThunk)[i] =
                        Text(descriptor.functions[i], sizeof(WORD));
                }
                if (!descriptor.uncommitted) {
                    Slot(d, i) = Resolved(descriptor.dll, descriptor.functions[i]);
                }
            }
        }
    }
    MadeImage(const MadeImage&) = delete;
    MadeImage& operator=(const MadeImage&) = delete;
    ~MadeImage() { VirtualFree(base_, 0, MEM_RELEASE); }

    HMODULE Module() const { return reinterpret_cast<HMODULE>(base_); }
    // Slot `i` of descriptor `d`.
    ULONG_PTR& Slot(std::size_t d, std::size_t i) const { return Thunks(table_[d].FirstThunk)[i]; }

private:
    ULONG_PTR* Thunks(DWORD at) const { return reinterpret_cast<ULONG_PTR*>(base_ + at); }
    // Room for `size` bytes in the committed pages, as an offset from the base.
    DWORD Take(DWORD size) {
        const DWORD at = free_;
        free_ += (size + 15) & ~DWORD{15};
        return at;
    }
    // `text` and its NUL, `skip` bytes into new room.
    DWORD Text(const char* text, DWORD skip = 0) {
        const DWORD at = Take(skip + static_cast<DWORD>(std::strlen(text)) + 1);
        std::strcpy(reinterpret_cast<char*>(base_ + at + skip), text);
        return at;
    }

    BYTE* base_;
    IMAGE_IMPORT_DESCRIPTOR* table_ = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base_ + 0x200);
    DWORD free_ = 0x400;
};

HGLOBAL WINAPI Replacement(UINT, SIZE_T) {
    return nullptr;
}

struct Case {
    const char* what;
    std::vector<Descriptor> descriptors;
    int slots;          // patched
    bool error = false; // a slot cannot be made writable
};

// GlobalAlloc of KERNEL32.dll is replaced in each image; every other slot, and every slot when
// the patch fails, keeps what the loader put there.
TEST(ImportTable, PatchesEverySlotOfTheFunctionOrNone) {
    const std::vector<Case> cases{
        {"an empty import directory", {}, 0},
        {"a descriptor without a name table, by address",
         {{"KERNEL32.dll", {"GetTickCount", "GlobalAlloc", "GlobalFree"}, false}},
         1},
        {"two descriptors of the DLL, the name in any case",
         {{"KERNEL32.dll", {"GlobalFree", "GlobalAlloc"}},
          {"USER32.dll", {"GetDC"}},
          {"kernel32.dll", {"GlobalAlloc"}}},
         2},
        {"a slot that cannot be made writable after one that was",
         {{"KERNEL32.dll", {"GlobalAlloc"}}, {"KERNEL32.dll", {"GlobalAlloc"}, true, true}},
         0,
         true},
    };
    const auto replacement = reinterpret_cast<ULONG_PTR>(&Replacement);
    const ULONG_PTR real = Resolved("KERNEL32.dll", "GlobalAlloc");
    for (const Case& c : cases) {
        const MadeImage image(c.descriptors);
        const ImportPatch patch = PatchImport(image.Module(), "KERNEL32.dll", "GlobalAlloc",
                                              reinterpret_cast<void*>(&Replacement));
        EXPECT_EQ(patch.slots, c.slots) << c.what;
        EXPECT_EQ(!patch.error.empty(), c.error) << c.what << ": " << patch.error;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(patch.previous), c.slots > 0 ? real : 0) << c.what;
        for (std::size_t d = 0; d < c.descriptors.size(); ++d) {
            const Descriptor& descriptor = c.descriptors[d];
            if (descriptor.uncommitted) {
                continue;
            }
            for (std::size_t i = 0; i < descriptor.functions.size(); ++i) {
                const bool patched = !c.error && lstrcmpiA(descriptor.dll, "KERNEL32.dll") == 0 &&
                                     std::strcmp(descriptor.functions[i], "GlobalAlloc") == 0;
                EXPECT_EQ(image.Slot(d, i),
                          patched ? replacement : Resolved(descriptor.dll, descriptor.functions[i]))
                    << c.what << ": descriptor " << d << ", slot " << i;
            }
        }
    }
}

DWORD WINAPI StoppedClock() {
    return 12345;
}

// A call of GetTickCount through this program's import table. Out of line: the compiler takes
// an import slot for a constant and would read it once for all the calls of one function.
[[gnu::noinline]] DWORD TickCount() {
    return GetTickCount();
}

TEST(ImportTable, ReplacesAnImportOfALoadedModuleAndPutsItBack) {
    const HMODULE self = GetModuleHandleW(nullptr);
    const ImportPatch stopped =
        PatchImport(self, "KERNEL32.dll", "GetTickCount", reinterpret_cast<void*>(&StoppedClock));
    ASSERT_TRUE(stopped) << stopped.error;
    EXPECT_EQ(TickCount(), 12345u);
    const ImportPatch back = PatchImport(self, "KERNEL32.dll", "GetTickCount", stopped.previous);
    EXPECT_EQ(back.slots, stopped.slots);
    EXPECT_EQ(back.previous, reinterpret_cast<void*>(&StoppedClock));
    EXPECT_EQ(stopped.previous, reinterpret_cast<void*>(GetProcAddress(
                                    GetModuleHandleW(L"kernel32.dll"), "GetTickCount")));
    EXPECT_NE(TickCount(), 12345u);
}

} // namespace
} // namespace vigrel
