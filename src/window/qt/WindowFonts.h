#pragma once

#include "window/qt/WindowLayout.h"

#include <QFont>

namespace zr::window::qt {

// Fonts that show Traditional Chinese (a CJK family first, Latin fallbacks after), in the
// sizes of the window's kinds of text.
QFont windowFont(FontKind kind);

} // namespace zr::window::qt
