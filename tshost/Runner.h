// Runs a publication against a loaded plug-in and writes the log of everything the host sees,
// one event a line in UTF-8.
#pragma once

#include "tshost/EventLog.h"
#include "tshost/ExitStatus.h"
#include "tshost/PlugInHost.h"
#include "tshost/Publication.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace vigrel::tshost {

struct RunOptions {
    ScriptMode scriptMode = ScriptMode::Synchronous;
    bool times = false; // prefix each line with the milliseconds since the start
    bool reads = false; // log every variable read
};

class Runner {
public:
    Runner(const Publication& publication, RunOptions options, std::FILE* log);
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Loads the plug-in (a UTF-8 path); false with the reason in `error`.
    bool Load(const std::string& path, std::string& error);
    // Starts the plug-in, runs the publication, sends message 2 and unloads the plug-in unless
    // the publication did, and reports the host-string accounting.
    ExitStatus Run();

private:
    void Error(int line, const std::string& utf8);
    // A run-time error in a statement (or, at line 0, in a script line): logged, and nothing
    // more of the publication runs.
    void Stop(int line, const std::string& utf8);
    void RunStatements(const std::vector<Statement>& statements);
    void RunStatement(const Statement& statement);
    void RunSubroutine(const Subroutine& subroutine, const Statement* caller);
    void RunScriptLine(const std::string& line);
    bool NeedPlugIn(const Statement& statement);
    std::string Substitute(std::string_view text) const;

    const Publication& publication_;
    RunOptions options_;
    EventLog log_;
    PlugInHost host_; // set up with callbacks into this runner
    bool stopped_ = false;
    bool failed_ = false;
    int depth_ = 0;        // subroutines running, one inside another
    int insidePlugIn_ = 0; // script lines being run inside the plug-in's own call
};

} // namespace vigrel::tshost
