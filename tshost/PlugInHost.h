// A host for Tessary plug-ins: loads one by path, drives its entry points in the host's order,
// serves the five callbacks with real global-heap strings and a variable store, records every
// event it sees, and accounts for every block that crosses the boundary. One host at a time per
// process, since the callbacks carry no context.
#pragma once

#include "tessary/TessaryAbi.h"
#include "tshost/BlockLedger.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigrel::tshost {

// The argument slots of an action as a host fills them: a missing one is passed as a null pointer.
using Slots = std::vector<std::optional<std::string>>;

struct DeclaredAction {
    std::int32_t number;
    std::string name;
    std::string hint;
    std::vector<std::uint8_t> typeCodes;
    std::int32_t lastCodeIndex;
    std::int32_t paramCount;
};

struct Identity {
    std::string title;
    std::string publisher;
    std::string hint;
};

// How the script processor callback runs a line it receives.
enum class ScriptMode {
    Synchronous, // before the callback returns, nested inside the plug-in's call
    Queued,      // after the callback has returned, from the host's message loop
};

// What a host is set up with, given when it is made. Every member has an initializer, so a
// designated initializer names only what it sets.
struct HostSettings {
    ScriptMode scriptMode = ScriptMode::Synchronous;
    // Log every variable read (they are frequent: one per monitor tick).
    bool logReads = false;
    // Keep events at all (benchmarks with many monitors turn this off).
    bool recordEvents = true;
    // Runs one script line (a GoSub) received from the plug-in.
    std::function<void(const std::string& line)> onScriptLine{};
    // Receives each event line as it happens (also kept in Events()).
    std::function<void(const std::string& event)> onEvent{};
    // Answers an interface request: called with the request code and the text the plug-in
    // handed over; an answer makes the callback return true with that text in a new block,
    // nothing makes it return false. Unset, every request is declined.
    std::function<std::optional<std::string>(std::int32_t request, const std::string& text)>
        onInterfaceAccess{};
    // Replaces the variable store for reads: called with the name; the value read is empty.
    std::function<void(const char* name)> fastRead{};
    // Asked before every read: true makes the host hand back nothing (the value stays null), as
    // a host that cannot make the string does.
    std::function<bool()> declineRead{};
};

// The entry points `module` exports by the seven names; null for each it lacks.
TessaryEntryPoints FindEntryPoints(HMODULE module);

class PlugInHost {
public:
    explicit PlugInHost(HostSettings settings = {});
    PlugInHost(const PlugInHost&) = delete;
    PlugInHost& operator=(const PlugInHost&) = delete;
    // Unloads a plug-in still loaded, without calling back whoever set the host up.
    ~PlugInHost();

    // Loads the plug-in (a UTF-8 path) and resolves its entry points; false with the reason in
    // `error`.
    // tsEditAction is optional; the other six are required.
    bool Load(const std::string& path, std::string& error);
    bool Loaded() const { return module_ != nullptr; }
    // The loaded plug-in, for a caller that patches or inspects it.
    HMODULE Module() const { return module_; }
    bool HasEditAction() const { return entries_.tsEditAction != nullptr; }
    // Optionally sends message 2 first, then unloads the library.
    void Unload(bool sendClose);

    // The entry points, in the order the host calls them at start.
    void RegisterPlugIn();
    // Hands the plug-in the three identity pointers, preset with host blocks when given.
    Identity InitPlugIn(std::optional<std::string> title = {},
                        std::optional<std::string> publisher = {},
                        std::optional<std::string> hint = {});
    void RegisterScriptProcessor();
    void RegisterInterfaceAccess();
    // All four of the above.
    void Start();
    // Executes an action; a missing slot is passed as a null pointer. The host's slot blocks
    // are released afterwards by the host.
    bool ExecAction(std::int32_t number, const Slots& slots);
    // Asks the plug-in to edit an action's seven arguments; a missing slot is passed as a null
    // pointer. During the call the slot blocks are the plug-in's to replace (releasing the old
    // block); afterwards the host takes back what each slot holds. Returns the seven texts after
    // a true answer (a slot left null reads as empty), nothing after false.
    std::optional<std::vector<std::string>> EditAction(std::int32_t number, const Slots& slots);
    void Message(std::int32_t code);

    // The variable store; names are bare or in square brackets, letters in any case.
    void SetVariable(std::string_view name, std::string value);
    std::string Variable(std::string_view name) const;

    // Runs the message loop for the given time, so timers tick; queued script lines run here
    // while the time lasts, and the rest stay queued.
    void PassTime(unsigned milliseconds);
    // Forgets the script lines still queued; returns how many there were.
    std::size_t DropQueuedScripts();

    // While time is stopped, every PassTime in progress or begun returns at once.
    void StopTime() { timeStopped_ = true; }
    void ResumeTime() { timeStopped_ = false; }

    const std::vector<DeclaredAction>& Actions() const { return actions_; }
    const std::vector<std::string>& Events() const { return events_; }
    void ClearEvents() { events_.clear(); }
    std::uint64_t Reads() const { return reads_; }
    BlockLedger& Ledger() { return ledger_; }
    // Faults found at the boundary (block accounting and callback misuse).
    std::vector<std::string> Faults() const;

private:
    static TsBool TS_CALL CbAddAction(std::int32_t number, const char* name, const char* hint,
                                      const std::uint8_t* codes, std::int32_t last,
                                      std::int32_t count);
    static void TS_CALL CbGetVariable(const char* name, HostStringPtr* value);
    static TsBool TS_CALL CbSetVariable(const char* name, const char* value);
    static TsBool TS_CALL CbScriptProcessor(const char* line);
    static TsBool TS_CALL CbInterfaceAccess(std::int32_t request, HostStringPtr* value);

    void Record(std::string event);
    void RunScript(const std::string& line);
    void RunQueuedScripts(std::int64_t end);
    static std::string Key(std::string_view name);

    HostSettings settings_;
    HMODULE module_ = nullptr;
    TessaryEntryPoints entries_{};

    BlockLedger ledger_;
    std::map<std::string, std::string> variables_; // by upper-cased bare name
    std::vector<DeclaredAction> actions_;
    std::vector<std::string> events_;
    std::vector<std::string> misuse_;
    std::deque<std::string> queuedScripts_;
    bool runningQueued_ = false;
    bool timeStopped_ = false;
    std::uint64_t reads_ = 0;
};

} // namespace vigrel::tshost
