// The DLL's version resource as Windows reads it for the file's properties.
#include "VigrelVersion.h"
#include "tests/win32/TestHost.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace vigrel::test {
namespace {

struct Expected {
    const wchar_t* name;
    const char* value;
};

TEST(VersionResource, CarriesTheBuildsVersionAndTheProductsNames) {
    const std::string path = PlugInPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_NE(size, 0u) << path << " has no version resource";
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(VIGREL_VERSION_MINOR, VIGREL_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, VIGREL_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);

    const Expected strings[] = {
        {L"FileDescription", "Vigrel variable monitor plug-in for Tessary"},
        {L"FileVersion", VIGREL_VERSION},
        {L"InternalName", "Vigrel"},
        {L"LegalCopyright", "Copyright (C) The Vigrel authors"},
        {L"OriginalFilename", "Vigrel.tsp"},
        {L"ProductName", "Vigrel"},
        {L"ProductVersion", VIGREL_VERSION},
    };
    for (const Expected& expected : strings) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + expected.name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << "no " << std::string(key.begin(), key.end());
        const std::wstring text(value, length > 0 ? length - 1 : 0);
        EXPECT_EQ(text, std::wstring(expected.value, expected.value + std::strlen(expected.value)))
            << std::string(key.begin(), key.end());
    }
}

} // namespace
} // namespace vigrel::test
