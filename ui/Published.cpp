#include "ui/Published.h"

#include <algorithm>

namespace vigrel {

const PropertyInfo* ClassInfo::FindProperty(std::string_view name) const {
    const auto it = std::find_if(properties_.begin(), properties_.end(),
                                 [&](const PropertyInfo& info) { return info.name == name; });
    return it == properties_.end() ? nullptr : &*it;
}

ClassRegistry::ClassRegistry(std::initializer_list<const ClassInfo*> classes) {
    for (const ClassInfo* info : classes) {
        Register(*info);
    }
}

void ClassRegistry::Register(const ClassInfo& info) {
    if (!info.CanCreate()) {
        throw std::invalid_argument("class " + info.Name() + " cannot be created");
    }
    const ClassInfo* known = Find(info.Name());
    if (known == &info) {
        return;
    }
    if (known != nullptr) {
        throw std::invalid_argument("another class is already registered as " + info.Name());
    }
    classes_.push_back(&info);
}

const ClassInfo* ClassRegistry::Find(std::string_view name) const {
    const auto it = std::find_if(classes_.begin(), classes_.end(),
                                 [&](const ClassInfo* info) { return info->Name() == name; });
    return it == classes_.end() ? nullptr : *it;
}

// Defined here rather than beside TComponent, so that the component root does not include the
// property descriptions built on it.
const ClassInfo& TComponent::StaticClass() {
    static const ClassInfo info = ClassBuilder<TComponent>("TComponent");
    return info;
}

} // namespace vigrel
