#include "ui/FormLoader.h"

#include <set>
#include <utility>
#include <vector>

namespace vigrel {
namespace {

using Kind = FormValue::Kind;

std::string Join(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : ", ") + name;
    }
    return joined;
}

std::string Convert(const std::function<std::string(std::string_view)>& conversion,
                    const std::string& text) {
    return conversion ? conversion(text) : text;
}

[[noreturn]] void Fail(const FormProperty& property, const std::string& message) {
    throw SourceError(property.line, property.name + ": " + message);
}

// Runs `action`, reporting an exception from a component's own code at `line`.
template <class F> void AtLine(int line, const std::string& subject, F action) {
    try {
        action();
    } catch (const std::exception& error) {
        throw SourceError(line, subject + ": " + error.what());
    }
}

// The result of the checking pass: what to create and assign, with every value converted.
struct Assignment {
    const FormProperty* source;
    std::vector<const PropertyInfo*> path; // the records passed through, then the property
    PropertyValue value;
};

struct Plan {
    const FormObject* source;
    const ClassInfo* info;
    std::vector<Assignment> assignments;
    std::vector<Plan> children;
};

// The checking pass: the whole resource against the class descriptions (classes, component
// names, property names, value kinds, ranges and names), touching no component.
class FormChecker {
public:
    FormChecker(const TComponent& root, const ClassRegistry& classes,
                const TextConversion& conversion)
        : root_(root), classes_(classes), conversion_(conversion) {}

    // The plan of loading `form` into the root; throws SourceError at the first problem.
    Plan Check(const FormObject& form) {
        const ClassInfo& rootClass = root_.ClassType();
        if (form.className != rootClass.Name()) {
            throw SourceError(form.line,
                              "the root is a " + rootClass.Name() + ", not a " + form.className);
        }
        return Resolve(form, rootClass);
    }

private:
    Plan Resolve(const FormObject& object, const ClassInfo& info) {
        Plan plan{&object, &info, {}, {}};
        std::set<std::string_view> assigned;
        for (const FormProperty& property : object.properties) {
            if (!assigned.insert(property.name).second) {
                throw SourceError(property.line, "duplicate property " + property.name);
            }
            plan.assignments.push_back(ResolveProperty(property, info));
        }
        for (const FormObject& child : object.children) {
            const ClassInfo* childClass = classes_.Find(child.className);
            if (childClass == nullptr) {
                throw SourceError(child.line, "unknown class " + child.className);
            }
            if (!names_.insert(child.name).second || root_.FindComponent(child.name) != nullptr) {
                throw SourceError(child.line, "duplicate component name " + child.name);
            }
            plan.children.push_back(Resolve(child, *childClass));
        }
        return plan;
    }

    Assignment ResolveProperty(const FormProperty& property, const ClassInfo& info) const {
        Assignment assignment{&property, {}, {}};
        const ClassInfo* owner = &info;
        std::string_view rest = property.name;
        for (;;) {
            const std::size_t dot = rest.find('.');
            const std::string_view part = rest.substr(0, dot);
            const PropertyInfo* found = owner->FindProperty(part);
            if (found == nullptr) {
                throw SourceError(property.line,
                                  owner->Name() + " has no property " + std::string(part));
            }
            assignment.path.push_back(found);
            if (dot == std::string_view::npos) {
                break;
            }
            if (found->type != PropertyType::Record) {
                throw SourceError(property.line, std::string(part) + " has no properties");
            }
            owner = found->recordClass;
            rest.remove_prefix(dot + 1);
        }
        assignment.value = Value(*assignment.path.back(), property);
        return assignment;
    }

    PropertyValue Value(const PropertyInfo& info, const FormProperty& property) const {
        const FormValue& value = property.value;
        const bool number = value.kind == Kind::Number || value.kind == Kind::HexNumber;
        switch (info.type) {
        case PropertyType::Integer:
            if (!number) {
                Fail(property, "expected an integer");
            }
            if (value.number < info.minimum || value.number > info.maximum) {
                Fail(property, std::to_string(value.number) + " is outside " +
                                   std::to_string(info.minimum) + ".." +
                                   std::to_string(info.maximum));
            }
            return value.number;
        case PropertyType::Boolean:
            if (value.kind != Kind::Identifier || (value.text != "True" && value.text != "False")) {
                Fail(property, "expected True or False");
            }
            return std::int64_t{value.text == "True"};
        case PropertyType::Text:
            if (value.kind != Kind::String) {
                Fail(property, "expected a string");
            }
            return FromResource(property, value.text);
        case PropertyType::Enumeration:
            if (value.kind != Kind::Identifier) {
                Fail(property, "expected one of " + Join(info.valueNames));
            }
            return Index(info, property, value.text);
        case PropertyType::Set: {
            if (value.kind != Kind::Set) {
                Fail(property, "expected a set of " + Join(info.valueNames));
            }
            std::int64_t bits = 0;
            for (const std::string& item : value.items) {
                const std::int64_t bit = std::int64_t{1} << Index(info, property, item);
                if ((bits & bit) != 0) {
                    Fail(property, item + " appears twice");
                }
                bits |= bit;
            }
            return bits;
        }
        case PropertyType::Color:
            if (value.kind == Kind::Identifier) {
                const auto color = IdentToColor(value.text);
                if (!color) {
                    Fail(property, "unknown colour " + value.text);
                }
                return std::int64_t{*color};
            }
            if (!number || value.number < 0 || value.number > 0xFFFFFFFF) {
                Fail(property, "expected a colour name or a number from 0 to $FFFFFFFF");
            }
            return value.number;
        case PropertyType::Strings: {
            if (value.kind != Kind::List) {
                Fail(property, "expected a list of strings");
            }
            std::vector<std::string> texts;
            for (const std::string& item : value.items) {
                texts.push_back(FromResource(property, item));
            }
            return texts;
        }
        case PropertyType::Binary:
            if (value.kind != Kind::Binary) {
                Fail(property, "expected binary data in braces");
            }
            return value.bytes;
        case PropertyType::Record:
            break;
        }
        Fail(property, "takes no value: assign its properties one by one, as " + property.name +
                           ".<property>");
    }

