#include "station/Controls.h"

#include "base/TextRules.h"

#include <algorithm>
#include <cstdio>

namespace zr::station {

void ControlRegistry::add(Control& control) {
    ordered_.push_back(&control);
    byName_.emplace(control.name(), &control);
}

Control* ControlRegistry::find(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}
namespace {

std::string boolText(bool value) {
    return value ? "1" : "0";
}

std::string colourText(Colour colour) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", colour);
    return buffer;
}

// "List(3)" -> 3
std::optional<int> listItemIndex(std::string_view propertyName) {
    constexpr std::string_view prefix = "List(";
    if (!propertyName.starts_with(prefix) || !propertyName.ends_with(")")) {
        return std::nullopt;
    }
    return base::parseWholeNumber(
        std::string(propertyName.substr(prefix.size(), propertyName.size() - 6)));
}

} // namespace

std::optional<std::string> Control::property(std::string_view propertyName) const {
    if (propertyName == "Enabled") {
        return boolText(enabled);
    }
    if (propertyName == "Visible") {
        return boolText(visible);
    }
    if (propertyName == "ForeColor") {
        return colourText(foreColor);
    }
    if (propertyName == "BackColor") {
        return colourText(backColor);
    }
    return std::nullopt;
}

bool Control::setFromScript(std::string_view /*propertyName*/, const std::string& /*value*/) {
    return false;
}

std::optional<std::string> Label::property(std::string_view propertyName) const {
    if (propertyName.empty() || propertyName == "Caption") {
        return caption;
    }
    return Control::property(propertyName);
}

std::optional<std::string> TextBox::property(std::string_view propertyName) const {
    if (propertyName.empty() || propertyName == "Text") {
        return text_;
    }
    return Control::property(propertyName);
}

bool TextBox::setFromScript(std::string_view propertyName, const std::string& value) {
    if (!propertyName.empty() && propertyName != "Text") {
        return false;
    }
    setText(value);
    return true;
}

void TextBox::setText(std::string value) {
    if (value == text_) {
        return;
    }
    text_ = std::move(value);
    raise(onChange);
}

void TextBox::typeKey(int keyCode) {
    const int accepted = onKeyPress ? onKeyPress(keyCode) : keyCode;
    if (accepted == 0 || accepted == base::kKeyEnter) {
        return;
    }
    if (accepted == base::kKeyBackspace) {
        if (!text_.empty()) {
            std::string shorter = text_;
            // Remove one whole UTF-8 character.
            do {
                shorter.pop_back();
            } while (!shorter.empty() &&
                     (static_cast<unsigned char>(shorter.back()) & 0xC0U) == 0x80U);
            setText(std::move(shorter));
        }
        return;
    }
    if (maxLength > 0 && static_cast<int>(text_.size()) >= maxLength) {
        return;
    }
    if (accepted < 0x20 || accepted > 0x7E) {
        return;
    }
    setText(text_ + static_cast<char>(accepted));
}

std::optional<std::string> CheckBox::property(std::string_view propertyName) const {
    if (propertyName.empty() || propertyName == "Value") {
        return std::to_string(value_);
    }
    if (propertyName == "Caption") {
        return caption;
    }
    return Control::property(propertyName);
}

bool CheckBox::setFromScript(std::string_view propertyName, const std::string& value) {
    const auto number = base::parseWholeNumber(value);
    if ((!propertyName.empty() && propertyName != "Value") || !number || *number < 0 ||
        *number > 2) {
        return false;
    }
    setValue(*number);
    return true;
}

void CheckBox::setValue(int newValue) {
    if (newValue == value_) {
        return;
    }
    value_ = newValue;
    click();
}

std::optional<std::string> ComboBox::property(std::string_view propertyName) const {
    if (propertyName.empty() || propertyName == "Text") {
        return text;
    }
    if (propertyName == "ListIndex") {
        return std::to_string(listIndex_);
    }
    if (propertyName == "ListCount") {
        return std::to_string(listCount());
    }
    if (const auto index = listItemIndex(propertyName)) {
        if (*index < 0 || *index >= listCount()) {
            return std::string();
        }
        return items_[static_cast<std::size_t>(*index)];
    }
    return Control::property(propertyName);
}

// A combo with free text takes any text, as typed; a drop-down list only selects a row.
bool ComboBox::setFromScript(std::string_view propertyName, const std::string& value) {
    const bool setsText = propertyName == "Text" || (propertyName.empty() && freeText);
    if (setsText) {
        if (!freeText) {
            return false;
        }
        if (value != text) {
            text = value;
            raise(onChange);
        }
        return true;
    }
    if (!propertyName.empty() && propertyName != "ListIndex") {
        return false;
    }
    const auto number = base::parseWholeNumber(value);
    return number && setListIndex(*number);
}

bool ComboBox::setListIndex(int index) {
    if (index < -1 || index >= listCount()) {
        return false;
    }
    listIndex_ = index;
    text = index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
    click();
    return true;
}

void ComboBox::clear() {
    items_.clear();
    listIndex_ = -1;
    if (!freeText) {
        text.clear();
    }
}

std::optional<std::string> ScrollBar::property(std::string_view propertyName) const {
    if (propertyName.empty() || propertyName == "Value") {
        return std::to_string(value_);
    }
    return Control::property(propertyName);
}

bool ScrollBar::setFromScript(std::string_view propertyName, const std::string& value) {
    const auto number = base::parseWholeNumber(value);
    if ((!propertyName.empty() && propertyName != "Value") || !number) {
        return false;
    }
    setValue(*number);
    return true;
}

void ScrollBar::setValue(int newValue) {
    newValue = std::clamp(newValue, min, max);
    if (newValue == value_) {
        return;
    }
    value_ = newValue;
    raise(onChange);
}

std::optional<std::string> ProgressBar::property(std::string_view propertyName) const {
    if (propertyName.empty() || propertyName == "Value") {
        return std::to_string(value);
    }
    if (propertyName == "Max") {
        return std::to_string(maximum);
    }
    if (propertyName == "Text") {
        return text;
    }
    return Control::property(propertyName);
}

std::optional<std::string> TimerControl::property(std::string_view propertyName) const {
    if (propertyName.empty() || propertyName == "Enabled") {
        return boolText(enabled);
    }
    if (propertyName == "Interval") {
        return std::to_string(interval_);
    }
    return std::nullopt;
}

void TimerControl::setEnabled(bool on) {
    enabled = on;
    if (onSchedule) {
        onSchedule(enabled && interval_ > 0 ? interval_ : 0);
    }
}

void TimerControl::setInterval(int ms) {
    interval_ = ms < 0 ? 0 : ms;
    setEnabled(enabled);
}

} // namespace zr::station
