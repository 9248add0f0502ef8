// tshost: the host stand-in. Loads a plug-in, runs a publication with it, or edits one of its
// actions, and prints the log of everything the host sees.
#include "VigrelVersion.h"
#include "tools/diagnostics/Diagnostics.h"
#include "tshost/ActionEditor.h"
#include "tshost/Publication.h"
#include "tshost/PublicationFile.h"
#include "tshost/Runner.h"
#include "tshost/Utf16.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

using namespace vigrel::tshost;
using vigrel::ErrorAt;
using vigrel::Quoted;

namespace {

constexpr char Usage[] =
    "usage: tshost [--plugin PATH] [--queued] [--times] [--reads] PUBLICATION\n"
    "       tshost [--plugin PATH] --edit LINE PUBLICATION\n"
    "       tshost --version\n"
    "  --plugin PATH  the plug-in to load (default: Vigrel.tsp beside tshost.exe)\n"
    "  --queued       run a GoSub line after the script callback returns, not inside it\n"
    "  --times        prefix each log line with the milliseconds since the start\n"
    "  --reads        log every variable read with the value handed over\n"
    "  --edit LINE    edit the VigrelCreate action on that line with the plug-in's editor and\n"
    "                 rewrite the line when the editor confirms; nothing runs\n"
    "  --version      print the version and stop\n";

struct CommandLine {
    std::string publication;
    std::string plugIn;
    RunOptions options;
    int editLine = 0; // 0: run the publication
    bool runOption = false;
};

// A line number from 1 to the largest int, in decimal digits only.
bool ReadLineNumber(const std::string& text, int& line) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    line = std::stoi(text);
    return line > 0;
}

std::string BesideProgram(const char* file) {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), 32768);
    path.resize(length);
    path.resize(path.find_last_of(L"\\/") + 1);
    return WideToUtf8(path) + file;
}

// One error line on standard error.
int Fail(const std::string& line, int status) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return status;
}

// A command-line error is one line, with a pointer to the usage.
int Refuse(const std::string& message) {
    return Fail(ErrorAt("tshost", message + " (tshost --help shows the usage)"), ExitNotRun);
}

// Returns an exit status when the command line asks for no run. Arguments are UTF-8.
std::optional<int> ReadCommandLine(const std::vector<std::string>& argv, CommandLine& line) {
    const std::size_t argc = argv.size();
    for (std::size_t i = 1; i < argc; ++i) {
        const std::string& arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return ExitSuccess;
        } else if (arg == "--version") {
            std::fputs("tshost " VIGREL_VERSION "\n", stdout);
            return ExitSuccess;
        } else if (arg == "--plugin") {
            if (++i == argc) {
                return Refuse("--plugin needs a path");
            }
            if (argv[i].empty()) {
                return Refuse("--plugin needs a path, not an empty one");
            }
            line.plugIn = argv[i];
        } else if (arg == "--edit") {
            if (++i == argc || !ReadLineNumber(argv[i], line.editLine)) {
                return Refuse("--edit needs a line number from 1" +
                              (i == argc ? std::string() : ", not " + Quoted(argv[i])));
            }
        } else if (arg == "--queued") {
            line.options.scriptMode = ScriptMode::Queued;
            line.runOption = true;
        } else if (arg == "--times") {
            line.options.times = true;
            line.runOption = true;
        } else if (arg == "--reads") {
            line.options.reads = true;
            line.runOption = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Refuse("unknown option " + arg);
        } else if (!line.publication.empty()) {
            return Refuse("one publication at a time, not " + line.publication + " and " + arg);
        } else {
            line.publication = arg;
        }
    }
    if (line.publication.empty()) {
        return Refuse("no publication given");
    }
    if (line.editLine > 0 && line.runOption) {
        return Refuse("--edit runs nothing: --queued, --times and --reads do not go with it");
    }
    if (line.plugIn.empty()) {
        line.plugIn = BesideProgram("Vigrel.tsp");
    }
    return std::nullopt;
}

int Run(const std::vector<std::string>& argv) {
    CommandLine line;
    if (const auto status = ReadCommandLine(argv, line)) {
        return *status;
    }
    if (line.editLine > 0) {
        return EditAction({line.publication, line.editLine, line.plugIn}, stdout);
    }
    std::string text;
    std::string error;
    if (!ReadPublicationFile(line.publication, text, error)) {
        return Fail(ErrorAt(line.publication, "cannot read the publication: " + error), ExitNotRun);
    }
    const std::optional<Publication> publication = ReadPublication(text, line.publication, error);
    if (!publication) {
        return Fail(error, ExitNotRun);
    }
    Runner runner(*publication, line.options, stdout);
    if (!runner.Load(line.plugIn, error)) {
        return Fail(ErrorAt("tshost", error), ExitNotRun);
    }
    return runner.Run();
}

} // namespace

int wmain(int argc, wchar_t** wideArgv) {
    // The log is UTF-8 bytes, written as they are: no line-end translation, and a console
    // shows them as UTF-8.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR) {
        SetConsoleOutputCP(CP_UTF8);
    }
    try {
        std::vector<std::string> argv;
        for (int i = 0; i < argc; ++i) {
            argv.push_back(WideToUtf8(wideArgv[i]));
        }
        return Run(argv);
    } catch (const std::exception& failure) {
        return Fail(ErrorAt("tshost", failure.what()), ExitRunFailed);
    } catch (...) {
        return Fail(ErrorAt("tshost", "an unexpected failure"), ExitRunFailed);
    }
}
