// Monitors by name: creation from the action's arguments, the registry and closing them all.
#pragma once

#include "monitor/MonitorArguments.h"
#include "monitor/UnitFORM.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vigrel {

class TMonitor : public TImageForm {
public:
    std::string MonitorName;
};

struct MonitorRelease {
    void operator()(TMonitor* monitor) const { TImageForm::Release(monitor); }
};
using MonitorPtr = std::unique_ptr<TMonitor, MonitorRelease>;

// The registry: monitors in creation order, owning them. A set of their names keeps the lookup
// that precedes every creation from scanning the whole list when no monitor has that name.
class TMonitorList {
public:
    std::size_t Count() const { return items_.size(); }
    TMonitor& operator[](std::size_t index) const { return *items_[index]; }
    // Index of the first monitor whose name matches, or -1.
    int IndexOf(std::string_view name) const;
    void Append(MonitorPtr monitor);
    // Removes the entry and destroys its monitor (deferred while its tick runs).
    void Delete(std::size_t index);

private:
    static std::string Key(std::string_view name);

    std::vector<MonitorPtr> items_;
    std::unordered_set<std::string> keys_;
};

// The registry, absent (null) until the first successful creation and after CloseAllMonitors.
extern std::unique_ptr<TMonitorList> MonitorList;

// Executes the monitor action: checks the arguments (reporting through "[MonitorError]"),
// replaces a monitor of the same name, registers the new one at the end and starts it when the
// start mode is "true". True when a monitor was created; every failure inside gives false.
bool CreateMonitor(MonitorArguments args);

// Index of the first monitor whose name matches (ASCII letters case-insensitive), or -1.
int FindMonitor(std::string_view name);

// Closes and destroys the monitor of that name; true when one was removed.
bool RemoveMonitor(std::string_view name);

// Closes every monitor in registry order, destroys them all and makes the registry absent.
void CloseAllMonitors();

} // namespace vigrel
