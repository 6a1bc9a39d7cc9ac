#pragma once

#include "station/Controls.h"

#include <QColor>
#include <QPalette>
#include <QString>
#include <string>

class QWidget;

namespace zr::window::qt {

// A station text as a widget shows it: CR LF line ends become plain line feeds.
QString displayText(const std::string& text);

// A 0x00BBGGRR colour as Qt's colour.
QColor qColour(station::Colour colour);

// True for colours on which black text is hard to read.
bool isDark(station::Colour colour);

// Sets a colour of the active and inactive looks; the disabled look stays the style's.
// Unchanged colours are left alone, so a copy pass that changes nothing repaints nothing.
void setColour(QWidget* widget, QPalette::ColorRole role, station::Colour colour);

} // namespace zr::window::qt
