#include "tshost/Runner.h"

#include "tools/diagnostics/Diagnostics.h"
#include "tshost/Codepage.h"

#include <charconv>

namespace vigrel::tshost {
namespace {

constexpr int MaxDepth = 32;

std::string Variable(std::string_view name) {
    return "[" + Cp1251ToUtf8(name) + "]";
}

} // namespace

Runner::Runner(const Publication& publication, RunOptions options, std::FILE* log)
    : publication_(publication), options_(options), log_(log, options.times),
      host_({.scriptMode = options.scriptMode,
             .logReads = options.reads,
             .onScriptLine = [this](const std::string& line) { RunScriptLine(line); },
             .onEvent = [this](const std::string& event) { log_.Line(Cp1251ToUtf8(event)); }}) {}

bool Runner::Load(const std::string& path, std::string& error) {
    return host_.Load(path, error);
}

ExitStatus Runner::Run() {
    host_.Start();
    RunStatements(publication_.main);
    if (const std::size_t dropped = host_.DropQueuedScripts(); dropped > 0) {
        log_.Line("queued script lines not run: " + std::to_string(dropped));
    }
    host_.ResumeTime();
    if (host_.Loaded()) {
        host_.Unload(true);
    }
    const bool clean = log_.ReportHostStrings(host_);
    if (options_.reads) {
        log_.Line("host strings: " + std::to_string(host_.Ledger().PlugInAllocations()) +
                  " made by the plug-in, " + std::to_string(host_.Ledger().PlugInReleases()) +
                  " released by it, " + std::to_string(host_.Reads()) + " variable reads");
    }
    return !clean ? ExitBadStrings : failed_ ? ExitRunFailed : ExitSuccess;
}

void Runner::Error(int line, const std::string& utf8) {
    failed_ = true;
    log_.Line(ErrorAt(publication_.file, line, utf8));
}

void Runner::Stop(int line, const std::string& utf8) {
    Error(line, utf8);
    stopped_ = true;
    host_.StopTime(); // every Wait in progress ends at once
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
    Stop(statement.line, "the plug-in is unloaded; this statement needs it");
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
            Stop(s.line, "Add needs a whole number in " + Variable(a[0]) + ", which holds " +
                             Quoted(Cp1251ToUtf8(value)));
            break;
        }
        std::int64_t sum = 0;
        if (__builtin_add_overflow(number, s.number, &sum)) {
            Stop(s.line, "Add would take " + Variable(a[0]) + " beyond a 64-bit whole number");
            break;
        }
        host_.SetVariable(a[0], std::to_string(sum));
        break;
    }
    case StatementKind::Assert: {
        const std::string value = host_.Variable(a[0]);
        if (value == a[1]) {
            log_.Line("assert " + Variable(a[0]) + " = " + Quoted(Cp1251ToUtf8(a[1])));
        } else {
            Stop(s.line, "assertion failed: " + Variable(a[0]) + " is " +
                             Quoted(Cp1251ToUtf8(value)) + ", expected " +
                             Quoted(Cp1251ToUtf8(a[1])));
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
        log_.Line("wait " + std::to_string(s.number));
        host_.PassTime(static_cast<unsigned>(s.number));
        break;
    case StatementKind::Print:
        log_.Line("print " + Cp1251ToUtf8(Substitute(a[0])));
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
            Stop(s.line, "Unload inside a subroutine that runs within the plug-in's own call; "
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
                                    " deep, at " + Quoted(Cp1251ToUtf8(subroutine.name));
        Stop(caller != nullptr ? caller->line : 0, message);
        return;
    }
    const std::string name = Cp1251ToUtf8(subroutine.name);
    log_.Line("sub " + name + " begin");
    ++depth_;
    RunStatements(subroutine.body);
    --depth_;
    if (!stopped_) {
        log_.Line("sub " + name + " end");
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
        Error(0, "cannot run the script line " + text + ": " + reason);
        return;
    }
    if (!statement || statement->kind != StatementKind::GoSub) {
        Error(0, "cannot run the script line " + text +
                     ": tshost runs only "
                     "GoSub lines sent by a plug-in");
        return;
    }
    const Subroutine* subroutine = publication_.Find(statement->args[0]);
    if (subroutine == nullptr) {
        Error(0, "cannot run the script line " + text + ": the publication has no subroutine " +
                     Quoted(Cp1251ToUtf8(statement->args[0])));
        return;
    }
    const bool nested = options_.scriptMode == ScriptMode::Synchronous;
    insidePlugIn_ += nested ? 1 : 0;
    RunSubroutine(*subroutine, nullptr);
    insidePlugIn_ -= nested ? 1 : 0;
}

std::string Runner::Substitute(std::string_view text) const {
    std::string result;
    for (const TextPiece& piece : SplitVariables(text)) {
        result += piece.variable ? host_.Variable(piece.text) : std::string(piece.text);
    }
    return result;
}

} // namespace vigrel::tshost
