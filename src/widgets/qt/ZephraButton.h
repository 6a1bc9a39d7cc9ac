#pragma once

#include "widgets/ButtonModel.h"
#include "widgets/IconCache.h"

#include <QAbstractButton>
#include <QRegion>
#include <functional>
#include <string>

namespace zr::widgets {

// The skinned push button on screen: a ButtonModel hosted by a Qt button. The widget paints
// through the model's painter, polls the cursor every 50 ms for the hover look, and turns
// Qt's key, mouse and focus events into the model's; the model's Click is delivered as
// `clicked()`. Only the model decides when to click: Space presses without clicking, Enter
// clicks. The button's text is the caption, the button-text colour of a palette set on it is
// ForeColor, a font set on it is Font, and enabling or disabling the widget sets Enabled.
// Setting the model's Enabled alone changes the state only: the widget keeps receiving input
// and the model raises nothing.
class ZephraButton final : public QAbstractButton, private ButtonHost {
  public:
    using MessageHandler =
        std::function<void(const std::string& text, const std::string& title, MessageIcon)>;

    // A new control named `instanceName` (its caption until one is set).
    explicit ZephraButton(const std::string& instanceName, QWidget* parent = nullptr);
    // A stored control, its properties read from `stored`.
    ZephraButton(PropertyBag& stored, QWidget* parent = nullptr);
    ~ZephraButton() override;

    ButtonModel& model() { return model_; }
    const ButtonModel& model() const { return model_; }
    ButtonEvents& events() { return model_.events; }

    // Replaces the message box (tests, and hosts with their own boxes).
    void setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }

    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void setUpWidget();
    void updateMask();

    // ButtonHost
    void propertyChanged(std::string_view name) override;
    void requestRepaint() override;
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
    std::string applicationTitle() const override;
    AppVersion applicationVersion() const override;
    ButtonFont ambientFont() const override;
    bool runMode() const override { return true; }
    ScreenPoint cursorPosition() const override;
    bool isOwnWindowAt(ScreenPoint point) const override;
    std::unique_ptr<platform::Timer> createTimer(std::function<void()> onTick) override;

    ButtonModel model_;
    IconCache icons_;
    MessageHandler messageHandler_;
    QRegion mask_;
    bool pressedByMouse_ = false;
    bool painting_ = false;
};

// Key code and shift mask as the model's key events carry them.
std::int16_t keyCodeOf(int qtKey);
std::int16_t shiftMaskOf(Qt::KeyboardModifiers modifiers);

} // namespace zr::widgets
