// Monitors of the real DLL: creation, firing on the host's message loop, replacement, re-entry.
#include "tests/win32/TestHost.h"

#include <windows.h>

namespace vigrel::test {
namespace {

const std::string cleared = "[MonitorError] = \"\"";

using MonitorTest = PlugInTest;

TEST_F(MonitorTest, SuccessfulCreationClearsTheErrorFiveTimes) {
    host->SetVariable("MonitorError", "old message");
    EXPECT_TRUE(Create("Mon1", "Counter", "=", "10", "OnTen", "false", "true"));
    EXPECT_EQ(Events("set"), std::vector<std::string>(5, cleared));
    EXPECT_EQ(host->Variable("[MonitorError]"), "");
}

TEST_F(MonitorTest, FailedCheckReportsAndLeavesTheRunningMonitorAlone) {
    ASSERT_TRUE(Create("Mon1", "V", "=", "go", "Running", "true", "true"));
    host->ClearEvents();
    EXPECT_FALSE(Create("MON1", "V", "==", "go", "Other", "true", "true"));
    EXPECT_EQ(host->Variable("MonitorError"),
              "Неверно указано условие контроля переменной в MON1.");
    EXPECT_FALSE(Create("Мон", "V", "=", "go", "Other", "true", "true"));
    EXPECT_EQ(host->Variable("MonitorError"), "Неверно указано имя создаваемого монитора Мон.");
    host->SetVariable("V", "go");
    host->PassTime(200);
    EXPECT_GE(Count("script GoSub \"Running\""), 2u);
    EXPECT_EQ(Count("script GoSub \"Other\""), 0u);
}

TEST_F(MonitorTest, RepeatingMonitorFiresOnEveryTickWhileTheConditionHolds) {
    host->SetVariable("Counter", "10");
    ASSERT_TRUE(Create("Mon1", "Counter", "=", "10", "OnTen", "TRUE", "True"));
    host->PassTime(525);
    const std::size_t fired = Count("script GoSub \"OnTen\"");
    EXPECT_GE(fired, 6u);
    EXPECT_LE(fired, 11u);
    EXPECT_EQ(host->Reads(), fired);

    host->SetVariable("Counter", "11");
    host->ClearEvents();
    host->PassTime(200);
    EXPECT_EQ(Count("script GoSub \"OnTen\""), 0u);
    EXPECT_GE(host->Reads(), fired + 2);
}

TEST_F(MonitorTest, OneShotMonitorFiresOnceAndStopsReading) {
    host->SetVariable("Counter", "007");
    ASSERT_TRUE(Create("Mon1", "Counter", "=", "7", "OnTen", "False", "true"));
    host->PassTime(400);
    EXPECT_EQ(Count("script GoSub \"OnTen\""), 1u);
    EXPECT_EQ(host->Reads(), 1u);
}

TEST_F(MonitorTest, MonitorCreatedStoppedNeverFires) {
    host->SetVariable("Counter", "10");
    ASSERT_TRUE(Create("Mon1", "Counter", "=", "10", "OnTen", "true", "FALSE"));
    host->PassTime(300);
    EXPECT_TRUE(Events("script").empty());
    EXPECT_EQ(host->Reads(), 0u);
}

TEST_F(MonitorTest, EmptySubroutineStopsAtTheFirstTickWithAMessage) {
    ASSERT_TRUE(Create("Mon1", "Counter", "=", "", "", "true", "true"));
    host->ClearEvents();
    host->PassTime(300);
    EXPECT_EQ(Events("set"),
              std::vector<std::string>(
                  {"[MonitorError] = \"Отсутствует подпрограмма для выполнения .\""}));
    EXPECT_EQ(host->Reads(), 0u);
    EXPECT_TRUE(Events("script").empty());
}

TEST_F(MonitorTest, CreationReplacesAMonitorOfTheSameNameInAnyCase) {
    ASSERT_TRUE(Create("MON1", "V", "=", "", "Old", "true", "true"));
    host->PassTime(120);
    ASSERT_GE(Count("script GoSub \"Old\""), 1u);
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "New", "true", "true"));
    host->ClearEvents();
    host->PassTime(200);
    EXPECT_EQ(Count("script GoSub \"Old\""), 0u);
    EXPECT_GE(Count("script GoSub \"New\""), 2u);
    // An empty name is a name too: a second creation with it replaces the first.
    ASSERT_TRUE(Create("", "V", "=", "", "EmptyOld", "true", "true"));
    ASSERT_TRUE(Create("", "V", "=", "", "EmptyNew", "true", "true"));
    host->ClearEvents();
    host->PassTime(150);
    EXPECT_EQ(Count("script GoSub \"EmptyOld\""), 0u);
    EXPECT_GE(Count("script GoSub \"EmptyNew\""), 1u);
}

