// The root of the component toolkit: objects with published properties (TPersistent) and
// components (TComponent), which own other components, carry a name and state flags, and can be
// built from a form resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vigrel {

class ClassInfo;

// An object whose class declares published properties (ui/Published.h).
class TPersistent {
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
    virtual ~TPersistent() = default;

    // The class description of the most derived class that declares one.
    virtual const ClassInfo& ClassType() const = 0;
};

// Written once in the body of every class that describes itself: declares StaticClass, the
// class's own description (defined with a ClassBuilder), and answers ClassType with it.
#define VIGREL_PUBLISHED_CLASS()                                                                   \
    const ClassInfo& ClassType() const override {                                                  \
        return StaticClass();                                                                      \
    }                                                                                              \
    static const ClassInfo& StaticClass()

enum TComponentStateFlag : std::uint8_t {
    csLoading = 1 << 0,   // properties are being assigned from a form resource
    csDesigning = 1 << 1, // being edited in a designer
};

class TComponentState {
public:
    constexpr TComponentState() = default;
    constexpr TComponentState(TComponentStateFlag flag) : bits_(flag) {}

    constexpr bool Contains(TComponentStateFlag flag) const { return (bits_ & flag) != 0; }
    constexpr void Include(TComponentStateFlag flag) {
        bits_ = static_cast<std::uint8_t>(bits_ | flag);
    }
    constexpr void Exclude(TComponentStateFlag flag) {
        bits_ = static_cast<std::uint8_t>(bits_ & ~flag);
    }

    friend constexpr bool operator==(TComponentState, TComponentState) = default;

private:
    std::uint8_t bits_ = 0;
};

enum class TOperation : std::uint8_t { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    TComponent() = default;
    // Tells everything that asked for free notification that this component goes, then destroys
    // the owned components, the last inserted first.
    ~TComponent() override;

    VIGREL_PUBLISHED_CLASS();

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    TComponentState ComponentState() const { return state_; }

    // Null for a component that nothing owns.
    TComponent* Owner() const { return owner_; }

    // Takes ownership of `component`; it lives until this component dies or gives it back.
    template <class T> T& InsertComponent(std::unique_ptr<T> component) {
        T& inserted = *component;
        Adopt(std::move(component));
        return inserted;
    }
    template <class T, class... Args> T& CreateComponent(Args&&... args) {
        return InsertComponent(std::make_unique<T>(std::forward<Args>(args)...));
    }
    // Hands an owned component back to the caller; dropping the result destroys it early.
    std::unique_ptr<TComponent> RemoveComponent(TComponent& component);

    std::size_t ComponentCount() const { return components_.size(); }
    // The owned components in order of insertion.
    TComponent& Components(std::size_t index) const { return *components_.at(index); }
    // The owned component of that name (exact match), or null.
    TComponent* FindComponent(std::string_view name) const;

    // Asks that `component` be told (Notification with opRemove) when this one is destroyed, so
    // it can drop any reference it keeps. The link goes both ways: whichever dies first, the other
    // forgets it. Asking twice counts once.
    void FreeNotification(TComponent& component);
    void RemoveFreeNotification(TComponent& component);

    // The component this one is placed in, as recorded by SetParentComponent; null when the
    // class keeps no such relation. A form resource nests a component inside its parent.
    virtual TComponent* GetParentComponent() const { return nullptr; }

protected:
    // Told when a component is inserted into or removed from this one's owned list, and when a
    // component this one asked free notification of is destroyed. A component being destroyed is
    // already partly gone: compare its address, never call it. Overrides call the base.
    virtual void Notification(TComponent& component, TOperation operation);

    // Runs once when loading from a form resource ends, after every property of every component
    // of the resource is assigned. Overrides call the base first: it clears csLoading.
    virtual void Loaded();
    // Called by the form reader right after creating this component, before its properties are
    // assigned, with the component it is nested in (the root for a top-level one).
    virtual void SetParentComponent(TComponent* parent);

private:
    friend class ComponentReader;
    // The designer's switch (tools/forms/Designing.h): the program itself never designs.
    friend void SetDesigning(TComponent& root, bool designing);

    void Adopt(std::unique_ptr<TComponent> component);

    std::string name_;
    TComponentState state_;
    TComponent* owner_ = nullptr; // not owned: the owner holds this component
    std::vector<std::unique_ptr<TComponent>> components_;
    std::vector<TComponent*> freeNotifies_; // not owned: linked both ways, unlinked at death
};

} // namespace vigrel
