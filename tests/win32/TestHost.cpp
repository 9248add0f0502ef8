#include "tests/win32/TestHost.h"

#include <windows.h>

#include <algorithm>

namespace vigrel::test {

char LocaleSeparator() {
    char buffer[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer);
    return buffer[0] != '\0' ? buffer[0] : '.';
}

void PlugInTest::SetUp() {
    StartHost({});
}

void PlugInTest::TearDown() {
    FinishHost();
}

void PlugInTest::StartHost(tshost::HostSettings settings, Registration registration) {
    FinishHost();
    host = std::make_unique<tshost::PlugInHost>(std::move(settings));
    std::string error;
    ASSERT_TRUE(host->Load(PlugInPath(), error)) << error;
    host->RegisterPlugIn();
    host->InitPlugIn();
    host->RegisterScriptProcessor();
    if (registration == Registration::Full) {
        host->RegisterInterfaceAccess();
    }
    host->ClearEvents();
}

void PlugInTest::FinishHost() {
    if (!host) {
        return;
    }
    if (host->Loaded()) {
        host->Unload(true);
    }
    host->Ledger().CheckNoneLeft();
    for (const std::string& fault : host->Faults()) {
        ADD_FAILURE() << "boundary fault: " << fault;
    }
    host.reset();
}

bool PlugInTest::Create(const char* name, const char* variable, const char* condition,
                        const char* comparison, const char* subroutine, const char* execution,
                        const char* start) {
    return host->ExecAction(1,
                            {name, variable, condition, comparison, subroutine, execution, start});
}

std::vector<std::string> PlugInTest::Events(const std::string& kind) const {
    std::vector<std::string> found;
    const std::string prefix = kind + " ";
    for (const std::string& event : host->Events()) {
        if (event.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(event.substr(prefix.size()));
        }
    }
    return found;
}

std::size_t PlugInTest::Count(const std::string& event) const {
    const auto& events = host->Events();
    return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
}

} // namespace vigrel::test
