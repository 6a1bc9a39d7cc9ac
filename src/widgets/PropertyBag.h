#pragma once

#include "widgets/ButtonFont.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>

namespace zr::widgets {

using PropertyValue = std::variant<std::int64_t, bool, std::string, ButtonFont>;

// Where a control's persisted properties live between sessions.
class PropertyBag {
  public:
    virtual ~PropertyBag() = default;
    // The stored value; `defaultValue` when the name is absent; nothing when the store holds
    // the name but cannot produce a value for it.
    virtual std::optional<PropertyValue> ReadProperty(std::string_view name,
                                                      const PropertyValue& defaultValue) = 0;
    // Stores the value; a value equal to `defaultValue` is left out (and removes what was there).
    virtual void WriteProperty(std::string_view name, const PropertyValue& value,
                               const PropertyValue& defaultValue) = 0;
};

// A property bag in memory, for controls created in code and for tests.
class MemoryPropertyBag final : public PropertyBag {
  public:
    std::optional<PropertyValue> ReadProperty(std::string_view name,
                                              const PropertyValue& defaultValue) override;
    void WriteProperty(std::string_view name, const PropertyValue& value,
                       const PropertyValue& defaultValue) override;

    void set(std::string_view name, PropertyValue value);
    // Reading the name then fails, as a damaged store would.
    void setUnreadable(std::string_view name);
    bool contains(std::string_view name) const { return values_.contains(name); }
    const std::map<std::string, PropertyValue, std::less<>>& values() const { return values_; }

  private:
    std::map<std::string, PropertyValue, std::less<>> values_;
    std::set<std::string, std::less<>> unreadable_;
};

} // namespace zr::widgets
