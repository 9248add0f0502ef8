#include "monitor/Monitor.h"

#include "monitor/NameRule.h"
#include "monitor/WinLocale.h"
#include "tessary/PlugInUtils.h"

#include <iterator>
#include <string>

namespace vigrel {

std::unique_ptr<TMonitorList> MonitorList;

TMonitor* TMonitorList::Find(std::string_view name) const {
    const auto found = byKey_.find(MonitorNameKey(name));
    return found != byKey_.end() ? found->second->get() : nullptr;
}

int TMonitorList::IndexOf(std::string_view name) const {
    const auto found = byKey_.find(MonitorNameKey(name));
    if (found == byKey_.end()) {
        return -1;
    }
    return static_cast<int>(std::distance(items_.begin(), Items::const_iterator(found->second)));
}

void TMonitorList::Append(MonitorPtr monitor) {
    std::string key = MonitorNameKey(monitor->MonitorName);
    items_.push_back(std::move(monitor));
    byKey_.emplace(std::move(key), std::prev(items_.end()));
}

void TMonitorList::Remove(TMonitor& monitor) {
    const auto found = byKey_.find(MonitorNameKey(monitor.MonitorName));
    const Items::iterator item = found->second;
    byKey_.erase(found);
    items_.erase(item);
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
        TMonitor* monitor = MonitorList ? MonitorList->Find(name) : nullptr;
        if (monitor == nullptr) {
            return false;
        }
        monitor->Close();
        MonitorList->Remove(*monitor);
        return true;
    } catch (...) {
        return false;
    }
}

void CloseAllMonitors() {
    if (!MonitorList) {
        return;
    }
    MonitorList->ForEach([](TMonitor& monitor) { monitor.Close(); });
    // Detach the registry before destroying it, so the monitors die against an absent registry.
    std::unique_ptr<TMonitorList> closing = std::move(MonitorList);
    closing.reset();
}

} // namespace vigrel
