// Tests of what Wine itself answers, where Windows may answer otherwise (its version and themes,
// its fonts, what it leaves unimplemented), run under Wine only. Elsewhere they are skipped with
// their reason, which the report lists; VIGREL_SKIP_WINE_ONLY set in the environment skips them
// under Wine too, so a run there shows what a run on Windows leaves out.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

namespace vigrel::test {

inline bool UnderWine() {
    if (GetEnvironmentVariableW(L"VIGREL_SKIP_WINE_ONLY", nullptr, 0) != 0) {
        return false;
    }
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace vigrel::test

// The first statement of such a test.
#define VIGREL_WINE_ONLY(reason)                                                                   \
    if (!::vigrel::test::UnderWine())                                                      \
    GTEST_SKIP() << "Wine's own answer, not Windows': " << (reason)
