#include "tshost/PublicationFile.h"

#include "tessary/AsciiCase.h"
#include "tshost/SystemMessage.h"
#include "tshost/Utf16.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

namespace vigrel::tshost {
namespace {

// CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9 and the console's two names are devices in
// every folder and with any extension: opening one reads a device, or waits on it for ever.
bool IsDeviceName(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') {
        name.remove_suffix(1);
    }
    std::wstring upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper<wchar_t>);
    static constexpr std::array<std::wstring_view, 6> plain{L"CON", L"PRN",    L"AUX",
                                                            L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find(plain.begin(), plain.end(), upper) != plain.end()) {
        return true;
    }
    return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
           ((upper[3] >= L'0' && upper[3] <= L'9') || upper[3] == L'\u00B9' ||
            upper[3] == L'\u00B2' || upper[3] == L'\u00B3');
}

std::string Reason(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return "no such file";
    case ERROR_ACCESS_DENIED:
        return "no permission to read it";
    default:
        return SystemError(code);
    }
}

std::string WriteReason(DWORD code) {
    return code == ERROR_ACCESS_DENIED ? "no permission to write it" : SystemError(code);
}

struct HandleClose {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleClose>;

} // namespace

bool ReadPublicationFile(const std::string& path, std::string& text, std::string& reason) {
    const std::wstring wide = Utf8ToWide(path);
    if (IsDeviceName(wide)) {
        reason = "the name is a device's, not a file's";
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        reason = Reason(GetLastError());
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        reason = "it is a folder, not a file";
        return false;
    }
    FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        reason = Reason(GetLastError());
        return false;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        reason = "it is not a regular file";
        return false;
    }
    std::string read;
    char buffer[65536];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            reason = Reason(GetLastError());
            return false;
        }
        if (got == 0) {
            break;
        }
        read.append(buffer, got);
    }
    text = std::move(read);
    return true;
}

bool CanWritePublicationFile(const std::string& path, std::string& reason) {
    const std::wstring wide = Utf8ToWide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        reason = "the file is read-only";
        return false;
    }
    // Opened for writing without truncating: nothing of the file changes.
    FileHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        reason = WriteReason(GetLastError());
        return false;
    }
    return true;
}

bool WritePublicationFile(const std::string& path, std::string_view text, std::string& reason) {
    const std::wstring wide = Utf8ToWide(path);
    // Beside the original, so the rename stays within one volume and cannot half happen.
    const std::wstring temporary = wide + L".tshost-" + std::to_wstring(GetCurrentProcessId());
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        reason = "cannot make a temporary file beside it (" + SystemError(GetLastError()) + ")";
        return false;
    }
    DWORD written = 0;
    const bool complete =
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && FlushFileBuffers(file.get());
    const DWORD writeError = GetLastError();
    file.reset();
    if (!complete) {
        DeleteFileW(temporary.c_str());
        reason = "cannot write the temporary file beside it (" + SystemError(writeError) + ")";
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), wide.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        reason = WriteReason(GetLastError());
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace vigrel::tshost
