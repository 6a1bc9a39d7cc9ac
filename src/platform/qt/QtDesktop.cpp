#include "platform/qt/QtDesktop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

namespace zr::platform {
namespace {

QString fromStd(const std::string& text) {
    QString converted = QString::fromStdString(text);
    converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return converted;
}

QWidget* ownerOr(QWidget* owner) {
    return owner != nullptr ? owner : QApplication::activeWindow();
}

} // namespace

double twipsPerPixel(const QScreen* screen) {
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0.0 ? 1440.0 / dpi : 15.0;
}

int QtDesktop::screenWidthTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 0;
    }
    return static_cast<int>(screen->geometry().width() * twipsPerPixel(screen));
}

int QtDesktop::screenHeightTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 0;
    }
    return static_cast<int>(screen->geometry().height() * twipsPerPixel(screen));
}

void QtDesktop::messageBox(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, fromStd(title), fromStd(text), QMessageBox::Ok,
                    ownerOr(owner_));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtDesktop::askYesNo(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Warning, fromStd(title), fromStd(text),
                    QMessageBox::Yes | QMessageBox::No, ownerOr(owner_));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

std::string QtDesktop::inputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) {
    bool answered = false;
    const QString answer =
        QInputDialog::getText(ownerOr(owner_), fromStd(title), fromStd(prompt), QLineEdit::Normal,
                              fromStd(defaultText), &answered);
    return answered ? answer.toStdString() : std::string();
}

} // namespace zr::platform
