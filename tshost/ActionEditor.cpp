#include "tshost/ActionEditor.h"

#include "tools/diagnostics/Diagnostics.h"
#include "tshost/Codepage.h"
#include "tshost/EventLog.h"
#include "tshost/PickList.h"
#include "tshost/PlugInHost.h"
#include "tshost/PublicationFile.h"
#include "tshost/PublicationRewrite.h"
#include "tshost/Utf16.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace vigrel::tshost {
namespace {

std::wstring Cp1251ToWide(std::string_view cp1251) {
    return Utf8ToWide(Cp1251ToUtf8(cp1251));
}

std::string_view WithoutBrackets(std::string_view name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    }
    return name;
}

ExitStatus Refuse(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return ExitNotRun;
}

} // namespace

std::vector<std::string> PublicationVariables(const Publication& publication) {
    std::vector<std::string> names;
    const auto collect = [&](const std::vector<Statement>& statements) {
        for (const Statement& s : statements) {
            switch (s.kind) {
            case StatementKind::Set:
            case StatementKind::Add:
            case StatementKind::Assert:
                names.push_back(s.args[0]);
                break;
            case StatementKind::VigrelCreate:
                names.push_back(s.args[1]);
                break;
            case StatementKind::Print:
                for (const TextPiece& piece : SplitVariables(s.args[0])) {
                    if (piece.variable) {
                        names.emplace_back(piece.text);
                    }
                }
                break;
            default:
                break;
            }
        }
    };
    collect(publication.main);
    for (const Subroutine& sub : publication.subroutines) {
        collect(sub.body);
    }
    std::vector<std::string> unique;
    std::set<std::string> seen;
    for (const std::string& name : names) {
        if (!name.empty() && seen.insert(UpperCp1251(name)).second) {
            unique.push_back(name);
        }
    }
    // One order under every regional setting: the invariant locale's, ignoring case.
    std::sort(unique.begin(), unique.end(), [](const std::string& a, const std::string& b) {
        const std::wstring x = Cp1251ToWide(a);
        const std::wstring y = Cp1251ToWide(b);
        const int order =
            CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, x.c_str(), static_cast<int>(x.size()),
                           y.c_str(), static_cast<int>(y.size()));
        return order != CSTR_EQUAL ? order == CSTR_LESS_THAN : a < b;
    });
    return unique;
}

ExitStatus EditAction(const EditRequest& request, std::FILE* log) {
    const std::string& file = request.publication;
    const auto refuse = [&](std::string_view message) {
        return Refuse(ErrorAt(file, request.line, message));
    };
    std::string text;
    std::string error;
    if (!ReadPublicationFile(file, text, error)) {
        return Refuse(ErrorAt(file, "cannot read the publication: " + error));
    }
    const std::optional<Publication> publication = ReadPublication(text, file, error);
    if (!publication) {
        return Refuse(error);
    }
    ActionLine action;
    if (!FindAction(text, request.line, action, error)) {
        return refuse(error);
    }
    // Known before the author edits anything, rather than after.
    if (!CanWritePublicationFile(file, error)) {
        return refuse("cannot write the publication: " + error);
    }
    const std::vector<std::string> variables = PublicationVariables(*publication);
    std::string subroutines;
    for (const Subroutine& sub : publication->subroutines) {
        subroutines += (subroutines.empty() ? "" : "\r\n") + sub.name;
    }
    EventLog events(log, false);
    HostSettings settings;
    settings.onEvent = [&](const std::string& event) { events.Line(Cp1251ToUtf8(event)); };
    settings.onInterfaceAccess = [&](std::int32_t code,
                                     const std::string& current) -> std::optional<std::string> {
        if (code == RequestSubroutineList) {
            return subroutines;
        }
        if (code != RequestPickVariable) {
            return std::nullopt;
        }
        // The field's variable is selected, else the first one.
        const std::string key = UpperCp1251(WithoutBrackets(current));
        std::vector<std::wstring> items;
        std::size_t selected = 0;
        for (std::size_t i = 0; i < variables.size(); ++i) {
            items.push_back(Cp1251ToWide(variables[i]));
            if (UpperCp1251(variables[i]) == key) {
                selected = i;
            }
        }
        const auto picked = PickFromList(GetActiveWindow(), L"Variables", items, selected);
        return picked ? std::optional<std::string>(variables[*picked]) : std::nullopt;
    };
    PlugInHost host(std::move(settings));
    if (!host.Load(request.plugIn, error)) {
        return Refuse(ErrorAt("tshost", error));
    }
    if (!host.HasEditAction()) {
        return Refuse(
            ErrorAt("tshost", "the plug-in " + request.plugIn + " does not export tsEditAction"));
    }
    host.Start();
    std::string handed = "edit " + std::to_string(request.line);
    for (const std::string& arg : action.args) {
        handed += " " + Quoted(Cp1251ToUtf8(arg));
    }
    events.Line(handed);
    const std::optional<std::vector<std::string>> edited =
        host.EditAction(MonitorActionNumber, Slots(action.args.begin(), action.args.end()));
    events.Line("edit " + std::to_string(request.line) + " -> " + (edited ? "ok" : "cancelled"));
    host.Unload(true);
    if (!events.ReportHostStrings(host)) {
        refuse("the publication is left as it was: the plug-in broke the host-string rules");
        return ExitBadStrings;
    }
    if (!edited) {
        return ExitSuccess;
    }

    std::string rewritten;
    if (!ReplaceArguments(text, action, *edited, rewritten, error)) {
        return refuse("the publication is left as it was: " + error);
    }
    std::string now;
    if (!ReadPublicationFile(file, now, error) || now != text) {
        return refuse("the publication changed while it was edited; it is left as it was");
    }
    if (!WritePublicationFile(file, rewritten, error)) {
        return refuse("cannot write the publication: " + error);
    }
    const std::size_t after = text.size() - action.span.end;
    events.Line("line " + std::to_string(request.line) + " rewritten: " +
                rewritten.substr(action.span.begin, rewritten.size() - after - action.span.begin));
    return ExitSuccess;
}

} // namespace vigrel::tshost
