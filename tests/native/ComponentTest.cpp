#include "ui/Component.h"
#include "tools/forms/Designing.h"
#include "ui/Published.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vigrel {
namespace {

// Records the order in which components die; optionally frees a sibling while dying.
class TNode : public TComponent {
public:
    TNode(std::string name, std::vector<std::string>& deaths) : deaths_(deaths) {
        SetName(std::move(name));
    }
    ~TNode() override {
        deaths_.push_back(Name());
        if (sibling != nullptr) {
            Owner()->RemoveComponent(*sibling);
        }
    }
    TComponent* sibling = nullptr;

private:
    std::vector<std::string>& deaths_;
};

TEST(Component, OwnerDestroysOwnedInReverseOrderOfInsertion) {
    std::vector<std::string> deaths;
    auto owner = std::make_unique<TNode>("owner", deaths);
    auto& a = owner->CreateComponent<TNode>("a", deaths);
    a.CreateComponent<TNode>("a1", deaths);
    owner->CreateComponent<TNode>("b", deaths);
    owner->CreateComponent<TNode>("c", deaths);
    EXPECT_EQ(a.Owner(), owner.get());
    EXPECT_EQ(owner->FindComponent("b"), &owner->Components(1));
    EXPECT_EQ(owner->FindComponent("a1"), nullptr); // only directly owned components
    owner.reset();
    EXPECT_EQ(deaths, (std::vector<std::string>{"owner", "c", "b", "a", "a1"}));
}

TEST(Component, ComponentDestroyedEarlyLeavesItsOwner) {
    std::vector<std::string> deaths;
    auto owner = std::make_unique<TNode>("owner", deaths);
    owner->CreateComponent<TNode>("a", deaths);
    auto& b = owner->CreateComponent<TNode>("b", deaths);
    owner->CreateComponent<TNode>("c", deaths);
    owner->RemoveComponent(b); // the returned owner is dropped at once
    EXPECT_EQ(deaths, std::vector<std::string>{"b"});
    ASSERT_EQ(owner->ComponentCount(), 2u);
    EXPECT_EQ(owner->FindComponent("b"), nullptr);
    owner.reset();
    EXPECT_EQ(deaths, (std::vector<std::string>{"b", "owner", "c", "a"}));
}

TEST(Component, RemovedComponentSurvivesAndMovesToAnotherOwner) {
    std::vector<std::string> deaths;
    TNode first("first", deaths);
    TNode second("second", deaths);
    auto& moved = first.CreateComponent<TNode>("moved", deaths);
    second.InsertComponent(first.RemoveComponent(moved));
    EXPECT_TRUE(deaths.empty());
    EXPECT_EQ(moved.Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0u);
    EXPECT_THROW(first.RemoveComponent(moved), std::invalid_argument);
}

TEST(Component, DestructorMayFreeASiblingWhileTheOwnerDies) {
    std::vector<std::string> deaths;
    auto owner = std::make_unique<TNode>("owner", deaths);
    auto& a = owner->CreateComponent<TNode>("a", deaths);
    auto& b = owner->CreateComponent<TNode>("b", deaths);
    owner->CreateComponent<TNode>("c", deaths);
    b.sibling = &a;
    owner.reset();
    EXPECT_EQ(deaths, (std::vector<std::string>{"owner", "c", "b", "a"}));
}

TEST(Component, DesigningReachesEverythingOwned) {
    std::vector<std::string> deaths;
    TNode owner("owner", deaths);
    auto& child = owner.CreateComponent<TNode>("child", deaths);
    auto& grandchild = child.CreateComponent<TNode>("grandchild", deaths);
    SetDesigning(owner, true);
    EXPECT_TRUE(grandchild.ComponentState().Contains(csDesigning));
    EXPECT_FALSE(grandchild.ComponentState().Contains(csLoading));
    SetDesigning(owner, false);
    EXPECT_EQ(child.ComponentState(), TComponentState());
}

enum class TTestKind : std::uint8_t { tkOne, tkTwo, tkThree };

// A list of enumerators that misses or repeats a value is refused at compile time.
namespace names {
using enum TTestKind;
static_assert(NamesEachValueOnce(std::array{tkThree, tkOne, tkTwo}));
static_assert(!NamesEachValueOnce(std::array{tkOne, tkThree}));
static_assert(!NamesEachValueOnce(std::array{tkOne, tkTwo, tkTwo}));
} // namespace names

class TBase : public TComponent {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TBase>("TBase", TComponent::StaticClass())
                .Integer("Width", &TBase::Width, &TBase::SetWidth, 0)
                .Boolean("Visible", &TBase::visible, &TBase::visible, true);
        return info;
    }

    int Width() const { return width_; }
    void SetWidth(int width) { width_ = width; }
    bool visible = true;

private:
    int width_ = 0;
};

class TDerived : public TBase {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TDerived>("TDerived", TBase::StaticClass())
                .Color("Color", &TDerived::color, &TDerived::color, clWhite)
                .StoredWhen([](const TDerived& d) { return !d.automatic && d.color != clWhite; })
                .Boolean("Automatic", &TDerived::automatic, &TDerived::automatic, false)
                .Enumeration("Kind", &TDerived::kind, &TDerived::kind, TTestKind::tkOne,
                             VIGREL_ENUM_NAMES(TTestKind, tkThree, tkOne, tkTwo))
                .Default("Width", 100);
        return info;
    }

    TDerived() { SetWidth(100); }
    TColor color = clWhite;
    bool automatic = false;
    TTestKind kind = TTestKind::tkOne;
};

