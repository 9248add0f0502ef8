#include "tshost/BlockLedger.h"

#include "tessary/ImportTable.h"

#include <cstdio>
#include <cstring>

namespace vigrel::tshost {
namespace {

BlockLedger* current = nullptr; // the ledger the hooks report to; one plug-in at a time

std::string Address(const void* block) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", block);
    return text;
}

std::string OwnerName(const BlockLedger::Owner owner) {
    return owner == BlockLedger::Owner::Host ? "the host" : "the plug-in";
}

// The text a live block holds, for readable reports; never reads past the block.
std::string Contents(const void* block) {
    const auto* text = static_cast<const char*>(block);
    const SIZE_T size = GlobalSize(const_cast<void*>(block));
    return std::string(text, strnlen(text, size));
}

} // namespace

BlockLedger::~BlockLedger() {
    Unwatch();
    for (auto& [block, info] : blocks_) {
        GlobalFree(const_cast<void*>(block));
    }
}

bool BlockLedger::Watch(HMODULE plugIn, std::string& error) {
    const ImportPatch alloc = PatchImport(plugIn, "KERNEL32.dll", "GlobalAlloc",
                                          reinterpret_cast<void*>(HookGlobalAlloc));
    const ImportPatch free =
        PatchImport(plugIn, "KERNEL32.dll", "GlobalFree", reinterpret_cast<void*>(HookGlobalFree));
    if (!alloc.error.empty() || !free.error.empty()) {
        // Half a ledger would report the blocks of the other half as faults: none at all.
        if (alloc) {
            PatchImport(plugIn, "KERNEL32.dll", "GlobalAlloc", alloc.previous);
        }
        if (free) {
            PatchImport(plugIn, "KERNEL32.dll", "GlobalFree", free.previous);
        }
        error = "the plug-in's global-heap calls cannot be watched: " +
                (alloc.error.empty() ? free.error : alloc.error);
        return false;
    }
    if (!alloc && !free) {
        error = "the plug-in imports neither GlobalAlloc nor GlobalFree";
        return false;
    }
    watched_ = plugIn;
    current = this;
    return true;
}

void BlockLedger::Unwatch() {
    if (current == this) {
        current = nullptr;
    }
    watched_ = nullptr;
}

char* BlockLedger::HostAllocate(std::string_view text) {
    auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, text.size() + 1));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    blocks_[block] = Block{Owner::Host, false};
    return block;
}

void BlockLedger::HostFree(char*& block) {
    if (block == nullptr) {
        return;
    }
    const auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        Fault("the host was asked to release " + Address(block) + ", which is not a live block");
    } else if (found->second.owner != Owner::Host) {
        Fault("the host was asked to release " + Address(block) + ", which the plug-in owns");
    } else {
        blocks_.erase(found);
        GlobalFree(block);
    }
    block = nullptr;
}

void BlockLedger::GiveToPlugIn(char* block) {
    if (const auto found = blocks_.find(block); found != blocks_.end()) {
        found->second.owner = Owner::PlugIn;
    }
}

bool BlockLedger::TakeFromPlugIn(char* block, std::string_view what) {
    if (block == nullptr) {
        return true;
    }
    const auto found = blocks_.find(block);
    if (found == blocks_.end() || !found->second.madeByPlugIn) {
        Fault("the plug-in wrote " + Address(block) + " into " + std::string(what) +
              ", which is not a live global block it made");
        return false;
    }
    found->second.owner = Owner::Host;
    return true;
}

bool BlockLedger::ReturnToHost(char* block, std::string_view what) {
    if (block == nullptr) {
        return true;
    }
    const auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        Fault(std::string(what) + " still holds " + Address(block) +
              ", which the plug-in released");
        return false;
    }
    found->second.owner = Owner::Host;
    return true;
}

bool BlockLedger::Holds(const void* block, Owner owner) const {
    const auto found = blocks_.find(block);
    return found != blocks_.end() && found->second.owner == owner;
}

void BlockLedger::CheckNoneLeft() {
    for (const auto& [block, info] : blocks_) {
        if (info.owner == Owner::PlugIn) {
            Fault("the plug-in never released " + Address(block) + " (\"" + Contents(block) +
                  "\")");
        }
    }
}

std::size_t BlockLedger::LiveBlocks(Owner owner) const {
    std::size_t count = 0;
    for (const auto& [block, info] : blocks_) {
        count += info.owner == owner ? 1 : 0;
    }
    return count;
}

HGLOBAL WINAPI BlockLedger::HookGlobalAlloc(UINT flags, SIZE_T bytes) {
    return current != nullptr ? current->PlugInAlloc(flags, bytes) : GlobalAlloc(flags, bytes);
}

HGLOBAL WINAPI BlockLedger::HookGlobalFree(HGLOBAL block) {
    return current != nullptr ? current->PlugInFree(block) : GlobalFree(block);
}

HGLOBAL BlockLedger::PlugInAlloc(UINT flags, SIZE_T bytes) {
    if (flags != GMEM_FIXED) {
        Fault("the plug-in asked for a global block with flags " +
              std::to_string(static_cast<unsigned>(flags)) + " instead of a fixed one");
    }
    HGLOBAL block = GlobalAlloc(flags, bytes);
    if (block != nullptr) {
        ++plugInAllocations_;
        blocks_[block] = Block{Owner::PlugIn, true};
    }
    return block;
}

HGLOBAL BlockLedger::PlugInFree(HGLOBAL block) {
    if (block == nullptr) {
        return nullptr;
    }
    const auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        // Never pass it on: a second release or a foreign pointer could corrupt the heap.
        Fault("the plug-in released " + Address(block) +
              ", which is not a live global block (released twice, or never allocated)");
        return block;
    }
    if (found->second.owner != Owner::PlugIn) {
        Fault("the plug-in released " + Address(block) + " (\"" + Contents(block) +
              "\"), which belongs to " + OwnerName(found->second.owner));
    }
    ++plugInReleases_;
    blocks_.erase(found);
    return GlobalFree(block);
}

void BlockLedger::Fault(std::string text) {
    faults_.push_back(std::move(text));
}

} // namespace vigrel::tshost
