// A failure inside each kind of place where the system calls the plug-in: a window procedure and a
// method of an accessible object with an allocation refused, the timers' window procedure with the
// system timer refused. The failure stops there, the place gives its own answer, and the host
// lives on. Without the guard, the exception would leave a noexcept function: the process ends on
// every build, as an exception that meets the system's frames ends it on the shipped one.
#include "tests/win32/DialogDriver.h"

#include <oleacc.h>

#include <cerrno>
#include <utility>

namespace vigrel::test {
namespace {

bool refusing = false; // the plug-in's next allocation is refused
void*(__cdecl* realMalloc)(std::size_t) = nullptr;
UINT_PTR(WINAPI* realSetTimer)(HWND, UINT_PTR, UINT, TIMERPROC) = nullptr;

void* __cdecl Malloc(std::size_t size) {
    if (std::exchange(refusing, false)) {
        errno = ENOMEM;
        return nullptr;
    }
    return realMalloc(size);
}

UINT_PTR WINAPI SetTimerRefused(HWND, UINT_PTR, UINT, TIMERPROC) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
}

// While it lives, the plug-in's requests of `function` go to `replacement`.
template <class F> class Replaced {
public:
    Replaced(HMODULE module, const char* dll, const char* function, F replacement, F& real)
        : module_(module), dll_(dll), function_(function) {
        const ImportPatch patch =
            PatchImport(module, dll, function, reinterpret_cast<void*>(replacement));
        EXPECT_TRUE(patch) << function << ": " << patch.error;
        real = reinterpret_cast<F>(patch.previous);
        previous_ = patch.previous;
    }
    Replaced(const Replaced&) = delete;
    Replaced& operator=(const Replaced&) = delete;
    ~Replaced() { PatchImport(module_, dll_, function_, previous_); }

private:
    HMODULE module_;
    const char* dll_;
    const char* function_;
    void* previous_ = nullptr;
};

// The plug-in's first allocation in `body` refused.
template <class F> auto Refused(F body) {
    refusing = true;
    auto result = body();
    EXPECT_FALSE(refusing) << "nothing was allocated";
    refusing = false;
    return result;
}

using SystemCallbackTest = DialogDriver;

TEST_F(SystemCallbackTest, ARefusedAllocationStopsAtTheWindowProcedureAndTheAccessibleObject) {
    const Replaced allocator(host->Module(), "msvcrt.dll", "malloc", &Malloc, realMalloc);
    LRESULT refusedObject = -1;
    LRESULT objectAfter = 0;
    HRESULT refusedName = S_OK;
    const bool confirmed =
        Run(counterAction, {[&](HWND dialog) {
                // The panel's client object is the plug-in's own: it answers
                // for the drawn controls.
                const HWND panel = Find(dialog, "Panel1");
                const auto ask = [panel] {
                    return SendMessageW(panel, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
                };
                refusedObject = Refused(ask);
                objectAfter = ask();
                IAccessible* object = nullptr;
                ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(
                    panel, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                    reinterpret_cast<void**>(&object)));
                LONG count = 0;
                object->get_accChildCount(&count);
                VARIANT last{};
                last.vt = VT_I4;
                last.lVal = count; // a drawn control: they come last
                BSTR name = nullptr;
                refusedName = Refused([&] { return object->get_accName(last, &name); });
                SysFreeString(name);
                object->Release();
                ok(dialog);
            }});
    EXPECT_EQ(refusedObject, 0) << "the default answer: no object of the plug-in's";
    EXPECT_GT(objectAfter, 0) << "the next request gets the object";
    EXPECT_EQ(refusedName, E_OUTOFMEMORY);
    EXPECT_TRUE(confirmed) << "the dialog works on after both failures";
}

TEST_F(SystemCallbackTest, ARefusedSystemTimerStopsAtTheTimersWindowAndTheNextStartArmsAgain) {
    int fired = 0;
    scriptAnswer = [&](const char*) { ++fired; };
    // A repeating monitor re-arms the system timer after each of its ticks: refused, from inside
    // the timers' window procedure.
    ASSERT_TRUE(host->ExecAction(MonitorActionNumber, Firing("Repeating")));
    {
        const Replaced refusal(host->Module(), "USER32.dll", "SetTimer", &SetTimerRefused,
                               realSetTimer);
        Pump(300);
    }
    const int firedRefused = fired;
    ASSERT_TRUE(host->ExecAction(MonitorActionNumber, Firing("Again")));
    Pump(300);
    EXPECT_GT(fired, firedRefused) << "no monitor ticked after the refusal";
}

} // namespace
} // namespace vigrel::test
