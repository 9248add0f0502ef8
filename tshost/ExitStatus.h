// The exit statuses of tshost, which the author's guide lists; plain, so that the guide's test
// reads them natively.
#pragma once

namespace vigrel::tshost {

enum ExitStatus {
    ExitSuccess = 0,    // ran to the end, every assertion held, clean accounting
    ExitRunFailed = 1,  // a run-time error: an assertion, a script line it could not run, ...
    ExitNotRun = 2,     // bad command line, unreadable or bad publication, unusable plug-in
    ExitBadStrings = 3, // the host-string accounting found a fault (whatever else happened)
};

// Every status, for those who list them.
constexpr ExitStatus ExitStatuses[] = {ExitSuccess, ExitRunFailed, ExitNotRun, ExitBadStrings};

} // namespace vigrel::tshost
