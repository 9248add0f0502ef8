#include "tshost/PlugInHost.h"

#include "tools/diagnostics/Diagnostics.h"
#include "tshost/Codepage.h"
#include "tshost/SystemMessage.h"
#include "tshost/Utf16.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace vigrel::tshost {
namespace {

PlugInHost* current = nullptr;

// A text on one log line: quoted, with line breaks shown as \r and \n.
std::string OneLine(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return Quoted(shown);
}

std::int64_t NowMilliseconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000 / frequency.QuadPart;
}

} // namespace

PlugInHost::PlugInHost(HostSettings settings) : settings_(std::move(settings)) {
    if (current != nullptr) {
        throw std::logic_error("only one plug-in host may exist at a time");
    }
    current = this;
}

PlugInHost::~PlugInHost() {
    settings_.onEvent = nullptr;
    settings_.onScriptLine = nullptr;
    if (module_ != nullptr) {
        Unload(false);
    }
    current = nullptr;
}

TessaryEntryPoints FindEntryPoints(HMODULE module) {
    const auto find = [module]<class Entry>(Entry& entry, const char* name) {
        entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    };
    TessaryEntryPoints entries{};
    find(entries.tsRegisterPlugIn, "tsRegisterPlugIn");
    find(entries.tsInitPlugIn, "tsInitPlugIn");
    find(entries.tsRegisterScriptProcessor, "tsRegisterScriptProcessor");
    find(entries.tsRegisterInterfaceAccess, "tsRegisterInterfaceAccess");
    find(entries.tsExecAction, "tsExecAction");
    find(entries.tsEditAction, "tsEditAction");
    find(entries.tsMessage, "tsMessage");
    return entries;
}

bool PlugInHost::Load(const std::string& path, std::string& error) {
    if (path.empty()) {
        error = "the plug-in's path is empty";
        return false;
    }
    HMODULE module = LoadLibraryW(Utf8ToWide(path).c_str());
    if (module == nullptr) {
        error = "cannot load the plug-in " + path + " (" + SystemError(GetLastError()) + ")";
        return false;
    }
    entries_ = FindEntryPoints(module);
    const std::array<std::pair<const char*, bool>, 6> required{{
        {"tsRegisterPlugIn", entries_.tsRegisterPlugIn != nullptr},
        {"tsInitPlugIn", entries_.tsInitPlugIn != nullptr},
        {"tsRegisterScriptProcessor", entries_.tsRegisterScriptProcessor != nullptr},
        {"tsRegisterInterfaceAccess", entries_.tsRegisterInterfaceAccess != nullptr},
        {"tsExecAction", entries_.tsExecAction != nullptr},
        {"tsMessage", entries_.tsMessage != nullptr},
    }};
    for (const auto& [name, found] : required) {
        if (!found) {
            error = "the plug-in " + path + " does not export " + name;
            FreeLibrary(module);
            return false;
        }
    }
    if (!ledger_.Watch(module, error)) {
        error = "the plug-in " + path + ": " + error;
        FreeLibrary(module);
        return false;
    }
    module_ = module;
    return true;
}

void PlugInHost::Unload(bool sendClose) {
    if (module_ == nullptr) {
        return;
    }
    if (sendClose) {
        Message(CloseMessage);
    }
    Record("unload");
    FreeLibrary(module_);
    ledger_.Unwatch();
    module_ = nullptr;
}

void PlugInHost::RegisterPlugIn() {
    entries_.tsRegisterPlugIn(CbAddAction, this, CbGetVariable, CbSetVariable);
}

Identity PlugInHost::InitPlugIn(std::optional<std::string> title,
                                std::optional<std::string> publisher,
                                std::optional<std::string> hint) {
    std::array<HostStringPtr, 3> slots{};
    const std::array<std::optional<std::string>*, 3> presets{&title, &publisher, &hint};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (*presets[i]) {
            slots[i] = ledger_.HostAllocate(**presets[i]);
            ledger_.GiveToPlugIn(slots[i]); // the plug-in releases what a pointer holds
        }
    }
    entries_.tsInitPlugIn(0x56494752u, &slots[0], &slots[1], &slots[2]);
    static constexpr std::array<const char*, 3> names{"the title", "the publisher", "the hint"};
    Identity identity;
    std::array<std::string*, 3> texts{&identity.title, &identity.publisher, &identity.hint};
    for (std::size_t i = 0; i < slots.size(); ++i) {
        // A pointer that is not a block the plug-in made may point anywhere: never read it.
        if (ledger_.TakeFromPlugIn(slots[i], names[i]) && slots[i] != nullptr) {
            *texts[i] = slots[i];
            ledger_.HostFree(slots[i]);
        }
    }
    Record("identity title " + Quoted(identity.title) + " publisher " + Quoted(identity.publisher) +
           " hint " + Quoted(identity.hint));
    return identity;
}

