// Runs a publication against a loaded plug-in and writes the log of everything the host sees,
// one event a line in UTF-8.
#pragma once

#include "tshost/PlugInHost.h"
#include "tshost/Publication.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

namespace vigrel::tshost {

// The exit statuses of tshost.
enum ExitStatus {
    ExitSuccess = 0,    // ran to the end, every assertion held, clean accounting
    ExitRunFailed = 1,  // a run-time error: an assertion, a script line it could not run, ...
    ExitNotRun = 2,     // bad command line, unreadable or bad publication, unusable plug-in
    ExitBadStrings = 3, // the host-string accounting found a fault (whatever else happened)
};

struct RunOptions {
    ScriptMode scriptMode = ScriptMode::Synchronous;
    bool times = false; // prefix each line with the milliseconds since the start
    bool reads = false; // log every variable read
};

class Runner {
public:
    Runner(const Publication& publication, PlugInHost& host, RunOptions options, std::FILE* log);
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;
    // Detaches from the host, which may outlive the runner (also when Run ended by an error).
    ~Runner();

    // Starts the plug-in, runs the publication, sends message 2 and unloads the plug-in unless
    // the publication did, and reports the host-string accounting.
    ExitStatus Run();

private:
    void Log(std::string_view utf8);
    void Error(const std::string& where, const std::string& utf8);
    // A run-time error in a statement: logged, and nothing more of the publication runs.
    void Stop(const Statement& statement, const std::string& utf8);
    void RunStatements(const std::vector<Statement>& statements);
    void RunStatement(const Statement& statement);
    void RunSubroutine(const Subroutine& subroutine, const Statement* caller);
    void RunScriptLine(const std::string& line);
    bool NeedPlugIn(const Statement& statement);
    std::string Substitute(std::string_view text) const;

    const Publication& publication_;
    PlugInHost& host_;
    RunOptions options_;
    std::FILE* log_;
    std::chrono::steady_clock::time_point start_;
    bool stopped_ = false;
    bool failed_ = false;
    int depth_ = 0;        // subroutines running, one inside another
    int insidePlugIn_ = 0; // script lines being run inside the plug-in's own call
};

} // namespace vigrel::tshost
