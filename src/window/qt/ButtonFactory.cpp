#include "window/qt/ButtonFactory.h"

#include "widgets/qt/ZephraButton.h"
#include "window/qt/ControlColours.h"

#include <QApplication>
#include <QStyle>
#include <QTemporaryDir>
#include <optional>
#include <string_view>

namespace zr::window::qt {
namespace {

// The skinned buttons' themes: the captions of the block list, the three key rows and the
// programmer list are theme 4, the four link buttons theme 7, every other button theme 3.
std::int32_t themeOf(std::string_view name) {
    for (const std::string_view caption :
         {"sbBlock", "sbAKey", "sbNewKey", "ZephraButton4", "ZephraButton1"}) {
        if (name == caption) {
            return 4;
        }
    }
    for (const std::string_view link : {"sbCOM", "sbTCPIP", "sbConnect", "cmdSearchCOM"}) {
        if (name == link) {
            return 7;
        }
    }
    return 3;
}

// The skinned button shows icons from image files only; the key swap's picture is written
// once per run into a folder that goes with the process.
std::string swapIconFile() {
    static std::optional<QTemporaryDir> folder;
    if (!folder) {
        folder.emplace();
        const QString file = folder->filePath("swap-keys.png");
        QApplication::style()->standardIcon(QStyle::SP_BrowserReload).pixmap(30, 30).save(file);
    }
    return folder->filePath("swap-keys.png").toStdString();
}

class SkinnedButtonView final : public ButtonView {
  public:
    SkinnedButtonView(const station::Button& control, QWidget* parent,
                      std::function<void()> onClick)
        : button_(new widgets::ZephraButton(control.name(), parent)) {
        button_->setObjectName(QString::fromStdString(control.name()));
        widgets::ButtonModel& model = button_->model();
        model.SetTheme(themeOf(control.name()));
        if (control.name() == "cmdSwitch") {
            model.SetIconSource(swapIconFile());
            model.SetIcon(true);
        }
        QObject::connect(button_, &QAbstractButton::clicked, button_,
                         [click = std::move(onClick)] { click(); });
    }

    QWidget* widget() const override { return button_; }

    // The button's text and button-text colour are its caption and caption colour; the
    // theme paints the face, so the control's back colour has no part.
    void show(const station::Button& control) override {
        const QString caption = displayText(control.caption);
        if (button_->text() != caption) {
            button_->model().SetCaption(caption.toStdString());
        }
        setColour(button_, QPalette::ButtonText, control.foreColor);
    }

  private:
    widgets::ZephraButton* button_;
};

} // namespace

std::unique_ptr<ButtonView> makeButton(const station::Button& control, QWidget* parent,
                                       std::function<void()> onClick) {
    return std::make_unique<SkinnedButtonView>(control, parent, std::move(onClick));
}

} // namespace zr::window::qt