void PlugInHost::RegisterScriptProcessor() {
    entries_.tsRegisterScriptProcessor(CbScriptProcessor);
}

void PlugInHost::RegisterInterfaceAccess() {
    entries_.tsRegisterInterfaceAccess(CbInterfaceAccess);
}

void PlugInHost::Start() {
    RegisterPlugIn();
    InitPlugIn();
    RegisterScriptProcessor();
    RegisterInterfaceAccess();
}

bool PlugInHost::ExecAction(std::int32_t number, const Slots& slots) {
    std::vector<HostStringPtr> blocks(std::max<std::size_t>(slots.size(), MonitorArgumentCount));
    std::vector<HostStringPtr> original(blocks.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i]) {
            blocks[i] = ledger_.HostAllocate(*slots[i]);
        }
    }
    original = blocks;
    const bool result = entries_.tsExecAction(number, blocks.data()) != TsFalse;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i] != original[i]) {
            misuse_.push_back("tsExecAction changed argument slot " + std::to_string(i));
        }
        ledger_.HostFree(original[i]);
    }
    std::string text = "exec " + std::to_string(number);
    for (const auto& slot : slots) {
        text += slot ? " " + Quoted(*slot) : " null";
    }
    Record(text + " -> " + (result ? "true" : "false"));
    return result;
}

std::optional<std::vector<std::string>> PlugInHost::EditAction(std::int32_t number,
                                                               const Slots& slots) {
    std::vector<HostStringPtr> blocks(MonitorArgumentCount);
    for (std::size_t i = 0; i < blocks.size() && i < slots.size(); ++i) {
        if (slots[i]) {
            blocks[i] = ledger_.HostAllocate(*slots[i]);
            ledger_.GiveToPlugIn(blocks[i]);
        }
    }
    const std::vector<HostStringPtr> original = blocks;
    const bool result = entries_.tsEditAction(number, blocks.data()) != TsFalse;
    std::vector<std::string> texts(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::string what = "argument slot " + std::to_string(i);
        const bool replaced = blocks[i] != original[i];
        if (replaced && !result) {
            misuse_.push_back("tsEditAction answered false but replaced " + what);
        }
        // A replaced block is the plug-in's new one; the one it replaced it must have released.
        const bool readable = replaced ? ledger_.TakeFromPlugIn(blocks[i], what)
                                       : ledger_.ReturnToHost(blocks[i], what);
        if (readable && blocks[i] != nullptr) {
            texts[i] = blocks[i];
            ledger_.HostFree(blocks[i]);
        }
    }
    if (!result) {
        return std::nullopt;
    }
    return texts;
}

void PlugInHost::Message(std::int32_t code) {
    Record("message " + std::to_string(code));
    entries_.tsMessage(code);
}

void PlugInHost::SetVariable(std::string_view name, std::string value) {
    variables_[Key(name)] = std::move(value);
}

std::string PlugInHost::Variable(std::string_view name) const {
    const auto found = variables_.find(Key(name));
    return found != variables_.end() ? found->second : std::string();
}

