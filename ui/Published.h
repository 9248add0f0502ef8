// Published properties: each class describes its properties once, in a ClassInfo built with
// ClassBuilder (name, type, read and write accessors, default, stored rule). A derived class's
// description extends its base's. A ClassRegistry maps class names to descriptions so that a
// form resource can create components by class name and assign their properties by name.
#pragma once

#include "tessary/EnumNames.h"
#include "ui/Colors.h"
#include "ui/Component.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vigrel {

enum class PropertyType : std::uint8_t {
    Integer,     // a signed integer within the property's range
    Boolean,     // False or True
    Text,        // bytes
    Enumeration, // one of the property's value names; the value is its index
    Set,         // any of the property's element names; element i is bit i
    Color,       // a TColor
    Strings,     // a list of texts
    Binary,      // bytes shown as hex
    Record,      // a nested object with properties of its own, named as Record.Property
};

// Integer, Boolean, Enumeration, Set and Color values are int64; Text a string, Strings a list,
// Binary a byte vector.
using PropertyValue =
    std::variant<std::int64_t, std::string, std::vector<std::string>, std::vector<std::uint8_t>>;

// A Record property has no read, write or stored rule of its own: its nested properties have.
struct PropertyInfo {
    std::string name;
    PropertyType type = PropertyType::Integer;
    std::vector<std::string> valueNames; // Enumeration: values 0, 1, ...; Set: elements 0, 1, ...
    std::int64_t minimum = 0;            // Integer range
    std::int64_t maximum = 0;
    PropertyValue defaultValue;
    const ClassInfo* recordClass = nullptr; // Record: the nested object's class
    std::function<PropertyValue(const TPersistent&)> read;
    std::function<void(TPersistent&, const PropertyValue&)> write;
    std::function<bool(const TPersistent&)> stored; // empty: stored when not the default
    std::function<TPersistent&(TPersistent&)> record;
    std::function<const TPersistent&(const TPersistent&)> recordConst;

    // Whether a form resource stores this property's value of `object`.
    bool IsStored(const TPersistent& object) const {
        return stored ? stored(object) : read(object) != defaultValue;
    }
};

class ClassInfo {
public:
    using Factory = TComponent& (*)(TComponent& owner);

    ClassInfo(std::string name, const ClassInfo* base, std::vector<PropertyInfo> properties,
              Factory factory)
        : name_(std::move(name)), base_(base), properties_(std::move(properties)),
          factory_(factory) {}

    const std::string& Name() const { return name_; }
    const ClassInfo* Base() const { return base_; }
    // The inherited properties first, then the class's own, each in declaration order; a
    // redeclared property keeps its inherited place.
    const std::vector<PropertyInfo>& Properties() const { return properties_; }
    const PropertyInfo* FindProperty(std::string_view name) const;

    bool CanCreate() const { return factory_ != nullptr; }
    // Creates an instance owned by `owner`.
    TComponent& Create(TComponent& owner) const { return factory_(owner); }

private:
    std::string name_;
    const ClassInfo* base_;
    std::vector<PropertyInfo> properties_;
    Factory factory_;
};

class ClassRegistry {
public:
    ClassRegistry() = default;
    ClassRegistry(std::initializer_list<const ClassInfo*> classes);

    // Throws std::invalid_argument for a class that cannot be created or whose name another
    // registered class has.
    void Register(const ClassInfo& info);
    const ClassInfo* Find(std::string_view name) const;

private:
    std::vector<const ClassInfo*> classes_; // not owned: class descriptions are static
};

