// The author's guide, in both languages, against the texts the plug-in writes and shows.
//
// How a guide quotes a text of the plug-in: in an inline code span (`...`) on one line, outside
// fenced code blocks, one line of the text per span; blanks at either end of a span or of a line
// of the text do not count, since Markdown drops them from a span. Both guides quote the same
// texts, which are Russian where the plug-in's are. The rules:
// - every span that holds a Cyrillic letter is such a quote: a line of a text below, or a
//   "[MonitorError]" text as an argument check writes it for some monitor name;
// - every text below has its quote in each guide: the dialog's (the string properties of its form
//   that it shows, the items of its lists, and editor/DialogTexts.h), those the plug-in hands the
//   host (plugin/PlugInTexts.h), the message of every argument check (for some monitor name) and
//   the missing subroutine's.
// The texts are read from the product's own sources and constants. Those compiled for the DLL are
// Windows-1251 bytes here too; they are turned into UTF-8 to meet the guide.
//
// Samples cannot drift either. Every fenced block says what it holds in its info string:
// "pub NAME", a run of consecutive lines of examples/NAME.pub; "log NAME", a run of consecutive
// lines of what tshost printed in the scenario whose expected log is
// tests/publications/scenarios/NAME[.LOCALE].log, which the suite compares with real runs; or
// "cmd", command lines. And the exit codes a guide lists, the first cells of the rows that hold a
// number alone in a code span in the table after the mention of %ERRORLEVEL%, are exactly
// tshost's.
#include "editor/DialogTexts.h"
#include "monitor/MonitorArguments.h"
#include "plugin/PlugInTexts.h"
#include "tools/pictures/FormPictures.h"
#include "tshost/Codepage.h"
#include "tshost/ExitStatus.h"
#include "ui/FormResource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vigrel {
namespace {

const std::string sourceDir = VIGREL_SOURCE_DIR;
const std::vector<std::string> guides = {"docs/GUIDE.md", "docs/GUIDE.ru.md"};

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The lines of a text as a guide quotes them.
void AddLines(std::string_view text, std::set<std::string>& lines) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (std::string line = Trimmed(text.substr(start, end - start)); !line.empty()) {
            lines.insert(std::move(line));
        }
        start = end + 1;
    }
}

// String properties of a form that it does not show.
const std::set<std::string> unshownProperties = {"Font.Name", "FocusControl", "HyperLink"};

void AddFormTexts(const FormObject& object, std::set<std::string>& lines) {
    for (const FormProperty& property : object.properties) {
        if (unshownProperties.contains(property.name)) {
            continue;
        }
        if (property.value.kind == FormValue::Kind::String) {
            AddLines(property.value.text, lines);
        } else if (property.value.kind == FormValue::Kind::List) {
            for (const std::string& item : property.value.items) {
                AddLines(item, lines);
            }
        }
    }
    for (const FormObject& child : object.children) {
        AddFormTexts(child, lines);
    }
}

// Every line of every text the dialog shows and the plug-in hands the host, in UTF-8.
std::set<std::string> PlugInLines() {
    std::set<std::string> lines;
    const std::string editor = sourceDir + "/editor/";
    const std::optional<std::string> source = ReadFile(editor + "EditMonitor.form");
    EXPECT_TRUE(source) << "cannot read editor/EditMonitor.form";
    const BuiltForm built = BuildForm(
        source.value_or(""), [&](const std::string& name) { return ReadFile(editor + name); });
    AddFormTexts(ParseForm(built.text), lines);
    for (const std::u8string_view text : DialogTexts) {
        AddLines({reinterpret_cast<const char*>(text.data()), text.size()}, lines);
    }
    for (const std::string_view text : PlugInTexts) {
        AddLines(tshost::Cp1251ToUtf8(text), lines);
    }
    AddLines(tshost::Cp1251ToUtf8(MissingSubroutineMessage), lines);
    return lines;
}

// An argument check's message, as what comes before the monitor's name and what after it.
struct ErrorForm {
    std::string before;
    std::string after;

    bool Matches(const std::string& span) const {
        return span.size() > before.size() + after.size() && span.starts_with(before) &&
               span.ends_with(after);
    }
};

std::vector<ErrorForm> ArgumentErrorForms() {
    std::vector<ErrorForm> forms;
    for (const std::string_view text : ArgumentErrorTexts) {
        const std::string message = ArgumentErrorMessage(text, "\x01");
        const std::size_t name = message.find('\x01');
        forms.push_back({tshost::Cp1251ToUtf8(message.substr(0, name)),
                         tshost::Cp1251ToUtf8(message.substr(name + 1))});
    }
    return forms;
}

bool HasCyrillic(std::string_view utf8) {
    return std::any_of(utf8.begin(), utf8.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0xD0 && byte <= 0xD3; // lead bytes of U+0400 to U+04FF
    });
}

