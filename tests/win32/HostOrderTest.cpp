// The real DLL driven by a host that calls in another order, or registers null callbacks: the
// plug-in looks at every callback before each call and never calls through a null one.
#include "tests/win32/TestHost.h"
#include "tools/probe/PlugInProbe.h"
#include "tshost/PlugInHost.h"

#include <windows.h>

#include <cstring>

namespace vigrel::test {
namespace {

// What the callbacks of this host saw; one host at a time, as the callbacks carry no context.
struct Seen {
    std::vector<std::string> actions;
    std::vector<std::string> sets;
    std::vector<std::string> scripts;
    int reads = 0;
    std::string value; // what every variable read answers
};
Seen seen;

TsBool TS_CALL AddAction(std::int32_t, const char* name, const char*, const std::uint8_t*,
                         std::int32_t, std::int32_t) {
    seen.actions.emplace_back(name);
    return TsTrue;
}

void TS_CALL GetVariable(const char*, HostStringPtr* value) {
    ++seen.reads;
    if (!seen.value.empty()) {
        *value = static_cast<char*>(GlobalAlloc(0, seen.value.size() + 1));
        std::memcpy(*value, seen.value.c_str(), seen.value.size() + 1);
    }
}

TsBool TS_CALL SetVariable(const char*, const char* value) {
    seen.sets.emplace_back(value);
    return TsTrue;
}

TsBool TS_CALL ScriptProcessor(const char* line) {
    seen.scripts.emplace_back(line);
    return TsTrue;
}

// Loads the DLL by itself and calls its entry points directly, with whatever callbacks a test
// chooses.
class HostOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        seen = Seen{};
        module = LoadLibraryA(PlugInPath().c_str());
        ASSERT_NE(module, nullptr);
        entries = tshost::FindEntryPoints(module);
    }
    void TearDown() override {
        entries.tsMessage(CloseMessage);
        FreeLibrary(module);
    }

    bool Exec(const char* name, const char* condition, const char* comparison,
              const char* subroutine, const char* execution) {
        const char* args[MonitorArgumentCount] = {name,       "V",       condition, comparison,
                                                  subroutine, execution, "true"};
        std::vector<HostStringPtr> slots;
        for (const char* arg : args) {
            slots.push_back(static_cast<char*>(GlobalAlloc(0, std::strlen(arg) + 1)));
            std::memcpy(slots.back(), arg, std::strlen(arg) + 1);
        }
        const bool created = entries.tsExecAction(MonitorActionNumber, slots.data()) != TsFalse;
        for (HostStringPtr slot : slots) {
            GlobalFree(slot);
        }
        return created;
    }

    HMODULE module = nullptr;
    TessaryEntryPoints entries{};
};

TEST_F(HostOrderTest, ExecuteBeforeAnyRegistrationDecidesWithoutWriting) {
    EXPECT_FALSE(Exec("Bad name", "=", "", "S", "true"));
    EXPECT_TRUE(Exec("Mon1", "=", "", "S", "true"));
    Pump(150); // ticks read the empty text and fire into no script processor
    entries.tsRegisterPlugIn(AddAction, nullptr, GetVariable, SetVariable);
    EXPECT_TRUE(seen.sets.empty());
    Pump(150);
    EXPECT_GE(seen.reads, 1);
    EXPECT_TRUE(seen.scripts.empty());
}

