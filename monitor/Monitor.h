// Monitors by name: creation from the action's arguments, the registry and closing them all.
#pragma once

#include "monitor/MonitorArguments.h"
#include "monitor/UnitFORM.h"

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vigrel {

class TMonitor : public TImageForm {
public:
    std::string MonitorName;
};

struct MonitorRelease {
    void operator()(TMonitor* monitor) const { TImageForm::Release(monitor); }
};
using MonitorPtr = std::unique_ptr<TMonitor, MonitorRelease>;

// The registry: monitors in creation order, owning them, with an index by name key, so that
// finding and removing a monitor by name takes constant time whatever the number of monitors.
class TMonitorList {
public:
    std::size_t Count() const { return items_.size(); }
    // The monitor whose name matches, or null.
    TMonitor* Find(std::string_view name) const;
    // Position in creation order of the monitor whose name matches, or -1; walks the list up to
    // that monitor.
    int IndexOf(std::string_view name) const;
    // Appends a monitor whose name no registered monitor has.
    void Append(MonitorPtr monitor);
    // Takes the monitor out and destroys it (deferred while its tick runs).
    void Remove(TMonitor& monitor);
    // Every monitor in creation order.
    template <class F> void ForEach(F f) const {
        for (const MonitorPtr& monitor : items_) {
            f(*monitor);
        }
    }

private:
    using Items = std::list<MonitorPtr>;
    Items items_;
    std::unordered_map<std::string, Items::iterator> byKey_;
};

// The registry, absent (null) until the first successful creation and after CloseAllMonitors.
extern std::unique_ptr<TMonitorList> MonitorList;

// Executes the monitor action: checks the arguments (reporting through "[MonitorError]"),
// replaces a monitor of the same name, registers the new one at the end and starts it when the
// start mode is "true". True when a monitor was created; every failure inside gives false.
bool CreateMonitor(MonitorArguments args);

// Index in creation order of the monitor whose name matches (ASCII letters case-insensitive),
// or -1.
int FindMonitor(std::string_view name);

// Closes and destroys the monitor of that name; true when one was removed.
bool RemoveMonitor(std::string_view name);

// Closes every monitor in registry order, destroys them all and makes the registry absent.
void CloseAllMonitors();

} // namespace vigrel
