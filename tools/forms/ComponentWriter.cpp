#include "tools/forms/ComponentWriter.h"

#include "tools/forms/FormWriter.h"

namespace vigrel {
namespace {

using Kind = FormValue::Kind;

std::string Convert(const std::function<std::string(std::string_view)>& conversion,
                    const std::string& text) {
    return conversion ? conversion(text) : text;
}

class ComponentWriter {
public:
    ComponentWriter(const TComponent& root, const TextConversion& conversion)
        : root_(root), conversion_(conversion) {}

    FormObject Describe(const TComponent& component) const {
        FormObject object;
        object.name = component.Name();
        object.className = component.ClassType().Name();
        AppendStored(object.properties, "", component, component.ClassType());
        for (std::size_t i = 0; i < root_.ComponentCount(); ++i) {
            const TComponent& owned = root_.Components(i);
            if (ParentOf(owned) == &component) {
                object.children.push_back(Describe(owned));
            }
        }
        return object;
    }

private:
    // A parent outside the written components counts as the root.
    const TComponent* ParentOf(const TComponent& owned) const {
        const TComponent* parent = owned.GetParentComponent();
        return parent != nullptr && parent->Owner() == &root_ ? parent : &root_;
    }

    void AppendStored(std::vector<FormProperty>& properties, const std::string& prefix,
                      const TPersistent& object, const ClassInfo& info) const {
        for (const PropertyInfo& property : info.Properties()) {
            if (property.type == PropertyType::Record) {
                AppendStored(properties, prefix + property.name + ".", property.recordConst(object),
                             *property.recordClass);
            } else if (property.IsStored(object)) {
                properties.push_back({prefix + property.name, Encode(property, object), 0});
            }
        }
    }

    FormValue Encode(const PropertyInfo& property, const TPersistent& object) const {
        const PropertyValue value = property.read(object);
        FormValue encoded;
        const auto ordinal = [&] { return std::get<std::int64_t>(value); };
        switch (property.type) {
        case PropertyType::Integer:
            encoded.kind = Kind::Number;
            encoded.number = ordinal();
            break;
        case PropertyType::Boolean:
            encoded.kind = Kind::Identifier;
            encoded.text = ordinal() != 0 ? "True" : "False";
            break;
        case PropertyType::Text:
            encoded.kind = Kind::String;
            encoded.text = Convert(conversion_.toResource, std::get<std::string>(value));
            break;
        case PropertyType::Enumeration:
            encoded.kind = Kind::Identifier;
            encoded.text = property.valueNames.at(static_cast<std::size_t>(ordinal()));
            break;
        case PropertyType::Set:
            encoded.kind = Kind::Set;
            for (std::size_t i = 0; i < property.valueNames.size(); ++i) {
                if ((ordinal() >> i & 1) != 0) {
                    encoded.items.push_back(property.valueNames[i]);
                }
            }
            break;
        case PropertyType::Color:
            if (const auto name = ColorToIdent(static_cast<TColor>(ordinal()))) {
                encoded.kind = Kind::Identifier;
                encoded.text = *name;
            } else {
                encoded.kind = Kind::HexNumber;
                encoded.number = static_cast<TColor>(ordinal());
            }
            break;
        case PropertyType::Strings:
            encoded.kind = Kind::List;
            for (const std::string& text : std::get<std::vector<std::string>>(value)) {
                encoded.items.push_back(Convert(conversion_.toResource, text));
            }
            break;
        case PropertyType::Binary:
            encoded.kind = Kind::Binary;
            encoded.bytes = std::get<std::vector<std::uint8_t>>(value);
            break;
        case PropertyType::Record:
            break;
        }
        return encoded;
    }

    const TComponent& root_;
    const TextConversion& conversion_;
};

} // namespace

FormObject WriteComponent(const TComponent& root, const TextConversion& conversion) {
    return ComponentWriter(root, conversion).Describe(root);
}

std::string WriteComponentResource(const TComponent& root, const TextConversion& conversion) {
    return WriteForm(WriteComponent(root, conversion));
}

} // namespace vigrel
