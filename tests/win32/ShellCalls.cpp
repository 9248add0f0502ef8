#include "tests/win32/ShellCalls.h"

#include <objbase.h>
#include <shellapi.h>

namespace vigrel::test {

std::vector<ShellCall>& ShellCalls() {
    static std::vector<ShellCall> calls;
    return calls;
}

HINSTANCE WINAPI RecordShellCall(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                 LPCSTR directory, INT show) {
    ShellCalls().push_back({window, operation != nullptr ? operation : "(null)",
                            file != nullptr ? file : "(null)", parameters == nullptr,
                            directory == nullptr, show, ProbeApartment(COINIT_APARTMENTTHREADED)});
    // The link never looks at the answer.
    return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
}

HRESULT ProbeApartment(DWORD kind) {
    const HRESULT result = CoInitializeEx(nullptr, kind);
    if (SUCCEEDED(result)) {
        CoUninitialize();
    }
    return result;
}

} // namespace vigrel::test
