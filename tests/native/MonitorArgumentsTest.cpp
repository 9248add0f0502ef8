#include "monitor/MonitorArguments.h"

#include "tools/locale/FakeLocale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel {
namespace {

// The messages as the host receives them: Windows-1251 bytes.
const std::string badName = "\xcd\xe5\xe2\xe5\xf0\xed\xee \xf3\xea\xe0\xe7\xe0\xed\xee \xe8\xec"
                            "\xff \xf1\xee\xe7\xe4\xe0\xe2\xe0\xe5\xec\xee\xe3\xee \xec\xee\xed"
                            "\xe8\xf2\xee\xf0\xe0 ";
const std::string badVariable = "\xcd\xe5\xe2\xe5\xf0\xed\xee \xf3\xea\xe0\xe7\xe0\xed\xee \xe8"
                                "\xec\xff \xea\xee\xed\xf2\xf0\xee\xeb\xe8\xf0\xf3\xe5\xec\xee"
                                "\xe9 \xef\xe5\xf0\xe5\xec\xe5\xed\xed\xee\xe9 \xe2 ";
const std::string badCondition = "\xcd\xe5\xe2\xe5\xf0\xed\xee \xf3\xea\xe0\xe7\xe0\xed\xee "
                                 "\xf3\xf1\xeb\xee\xe2\xe8\xe5 \xea\xee\xed\xf2\xf0\xee\xeb\xff "
                                 "\xef\xe5\xf0\xe5\xec\xe5\xed\xed\xee\xe9 \xe2 ";
const std::string badExecution = "\xcd\xe5\xe2\xe5\xf0\xed\xee \xf3\xea\xe0\xe7\xe0\xed \xe0"
                                 "\xf0\xe3\xf3\xec\xe5\xed\xf2 \"\xc2\xfb\xef\xee\xeb\xed\xe5"
                                 "\xed\xe8\xe5\" ";
const std::string badStart = "\xcd\xe5\xe2\xe5\xf0\xed\xee \xf3\xea\xe0\xe7\xe0\xed \xe0\xf0"
                             "\xe3\xf3\xec\xe5\xed\xf2 \"\xd1\xf2\xe0\xf0\xf2\" ";

MonitorArguments Valid() {
    return {"Mon1", "Counter", "=", "10", "OnTen", "FALSE", "True"};
}

struct Outcome {
    bool ok;
    std::vector<std::string> reports;
    MonitorArguments args;
    bool starts;
};

Outcome Check(MonitorArguments args) {
    const test::FakeLocale locale(',');
    Outcome outcome{false, {}, {}, false};
    outcome.ok = CheckMonitorArguments(
        args, locale, [&](std::string_view text) { outcome.reports.emplace_back(text); },
        outcome.starts);
    outcome.args = args;
    return outcome;
}

TEST(CheckMonitorArguments, ClearsTheErrorFiveTimesOnSuccess) {
    const Outcome outcome = Check(Valid());
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.reports, std::vector<std::string>(5, ""));
    EXPECT_EQ(outcome.args.executionMode, "false");
    EXPECT_EQ(outcome.args.startMode, "True");
    EXPECT_TRUE(outcome.starts);
}

TEST(CheckMonitorArguments, AcceptsModesInAnyCaseAndEmptyNames) {
    for (const char* mode : {"true", "TRUE", "True", "false", "FALSE", "fAlSe"}) {
        MonitorArguments args = Valid();
        args.name = "";
        args.variable = "";
        args.executionMode = mode;
        args.startMode = mode;
        const Outcome outcome = Check(args);
        EXPECT_TRUE(outcome.ok) << mode;
        EXPECT_EQ(outcome.starts, mode[0] == 't' || mode[0] == 'T') << mode;
    }
}

TEST(CheckMonitorArguments, ReportsTheFirstFailingCheckByteForByte) {
    struct Case {
        const char* what;
        void (*spoil)(MonitorArguments&);
        std::string message;
        std::size_t clearedBefore;
    };
    const Case cases[] = {
        {"blank in name", [](MonitorArguments& a) { a.name = "Mon 1"; }, badName + "Mon 1.", 0},
        {"underscore", [](MonitorArguments& a) { a.name = "Mon_1"; }, badName + "Mon_1.", 0},
        {"hyphen", [](MonitorArguments& a) { a.name = "Mon-1"; }, badName + "Mon-1.", 0},
        {"cyrillic", [](MonitorArguments& a) { a.name = "\xcc"; }, badName + "\xcc.", 0},
        {"bracketed variable", [](MonitorArguments& a) { a.variable = "[Counter]"; },
         badVariable + "Mon1.", 1},
        {"==", [](MonitorArguments& a) { a.condition = "=="; }, badCondition + "Mon1.", 2},
        {"=<", [](MonitorArguments& a) { a.condition = "=<"; }, badCondition + "Mon1.", 2},
        {">", [](MonitorArguments& a) { a.condition = ">"; }, badCondition + "Mon1.", 2},
        {"blank condition", [](MonitorArguments& a) { a.condition = " ="; }, badCondition + "Mon1.",
         2},
        {"empty condition", [](MonitorArguments& a) { a.condition = ""; }, badCondition + "Mon1.",
         2},
        {"execution 1", [](MonitorArguments& a) { a.executionMode = "1"; }, badExecution + "Mon1.",
         3},
        {"execution yes", [](MonitorArguments& a) { a.executionMode = "yes"; },
         badExecution + "Mon1.", 3},
        {"execution blank", [](MonitorArguments& a) { a.executionMode = "true "; },
         badExecution + "Mon1.", 3},
        {"execution empty", [](MonitorArguments& a) { a.executionMode = ""; },
         badExecution + "Mon1.", 3},
        {"start 1", [](MonitorArguments& a) { a.startMode = "1"; }, badStart + "Mon1.", 4},
        {"start empty", [](MonitorArguments& a) { a.startMode = ""; }, badStart + "Mon1.", 4},
    };
    for (const Case& c : cases) {
        MonitorArguments args = Valid();
        c.spoil(args);
        const Outcome outcome = Check(args);
        EXPECT_FALSE(outcome.ok) << c.what;
        std::vector<std::string> expected(c.clearedBefore, "");
        expected.push_back(c.message);
        EXPECT_EQ(outcome.reports, expected) << c.what;
    }
}

TEST(MonitorMessages, MissingSubroutineIsWindows1251) {
    EXPECT_EQ(MissingSubroutineMessage,
              "\xce\xf2\xf1\xf3\xf2\xf1\xf2\xe2\xf3\xe5\xf2 \xef\xee\xe4\xef\xf0\xee\xe3\xf0\xe0"
              "\xec\xec\xe0 \xe4\xeb\xff \xe2\xfb\xef\xee\xeb\xed\xe5\xed\xe8\xff .");
}

} // namespace
} // namespace vigrel
