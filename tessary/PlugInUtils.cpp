#include "tessary/PlugInUtils.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace vigrel {

THostAddAction HostAddAction = nullptr;
THostGetVariable HostGetVariable = nullptr;
THostSetVariable HostSetVariable = nullptr;
THostScriptProcessor HostScriptProcessor = nullptr;
THostInterfaceAccess HostInterfaceAccess = nullptr;
void* HostRegistrationValue = nullptr;
std::uint32_t HostInitValue = 0;

void SetHostString(HostStringPtr& str, std::string_view text) {
    // The new block is made before the old one goes, so a failed allocation leaves `str` as it
    // was instead of null.
    auto* block = static_cast<char*>(GlobalAlloc(0, text.size() + 1));
    if (block == nullptr) {
        throw std::bad_alloc(); // caught at the entry point; never write through null
    }
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    FreeHostString(str);
    str = block;
}

void FreeHostString(HostStringPtr& str) {
    if (str != nullptr) {
        GlobalFree(str);
        str = nullptr;
    }
}

std::string HostText(const char* str) {
    return str != nullptr ? std::string(str) : std::string();
}

HostString& HostString::operator=(HostString&& other) noexcept {
    if (this != &other) {
        FreeHostString(block_);
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

HostStringPtr* HostString::Receive() {
    FreeHostString(block_);
    return &block_;
}

} // namespace vigrel
