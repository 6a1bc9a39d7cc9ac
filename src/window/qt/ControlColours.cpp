#include "window/qt/ControlColours.h"

#include <QWidget>

namespace zr::window::qt {

QString displayText(const std::string& text) {
    QString converted = QString::fromStdString(text);
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return converted;
}

QColor qColour(station::Colour colour) {
    return {static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8U) & 0xFFU),
            static_cast<int>((colour >> 16U) & 0xFFU)};
}

bool isDark(station::Colour colour) {
    const auto red = colour & 0xFFU;
    const auto green = (colour >> 8U) & 0xFFU;
    const auto blue = (colour >> 16U) & 0xFFU;
    return red * 299 + green * 587 + blue * 114 < 128000;
}

void setColour(QWidget* widget, QPalette::ColorRole role, station::Colour colour) {
    const QColor wanted = qColour(colour);
    QPalette palette = widget->palette();
    if (palette.color(QPalette::Active, role) == wanted &&
        palette.color(QPalette::Inactive, role) == wanted) {
        return;
    }
    palette.setColor(QPalette::Active, role, wanted);
    palette.setColor(QPalette::Inactive, role, wanted);
    widget->setPalette(palette);
}

} // namespace zr::window::qt
