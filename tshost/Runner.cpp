#include "tshost/Runner.h"

#include "tshost/Codepage.h"

#include <charconv>

namespace vigrel::tshost {
namespace {

constexpr int MaxDepth = 32;

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string Utf8Quoted(std::string_view cp1251) {
    return Quoted(Cp1251ToUtf8(cp1251));
}

std::string Variable(std::string_view name) {
    return "[" + Cp1251ToUtf8(name) + "]";
}

} // namespace

Runner::Runner(const Publication& publication, PlugInHost& host, RunOptions options, std::FILE* log)
    : publication_(publication), host_(host), options_(options), log_(log),
      start_(std::chrono::steady_clock::now()) {}

Runner::~Runner() {
    host_.onEvent = nullptr;
    host_.onScriptLine = nullptr;
}

ExitStatus Runner::Run() {
    host_.scriptMode = options_.scriptMode;
    host_.logReads = options_.reads;
    host_.onEvent = [this](const std::string& event) { Log(Cp1251ToUtf8(event)); };
    host_.onScriptLine = [this](const std::string& line) { RunScriptLine(line); };
    host_.Start();
    RunStatements(publication_.main);
    if (const std::size_t dropped = host_.DropQueuedScripts(); dropped > 0) {
        Log("queued script lines not run: " + std::to_string(dropped));
    }
    host_.timeStopped = false;
    if (host_.Loaded()) {
        host_.Unload(true);
    }
    host_.Ledger().CheckNoneLeft();
    const std::vector<std::string> faults = host_.Faults();
    if (faults.empty()) {
        Log("host strings: clean");
    }
    for (const std::string& fault : faults) {
        Log("host strings: fault: " + Cp1251ToUtf8(fault));
    }
    if (options_.reads) {
        Log("host strings: " + std::to_string(host_.Ledger().PlugInAllocations()) +
            " made by the plug-in, " + std::to_string(host_.Ledger().PlugInReleases()) +
            " released by it, " + std::to_string(host_.Reads()) + " variable reads");
    }
    return !faults.empty() ? ExitBadStrings : failed_ ? ExitRunFailed : ExitSuccess;
}

void Runner::Log(std::string_view utf8) {
    if (options_.times) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_);
        std::fprintf(log_, "%7lld ms  ", static_cast<long long>(elapsed.count()));
    }
    std::fwrite(utf8.data(), 1, utf8.size(), log_);
    std::fputc('\n', log_);
    std::fflush(log_);
}

void Runner::Error(const std::string& where, const std::string& utf8) {
    failed_ = true;
    Log(where + ": error: " + utf8);
}

void Runner::Stop(const Statement& statement, const std::string& utf8) {
    Error(publication_.file + ":" + std::to_string(statement.line), utf8);
    stopped_ = true;
    host_.timeStopped = true; // every Wait in progress ends at once
}

void Runner::RunStatements(const std::vector<Statement>& statements) {
    for (const Statement& statement : statements) {
        if (stopped_) {
            return;
        }
        RunStatement(statement);
    }
}

bool Runner::NeedPlugIn(const Statement& statement) {
    if (host_.Loaded()) {
        return true;
    }
    Stop(statement, "the plug-in is unloaded; this statement needs it");
    return false;
}