// Made knowing the component that is to own it, as a control placed on its owner is.
class TPlaced : public TComponent {
public:
    explicit TPlaced(TComponent* owner) : placedOn(owner) {}
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TPlaced>("TPlaced", TComponent::StaticClass()).CreatedWithOwner();
        return info;
    }

    TComponent* placedOn;
};

std::vector<std::string> Names(const ClassInfo& info) {
    std::vector<std::string> names;
    for (const PropertyInfo& property : info.Properties()) {
        names.push_back(property.name);
    }
    return names;
}

TEST(Published, DerivedClassExtendsItsBaseAndRedeclaresInPlace) {
    EXPECT_EQ(Names(TDerived::StaticClass()),
              (std::vector<std::string>{"Width", "Visible", "Color", "Automatic", "Kind"}));
    EXPECT_EQ(TDerived::StaticClass().Base(), &TBase::StaticClass());
    EXPECT_EQ(TBase::StaticClass().FindProperty("Width")->defaultValue, PropertyValue(0));
    EXPECT_EQ(TDerived::StaticClass().FindProperty("Width")->defaultValue, PropertyValue(100));
    EXPECT_EQ(TBase::StaticClass().FindProperty("Color"), nullptr);
    // Declared out of order, the names still stand at their enumerators' values.
    EXPECT_EQ(TDerived::StaticClass().FindProperty("Kind")->valueNames,
              (std::vector<std::string>{"tkOne", "tkTwo", "tkThree"}));
}

TEST(Published, AccessorsReadAndWriteThroughTheDescription) {
    TDerived object;
    const ClassInfo& info = object.ClassType();
    info.FindProperty("Width")->write(object, std::int64_t{66});
    info.FindProperty("Kind")->write(object, std::int64_t{2});
    info.FindProperty("Visible")->write(object, std::int64_t{0});
    EXPECT_EQ(object.Width(), 66);
    EXPECT_EQ(object.kind, TTestKind::tkThree);
    EXPECT_FALSE(object.visible);
    EXPECT_EQ(info.FindProperty("Kind")->read(object), PropertyValue(2));
}

TEST(Published, StoredWhenNotDefaultUnlessAPredicateDecides) {
    TDerived object;
    const auto stored = [&](const char* name) {
        return object.ClassType().FindProperty(name)->IsStored(object);
    };
    EXPECT_FALSE(stored("Width")); // the redeclared default
    EXPECT_FALSE(stored("Visible"));
    EXPECT_FALSE(stored("Color"));
    object.SetWidth(0);
    object.visible = false;
    object.color = clSkyBlue;
    EXPECT_TRUE(stored("Width"));
    EXPECT_TRUE(stored("Visible"));
    EXPECT_TRUE(stored("Color"));
    object.automatic = true;
    EXPECT_FALSE(stored("Color"));
}

TEST(Published, RegistryCreatesByNameWithTheOwner) {
    const ClassRegistry registry{&TBase::StaticClass(), &TDerived::StaticClass()};
    TComponent owner;
    const ClassInfo* info = registry.Find("TDerived");
    ASSERT_NE(info, nullptr);
    TComponent& created = info->Create(owner);
    EXPECT_EQ(created.Owner(), &owner);
    EXPECT_EQ(&created.ClassType(), &TDerived::StaticClass());
    EXPECT_EQ(registry.Find("tderived"), nullptr);

    const auto& placed = static_cast<const TPlaced&>(TPlaced::StaticClass().Create(owner));
    EXPECT_EQ(placed.Owner(), &owner);
    EXPECT_EQ(placed.placedOn, &owner);
}

TEST(Published, RegistryRefusesWhatItCannotServe) {
    static const ClassInfo impostor = ClassBuilder<TBase>("TDerived");
    static const ClassInfo persistent = ClassBuilder<TPersistent>("TPersistent");
    ClassRegistry registry{&TDerived::StaticClass()};
    EXPECT_NO_THROW(registry.Register(TDerived::StaticClass()));
    EXPECT_THROW(registry.Register(impostor), std::invalid_argument);
    EXPECT_THROW(registry.Register(persistent), std::invalid_argument);
}

TEST(Published, ColorsReadAndWriteByName) {
    const std::pair<const char*, TColor> colors[] = {
        {"clWhite", 0xFFFFFF},
        {"clSkyBlue", 0xF0CAA6},
        {"clMedGray", 0xA4A0A0},
        {"clGray", 0x808080},
        {"clBlack", 0},
        {"clBlue", 0xFF0000},
        {"clBtnFace", 0xFF00000F},
        {"clActiveBorder", 0xFF00000A},
        {"clActiveCaption", 0xFF000002},
        {"clGradientActiveCaption", 0xFF00001B},
    };
    for (const auto& [name, color] : colors) {
        EXPECT_EQ(IdentToColor(name), color) << name;
        EXPECT_EQ(ColorToIdent(color), name) << name;
    }
    EXPECT_EQ(IdentToColor("clNothing"), std::nullopt);
    EXPECT_EQ(ColorToIdent(0x123456), std::nullopt);
}

} // namespace
} // namespace vigrel
