// A memory device context for the programs that draw off screen: the gallery, the benchmarks and
// the tests. The plug-in itself draws only into windows' device contexts.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <utility>

namespace vigrel {

// A memory device context compatible with `compatible` (the screen when null), deleted when
// dropped. Whatever the owner selects into it must be selected out again before that.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible = nullptr) : dc_(CreateCompatibleDC(compatible)) {
        if (dc_ == nullptr) {
            throw std::runtime_error("cannot create a memory device context");
        }
    }
    MemoryDC(MemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    MemoryDC& operator=(MemoryDC&&) = delete;
    MemoryDC(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }

    HDC Get() const { return dc_; }

private:
    HDC dc_ = nullptr; // owned
};

} // namespace vigrel
