#include "tshost/ActionEditor.h"

#include "tshost/Codepage.h"
#include "tshost/PickList.h"
#include "tshost/PlugInHost.h"
#include "tshost/PublicationFile.h"
#include "tshost/PublicationRewrite.h"

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

// The names written as [Name] in a text, as Print substitutes them.
void References(std::string_view text, std::vector<std::string>& names) {
    std::size_t at = 0;
    while ((at = text.find('[', at)) != std::string_view::npos) {
        const std::size_t close = text.find_first_of("[]", at + 1);
        if (close == std::string_view::npos) {
            return;
        }
        if (text[close] == ']') {
            names.emplace_back(text.substr(at + 1, close - at - 1));
        }
        at = close;
    }
}

ExitStatus Refuse(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return ExitNotRun;
}

std::string QuotedUtf8(std::string_view cp1251) {
    return "\"" + Cp1251ToUtf8(cp1251) + "\"";
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
                References(s.args[0], names);
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
    const std::string where = file + ":" + std::to_string(request.line);
    std::string text;
    std::string error;
    if (!ReadPublicationFile(file, text, error)) {
        return Refuse(file + ": error: cannot read the publication: " + error);
    }
    const std::optional<Publication> publication = ReadPublication(text, file, error);
    if (!publication) {
        return Refuse(error);
    }
    ActionLine action;
    if (!FindAction(text, request.line, action, error)) {
        return Refuse(where + ": error: " + error);
    }
    // Known before the author edits anything, rather than after.
    if (!CanWritePublicationFile(file, error)) {
        return Refuse(where + ": error: cannot write the publication: " + error);
    }
    PlugInHost host;
    if (!host.Load(request.plugIn, error)) {
        return Refuse("tshost: error: " + error);
    }
    if (!host.HasEditAction()) {
        return Refuse("tshost: error: the plug-in " + request.plugIn +
                      " does not export tsEditAction");
    }

    const auto write = [log](std::string_view utf8) {
        std::fwrite(utf8.data(), 1, utf8.size(), log);
        std::fputc('\n', log);
        std::fflush(log);
    };
    host.onEvent = [&](const std::string& event) { write(Cp1251ToUtf8(event)); };
    const std::vector<std::string> variables = PublicationVariables(*publication);
    std::string subroutines;
    for (const Subroutine& sub : publication->subroutines) {
        subroutines += (subroutines.empty() ? "" : "\r\n") + sub.name;
    }
    host.onInterfaceAccess = [&](std::int32_t code,
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
    host.Start();
    std::string handed = "edit " + std::to_string(request.line);
    for (const std::string& arg : action.args) {
        handed += " " + QuotedUtf8(arg);
    }
    write(handed);
    const std::optional<std::vector<std::string>> edited =
        host.EditAction(MonitorActionNumber, action.args);
    write("edit " + std::to_string(request.line) + " -> " + (edited ? "ok" : "cancelled"));
    host.Unload(true);
    host.Ledger().CheckNoneLeft();
    const std::vector<std::string> faults = host.Faults();
    if (faults.empty()) {
        write("host strings: clean");
    }
    for (const std::string& fault : faults) {
        write("host strings: fault: " + Cp1251ToUtf8(fault));
    }
    if (!faults.empty()) {
        std::fprintf(stderr,
                     "%s: error: the publication is left as it was: the plug-in broke "
                     "the host-string rules\n",
                     where.c_str());
        return ExitBadStrings;
    }
    if (!edited) {
        return ExitSuccess;
    }

    std::string rewritten;
    if (!ReplaceArguments(text, action, *edited, rewritten, error)) {
        return Refuse(where + ": error: the publication is left as it was: " + error);
    }
    std::string now;
    if (!ReadPublicationFile(file, now, error) || now != text) {
        return Refuse(where + ": error: the publication changed while it was edited; it is left "
                              "as it was");
    }
    if (!WritePublicationFile(file, rewritten, error)) {
        return Refuse(where + ": error: cannot write the publication: " + error);
    }
    const std::size_t after = text.size() - action.span.end;
    write("line " + std::to_string(request.line) + " rewritten: " +
          rewritten.substr(action.span.begin, rewritten.size() - after - action.span.begin));
    return ExitSuccess;
}

} // namespace vigrel::tshost
