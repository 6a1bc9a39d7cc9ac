#include "window/qt/StationWindow.h"

#include "platform/qt/QtDesktop.h"
#include "window/qt/WindowFonts.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QScreen>
#include <QShortcut>
#include <cmath>
#include <cstdlib>

namespace zr::window::qt {

StationWindow::StationWindow(station::Station& station)
    : station_(station), twipsPerPixel_(platform::twipsPerPixel(QGuiApplication::primaryScreen())),
      quit_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("MainWindow"));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    buildWidgets();
    chainTabOrder();
    addShortcut(kWriteCardKey, [this] { station_.cmdRecordBlock.click(); });
    addShortcut(kAutoRecordKey, [this] {
        station_.chkAutoRecord.setValue(station_.chkAutoRecord.checked() ? 0 : 1);
    });
    registerPanel_ = std::make_unique<RegisterPanelView>(this, twipsPerPixel_);
    // Every wait of the station pumps the event loop; the copy runs whenever the loop is
    // about to sleep, so what a waiting command changed is on screen before the wait goes on.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &StationWindow::syncFromStation);
    }
    // CmdExit has saved and closed the port: the program ends, no further events are handled.
    station_.setEndHandler([this] {
        hide();
        quit_();
    });
    syncFromStation();
}

StationWindow::~StationWindow() {
    station_.setEndHandler({});
    bindings_.clear();
}

void StationWindow::buildWidgets() {
    for (const Place& place : windowLayout()) {
        station::Control* control = station_.findControl(place.name);
        if (control == nullptr) {
            continue;
        }
        auto binding = bindControl(*control, place, this, *this);
        if (!binding) {
            continue;
        }
        QWidget* widget = binding->widget();
        widget->setFont(windowFont(place.font));
        widget->setGeometry(pixels(place.x), pixels(place.y), pixels(place.width),
                            pixels(place.height));
        widgets_.emplace(place.name, widget);
        bindings_.push_back(std::move(binding));
    }
}

void StationWindow::chainTabOrder() {
    QWidget* previous = nullptr;
    for (const auto& binding : bindings_) {
        QWidget* widget = binding->widget();
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget;
        tabStops_.push_back(widget);
    }
}

bool StationWindow::focusNextPrevChild(bool next) {
    QWidget* target = nextTabStop(tabStops_, focusWidget(), next, [this](const QWidget* widget) {
        return widget->isEnabled() && shows(widget);
    });
    if (target == nullptr) {
        return false;
    }
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void StationWindow::addShortcut(const WindowKey& key, std::function<void()> run) {
    // Owned by the window, as every widget of it; a held key does not repeat the click.
    auto* shortcut = new QShortcut(QKeySequence(key.key), this);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this,
            [this, name = key.control, run = std::move(run)] {
                const QWidget* widget = widgetFor(name);
                if (widget == nullptr || !widget->isEnabled() || !shows(widget)) {
                    return;
                }
                run();
                syncFromStation();
            });
}

int StationWindow::pixels(int twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixel_));
}

QWidget* StationWindow::widgetFor(std::string_view controlName) const {
    const auto it = widgets_.find(controlName);
    return it == widgets_.end() ? nullptr : it->second;
}

bool StationWindow::showsControl(std::string_view controlName) const {
    const QWidget* widget = widgetFor(controlName);
    return widget != nullptr && shows(widget);
}

bool StationWindow::shows(const QWidget* widget) const {
    return !widget->isHidden() && fitsWindow(*widget);
}

bool StationWindow::fitsWindow(const QWidget& widget) const {
    return clientArea().contains(widget.geometry());
}

// Sizes 1 and 2 are the outer width and height; the client area is the rest.
QRect StationWindow::clientArea() const {
    return {0, 0, std::max(1, pixels(station_.size1 - kFrameWidthTwips)),
            std::max(1, pixels(station_.size2 - kFrameHeightTwips))};
}

void StationWindow::syncFromStation() {
    if (syncing_ || closed_) {
        return;
    }
    syncing_ = true;
    // The size first: which controls fit depends on it.
    syncSize();
    for (const auto& binding : bindings_) {
        binding->sync();
    }
    registerPanel_->sync(station_.english());
    syncPlace();
    syncing_ = false;
}

void StationWindow::setRegisterPanel(const reg::RegisterPanel* panel) {
    registerPanel_->setPanel(panel);
    syncFromStation();
}

void StationWindow::syncSize() {
    const QString title = QString::fromStdString(station_.Caption);
    if (windowTitle() != title) {
        setWindowTitle(title);
    }
    const QSize client = clientArea().size();
    if (size() != client || minimumSize() != client || maximumSize() != client) {
        setFixedSize(client);
    }
}

void StationWindow::syncPlace() {
    const QPoint position(pixels(station_.left), pixels(station_.top));
    if ((pos() - position).manhattanLength() > 1) {
        move(position);
    }
    if (station_.shown && isHidden() && !station_.ended()) {
        show();
    }
    const bool minimised = (windowState() & Qt::WindowMinimized) != 0;
    if (station_.minimized != minimised && isVisible()) {
        setWindowState(station_.minimized ? windowState() | Qt::WindowMinimized
                                          : windowState() & ~Qt::WindowMinimized);
    }
    if (QWidget* focused = widgetFor(station_.focusedControl);
        focused != nullptr && !focused->hasFocus() && isActiveWindow()) {
        focused->setFocus(Qt::OtherFocusReason);
    }
}

void StationWindow::focusEntered(const station::Control& control) {
    station_.focusedControl = control.name();
}

std::string StationWindow::captionOf(std::string_view controlName) {
    const auto* label = dynamic_cast<const station::Label*>(station_.findControl(controlName));
    return label != nullptr ? label->caption : std::string();
}

// The close box ends the program without the exit button's save. A command still waiting
// runs out its wait, but the window stays closed.
void StationWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    closed_ = true;
    quit_();
}

// An operator who drags the window moves the station's position with it.
void StationWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (syncing_ || !isVisible()) {
        return;
    }
    station_.left = static_cast<int>(std::lround(event->pos().x() * twipsPerPixel_));
    station_.top = static_cast<int>(std::lround(event->pos().y() * twipsPerPixel_));
}

} // namespace zr::window::qt
