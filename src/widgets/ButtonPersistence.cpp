// Creation, loading and saving of a control's properties.
#include "widgets/ButtonModel.h"

#include <limits>
#include <optional>

namespace zr::widgets {

namespace {

constexpr Colour kNewEffectColour = 0xFFFFFF;

template <typename Int> std::optional<Int> asInteger(const PropertyValue& value) {
    const auto* number = std::get_if<std::int64_t>(&value);
    if (number == nullptr || *number < std::numeric_limits<Int>::min() ||
        *number > std::numeric_limits<Int>::max()) {
        return std::nullopt;
    }
    return static_cast<Int>(*number);
}

// Colours are stored as numbers; both the signed and the unsigned reading of 32 bits count.
std::optional<Colour> asColour(const PropertyValue& value) {
    const auto* number = std::get_if<std::int64_t>(&value);
    if (number == nullptr || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<Colour>(*number);
}

std::optional<bool> asBool(const PropertyValue& value) {
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number != 0;
    }
    return std::nullopt;
}

std::int64_t number(Colour value) {
    return static_cast<std::int64_t>(value);
}

} // namespace

void ButtonModel::InitProperties(const std::string& instanceName) {
    SetCaption(instanceName);
    SetIconSource("");
    SetForeColor(0);
    SetTheme(1);
    SetFocusDottedRect(true);
    SetEnabled(true);
    SetFont(host_.ambientFont());
    SetIcon(false);
    SetRoundedValue(5);
    SetTransparencyICO(100);
    SetCaptionAlignment(5);
    SetCaptionOffsetX(0);
    SetCaptionOffsetY(0);
    SetShadowOffsetX(2);
    SetShadowOffsetY(2);
    SetCaptionEffectColor(kNewEffectColour);
    SetCaptionEffect(1);
    SetIconAlignment(1);
    SetCaptionDisableColor(rgb(212, 212, 212));
    pollArmed_ = host_.runMode();
    armHoverPoll();
}

void ButtonModel::readOne(PropertyBag& store, std::string_view name,
                          const PropertyValue& defaultValue,
                          const std::function<void(const PropertyValue&)>& apply) {
    // An unreadable or ill-typed value is skipped: the property keeps what it had.
    if (const auto value = store.ReadProperty(name, defaultValue)) {
        apply(*value);
    }
}

void ButtonModel::ReadProperties(PropertyBag& store) {
    const ButtonProperties d;
    const auto text = [](auto setter) {
        return [setter](const PropertyValue& v) {
            if (const auto* s = std::get_if<std::string>(&v)) {
                setter(*s);
            }
        };
    };
    const auto colour = [](auto setter) {
        return [setter](const PropertyValue& v) {
            if (const auto c = asColour(v)) {
                setter(*c);
            }
        };
    };
    const auto int16 = [](auto setter) {
        return [setter](const PropertyValue& v) {
            if (const auto n = asInteger<std::int16_t>(v)) {
                setter(*n);
            }
        };
    };
    const auto int32 = [](auto setter) {
        return [setter](const PropertyValue& v) {
            if (const auto n = asInteger<std::int32_t>(v)) {
                setter(*n);
            }
        };
    };
    const auto flag = [](auto setter) {
        return [setter](const PropertyValue& v) {
            if (const auto b = asBool(v)) {
                setter(*b);
            }
        };
    };

    readOne(store, "Caption", d.Caption, text([this](const std::string& v) { SetCaption(v); }));
    readOne(store, "IconSource", d.IconSource,
            text([this](const std::string& v) { SetIconSource(v); }));
    readOne(store, "CaptionDisableColor", number(d.CaptionDisableColor),
            colour([this](Colour v) { SetCaptionDisableColor(v); }));
    readOne(store, "CaptionEffectColor", number(d.CaptionEffectColor),
            colour([this](Colour v) { SetCaptionEffectColor(v); }));
    readOne(store, "CaptionEffect", std::int64_t{d.CaptionEffect},
            int32([this](std::int32_t v) { SetCaptionEffect(v); }));
    readOne(store, "CaptionOffsetY", std::int64_t{d.CaptionOffsetY},
            int16([this](std::int16_t v) { SetCaptionOffsetY(v); }));
    readOne(store, "CaptionOffsetX", std::int64_t{d.CaptionOffsetX},
            int16([this](std::int16_t v) { SetCaptionOffsetX(v); }));
    readOne(store, "ShadowOffsetY", std::int64_t{d.ShadowOffsetY},
            int16([this](std::int16_t v) { SetShadowOffsetY(v); }));
    readOne(store, "ShadowOffsetX", std::int64_t{d.ShadowOffsetX},
            int16([this](std::int16_t v) { SetShadowOffsetX(v); }));
    readOne(store, "ForeColor", number(d.ForeColor), colour([this](Colour v) { SetForeColor(v); }));
    readOne(store, "Theme", std::int64_t{d.Theme}, int32([this](std::int32_t v) { SetTheme(v); }));
    readOne(store, "FocusDottedRect", d.FocusDottedRect,
            flag([this](bool v) { SetFocusDottedRect(v); }));
    readOne(store, "Enabled", d.Enabled, flag([this](bool v) { SetEnabled(v); }));
    readOne(store, "Font", host_.ambientFont(), [this](const PropertyValue& v) {
        if (const auto* font = std::get_if<ButtonFont>(&v)) {
            SetFont(*font);
        }
    });
    readOne(store, "Icon", d.Icon, flag([this](bool v) { SetIcon(v); }));
    readOne(store, "RoundedValue", std::int64_t{d.RoundedValue},
            int32([this](std::int32_t v) { SetRoundedValue(v); }));
    readOne(store, "TransparencyICO", std::int64_t{d.TransparencyICO},
            int16([this](std::int16_t v) { SetTransparencyICO(v); }));
    readOne(store, "CaptionAlignment", std::int64_t{d.CaptionAlignment},
            int32([this](std::int32_t v) { SetCaptionAlignment(v); }));
    readOne(store, "IconAlignment", std::int64_t{d.IconAlignment},
            int32([this](std::int32_t v) { SetIconAlignment(v); }));
    pollArmed_ = host_.runMode();
    armHoverPoll();
}

void ButtonModel::WriteProperties(PropertyBag& store) const {
    const ButtonProperties d;
    store.WriteProperty("Caption", p_.Caption, d.Caption);
    store.WriteProperty("IconSource", p_.IconSource, d.IconSource);
    store.WriteProperty("ForeColor", number(p_.ForeColor), number(d.ForeColor));
    store.WriteProperty("CaptionDisableColor", number(p_.CaptionDisableColor),
                        number(d.CaptionDisableColor));
    store.WriteProperty("CaptionEffectColor", number(p_.CaptionEffectColor),
                        number(d.CaptionEffectColor));
    store.WriteProperty("CaptionEffect", std::int64_t{p_.CaptionEffect},
                        std::int64_t{d.CaptionEffect});
    store.WriteProperty("CaptionOffsetX", std::int64_t{p_.CaptionOffsetX},
                        std::int64_t{d.CaptionOffsetX});
    store.WriteProperty("CaptionOffsetY", std::int64_t{p_.CaptionOffsetY},
                        std::int64_t{d.CaptionOffsetY});
    store.WriteProperty("ShadowOffsetX", std::int64_t{p_.ShadowOffsetX},
                        std::int64_t{d.ShadowOffsetX});
    store.WriteProperty("ShadowOffsetY", std::int64_t{p_.ShadowOffsetY},
                        std::int64_t{d.ShadowOffsetY});
    store.WriteProperty("Theme", std::int64_t{p_.Theme}, std::int64_t{d.Theme});
    store.WriteProperty("FocusDottedRect", p_.FocusDottedRect, d.FocusDottedRect);
    store.WriteProperty("Enabled", p_.Enabled, d.Enabled);
    store.WriteProperty("Font", p_.Font, host_.ambientFont());
    store.WriteProperty("Icon", p_.Icon, d.Icon);
    store.WriteProperty("RoundedValue", std::int64_t{p_.RoundedValue},
                        std::int64_t{d.RoundedValue});
    store.WriteProperty("TransparencyICO", std::int64_t{p_.TransparencyICO},
                        std::int64_t{d.TransparencyICO});
    store.WriteProperty("CaptionAlignment", std::int64_t{p_.CaptionAlignment},
                        std::int64_t{d.CaptionAlignment});
    store.WriteProperty("IconAlignment", std::int64_t{p_.IconAlignment},
                        std::int64_t{d.IconAlignment});
}

} // namespace zr::widgets
