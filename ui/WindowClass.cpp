#include "ui/WindowClass.h"

#include "ui/Module.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vigrel {
namespace {

struct Registration {
    std::wstring asked;
    std::wstring name; // as registered
};

std::vector<Registration>& Registered() {
    static std::vector<Registration> classes;
    return classes;
}

// How many names are tried for one class: a class of an earlier load of the module, left
// registered for windows that live on in another thread, takes its name (and the names of loads
// between).
constexpr int MaxNameTries = 64;

} // namespace

LPCWSTR UseWindowClass(LPCWSTR name, GuardedWindowProc windowProc, UINT style, HCURSOR cursor) {
    for (const Registration& registered : Registered()) {
        if (registered.asked == name) {
            return registered.name.c_str();
        }
    }
    // Room for the record first: a class registered but not recorded would never be unregistered.
    Registration record{name, name};
    Registered().reserve(Registered().size() + 1);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = cursor;
    for (int tries = 1;; ++tries) {
        windowClass.lpszClassName = record.name.c_str();
        if (RegisterClassExW(&windowClass) != 0) {
            break;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_CLASS_ALREADY_EXISTS || tries == MaxNameTries) {
            throw std::runtime_error("cannot register a window class of the library (error " +
                                     std::to_string(error) + ")");
        }
        record.name = record.asked + L"." + std::to_wstring(tries);
    }
    Registered().push_back(std::move(record));
    return Registered().back().name.c_str();
}

void UnregisterWindowClasses() {
    for (const Registration& registered : Registered()) {
        UnregisterClassW(registered.name.c_str(), ModuleInstance());
    }
    Registered().clear();
    Registered().shrink_to_fit();
}

} // namespace vigrel
