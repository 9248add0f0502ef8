#include "ui/Module.h"

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
// The runtime's own release of its emergency pool, made for leak checkers; libstdc++ has it since
// GCC 5 but declares it in no header.
void __freeres() noexcept;
} // namespace __gnu_cxx
#endif

namespace vigrel {

HINSTANCE ModuleInstance() {
    static const HINSTANCE instance = [] {
        HMODULE module = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
        return module;
    }();
    return instance;
}

void ReleaseRuntimeReserves() {
#if defined(__GLIBCXX__)
    __gnu_cxx::__freeres();
#endif
}

} // namespace vigrel
