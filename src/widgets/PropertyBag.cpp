#include "widgets/PropertyBag.h"

namespace zr::widgets {

std::optional<PropertyValue> MemoryPropertyBag::ReadProperty(std::string_view name,
                                                             const PropertyValue& defaultValue) {
    if (unreadable_.contains(name)) {
        return std::nullopt;
    }
    const auto found = values_.find(name);
    return found == values_.end() ? defaultValue : found->second;
}

void MemoryPropertyBag::WriteProperty(std::string_view name, const PropertyValue& value,
                                      const PropertyValue& defaultValue) {
    const auto found = values_.find(name);
    if (value == defaultValue) {
        if (found != values_.end()) {
            values_.erase(found);
        }
        return;
    }
    set(name, value);
}

void MemoryPropertyBag::set(std::string_view name, PropertyValue value) {
    values_.insert_or_assign(std::string(name), std::move(value));
}

void MemoryPropertyBag::setUnreadable(std::string_view name) {
    unreadable_.emplace(name);
}

} // namespace zr::widgets