void PlugInHost::PassTime(unsigned milliseconds) {
    const std::int64_t end = NowMilliseconds() + milliseconds;
    while (!timeStopped_) {
        MSG message;
        while (!timeStopped_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            RunQueuedScripts(end);
        }
        RunQueuedScripts(end);
        const std::int64_t left = end - NowMilliseconds();
        if (left <= 0) {
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

std::vector<std::string> PlugInHost::Faults() const {
    std::vector<std::string> faults = ledger_.Faults();
    faults.insert(faults.end(), misuse_.begin(), misuse_.end());
    return faults;
}

TsBool TS_CALL PlugInHost::CbAddAction(std::int32_t number, const char* name, const char* hint,
                                       const std::uint8_t* codes, std::int32_t last,
                                       std::int32_t count) {
    DeclaredAction action{number, name ? name : "", hint ? hint : "", {}, last, count};
    // One type code per parameter (the entry without parameters still carries one): a last
    // index beyond them is the plug-in's error, and the host does not read that far.
    const std::int32_t lastAllowed = std::max(count, 1) - 1;
    if (codes != nullptr && last >= 0 && last <= lastAllowed) {
        action.typeCodes.assign(codes, codes + last + 1);
    } else if (codes != nullptr && last > lastAllowed) {
        current->misuse_.push_back("action " + std::to_string(number) +
                                   " declares type codes up to index " + std::to_string(last) +
                                   " for " + std::to_string(count) + " parameters");
    }
    std::string text = "action " + std::to_string(number) + " " + Quoted(action.name) + " hint " +
                       Quoted(action.hint) + " codes";
    for (const std::uint8_t code : action.typeCodes) {
        text += " " + std::to_string(code);
    }
    text += " count " + std::to_string(count);
    current->actions_.push_back(std::move(action));
    current->Record(std::move(text));
    return TsTrue;
}

void TS_CALL PlugInHost::CbGetVariable(const char* name, HostStringPtr* value) {
    PlugInHost& host = *current;
    ++host.reads_;
    if (*value != nullptr) {
        host.misuse_.push_back("a variable read was not preset to null");
    }
    if (host.settings_.fastRead) {
        host.settings_.fastRead(name);
        return;
    }
    if (host.settings_.declineRead && host.settings_.declineRead()) {
        return;
    }
    try {
        const std::string text = host.Variable(name ? name : "");
        if (host.settings_.logReads) {
            host.Record("read " + std::string(name ? name : "") + " -> " + Quoted(text));
        }
        if (!text.empty()) {
            *value = host.ledger_.HostAllocate(text);
            host.ledger_.GiveToPlugIn(*value);
        }
    } catch (...) {
        host.misuse_.push_back("the host failed to answer a variable read");
    }
}

TsBool TS_CALL PlugInHost::CbSetVariable(const char* name, const char* value) {
    const std::string text = value ? value : "";
    current->Record("set " + std::string(name ? name : "") + " = " + Quoted(text));
    current->SetVariable(name ? name : "", text);
    return TsTrue;
}

TsBool TS_CALL PlugInHost::CbScriptProcessor(const char* line) {
    PlugInHost& host = *current;
    std::string text = line ? line : "";
    host.Record("script " + text);
    if (host.settings_.scriptMode == ScriptMode::Queued) {
        host.queuedScripts_.push_back(std::move(text));
    } else {
        host.RunScript(text);
    }
    return TsTrue;
}

TsBool TS_CALL PlugInHost::CbInterfaceAccess(std::int32_t request, HostStringPtr* value) {
    PlugInHost& host = *current;
    const std::string code = "interface " + std::to_string(request);
    if (value == nullptr ||
        (*value != nullptr && !host.ledger_.Holds(*value, BlockLedger::Owner::PlugIn))) {
        // Never read or release what may not be a host string.
        host.misuse_.push_back(code + " was not given a host-string variable holding a block "
                                      "the plug-in owns");
        host.Record(code + " -> false");
        return TsFalse;
    }
    try {
        const std::string text = *value != nullptr ? *value : "";
        std::optional<std::string> answer;
        if (host.settings_.onInterfaceAccess) {
            answer = host.settings_.onInterfaceAccess(request, text);
        }
        if (!answer) {
            host.Record(code + " " + OneLine(text) + " -> false");
            return TsFalse;
        }
        // The answer goes in a new block; the old one is released by the host, as the plug-in
        // expects, and the new one is the plug-in's to release.
        char* old = *value;
        *value = host.ledger_.HostAllocate(*answer);
        host.ledger_.GiveToPlugIn(*value);
        host.ledger_.ReturnToHost(old, code);
        host.ledger_.HostFree(old);
        host.Record(code + " " + OneLine(text) + " -> true " + OneLine(*answer));
        return TsTrue;
    } catch (...) {
        // Nothing may unwind back through the plug-in's frames.
        host.misuse_.push_back("the host failed to answer " + code);
        return TsFalse;
    }
}

void PlugInHost::Record(std::string event) {
    if (!settings_.recordEvents) {
        return;
    }
    if (settings_.onEvent) {
        settings_.onEvent(event);
    }
    events_.push_back(std::move(event));
}

void PlugInHost::RunScript(const std::string& line) {
    // Nothing may unwind back through the plug-in's frames.
    try {
        if (settings_.onScriptLine) {
            settings_.onScriptLine(line);
        }
    } catch (const std::exception& error) {
        Record(std::string("error ") + error.what());
    } catch (...) {
        Record("error in a script line");
    }
}

std::size_t PlugInHost::DropQueuedScripts() {
    const std::size_t dropped = queuedScripts_.size();
    queuedScripts_.clear();
    return dropped;
}

void PlugInHost::RunQueuedScripts(std::int64_t end) {
    // Queued lines run from the host's own loop, never nested inside one of them, and only
    // until the time passing ends: subroutines that take longer than a tick keep the queue
    // full, and the wait must still end.
    if (runningQueued_) {
        return;
    }
    runningQueued_ = true;
    while (!queuedScripts_.empty() && !timeStopped_ && NowMilliseconds() < end) {
        const std::string line = std::move(queuedScripts_.front());
        queuedScripts_.pop_front();
        RunScript(line);
    }
    runningQueued_ = false;
}

std::string PlugInHost::Key(std::string_view name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    }
    // Host strings are Windows-1251 whatever the user's code page: Cyrillic names match in any
    // case under every locale.
    return UpperCp1251(name);
}

} // namespace vigrel::tshost
