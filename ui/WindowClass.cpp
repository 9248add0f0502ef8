#include "ui/WindowClass.h"

#include "ui/Module.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vigrel {
namespace {

std::vector<std::wstring>& Registered() {
    static std::vector<std::wstring> names;
    return names;
}

} // namespace

LPCWSTR UseWindowClass(LPCWSTR name, WNDPROC windowProc, UINT style, HCURSOR cursor) {
    for (const std::wstring& registered : Registered()) {
        if (registered == name) {
            return name;
        }
    }
    // Room for the record first: a class registered but not recorded would never be unregistered.
    std::wstring record(name);
    Registered().reserve(Registered().size() + 1);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = cursor;
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass) == 0) {
        throw std::runtime_error("cannot register a window class of the library (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    Registered().push_back(std::move(record));
    return name;
}

void UnregisterWindowClasses() {
    for (const std::wstring& name : Registered()) {
        UnregisterClassW(name.c_str(), ModuleInstance());
    }
    Registered().clear();
    Registered().shrink_to_fit();
}

} // namespace vigrel
