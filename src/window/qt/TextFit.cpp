#include "window/qt/TextFit.h"

#include <QFontMetrics>

namespace zr::window::qt {
namespace {

const QString kEllipsis = QStringLiteral("…");

bool fits(const QLabel& label, const QRect& room, const QString& text) {
    const int flags =
        static_cast<int>(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0);
    const QRect needed = QFontMetrics(label.font()).boundingRect(room, flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The longest beginning of `text` that fits with the ellipsis, by halving; never half of a
// surrogate pair.
QString elided(const QLabel& label, const QRect& room, const QString& text) {
    qsizetype shortest = 0;
    qsizetype longest = text.size() - 1;
    while (shortest < longest) {
        const qsizetype middle = (shortest + longest + 1) / 2;
        if (fits(label, room, text.left(middle) + kEllipsis)) {
            shortest = middle;
        } else {
            longest = middle - 1;
        }
    }
    if (shortest > 0 && text.at(shortest - 1).isHighSurrogate()) {
        --shortest;
    }
    return text.left(shortest) + kEllipsis;
}

} // namespace

void showWhole(QLabel& label, const QString& text) {
    const int margin = label.margin();
    const QRect room = label.contentsRect().adjusted(margin, margin, -margin, -margin);
    // A label not laid out yet has no room to measure: it shows the text as it is.
    const bool whole = text.isEmpty() || room.isEmpty() || fits(label, room, text);
    const QString shown = whole ? text : elided(label, room, text);
    if (label.text() != shown) {
        label.setText(shown);
    }
    const QString tip = whole ? QString() : text;
    if (label.toolTip() != tip) {
        label.setToolTip(tip);
    }
}

} // namespace zr::window::qt
