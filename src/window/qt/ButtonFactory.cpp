#include "window/qt/ButtonFactory.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>

namespace zr::window::qt {

QAbstractButton* makeButton(const station::Button& control, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromStdString(control.name()));
    // The key swap is a picture button without a caption.
    if (control.name() == "cmdSwitch") {
        button->setIcon(QApplication::style()->standardIcon(QStyle::SP_BrowserReload));
    }
    return button;
}

} // namespace zr::window::qt
