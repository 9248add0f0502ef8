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

} // namespace vigrel
