#pragma once

#include <QLabel>
#include <QString>

namespace zr::window::qt {

// Shows `text` on a word-wrapping label so that the operator can read all of it: whole when it
// fits the label's box, else its longest beginning that fits with "…" after it and the whole
// text in the label's tooltip. A reason of three lines on a two-line alarm line would
// otherwise be cut mid-word with nothing to say so.
void showWhole(QLabel& label, const QString& text);

} // namespace zr::window::qt
