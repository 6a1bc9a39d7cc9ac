#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The window's controls as plain values. Assigning a check box value or a list index raises
// the control's click, as the window toolkit does, so start-up and the procedures can rely
// on it; everything else is a plain field.
namespace zr::station {

using Colour = std::uint32_t; // 0x00BBGGRR

constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8U) |
           (static_cast<Colour>(blue) << 16U);
}

class Control;

// Every control of a window by name, in the order they were made. Controls made with a
// registry enter it themselves, so the script driver and the front end need no second list.
class ControlRegistry {
  public:
    void add(Control& control);
    Control* find(std::string_view name) const;
    const std::vector<Control*>& all() const { return ordered_; }

  private:
    std::vector<Control*> ordered_;
    std::map<std::string, Control*, std::less<>> byName_;
};

class Control {
  public:
    explicit Control(std::string name) : name_(std::move(name)) {}
    Control(ControlRegistry& registry, std::string name) : name_(std::move(name)) {
        registry.add(*this);
    }
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }

    // The named property as text (booleans 1/0, colours as numbers); empty when the control
    // has no such property. An empty name means the control's default property.
    virtual std::optional<std::string> property(std::string_view propertyName) const;
    // Sets the named property (empty: the default one) as a script's `set` line gives it,
    // raising the events the toolkit would. False when the control has no such property or
    // the value does not fit it.
    virtual bool setFromScript(std::string_view propertyName, const std::string& value);

    bool enabled = true;
    bool visible = true;
    Colour foreColor = 0x000000;
    Colour backColor = 0xFFFFFF;

    std::function<void()> onClick;
    std::function<void()> onDblClick;
    std::function<void()> onLostFocus;

    void click() const { raise(onClick); }
    void dblClick() const { raise(onDblClick); }
    void lostFocus() const { raise(onLostFocus); }

  protected:
    static void raise(const std::function<void()>& handler) {
        if (handler) {
            handler();
        }
    }

  private:
    std::string name_;
};

class Label : public Control {
  public:
    using Control::Control;
    std::optional<std::string> property(std::string_view propertyName) const override;
    std::string caption;
};

// Plain and skinned buttons alike: a caption and a click.
class Button : public Label {
  public:
    using Label::Label;
};

class TextBox : public Control {
  public:
    using Control::Control;
    std::optional<std::string> property(std::string_view propertyName) const override;
    bool setFromScript(std::string_view propertyName, const std::string& value) override;

    // Sets the text and raises the change event when it differs.
    void setText(std::string value);
    const std::string& text() const { return text_; }

    // One typed character, through the key filter; code 8 removes the last character.
    void typeKey(int keyCode);

    int maxLength = 0; // 0: no limit
    std::function<void()> onChange;
    // Returns the key code to accept, or 0 to discard the keystroke.
    std::function<int(int)> onKeyPress;

  private:
    std::string text_;
};

class CheckBox : public Control {
  public:
    using Control::Control;
    std::optional<std::string> property(std::string_view propertyName) const override;
    bool setFromScript(std::string_view propertyName, const std::string& value) override;

    // Raises the click when the value changes.
    void setValue(int newValue);
    int value() const { return value_; }
    bool checked() const { return value_ != 0; }

    std::string caption;

  private:
    int value_ = 0;
};

class ComboBox : public Control {
  public:
    using Control::Control;
    std::optional<std::string> property(std::string_view propertyName) const override;
    bool setFromScript(std::string_view propertyName, const std::string& value) override;

    // Selects a row (-1 for none), shows its text, and raises the click, even when the row
    // was already selected, so a re-selection re-runs the selection handler. Out-of-range
    // indices are refused (false) and change nothing.
    bool setListIndex(int index);
    int listIndex() const { return listIndex_; }
    void addItem(std::string item) { items_.push_back(std::move(item)); }
    void clear();
    const std::vector<std::string>& items() const { return items_; }
    int listCount() const { return static_cast<int>(items_.size()); }

    // A drop-down combo with free text can show any text; a drop-down list only its rows.
    bool freeText = false;
    std::string text;
    // Raised when the operator types into a combo with free text.
    std::function<void()> onChange;

  private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

class ScrollBar : public Control {
  public:
    using Control::Control;
    std::optional<std::string> property(std::string_view propertyName) const override;
    bool setFromScript(std::string_view propertyName, const std::string& value) override;

    // Clamps to min..max and raises the change event when the value changes.
    void setValue(int newValue);
    int value() const { return value_; }

    int min = 0;
    int max = 32767;
    int smallChange = 1;
    int largeChange = 1;
    std::function<void()> onChange;

  private:
    int value_ = 0;
};

// A bar that fills from `minimum` to `maximum`, with a text written on it ("37 / 500").
class ProgressBar : public Control {
  public:
    using Control::Control;
    std::optional<std::string> property(std::string_view propertyName) const override;

    int minimum = 0;
    int maximum = 100;
    int value = 0;
    std::string text;
};

class TimerControl : public Control {
  public:
    using Control::Control;
    std::optional<std::string> property(std::string_view propertyName) const override;

    void setEnabled(bool on);
    void setInterval(int ms);
    bool isEnabled() const { return enabled; }
    int interval() const { return interval_; }

    std::function<void()> onTimer;
    // Told whenever the timer must start (interval) or stop (0); the station connects it to
    // a platform timer.
    std::function<void(int)> onSchedule;

  private:
    int interval_ = 0;
};

} // namespace zr::station
