// A fixture that loads the real Vigrel.tsp (built beside the test program) into a fresh host for
// every test and checks the host-string accounting when the test ends.
#pragma once

#include "tools/probe/PlugInProbe.h"
#include "tshost/PlugInHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vigrel::test {

using tshost::Slots;

// The decimal separator of the user's default locale, as the plug-in reads it.
char LocaleSeparator();

class PlugInTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Whether a host registers its interface access at start: one without pick lists does not.
    enum class Registration { Full, WithoutInterfaceAccess };

    // Replaces the host SetUp made with a fresh one set up so, the plug-in loaded and started.
    void StartHost(tshost::HostSettings settings, Registration registration = Registration::Full);
    // Unloads the plug-in and fails the test for every boundary fault of the host.
    void FinishHost();

    // Executes VigrelCreate with the seven arguments.
    bool Create(const char* name, const char* variable, const char* condition,
                const char* comparison, const char* subroutine, const char* execution,
                const char* start);
    // Events of one kind ("set", "script", ...), with the kind and its blank removed.
    std::vector<std::string> Events(const std::string& kind) const;
    std::size_t Count(const std::string& event) const;

    std::unique_ptr<tshost::PlugInHost> host;
};

} // namespace vigrel::test
