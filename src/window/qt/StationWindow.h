#pragma once

#include "station/Station.h"
#include "window/qt/ControlBindings.h"
#include "window/qt/RegisterPanelView.h"
#include "window/qt/WindowKeys.h"

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zr::window::qt {

// The station's window: one widget per control, placed by the window layout, bound both
// ways to the station. Operator events raise the controls' events; the station's values
// are copied into the widgets after every operator event and whenever the event loop is
// about to sleep, which includes every pass of a command's wait. The window holds no
// state of its own.
class StationWindow final : public QWidget, private BindingHost {
  public:
    explicit StationWindow(station::Station& station);
    ~StationWindow() override;
    StationWindow(const StationWindow&) = delete;
    StationWindow& operator=(const StationWindow&) = delete;

    // Shows the station's values: widgets, title, size, position, visibility, focus.
    void syncFromStation();
    // The widget of a control ("txtAKey(3)" for a key box), or null.
    QWidget* widgetFor(std::string_view controlName) const;
    // True when the control's widget is not hidden and lies wholly inside the window's client
    // area.
    bool showsControl(std::string_view controlName) const;
    bool shows(const QWidget* widget) const;
    double twipsPerPixel() const { return twipsPerPixel_; }
    // The card register's panel to show (kept by its owner, who outlives the window); null,
    // the default, shows none.
    void setRegisterPanel(const reg::RegisterPanel* panel);
    const RegisterPanelView& registerPanel() const { return *registerPanel_; }
    // What ends the program once the window closes or CmdExit ran; by default the
    // application's event loop is told to return.
    void setQuitHandler(std::function<void()> handler) { quit_ = std::move(handler); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Tab and Backtab go round the controls the window shows, skipping hidden ones, disabled
    // ones and those outside its current size.
    bool focusNextPrevChild(bool next) override;

  private:
    void afterEvent() override { syncFromStation(); }
    void focusEntered(const station::Control& control) override;
    std::string captionOf(std::string_view controlName) override;
    bool fitsWindow(const QWidget& widget) const override;
    // The client area the station's sizes ask for, in pixels.
    QRect clientArea() const;

    void buildWidgets();
    void chainTabOrder();
    // The key runs `run` when the key's control could take a click: shown and enabled.
    void addShortcut(const WindowKey& key, std::function<void()> run);
    void syncSize();
    void syncPlace();
    int pixels(int twips) const;

    station::Station& station_;
    double twipsPerPixel_;
    std::vector<std::unique_ptr<ControlBinding>> bindings_;
    std::map<std::string, QWidget*, std::less<>> widgets_;
    std::vector<QWidget*> tabStops_;
    bool syncing_ = false;
    bool closed_ = false;
    std::function<void()> quit_;
    std::unique_ptr<RegisterPanelView> registerPanel_;
};

} // namespace zr::window::qt