// The inline code spans of a Markdown text outside fenced blocks, trimmed.
std::vector<std::string> CodeSpans(const std::string& markdown) {
    std::vector<std::string> spans;
    std::istringstream lines(markdown);
    bool fenced = false;
    for (std::string line; std::getline(lines, line);) {
        if (Trimmed(line).starts_with("```")) {
            fenced = !fenced;
            continue;
        }
        for (std::size_t open = line.find('`'); !fenced && open != std::string::npos;) {
            const std::size_t close = line.find('`', open + 1);
            if (close == std::string::npos) {
                break;
            }
            spans.push_back(Trimmed(std::string_view(line).substr(open + 1, close - open - 1)));
            open = line.find('`', close + 1);
        }
    }
    return spans;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct FencedBlock {
    std::string info;
    std::vector<std::string> lines;
};

std::vector<FencedBlock> FencedBlocks(const std::string& markdown) {
    std::vector<FencedBlock> blocks;
    bool fenced = false;
    for (const std::string& line : Lines(markdown)) {
        if (Trimmed(line).starts_with("```")) {
            if (!fenced) {
                blocks.push_back({Trimmed(Trimmed(line).substr(3)), {}});
            }
            fenced = !fenced;
        } else if (fenced) {
            blocks.back().lines.push_back(line);
        }
    }
    return blocks;
}

// The lines tshost printed in a scenario: its expected log less the closing "exit STATUS".
std::vector<std::vector<std::string>> ScenarioRuns(const std::string& name) {
    std::vector<std::vector<std::string>> runs;
    for (const char* locale : {"", ".ru_RU", ".en_US"}) {
        const auto log =
            ReadFile(sourceDir + "/tests/publications/scenarios/" + name + locale + ".log");
        if (log) {
            runs.push_back(Lines(*log));
            if (!runs.back().empty() && runs.back().back().starts_with("exit ")) {
                runs.back().pop_back();
            }
        }
    }
    return runs;
}

bool IsRunIn(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    return !part.empty() &&
           std::search(whole.begin(), whole.end(), part.begin(), part.end()) != whole.end();
}

// The exit codes a guide lists: the table after the line that says how to show them.
std::set<int> ListedExitCodes(const std::string& markdown) {
    std::set<int> codes;
    bool after = false;
    for (const std::string& line : Lines(markdown)) {
        after = after || line.find("%ERRORLEVEL%") != std::string::npos;
        if (!after || !line.starts_with("| `")) {
            continue;
        }
        const std::string cell = Trimmed(line.substr(1, line.find('|', 1) - 1));
        const std::string code = cell.substr(1, cell.size() - 2);
        if (cell.size() > 2 && cell.ends_with('`') &&
            code.find_first_not_of("0123456789") == std::string::npos) {
            codes.insert(std::stoi(code));
        }
    }
    return codes;
}

class Guide : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const std::optional<std::string> text = ReadFile(sourceDir + "/" + GetParam());
        ASSERT_TRUE(text) << "cannot read " << GetParam();
        text_ = *text;
        spans_ = CodeSpans(*text);
    }

    std::string text_;
    std::vector<std::string> spans_;
};

TEST_P(Guide, SamplesAreRunsOfTheExamplesAndTheirLogs) {
    for (const FencedBlock& block : FencedBlocks(text_)) {
        const std::string kind = block.info.substr(0, block.info.find(' '));
        const std::string name = Trimmed(block.info.substr(kind.size()));
        const std::string first = block.lines.empty() ? "" : block.lines.front();
        if (kind == "pub") {
            const auto example = ReadFile(sourceDir + "/examples/" + name + ".pub");
            EXPECT_TRUE(example && IsRunIn(block.lines, Lines(*example)))
                << GetParam() << ": the sample starting \"" << first
                << "\" is not a run of lines of examples/" << name << ".pub";
        } else if (kind == "log") {
            const auto runs = ScenarioRuns(name);
            EXPECT_TRUE(std::any_of(runs.begin(), runs.end(),
                                    [&](const auto& run) { return IsRunIn(block.lines, run); }))
                << GetParam() << ": the log sample starting \"" << first
                << "\" is not a run of lines of the scenario " << name;
        } else {
            EXPECT_EQ(block.info, "cmd") << GetParam() << ": the block starting \"" << first
                                         << "\" says neither pub NAME, log NAME nor cmd";
        }
    }
}

TEST_P(Guide, ListsTshostsExitCodes) {
    std::set<int> statuses;
    for (const tshost::ExitStatus status : tshost::ExitStatuses) {
        statuses.insert(status);
    }
    EXPECT_EQ(ListedExitCodes(text_), statuses) << GetParam();
}

TEST_P(Guide, QuotesOnlyTextsThePlugInHas) {
    const std::set<std::string> lines = PlugInLines();
    const std::vector<ErrorForm> errors = ArgumentErrorForms();
    for (const std::string& span : spans_) {
        if (!HasCyrillic(span) || lines.contains(span)) {
            continue;
        }
        EXPECT_TRUE(std::any_of(errors.begin(), errors.end(),
                                [&](const ErrorForm& form) { return form.Matches(span); }))
            << GetParam() << " quotes a text the plug-in does not have: " << span;
    }
}

TEST_P(Guide, QuotesEveryTextThePlugInHas) {
    const std::set<std::string> quoted(spans_.begin(), spans_.end());
    for (const std::string& line : PlugInLines()) {
        EXPECT_TRUE(quoted.contains(line)) << GetParam() << " does not quote: " << line;
    }
    for (const ErrorForm& form : ArgumentErrorForms()) {
        EXPECT_TRUE(std::any_of(spans_.begin(), spans_.end(),
                                [&](const std::string& span) { return form.Matches(span); }))
            << GetParam() << " quotes no message that starts: " << form.before;
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Guide, testing::ValuesIn(guides),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param.ends_with(".ru.md") ? "Russian" : "English";
                         });

// The reading of spans itself, so that a guide cannot pass by being read wrongly.
TEST(GuideSpans, AreReadOutsideFencesAndTrimmed) {
    EXPECT_EQ(CodeSpans("a `x` b `` c ` y `\n```\n`inside`\n```\n`after` `open\n"),
              (std::vector<std::string>{"x", "", "y", "after"}));
}

TEST(GuideSpans, MonitorErrorsMatchTheirForm) {
    const ErrorForm form = ArgumentErrorForms().front();
    EXPECT_TRUE(form.Matches(form.before + "Mon 1."));
    EXPECT_FALSE(form.Matches(form.before + "."));
    EXPECT_FALSE(form.Matches(form.before + "Mon1"));
}

} // namespace
} // namespace vigrel
