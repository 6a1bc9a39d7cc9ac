#include "widgets/qt/ZephraButton.h"

#include "widgets/ButtonPainter.h"
#include "widgets/WindowRegion.h"
#include "widgets/qt/QtCanvas.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVersionNumber>
#include <algorithm>

namespace zr::widgets {

namespace {

constexpr std::int16_t kTabKey = 9;

class QtTimer final : public platform::Timer {
  public:
    explicit QtTimer(std::function<void()> onTick) {
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }

  private:
    QTimer timer_;
};

std::int16_t buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return 0;
    }
}

struct MouseArguments {
    std::int16_t button;
    std::int16_t shift;
    float x;
    float y;
};

MouseArguments mouseArguments(const QMouseEvent& event, std::int16_t button) {
    const QPointF at = event.position();
    return {button, shiftMaskOf(event.modifiers()), static_cast<float>(at.x()),
            static_cast<float>(at.y())};
}

} // namespace

std::int16_t keyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCode::Enter;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return kTabKey;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Delete:
        return 46;
    default:
        break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return static_cast<std::int16_t>(112 + (qtKey - Qt::Key_F1));
    }
    // Space, digits and letters share their codes.
    if (qtKey >= Qt::Key_Space && qtKey <= Qt::Key_Z) {
        return static_cast<std::int16_t>(qtKey);
    }
    return 0;
}

std::int16_t shiftMaskOf(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        mask |= 1;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        mask |= 2;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        mask |= 4;
    }
    return static_cast<std::int16_t>(mask);
}

ZephraButton::ZephraButton(const std::string& instanceName, QWidget* parent)
    : QAbstractButton(parent), model_(*this) {
    setUpWidget();
    model_.InitProperties(instanceName);
}

ZephraButton::ZephraButton(PropertyBag& stored, QWidget* parent)
    : QAbstractButton(parent), model_(*this) {
    setUpWidget();
    model_.ReadProperties(stored);
}

ZephraButton::~ZephraButton() {
    model_.Terminate();
}

void ZephraButton::setUpWidget() {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
    model_.events.Click = [this] { emit clicked(false); };
}

QSize ZephraButton::sizeHint() const {
    return {100, 30};
}

void ZephraButton::updateMask() {
    const int corner = std::max(model_.RoundedValue(), 1) - 1;
    QRegion mask = toQRegion(roundedRegion(width(), height(), corner, corner));
    if (mask != mask_) {
        mask_ = mask;
        setMask(mask_);
    }
}

bool ZephraButton::event(QEvent* event) {
    // Captions are drawn as written: an ampersand is no access key.
    if (event->type() == QEvent::Shortcut) {
        return true;
    }
    return QAbstractButton::event(event);
}

void ZephraButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (model_.Enabled() != isEnabled()) {
            model_.SetEnabled(isEnabled());
        }
        break;
    case QEvent::PaletteChange:
        // Only a palette set on the button itself carries a caption colour.
        if (testAttribute(Qt::WA_SetPalette)) {
            const QColor text = palette().color(QPalette::Active, QPalette::ButtonText);
            const Colour colour = rgb(text.red(), text.green(), text.blue());
            if (colour != model_.ForeColor()) {
                model_.SetForeColor(colour);
            }
        }
        break;
    case QEvent::FontChange:
        if (testAttribute(Qt::WA_SetFont) && fromQFont(font()) != model_.Font()) {
            model_.SetFont(fromQFont(font()));
        }
        break;
    default:
        break;
    }
}

void ZephraButton::paintEvent(QPaintEvent* /*event*/) {
    // setText() is not virtual: a caption set through it reaches the model here.
    painting_ = true;
    if (text().toStdString() != model_.Caption()) {
        model_.SetCaption(text().toStdString());
    }
    painting_ = false;
    QPainter painter(this);
    QtCanvas canvas(painter, width(), height());
    PaintButton(canvas, width(), height(), model_.properties(), model_.state(), &icons_);
}

void ZephraButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateMask();
}

void ZephraButton::keyPressEvent(QKeyEvent* event) {
    std::int16_t keyCode = keyCodeOf(event->key());
    std::int16_t shift = shiftMaskOf(event->modifiers());
    if (keyCode == kTabKey) {
        // Tab moves the focus on, as for every other control of the window.
        QAbstractButton::keyPressEvent(event);
        return;
    }
    model_.KeyDown(keyCode, shift);
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() < 0x8000) {
        auto keyAscii = static_cast<std::int16_t>(text.at(0).unicode());
        model_.KeyPress(keyAscii);
    }
    event->accept();
}

void ZephraButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        return;
    }
    std::int16_t keyCode = keyCodeOf(event->key());
    std::int16_t shift = shiftMaskOf(event->modifiers());
    model_.KeyUp(keyCode, shift);
    event->accept();
}

void ZephraButton::mousePressEvent(QMouseEvent* event) {
    MouseArguments a = mouseArguments(*event, buttonOf(event->button()));
    model_.MouseDown(a.button, a.shift, a.x, a.y);
    pressedByMouse_ = event->button() == Qt::LeftButton;
}

void ZephraButton::mouseReleaseEvent(QMouseEvent* event) {
    MouseArguments a = mouseArguments(*event, buttonOf(event->button()));
    model_.MouseUp(a.button, a.shift, a.x, a.y);
    const bool click = pressedByMouse_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressedByMouse_ = false;
    if (click) {
        model_.Clicked();
    }
}

void ZephraButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        model_.DoubleClicked();
    }
}

void ZephraButton::mouseMoveEvent(QMouseEvent* event) {
    MouseArguments a = mouseArguments(*event, buttonOf(event->button()));
    a.button = static_cast<std::int16_t>((event->buttons() & Qt::LeftButton ? 1 : 0) |
                                         (event->buttons() & Qt::RightButton ? 2 : 0) |
                                         (event->buttons() & Qt::MiddleButton ? 4 : 0));
    model_.MouseMove(a.button, a.shift, a.x, a.y);
}

void ZephraButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    model_.GotFocus();
}

void ZephraButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    model_.LostFocus();
}

void ZephraButton::propertyChanged(std::string_view name) {
    if (name == "RoundedValue") {
        updateMask();
    } else if (name == "Caption") {
        setText(QString::fromStdString(model_.Caption()));
    }
}

void ZephraButton::requestRepaint() {
    if (!painting_) {
        update();
    }
}

void ZephraButton::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
    if (messageHandler_) {
        messageHandler_(text, title, icon);
        return;
    }
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    this);
    box.exec();
}

std::string ZephraButton::applicationTitle() const {
    return QCoreApplication::applicationName().toStdString();
}

AppVersion ZephraButton::applicationVersion() const {
    const QVersionNumber version =
        QVersionNumber::fromString(QCoreApplication::applicationVersion());
    return {version.majorVersion(), version.minorVersion(), version.microVersion()};
}

ButtonFont ZephraButton::ambientFont() const {
    return fromQFont(parentWidget() != nullptr ? parentWidget()->font() : QApplication::font());
}

ScreenPoint ZephraButton::cursorPosition() const {
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
}

bool ZephraButton::isOwnWindowAt(ScreenPoint point) const {
    return QApplication::widgetAt(point.x, point.y) == this;
}

std::unique_ptr<platform::Timer> ZephraButton::createTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

} // namespace zr::widgets
