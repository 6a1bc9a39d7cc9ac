#include "window/qt/ButtonFactory.h"

#include "window/qt/ControlColours.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>

namespace zr::window::qt {
namespace {

// The plain push button that stands in for the skinned button.
class PushButtonView final : public ButtonView {
  public:
    PushButtonView(const station::Button& control, QWidget* parent, std::function<void()> onClick)
        : button_(new QPushButton(parent)) {
        button_->setObjectName(QString::fromStdString(control.name()));
        // The key swap is a picture button without a caption.
        if (control.name() == "cmdSwitch") {
            button_->setIcon(QApplication::style()->standardIcon(QStyle::SP_BrowserReload));
        }
        QObject::connect(button_, &QPushButton::clicked, button_,
                         [click = std::move(onClick)] { click(); });
    }

    QWidget* widget() const override { return button_; }

    void show(const station::Button& control) override {
        const QString caption = displayText(control.caption);
        if (button_->text() != caption) {
            button_->setText(caption);
        }
        setColour(button_, QPalette::ButtonText, control.foreColor);
        setColour(button_, QPalette::Button, control.backColor);
    }

  private:
    QPushButton* button_;
};

} // namespace

std::unique_ptr<ButtonView> makeButton(const station::Button& control, QWidget* parent,
                                       std::function<void()> onClick) {
    return std::make_unique<PushButtonView>(control, parent, std::move(onClick));
}

} // namespace zr::window::qt
