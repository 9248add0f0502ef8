// The registry inside this test program (its own copy of the monitor code, with no host
// callbacks registered): creation order kept through replacements and removals by name.
#include "monitor/Monitor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel {
namespace {

bool CreateStopped(const std::string& name) {
    return CreateMonitor({name, "V", "=", "", "S", "true", "false"});
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    if (MonitorList) {
        MonitorList->ForEach([&](TMonitor& monitor) { names.push_back(monitor.MonitorName); });
    }
    return names;
}

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { CloseAllMonitors(); }
};

TEST_F(RegistryTest, ReplacementGoesToTheEndAndKeepsTheOthersInOrder) {
    for (const char* name : {"A", "B", "C", "D"}) {
        ASSERT_TRUE(CreateStopped(name));
    }
    ASSERT_TRUE(CreateStopped("b"));
    EXPECT_EQ(Names(), std::vector<std::string>({"A", "C", "D", "b"}));
    EXPECT_EQ(FindMonitor("B"), 3);
    EXPECT_EQ(FindMonitor("c"), 1);
    EXPECT_EQ(FindMonitor("E"), -1);
    EXPECT_TRUE(RemoveMonitor("a"));
    EXPECT_FALSE(RemoveMonitor("a"));
    EXPECT_EQ(Names(), std::vector<std::string>({"C", "D", "b"}));
    EXPECT_EQ(FindMonitor("C"), 0);
    ASSERT_TRUE(CreateStopped("A"));
    EXPECT_EQ(Names(), std::vector<std::string>({"C", "D", "b", "A"}));
}

TEST_F(RegistryTest, FailedCreationLeavesTheRegistryAsItWas) {
    ASSERT_TRUE(CreateStopped("A"));
    ASSERT_TRUE(CreateStopped("B"));
    EXPECT_FALSE(CreateMonitor({"A", "V", "==", "", "S", "true", "false"}));
    EXPECT_EQ(Names(), std::vector<std::string>({"A", "B"}));
}

TEST_F(RegistryTest, EveryNameHasOneEntryAfterManyReplacements) {
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 100; ++i) {
            ASSERT_TRUE(CreateStopped((round % 2 ? "m" : "M") + std::to_string(i)));
        }
    }
    ASSERT_EQ(MonitorList->Count(), 100u);
    EXPECT_EQ(FindMonitor("M0"), 0);
    EXPECT_EQ(FindMonitor("m99"), 99);
    EXPECT_EQ(MonitorList->Find("M42")->MonitorName, "M42"); // the last round's spelling
}

TEST_F(RegistryTest, CloseAllMakesTheRegistryAbsentAndANewOneStartsEmpty) {
    ASSERT_TRUE(CreateStopped("A"));
    CloseAllMonitors();
    EXPECT_FALSE(MonitorList);
    EXPECT_EQ(FindMonitor("A"), -1);
    EXPECT_FALSE(RemoveMonitor("A"));
    ASSERT_TRUE(CreateStopped("B"));
    EXPECT_EQ(Names(), std::vector<std::string>({"B"}));
}

} // namespace
} // namespace vigrel