void Runner::RunStatement(const Statement& s) {
    const auto& a = s.args;
    switch (s.kind) {
    case StatementKind::Set:
        host_.SetVariable(a[0], a[1]);
        break;
    case StatementKind::Add: {
        const std::string value = host_.Variable(a[0]);
        std::int64_t number = 0;
        const char* end = value.data() + value.size();
        const auto [stop, fault] = std::from_chars(value.data(), end, number);
        if (!value.empty() && (fault != std::errc() || stop != end)) {
            Stop(s, "Add needs a whole number in " + Variable(a[0]) + ", which holds " +
                        Utf8Quoted(value));
            break;
        }
        std::int64_t sum = 0;
        if (__builtin_add_overflow(number, s.number, &sum)) {
            Stop(s, "Add would take " + Variable(a[0]) + " beyond a 64-bit whole number");
            break;
        }
        host_.SetVariable(a[0], std::to_string(sum));
        break;
    }
    case StatementKind::Assert: {
        const std::string value = host_.Variable(a[0]);
        if (value == a[1]) {
            Log("assert " + Variable(a[0]) + " = " + Utf8Quoted(a[1]));
        } else {
            Stop(s, "assertion failed: " + Variable(a[0]) + " is " + Utf8Quoted(value) +
                        ", expected " + Utf8Quoted(a[1]));
        }
        break;
    }
    case StatementKind::VigrelCreate:
        if (NeedPlugIn(s)) {
            host_.ExecAction(MonitorActionNumber, {a.begin(), a.end()});
        }
        break;
    case StatementKind::Action:
        if (NeedPlugIn(s)) {
            host_.ExecAction(static_cast<std::int32_t>(s.number), {a.begin(), a.end()});
        }
        break;
    case StatementKind::GoSub:
        RunSubroutine(*publication_.Find(a[0]), &s);
        break;
    case StatementKind::Wait:
        Log("wait " + std::to_string(s.number));
        host_.PassTime(static_cast<unsigned>(s.number));
        break;
    case StatementKind::Print:
        Log("print " + Cp1251ToUtf8(Substitute(a[0])));
        break;
    case StatementKind::Message:
        if (NeedPlugIn(s)) {
            host_.Message(static_cast<std::int32_t>(s.number));
        }
        break;
    case StatementKind::Unload:
        if (!NeedPlugIn(s)) {
            break;
        }
        if (insidePlugIn_ > 0) {
            // The plug-in's tick is still on the stack: freeing its code now would return
            // into nothing.
            Stop(s, "Unload inside a subroutine that runs within the plug-in's own call; "
                    "run it with --queued or from the main part");
            break;
        }
        host_.Unload(s.sendClose);
        break;
    case StatementKind::Sub:
    case StatementKind::EndSub:
        break; // structure only; the reader never puts them in a body
    }
}

void Runner::RunSubroutine(const Subroutine& subroutine, const Statement* caller) {
    if (depth_ >= MaxDepth) {
        const std::string message = "subroutines nested more than " + std::to_string(MaxDepth) +
                                    " deep, at " + Utf8Quoted(subroutine.name);
        if (caller != nullptr) {
            Stop(*caller, message);
        } else {
            Error(publication_.file, message);
            stopped_ = true;
            host_.timeStopped = true;
        }
        return;
    }
    const std::string name = Cp1251ToUtf8(subroutine.name);
    Log("sub " + name + " begin");
    ++depth_;
    RunStatements(subroutine.body);
    --depth_;
    if (!stopped_) {
        Log("sub " + name + " end");
    }
}

void Runner::RunScriptLine(const std::string& line) {
    if (stopped_) {
        return;
    }
    std::optional<Statement> statement;
    std::string reason;
    const std::string text = Cp1251ToUtf8(line);
    if (!ReadStatement(text, 0, statement, reason)) {
        Error(publication_.file, "cannot run the script line " + text + ": " + reason);
        return;
    }
    if (!statement || statement->kind != StatementKind::GoSub) {
        Error(publication_.file, "cannot run the script line " + text +
                                     ": tshost runs only "
                                     "GoSub lines sent by a plug-in");
        return;
    }
    const Subroutine* subroutine = publication_.Find(statement->args[0]);
    if (subroutine == nullptr) {
        Error(publication_.file, "cannot run the script line " + text +
                                     ": the publication has no subroutine " +
                                     Utf8Quoted(statement->args[0]));
        return;
    }
    const bool nested = host_.scriptMode == ScriptMode::Synchronous;
    insidePlugIn_ += nested ? 1 : 0;
    RunSubroutine(*subroutine, nullptr);
    insidePlugIn_ -= nested ? 1 : 0;
}

std::string Runner::Substitute(std::string_view text) const {
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('[', at);
        const std::size_t close =
            open == std::string_view::npos ? open : text.find_first_of("[]", open + 1);
        if (close == std::string_view::npos || text[close] != ']') {
            const std::size_t end = close == std::string_view::npos ? text.size() : close;
            result += text.substr(at, end - at);
            at = end;
            continue;
        }
        result += text.substr(at, open - at);
        result += host_.Variable(text.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return result;
}

} // namespace vigrel::tshost