// The comparison cases that depend on nothing but the values, and those that depend on the
// decimal separator of the locale the test runs under.
TEST_F(MonitorTest, ComparesValuesByClassUnderTheUserLocale) {
    const bool comma = LocaleSeparator() == ',';
    struct Case {
        const char* value;
        const char* condition;
        const char* comparison;
        bool fires;
    };
    const Case cases[] = {
        {"007", "=", "7", true},       {"2147483648", "<>", "0", true},
        {"a", "=", "a", true},         {"x", "<>", "5", true},
        {"abc", "=", "ABC", true},     {"абв", "=", "АБВ", true},
        {"-5", "=", "-5", true},       {"-5", "=", "-5,0", false},
        {"-5", "<>", "-5,0", true},    {"5", "<>", "", true},
        {"", "=", "", true},           {"7", "=", "7,0", comma},
        {"7", "<>", "7,0", !comma},    {"7", "=", "7.0", !comma},
        {"12,5", "=", "12,50", comma}, {"12,5", "<>", "12,50", !comma},
    };
    int index = 0;
    for (const Case& c : cases) {
        const std::string name = "M" + std::to_string(index);
        const std::string variable = "V" + std::to_string(index);
        const std::string subroutine = "S" + std::to_string(index++);
        host->SetVariable(variable, c.value);
        ASSERT_TRUE(Create(name.c_str(), variable.c_str(), c.condition, c.comparison,
                           subroutine.c_str(), "false", "true"));
    }
    host->PassTime(200);
    index = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(Count("script GoSub \"S" + std::to_string(index++) + "\""), c.fires ? 1u : 0u)
            << '"' << c.value << "\" " << c.condition << " \"" << c.comparison << '"';
    }
}

// A host thread whose locale differs from the user's: the separator follows the user's locale,
// like the text comparisons.
TEST_F(MonitorTest, SeparatorComesFromTheUserLocaleWhateverTheThreadLocale) {
    host->Unload(true);
    const bool comma = LocaleSeparator() == ',';
    const LCID thread = GetThreadLocale();
    const LANGID other = comma ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                               : MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
    ASSERT_TRUE(SetThreadLocale(MAKELCID(other, SORT_DEFAULT)));
    std::string error;
    const bool loaded = host->Load(PlugInPath(), error);
    SetThreadLocale(thread);
    ASSERT_TRUE(loaded) << error;
    host->Start();
    host->SetVariable("V", "7");
    ASSERT_TRUE(Create("Comma", "V", "=", "7,0", "OnComma", "false", "true"));
    ASSERT_TRUE(Create("Point", "V", "=", "7.0", "OnPoint", "false", "true"));
    host->PassTime(150);
    EXPECT_EQ(Count("script GoSub \"OnComma\""), comma ? 1u : 0u);
    EXPECT_EQ(Count("script GoSub \"OnPoint\""), comma ? 0u : 1u);
}

TEST_F(MonitorTest, ReportsFromTheSameNameForEachBadArgument) {
    struct Case {
        std::vector<const char*> args;
        std::string message;
    };
    const Case cases[] = {
        {{"Mon 1", "V", "=", "", "S", "true", "true"},
         "Неверно указано имя создаваемого монитора Mon 1."},
        {{"Mon1", "[V]", "=", "", "S", "true", "true"},
         "Неверно указано имя контролируемой переменной в Mon1."},
        {{"Mon1", "V", "= ", "", "S", "true", "true"},
         "Неверно указано условие контроля переменной в Mon1."},
        {{"Mon1", "V", "=", "", "S", "yes", "true"},
         "Неверно указан аргумент \"Выполнение\" Mon1."},
        {{"Mon1", "V", "=", "", "S", "true", " true"}, "Неверно указан аргумент \"Старт\" Mon1."},
    };
    for (const Case& c : cases) {
        const auto& a = c.args;
        EXPECT_FALSE(Create(a[0], a[1], a[2], a[3], a[4], a[5], a[6]));
        EXPECT_EQ(host->Variable("MonitorError"), c.message);
    }
}

