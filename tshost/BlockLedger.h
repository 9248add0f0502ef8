// Accounts for every global-heap block that crosses the boundary between the host and a
// plug-in. The plug-in's own GlobalAlloc and GlobalFree calls are seen by patching its import
// table, as heap checkers do, so each block is known from birth to release together with the
// side that owns it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vigrel::tshost {

class BlockLedger {
public:
    enum class Owner { Host, PlugIn };

    BlockLedger() = default;
    BlockLedger(const BlockLedger&) = delete;
    BlockLedger& operator=(const BlockLedger&) = delete;
    ~BlockLedger();

    // Routes the plug-in's GlobalAlloc and GlobalFree through this ledger. False, with the
    // reason in `error`, when the module imports neither.
    bool Watch(HMODULE plugIn, std::string& error);
    // Stops routing (the module is about to be unloaded).
    void Unwatch();

    // A new host string made by the host, owned by the host.
    char* HostAllocate(std::string_view text);
    // The host releases a block it owns (null is allowed); the variable is set to null.
    void HostFree(char*& block);
    // Ownership of a host block passes to the plug-in, which must release it.
    void GiveToPlugIn(char* block);
    // The host takes a block the plug-in wrote through a host pointer. A block that is not a
    // live global block made by the plug-in is a fault, and false: the host must then neither read
    // nor release it. `what` names the pointer.
    bool TakeFromPlugIn(char* block, std::string_view what);
    // A live block the plug-in holds becomes the host's again, whoever made it: one the host
    // gave and the plug-in left in place, or one the host is about to release on its behalf.
    // A block that is no longer live is a fault, and false. Null is allowed.
    bool ReturnToHost(char* block, std::string_view what);
    // Whether `block` is a live block that `owner` owns.
    bool Holds(const void* block, Owner owner) const;

    // Faults so far, each a readable sentence.
    const std::vector<std::string>& Faults() const { return faults_; }
    // Records a leak fault for every block the plug-in still owns; call when the run is over.
    void CheckNoneLeft();

    std::size_t PlugInAllocations() const { return plugInAllocations_; }
    std::size_t PlugInReleases() const { return plugInReleases_; }
    std::size_t LiveBlocks() const { return blocks_.size(); }
    std::size_t LiveBlocks(Owner owner) const;

private:
    struct Block {
        Owner owner;
        bool madeByPlugIn;
    };

    static HGLOBAL WINAPI HookGlobalAlloc(UINT flags, SIZE_T bytes);
    static HGLOBAL WINAPI HookGlobalFree(HGLOBAL block);
    HGLOBAL PlugInAlloc(UINT flags, SIZE_T bytes);
    HGLOBAL PlugInFree(HGLOBAL block);
    void Fault(std::string text);

    std::map<const void*, Block> blocks_;
    std::vector<std::string> faults_;
    HMODULE watched_ = nullptr;
    std::size_t plugInAllocations_ = 0;
    std::size_t plugInReleases_ = 0;
};

} // namespace vigrel::tshost
