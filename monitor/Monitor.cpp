#include "monitor/Monitor.h"

#include "monitor/NameRule.h"
#include "monitor/WinLocale.h"
#include "tessary/PlugInUtils.h"

#include <string>

namespace vigrel {

std::unique_ptr<TMonitorList> MonitorList;

std::string TMonitorList::Key(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return key;
}

int TMonitorList::IndexOf(std::string_view name) const {
    if (keys_.count(Key(name)) == 0) {
        return -1;
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (SameMonitorName(items_[i]->MonitorName, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TMonitorList::Append(MonitorPtr monitor) {
    keys_.insert(Key(monitor->MonitorName));
    items_.push_back(std::move(monitor));
}

void TMonitorList::Delete(std::size_t index) {
    keys_.erase(Key(items_[index]->MonitorName));
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool CreateMonitor(MonitorArguments args) {
    try {
        // Without the host's callback the texts are not written; the checks still decide.
        const ErrorReport report = [](std::string_view message) {
            if (HostSetVariable != nullptr) {
                const std::string text(message);
                HostSetVariable(MonitorErrorVariable.data(), text.c_str());
            }
        };
        bool startsRunning = false;
        if (!CheckMonitorArguments(args, UserLocale(), report, startsRunning)) {
            return false;
        }
        RemoveMonitor(args.name);

        MonitorPtr monitor(new TMonitor);
        monitor->MonitorName = std::move(args.name);
        monitor->Label1 = std::move(args.variable);
        monitor->Label2 = std::move(args.condition);
        monitor->Label3 = std::move(args.comparison);
        monitor->Label4 = std::move(args.subroutine);
        monitor->Label5 = std::move(args.executionMode);
        monitor->Label6 = std::move(args.startMode);

        if (!MonitorList) {
            MonitorList = std::make_unique<TMonitorList>();
        }
        TMonitor& created = *monitor;
        MonitorList->Append(std::move(monitor));
        if (startsRunning) {
            created.Timer1.SetEnabled(true);
        }
        return true;
    } catch (...) {
        return false;
    }
}

int FindMonitor(std::string_view name) {
    return MonitorList ? MonitorList->IndexOf(name) : -1;
}

bool RemoveMonitor(std::string_view name) {
    try {
        const int index = FindMonitor(name);
        if (index < 0) {
            return false;
        }
        (*MonitorList)[static_cast<std::size_t>(index)].Close();
        MonitorList->Delete(static_cast<std::size_t>(index));
        return true;
    } catch (...) {
        return false;
    }
}

void CloseAllMonitors() {
    if (!MonitorList) {
        return;
    }
    const std::size_t count = MonitorList->Count();
    for (std::size_t i = 0; i < count; ++i) {
        (*MonitorList)[i].Close();
    }
    // Detach the registry before destroying it, so the monitors die against an absent registry.
    std::unique_ptr<TMonitorList> closing = std::move(MonitorList);
    closing.reset();
}

} // namespace vigrel
