// Plays the host's editor on one VigrelCreate statement of a publication: hands its seven
// arguments to the plug-in's tsEditAction, answers the plug-in's interface requests from the
// publication (a pick-list of its variables, the list of its subroutines), and rewrites that
// line when the plug-in answers true.
#pragma once

#include "tshost/Publication.h"
#include "tshost/Runner.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vigrel::tshost {

struct EditRequest {
    std::string publication; // UTF-8 path
    int line = 0;
    std::string plugIn; // UTF-8 path
};

// Every variable the publication names (in Set, Add and Assert, as the watched variable of a
// VigrelCreate, and as [Name] in a Print text), once each whatever the letter case, the first
// spelling kept, sorted ignoring case. Windows-1251.
std::vector<std::string> PublicationVariables(const Publication& publication);

// The edit, logged on `log` one event a line (UTF-8); errors go to standard error. Returns the
// exit status: success also when the plug-in declined, ExitNotRun for an unusable line, file or
// plug-in, and ExitBadStrings when the host-string accounting found a fault (nothing is then
// written).
ExitStatus EditAction(const EditRequest& request, std::FILE* log);

} // namespace vigrel::tshost
