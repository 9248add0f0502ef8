#include "tessary/ImportTable.h"

#include <cstring>
#include <vector>

namespace vigrel {
namespace {

struct Slot {
    ULONG_PTR* address;
    ULONG_PTR previous;
};

// Writes `value` into the slot at `address`, which may sit in a read-only section, and gives back
// in `previous` what it held. False, with the system's error in GetLastError, when the slot cannot
// be made writable; it is then neither read nor changed.
bool Write(ULONG_PTR* address, ULONG_PTR value, ULONG_PTR& previous) {
    DWORD protection = 0;
    if (!VirtualProtect(address, sizeof *address, PAGE_READWRITE, &protection)) {
        return false;
    }
    previous = *address;
    *address = value;
    // The value is in place whatever this answers; a slot left writable does no harm.
    VirtualProtect(address, sizeof *address, protection, &protection);
    return true;
}

// Whether the entry `name` of a name table imports `function` by its name.
bool Names(BYTE* base, const IMAGE_THUNK_DATA& name, const char* function) {
    if (IMAGE_SNAP_BY_ORDINAL(name.u1.Ordinal)) {
        return false;
    }
    const auto* byName =
        reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name.u1.AddressOfData);
    return std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
}

// The slots of `module` that import `function` of `dll`. A slot matched by name is not read
// here: it may be readable only once made writable.
std::vector<ULONG_PTR*> Find(HMODULE module, const char* dll, const char* function) {
    std::vector<ULONG_PTR*> found;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0 || imports.Size == 0) {
        return found;
    }
    const HMODULE exporter = GetModuleHandleA(dll);
    const auto resolved = reinterpret_cast<ULONG_PTR>(
        exporter != nullptr ? reinterpret_cast<void*>(GetProcAddress(exporter, function))
                            : nullptr);
    for (const auto* descriptor =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) {
            continue;
        }
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        if (descriptor->OriginalFirstThunk == 0) {
            // No name table (an old-style or bound descriptor): only the addresses are there.
            for (; slots->u1.Function != 0; ++slots) {
                if (resolved != 0 && slots->u1.Function == resolved) {
                    found.push_back(&slots->u1.Function);
                }
            }
            continue;
        }
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (Names(base, *names, function)) {
                found.push_back(&slots->u1.Function);
            }
        }
    }
    return found;
}

} // namespace

ImportPatch PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    std::vector<Slot> written;
    for (ULONG_PTR* const address : Find(module, dll, function)) {
        Slot slot{address, 0};
        if (!Write(address, reinterpret_cast<ULONG_PTR>(replacement), slot.previous)) {
            const DWORD error = GetLastError();
            // All or nothing: the slots already written take back what they held (they were
            // writable a moment ago).
            for (const Slot& done : written) {
                ULONG_PTR replaced = 0;
                Write(done.address, done.previous, replaced);
            }
            return {nullptr, 0,
                    std::string("cannot make the import slot of ") + function +
                        " writable (system error " + std::to_string(error) + ")"};
        }
        written.push_back(slot);
    }
    return {written.empty() ? nullptr : reinterpret_cast<void*>(written.front().previous),
            static_cast<int>(written.size()),
            {}};
}

} // namespace vigrel