    static std::int64_t Index(const PropertyInfo& info, const FormProperty& property,
                              const std::string& name) {
        for (std::size_t i = 0; i < info.valueNames.size(); ++i) {
            if (info.valueNames[i] == name) {
                return static_cast<std::int64_t>(i);
            }
        }
        Fail(property, name + " is not one of " + Join(info.valueNames));
    }

    std::string FromResource(const FormProperty& property, const std::string& text) const {
        try {
            return Convert(conversion_.fromResource, text);
        } catch (const std::exception& error) {
            Fail(property, error.what());
        }
    }

    const TComponent& root_;
    const ClassRegistry& classes_;
    const TextConversion& conversion_;
    std::set<std::string_view> names_; // of the nested objects
};

} // namespace

// The creating pass: creates and assigns what the checking pass planned, and undoes the creation
// when a component's own code fails.
class ComponentReader {
public:
    explicit ComponentReader(TComponent& root) : root_(root) {}

    void Read(const FormObject& form, const ClassRegistry& classes,
              const TextConversion& conversion) {
        const Plan plan = FormChecker(root_, classes, conversion).Check(form);
        root_.state_.Include(csLoading);
        loading_.push_back({&root_, &form});
        try {
            root_.SetName(form.name);
            Assign(root_, plan);
            for (const Plan& child : plan.children) {
                Build(child, root_);
            }
            for (const auto& loading : loading_) {
                AtLine(loading.second->line, loading.second->name,
                       [&] { loading.first->Loaded(); });
            }
        } catch (...) {
            DiscardCreated();
            root_.state_.Exclude(csLoading);
            throw;
        }
    }

private:
    // Destroys what this load created, the last first. A component's destructor may already have
    // destroyed others of them: those are no longer among the root's and are skipped, so the
    // error that ended the load is the one the caller sees and nothing is left behind.
    void DiscardCreated() noexcept {
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            for (std::size_t i = 0; i < root_.ComponentCount(); ++i) {
                if (&root_.Components(i) == *it) {
                    root_.RemoveComponent(**it);
                    break;
                }
            }
        }
    }

    void Build(const Plan& plan, TComponent& parent) {
        TComponent* component = nullptr;
        AtLine(plan.source->line, plan.source->name,
               [&] { component = &plan.info->Create(root_); });
        created_.push_back(component);
        component->state_.Include(csLoading);
        loading_.push_back({component, plan.source});
        component->SetName(plan.source->name);
        AtLine(plan.source->line, plan.source->name,
               [&] { component->SetParentComponent(&parent); });
        Assign(*component, plan);
        for (const Plan& child : plan.children) {
            Build(child, *component);
        }
    }

    static void Assign(TComponent& component, const Plan& plan) {
        for (const Assignment& assignment : plan.assignments) {
            AtLine(assignment.source->line, assignment.source->name, [&] {
                TPersistent* target = &component;
                for (std::size_t i = 0; i + 1 < assignment.path.size(); ++i) {
                    target = &assignment.path[i]->record(*target);
                }
                assignment.path.back()->write(*target, assignment.value);
            });
        }
    }

    TComponent& root_;
    std::vector<TComponent*> created_;
    std::vector<std::pair<TComponent*, const FormObject*>> loading_;
};

void ReadComponent(TComponent& root, const FormObject& form, const ClassRegistry& classes,
                   const TextConversion& conversion) {
    ComponentReader(root).Read(form, classes, conversion);
}

void ReadComponentResource(TComponent& root, std::string_view text, const ClassRegistry& classes,
                           const TextConversion& conversion) {
    ReadComponent(root, ParseForm(text), classes, conversion);
}

} // namespace vigrel
