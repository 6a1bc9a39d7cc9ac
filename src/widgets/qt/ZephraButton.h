#pragma once

#include "widgets/ButtonModel.h"
#include "widgets/IconCache.h"

#include <QRegion>
#include <QWidget>
#include <functional>
#include <string>

namespace zr::widgets {

// The skinned push button on screen: a ButtonModel hosted by a QWidget. The widget paints
// through the model's painter, polls the cursor every 50 ms for the hover look, and turns
// Qt's key, mouse and focus events into the model's. `Enabled` is the model's state only:
// the widget keeps receiving input and the model decides what to raise.
class ZephraButton final : public QWidget, private ButtonHost {
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
    const IconCache& iconCache() const { return icons_; }

    // Replaces the message box (tests, and hosts with their own boxes).
    void setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }

    QSize sizeHint() const override;

  protected:
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
    void repaint() override;
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
};

// Key code and shift mask as the model's key events carry them.
std::int16_t keyCodeOf(int qtKey);
std::int16_t shiftMaskOf(Qt::KeyboardModifiers modifiers);

} // namespace zr::widgets
