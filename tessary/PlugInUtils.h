// The host services a plug-in calls out to: the stored host callbacks and host strings.
#pragma once

#include "tessary/TessaryAbi.h"

#include <string>
#include <string_view>

namespace vigrel {

// Host callbacks and opaque host values, null until the host registers them.
extern THostAddAction HostAddAction;
extern THostGetVariable HostGetVariable;
extern THostSetVariable HostSetVariable;
extern THostScriptProcessor HostScriptProcessor;
extern THostInterfaceAccess HostInterfaceAccess;
extern void* HostRegistrationValue;
extern std::uint32_t HostInitValue;

// Replaces the block `str` holds (if any) with a new fixed global block holding `text`.
// The block then belongs to whoever owns `str`.
void SetHostString(HostStringPtr& str, std::string_view text);

// Releases the block `str` holds (if any) and sets it to null.
void FreeHostString(HostStringPtr& str);

// The text of a host string; null reads as empty.
std::string HostText(const char* str);

// Owns one host string block the plug-in holds for a while, such as a callback's answer, and
// releases it with FreeHostString when destroyed, whatever path leaves the scope.
class HostString {
public:
    HostString() = default;
    HostString(const HostString&) = delete;
    HostString& operator=(const HostString&) = delete;
    HostString(HostString&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    HostString& operator=(HostString&& other) noexcept;
    ~HostString() { FreeHostString(block_); }

    // Releases the block held (if any) and gives the address of the now null pointer, to be
    // passed as a callback's out-parameter; the block the callback leaves there is owned.
    HostStringPtr* Receive();

    // Replaces the block held with a new one holding `text`.
    void Assign(std::string_view text) { SetHostString(block_, text); }
    // The address of the pointer held, for a callback that may replace the block (releasing the
    // old one itself); whatever block is there afterwards is owned.
    HostStringPtr* Address() { return &block_; }

    const char* Get() const { return block_; }
    // The text; null reads as empty.
    std::string Text() const { return HostText(block_); }

private:
    HostStringPtr block_ = nullptr;
};

} // namespace vigrel
