// The test program's entry: the framework's own, except that no result is copied to a debugger
// that is not there. The framework copies each failure and skip to OutputDebugStringA besides its
// report; Wine delivers that copy as a first-chance exception, which under user-mode emulation
// ends a 32-bit process (report and all) at the first failure or skip.
#include "tessary/ImportTable.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

void WINAPI Unheard(LPCSTR) {}

} // namespace

int main(int argc, char** argv) {
    if (!IsDebuggerPresent()) {
        vigrel::PatchImport(GetModuleHandleW(nullptr), "KERNEL32.dll", "OutputDebugStringA",
                            reinterpret_cast<void*>(&Unheard));
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