// A subroutine that the host runs inside the tick re-creates its own monitor, or closes all.
class ReentryTest : public PlugInTest, public ::testing::WithParamInterface<tshost::ScriptMode> {};

TEST_P(ReentryTest, SubroutineReplacesItsOwnMonitorFromInsideTheTick) {
    int replaced = 0;
    StartHost({.scriptMode = GetParam(), .onScriptLine = [&](const std::string& line) {
                   if (line == "GoSub \"First\"") {
                       ++replaced;
                       EXPECT_TRUE(Create("Mon1", "V", "=", "", "Second", "true", "true"));
                   }
               }});
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "First", "true", "true"));
    host->PassTime(300);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(Count("script GoSub \"First\""), 1u);
    EXPECT_GE(Count("script GoSub \"Second\""), 3u);
}

TEST_P(ReentryTest, SubroutineClosesAllMonitorsFromInsideTheTick) {
    StartHost({.scriptMode = GetParam(), .onScriptLine = [&](const std::string& line) {
                   if (line == "GoSub \"Stop\"") {
                       host->Message(2);
                   }
               }});
    ASSERT_TRUE(Create("Other", "V", "=", "", "Busy", "true", "true"));
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Stop", "true", "true"));
    host->PassTime(300);
    EXPECT_EQ(Count("script GoSub \"Stop\""), 1u);
    EXPECT_LE(Count("script GoSub \"Busy\""), 1u);
    host->ClearEvents();
    host->PassTime(150);
    EXPECT_TRUE(Events("script").empty());
}

// A subroutine that runs a message loop (a modal window, say) while its tick is still running:
// its own monitor's nested ticks pass, other monitors keep ticking, and once the subroutine
// returns its monitor ticks again.
TEST_P(ReentryTest, SubroutineThatPumpsMessagesIsNotReenteredWhileOthersTick) {
    int depth = 0;
    int deepest = 0;
    int othersInside = 0;
    bool pumped = false;
    const auto run = [&](const std::string& line) {
        if (line == "GoSub \"Other\"") {
            othersInside += depth;
            return;
        }
        ++depth;
        deepest = std::max(deepest, depth);
        if (!pumped) {
            pumped = true;
            host->PassTime(150); // a host that dispatches messages while the subroutine runs
        }
        --depth;
    };
    StartHost({.scriptMode = GetParam(), .onScriptLine = run});
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Nested", "true", "true"));
    ASSERT_TRUE(Create("Mon2", "V", "=", "", "Other", "true", "true"));
    host->PassTime(350);
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(Count("script GoSub \"Nested\""), 2u);
    if (GetParam() == tshost::ScriptMode::Synchronous) {
        EXPECT_GE(othersInside, 1);
    }
}

// A host that queues GoSub lines, with a subroutine that takes longer than a tick: every run
// leaves a new line queued, and the host's wait still ends at its deadline.
TEST_F(MonitorTest, QueuedHostWaitEndsAtItsDeadlineWhileTheQueueStaysFull) {
    int runs = 0;
    StartHost({.scriptMode = tshost::ScriptMode::Queued, .onScriptLine = [&](const std::string&) {
                   ++runs;
                   host->PassTime(60);
               }});
    ASSERT_TRUE(Create("Busy", "V", "=", "", "Busy", "true", "true"));
    const DWORD start = GetTickCount();
    host->PassTime(300);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_LT(elapsed, 1000u);
    EXPECT_GE(runs, 2);
    EXPECT_GE(host->DropQueuedScripts(), 1u);
    EXPECT_EQ(host->DropQueuedScripts(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothHostBehaviours, ReentryTest,
                         ::testing::Values(tshost::ScriptMode::Synchronous,
                                           tshost::ScriptMode::Queued),
                         [](const auto& info) {
                             return info.param == tshost::ScriptMode::Synchronous ? "Synchronous"
                                                                                  : "Queued";
                         });

} // namespace
} // namespace vigrel::test