TEST_F(HostOrderTest, NullCallbacksAtRegistrationDeclareAndWriteNothing) {
    entries.tsRegisterPlugIn(nullptr, nullptr, nullptr, nullptr);
    entries.tsRegisterScriptProcessor(nullptr);
    EXPECT_FALSE(Exec("Mon1", "==", "", "S", "true"));
    EXPECT_TRUE(Exec("Mon1", "=", "", "S", "true"));
    EXPECT_TRUE(Exec("NoSub", "=", "", "", "true"));
    Pump(150);
    // Registered again with callbacks: the actions are declared, the monitors keep running.
    entries.tsRegisterPlugIn(AddAction, nullptr, GetVariable, SetVariable);
    entries.tsRegisterScriptProcessor(ScriptProcessor);
    EXPECT_EQ(seen.actions, std::vector<std::string>({"Vigrel", "VigrelCreate"}));
    Pump(150);
    EXPECT_GE(seen.scripts.size(), 1u);
    // The monitor without a subroutine stopped at its first tick, before a setter existed.
    EXPECT_TRUE(seen.sets.empty());
}

TEST_F(HostOrderTest, WithoutAReaderATickReadsTheEmptyText) {
    entries.tsRegisterPlugIn(AddAction, nullptr, nullptr, SetVariable);
    entries.tsRegisterScriptProcessor(ScriptProcessor);
    seen.value = "x";
    ASSERT_TRUE(Exec("Empty", "=", "", "OnEmpty", "false"));
    ASSERT_TRUE(Exec("Text", "=", "x", "OnText", "false"));
    Pump(200);
    EXPECT_EQ(seen.scripts, std::vector<std::string>({"GoSub \"OnEmpty\""}));
    EXPECT_EQ(seen.reads, 0);
}

TEST_F(HostOrderTest, OneShotStopsWithoutAScriptProcessor) {
    entries.tsRegisterPlugIn(AddAction, nullptr, GetVariable, SetVariable);
    ASSERT_TRUE(Exec("Once", "=", "", "OnOnce", "false"));
    ASSERT_TRUE(Exec("Always", "=", "", "OnAlways", "true"));
    Pump(150);
    const int readsOfBoth = seen.reads;
    entries.tsRegisterScriptProcessor(ScriptProcessor);
    Pump(200);
    EXPECT_GE(readsOfBoth, 2);
    EXPECT_GE(seen.scripts.size(), 2u);
    for (const std::string& line : seen.scripts) {
        EXPECT_EQ(line, "GoSub \"OnAlways\"");
    }
}

// The host releases the monitor whose tick is calling it, from inside that call.
enum class Release { CloseAll, Recreate };

class ReleasedInsideCallTest : public PlugInTest, public ::testing::WithParamInterface<Release> {
protected:
    void ReleaseMonitor() {
        if (GetParam() == Release::CloseAll) {
            host->Message(CloseMessage);
        } else {
            EXPECT_TRUE(Create("Mon1", "V", "=", "never", "Other", "true", "true"));
        }
    }
};

TEST_P(ReleasedInsideCallTest, ReadThatReleasesTheMonitorEndsTheTick) {
    int released = 0;
    StartHost({.fastRead = [&](const char*) {
        if (released++ == 0) {
            ReleaseMonitor();
        }
    }});
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Fired", "true", "true"));
    host->PassTime(200);
    EXPECT_GE(released, 1);
    EXPECT_TRUE(Events("script").empty());
}

TEST_P(ReleasedInsideCallTest, ErrorWriteThatReleasesTheMonitorEndsTheTick) {
    int released = 0;
    StartHost({.onEvent = [&](const std::string& event) {
        if (event.find("Отсутствует") != std::string::npos && released++ == 0) {
            ReleaseMonitor();
        }
    }});
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "", "true", "true"));
    host->PassTime(200);
    EXPECT_EQ(released, 1);
    EXPECT_TRUE(Events("script").empty());
    // Only a monitor re-created in its place reads; the released one never does.
    EXPECT_EQ(host->Reads() == 0, GetParam() == Release::CloseAll);
}

INSTANTIATE_TEST_SUITE_P(BothReleases, ReleasedInsideCallTest,
                         ::testing::Values(Release::CloseAll, Release::Recreate),
                         [](const auto& info) {
                             return info.param == Release::CloseAll ? "CloseAll" : "Recreate";
                         });

} // namespace
} // namespace vigrel::test
