#pragma once

#include "station/Controls.h"
#include "window/qt/WindowLayout.h"

#include <QObject>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace zr::window::qt {

// What a binding needs from the window that holds it.
class BindingHost {
  public:
    virtual ~BindingHost() = default;
    // Runs after every station event an operator raised, so its effects show at once.
    virtual void afterEvent() = 0;
    virtual void focusEntered(const station::Control& control) = 0;
    // The caption of a label or button, for accessible names; empty when there is none.
    virtual std::string captionOf(std::string_view controlName) = 0;
    // False for a widget the window's current size would cut: the window shows whole
    // controls only.
    virtual bool fitsWindow(const QWidget& widget) const = 0;
};

// Binds one station control to one widget, both ways: sync() shows the control's values in
// the widget; the widget's operator events raise the control's events. The binding keeps
// no values of its own: the station's control is the only state.
class ControlBinding : public QObject {
  public:
    ControlBinding(station::Control& control, QWidget* widget, const Place& place,
                   BindingHost& host);
    QWidget* widget() const { return widget_; }
    const station::Control& control() const { return control_; }
    virtual void sync();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Runs an operator event on the station, then lets the window show its effects.
    template <typename Event> void raise(Event&& event) {
        event();
        host_.afterEvent();
    }
    BindingHost& host() { return host_; }
    // The caption this control shows, or empty.
    virtual std::string ownCaption() const { return {}; }
    void watch(QObject* target);

  private:
    station::Control& control_;
    QWidget* widget_;
    const Place& place_;
    BindingHost& host_;
};

// The widget and its binding for a control, by the control's kind.
std::unique_ptr<ControlBinding> bindControl(station::Control& control, const Place& place,
                                            QWidget* parent, BindingHost& host);

} // namespace zr::window::qt
