// Reading a publication file: regular files by their Unicode names, everything else refused
// with its reason, and nothing read from a device.
#include "tshost/PublicationFile.h"

#include "tests/native/U8.h"
#include "tshost/Utf16.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace vigrel::tshost {
namespace {

using test::U8;

// A folder of its own for the files a test makes, removed afterwards.
class PublicationFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = WideToUtf8(temp) + "vigrel-publication-file-" +
                 std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::string& file : made) {
            DeleteFileW(Utf8ToWide(file).c_str());
        }
        RemoveDirectoryW(Utf8ToWide(folder + "sub").c_str());
        RemoveDirectoryW(Utf8ToWide(folder).c_str());
    }

    std::string Make(const std::string& name, const std::string& text) {
        const std::string path = folder + name;
        HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        made.push_back(path);
        return path;
    }

    std::string folder;
    std::vector<std::string> made;
};

TEST_F(PublicationFileTest, ReadsARegularFileByItsUnicodeName) {
    for (const std::string& name :
         {U8(u8"Прив.pub"), U8(u8"漢字 and blanks.pub"), std::string("plain.pub")}) {
        const std::string text = "Print \"" + name + "\"\r\nWait 1\r";
        std::string read;
        std::string reason;
        EXPECT_TRUE(ReadPublicationFile(Make(name, text), read, reason)) << name << reason;
        EXPECT_EQ(read, text) << name;
    }
    std::string read;
    std::string reason;
    EXPECT_TRUE(ReadPublicationFile(Make("empty.pub", ""), read, reason)) << reason;
    EXPECT_EQ(read, "");
}

TEST_F(PublicationFileTest, RefusesWhatIsNotARegularFileWithItsReason) {
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder + "sub").c_str(), nullptr));
    const std::string device = "the name is a device's, not a file's";
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {"nul.pub", device},
        {"NUL", device},
        {"aux.pub", device},
        {"com1.pub", device},
        {"Com9.txt.pub", device},
        {"lpt1", device},
        {"con .pub", device},
        {"conout$", device},
        {folder + "prn.pub", device},
        {folder + "sub", "it is a folder, not a file"},
        {folder + "missing.pub", "no such file"},
        {folder + "no folder\\missing.pub", "no such file"},
        {"", "no such file"},
    };
    for (const Case& c : cases) {
        std::string read = "untouched";
        std::string reason;
        EXPECT_FALSE(ReadPublicationFile(c.path, read, reason)) << c.path;
        EXPECT_EQ(reason, c.reason) << c.path;
        EXPECT_EQ(read, "untouched") << c.path;
    }
    // Names that only look like devices are files.
    for (const char* name : {"console.pub", "com10.pub", "nul1.pub", "auxiliary.pub"}) {
        std::string read;
        std::string reason;
        EXPECT_TRUE(ReadPublicationFile(Make(name, "Wait 1"), read, reason)) << name << reason;
    }
}

} // namespace
} // namespace vigrel::tshost
