#include "ui/Component.h"

#include <algorithm>
#include <stdexcept>

namespace vigrel {

TComponent::~TComponent() {
    while (!freeNotifies_.empty()) {
        TComponent* told = freeNotifies_.back();
        freeNotifies_.pop_back();
        std::erase(told->freeNotifies_, this);
        told->Notification(*this, TOperation::opRemove);
    }
    // Each component leaves the list before it dies, but still knows its owner, so a destructor
    // that frees a sibling finds the list consistent.
    while (!components_.empty()) {
        std::unique_ptr<TComponent> last = std::move(components_.back());
        components_.pop_back();
        Notification(*last, TOperation::opRemove);
    }
}

void TComponent::Adopt(std::unique_ptr<TComponent> component) {
    if (component == nullptr) {
        throw std::invalid_argument("no component to insert");
    }
    component->owner_ = this;
    components_.push_back(std::move(component));
    Notification(*components_.back(), TOperation::opInsert);
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent& component) {
    const auto it = std::find_if(components_.begin(), components_.end(),
                                 [&](const auto& owned) { return owned.get() == &component; });
    if (it == components_.end()) {
        throw std::invalid_argument("component " + component.Name() + " is not owned by " + name_);
    }
    std::unique_ptr<TComponent> removed = std::move(*it);
    components_.erase(it);
    removed->owner_ = nullptr;
    Notification(*removed, TOperation::opRemove);
    return removed;
}

void TComponent::FreeNotification(TComponent& component) {
    if (&component == this ||
        std::find(freeNotifies_.begin(), freeNotifies_.end(), &component) != freeNotifies_.end()) {
        return;
    }
    freeNotifies_.push_back(&component);
    component.freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent& component) {
    std::erase(freeNotifies_, &component);
    std::erase(component.freeNotifies_, this);
}

void TComponent::Notification(TComponent&, TOperation) {}

TComponent* TComponent::FindComponent(std::string_view name) const {
    for (const auto& component : components_) {
        if (component->Name() == name) {
            return component.get();
        }
    }
    return nullptr;
}

void TComponent::Loaded() {
    state_.Exclude(csLoading);
}

void TComponent::SetParentComponent(TComponent*) {}

} // namespace vigrel
