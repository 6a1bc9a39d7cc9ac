#pragma once

#include "station/Controls.h"

#include <functional>
#include <memory>

class QWidget;

namespace zr::window::qt {

// One of the window's buttons, whatever widget class draws it.
class ButtonView {
  public:
    virtual ~ButtonView() = default;
    virtual QWidget* widget() const = 0;
    // Shows the control's caption and colours; unchanged values are left alone.
    virtual void show(const station::Button& control) = 0;
};

// Makes the widget for one of the station's buttons; `onClick` runs on the operator's click.
// Every button of the window comes from here, so the skinned button replaces the plain one
// in this one place.
std::unique_ptr<ButtonView> makeButton(const station::Button& control, QWidget* parent,
                                       std::function<void()> onClick);

} // namespace zr::window::qt