// Builds the description of class T, whose accessors it wraps. A read accessor is a getter
// member function, a data member or a callable on const T&; a write accessor a setter member
// function, a data member or a callable on (T&, value). The value type is the read accessor's
// result: integral or enumeration types for ordinal properties, std::string for Text,
// std::vector<std::string> for Strings, std::vector<std::uint8_t> for Binary.
template <class T> class ClassBuilder {
public:
    explicit ClassBuilder(std::string name) : name_(std::move(name)) {}
    ClassBuilder(std::string name, const ClassInfo& base)
        : name_(std::move(name)), base_(&base), properties_(base.Properties()) {}

    template <class R, class W>
    ClassBuilder& Integer(std::string name, R read, W write, std::int64_t defaultValue,
                          std::int64_t minimum = std::numeric_limits<std::int32_t>::min(),
                          std::int64_t maximum = std::numeric_limits<std::int32_t>::max()) {
        static_assert(std::is_integral_v<ValueOf<R>>, "an Integer property reads an integer");
        PropertyInfo& info = Add(std::move(name), PropertyType::Integer, read, write, defaultValue);
        info.minimum = minimum;
        info.maximum = maximum;
        return *this;
    }

    template <class R, class W>
    ClassBuilder& Boolean(std::string name, R read, W write, bool defaultValue) {
        static_assert(std::is_same_v<ValueOf<R>, bool>, "a Boolean property reads a bool");
        Add(std::move(name), PropertyType::Boolean, read, write, std::int64_t{defaultValue});
        return *this;
    }

    template <class R, class W>
    ClassBuilder& Text(std::string name, R read, W write, std::string defaultValue = {}) {
        static_assert(std::is_same_v<ValueOf<R>, std::string>, "a Text property reads a string");
        Add(std::move(name), PropertyType::Text, read, write, std::move(defaultValue));
        return *this;
    }

    // `names` (made by VIGREL_ENUM_NAMES) names the values of the enumeration type E.
    template <class R, class W, class E, std::size_t N>
    ClassBuilder& Enumeration(std::string name, R read, W write, E defaultValue,
                              const EnumNameTable<E, N>& names) {
        static_assert(std::is_same_v<ValueOf<R>, E>, "an Enumeration property reads its type");
        PropertyInfo& info = Add(std::move(name), PropertyType::Enumeration, read, write,
                                 static_cast<std::int64_t>(defaultValue));
        info.valueNames.assign(names.begin(), names.end());
        return *this;
    }

    // `names` names the elements: element i is bit i of the value. A set holds at most 32
    // elements; declaring more throws std::logic_error rather than lose the ones past 32.
    template <class R, class W>
    ClassBuilder& Set(std::string name, R read, W write, std::uint32_t defaultValue,
                      std::vector<std::string> names) {
        static_assert(std::is_same_v<ValueOf<R>, std::uint32_t>, "a Set property reads bits");
        if (names.size() > 32) {
            throw std::logic_error(name_ + "." + name + " declares " +
                                   std::to_string(names.size()) +
                                   " set elements; a set holds at most 32");
        }
        PropertyInfo& info =
            Add(std::move(name), PropertyType::Set, read, write, std::int64_t{defaultValue});
        info.valueNames = std::move(names);
        return *this;
    }

    template <class R, class W>
    ClassBuilder& Color(std::string name, R read, W write, TColor defaultValue) {
        static_assert(std::is_same_v<ValueOf<R>, TColor>, "a Color property reads a TColor");
        Add(std::move(name), PropertyType::Color, read, write, std::int64_t{defaultValue});
        return *this;
    }

    template <class R, class W> ClassBuilder& Strings(std::string name, R read, W write) {
        static_assert(std::is_same_v<ValueOf<R>, std::vector<std::string>>,
                      "a Strings property reads a list of strings");
        Add(std::move(name), PropertyType::Strings, read, write, std::vector<std::string>{});
        return *this;
    }

    template <class R, class W> ClassBuilder& Binary(std::string name, R read, W write) {
        static_assert(std::is_same_v<ValueOf<R>, std::vector<std::uint8_t>>,
                      "a Binary property reads a byte vector");
        Add(std::move(name), PropertyType::Binary, read, write, std::vector<std::uint8_t>{});
        return *this;
    }

    // A nested object held in a data member; Sub is a TPersistent with a StaticClass().
    template <class Sub> ClassBuilder& Record(std::string name, Sub T::*member) {
        PropertyInfo info;
        info.name = std::move(name);
        info.type = PropertyType::Record;
        info.recordClass = &Sub::StaticClass();
        info.record = [member](TPersistent& object) -> TPersistent& {
            return static_cast<T&>(object).*member;
        };
        info.recordConst = [member](const TPersistent& object) -> const TPersistent& {
            return static_cast<const T&>(object).*member;
        };
        Place(std::move(info));
        return *this;
    }

    // Replaces the stored rule of the property declared last: stored exactly when
    // `predicate(object)` holds.
    template <class P> ClassBuilder& StoredWhen(P predicate) {
        properties_.at(last_).stored = [predicate](const TPersistent& object) {
            return predicate(static_cast<const T&>(object));
        };
        return *this;
    }

    // Redeclares an inherited property with another default; its stored rule becomes the
    // default rule.
    ClassBuilder& Default(std::string_view name, PropertyValue defaultValue) {
        for (std::size_t i = 0; i < properties_.size(); ++i) {
            if (properties_[i].name == name) {
                properties_[i].defaultValue = std::move(defaultValue);
                properties_[i].stored = nullptr;
                last_ = i;
                return *this;
            }
        }
        throw std::logic_error(name_ + " inherits no property " + std::string(name));
    }

    // Creates instances with T(&owner) rather than T(), for a class whose constructor needs the
    // component that is to own it.
    ClassBuilder& CreatedWithOwner() {
        static_assert(std::is_constructible_v<T, TComponent*>,
                      "the class has no constructor that takes its owner");
        factory_ = [](TComponent& owner) -> TComponent& {
            return owner.CreateComponent<T>(&owner);
        };
        return *this;
    }

    operator ClassInfo() const { return ClassInfo(name_, base_, properties_, factory_); }

private:
    template <class R> using ValueOf = std::remove_cvref_t<std::invoke_result_t<R, const T&>>;

    template <class V> static PropertyValue ToValue(const V& value) {
        if constexpr (std::is_integral_v<V> || std::is_enum_v<V>) {
            return static_cast<std::int64_t>(value);
        } else {
            return value;
        }
    }

    template <class V> static V FromValue(const PropertyValue& value) {
        if constexpr (std::is_same_v<V, bool>) {
            return std::get<std::int64_t>(value) != 0;
        } else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>) {
            return static_cast<V>(std::get<std::int64_t>(value));
        } else {
            return std::get<V>(value);
        }
    }

    template <class R, class W>
    PropertyInfo& Add(std::string name, PropertyType type, R read, W write,
                      PropertyValue defaultValue) {
        using V = ValueOf<R>;
        PropertyInfo info;
        info.name = std::move(name);
        info.type = type;
        info.defaultValue = std::move(defaultValue);
        info.read = [read](const TPersistent& object) {
            return ToValue<V>(std::invoke(read, static_cast<const T&>(object)));
        };
        info.write = [write](TPersistent& object, const PropertyValue& value) {
            T& target = static_cast<T&>(object);
            if constexpr (std::is_member_object_pointer_v<W>) {
                target.*write = FromValue<V>(value);
            } else {
                std::invoke(write, target, FromValue<V>(value));
            }
        };
        return Place(std::move(info));
    }

    // A property of an inherited name replaces the inherited one in its place.
    PropertyInfo& Place(PropertyInfo info) {
        for (last_ = 0; last_ < properties_.size(); ++last_) {
            if (properties_[last_].name == info.name) {
                return properties_[last_] = std::move(info);
            }
        }
        return properties_.emplace_back(std::move(info));
    }

    // Without CreatedWithOwner: T() for a component class that has it, else no factory (the class
    // cannot be created from a form resource).
    static constexpr ClassInfo::Factory DefaultFactory() {
        if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                      std::is_default_constructible_v<T>) {
            return [](TComponent& owner) -> TComponent& { return owner.CreateComponent<T>(); };
        } else {
            return nullptr;
        }
    }

    std::string name_;
    const ClassInfo* base_ = nullptr;
    std::vector<PropertyInfo> properties_;
    std::size_t last_ = 0;
    ClassInfo::Factory factory_ = DefaultFactory();
};

} // namespace vigrel
