#pragma once

#include "station/Controls.h"

class QAbstractButton;
class QWidget;

namespace zr::window::qt {

// Makes the widget for one of the station's buttons. Every button of the window comes
// from here, so the skinned button replaces the plain one in this one place.
QAbstractButton* makeButton(const station::Button& control, QWidget* parent);

} // namespace zr::window::qt
