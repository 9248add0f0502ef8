// Where the system calls into the library: window procedures, enumeration callbacks, the methods
// of accessible objects, the entry points. No C++ exception may leave one of them. The shipped
// 32-bit build unwinds by tables that stop at the system's frames, so an exception that has to
// cross one ends the process there (the 64-bit build would unwind through and catch it further
// out). Each kind of boundary has one guard here, which turns a failure into that boundary's own
// answer; the functions the system calls are noexcept, and the types below take no other, so a
// failure that escapes a guard ends the process on every build alike, where a test sees it.
#pragma once

#include <windows.h>

#include <exception>
#include <new>
#include <utility>

namespace vigrel {

// A window procedure the library hands the system.
using GuardedWindowProc = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM) noexcept;

// Runs `body` at a place the system or the host calls; a failure answers `failed()` instead: a
// message's default handling, an entry point's "no".
template <class Body, class Failed>
auto Contain(Body&& body, Failed&& failed) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return failed();
    }
}

// Runs `body` for a method of a COM object: a failure answers E_OUTOFMEMORY when memory ran out,
// else E_FAIL.
template <class Body> HRESULT ContainCall(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

namespace detail {

// Calls `visit(window)` for each window the system names until it answers false. A failure of
// `visit` stops the enumeration; it is thrown again once the system function has returned, on
// this side of its frames.
template <class Visit> class Enumeration {
public:
    explicit Enumeration(Visit& visit) : visit_(visit) {}

    static BOOL CALLBACK Next(HWND window, LPARAM self) noexcept {
        auto& enumeration = *reinterpret_cast<Enumeration*>(self);
        try {
            return enumeration.visit_(window) ? TRUE : FALSE;
        } catch (...) {
            enumeration.failure_ = std::current_exception();
            return FALSE;
        }
    }
    LPARAM Self() { return reinterpret_cast<LPARAM>(this); }
    void ThrowFailure() {
        if (failure_) {
            std::rethrow_exception(std::exchange(failure_, nullptr));
        }
    }

private:
    Visit& visit_;
    std::exception_ptr failure_;
};

} // namespace detail

// The top-level windows of `thread`, each given to `visit` until it answers false.
template <class Visit> void ForEachThreadWindow(DWORD thread, Visit visit) {
    detail::Enumeration<Visit> enumeration(visit);
    EnumThreadWindows(thread, &detail::Enumeration<Visit>::Next, enumeration.Self());
    enumeration.ThrowFailure();
}

// Every window inside `parent`, at any depth, each given to `visit` until it answers false.
template <class Visit> void ForEachChildWindow(HWND parent, Visit visit) {
    detail::Enumeration<Visit> enumeration(visit);
    EnumChildWindows(parent, &detail::Enumeration<Visit>::Next, enumeration.Self());
    enumeration.ThrowFailure();
}

} // namespace vigrel
