#include "PlugInProbe.h"

#include <cstring>
#include <string>

namespace vigrel::test {
namespace {

struct Search {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    const int length = GetWindowTextLengthW(window);
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(window, caption.data(), length + 1)));
    if (IsWindowVisible(window) && caption == search.caption) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

char* GlobalText(std::string_view text) {
    auto* block = static_cast<char*>(GlobalAlloc(0, text.size() + 1));
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    return block;
}

HWND ShownWindow(const wchar_t* caption) {
    Search search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    const auto* base = reinterpret_cast<BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots =
            reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if ((names->u1.Ordinal & IMAGE_ORDINAL_FLAG) != 0) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                DWORD protection;
                VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
                void* old = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<DWORD_PTR>(replacement);
                VirtualProtect(&slots->u1.Function, sizeof(void*), protection, &protection);
                return old;
            }
        }
    }
    return nullptr;
}

} // namespace vigrel::test
