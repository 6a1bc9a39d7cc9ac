#pragma once

#include <Qt>
#include <functional>
#include <vector>

class QWidget;

namespace zr::window::qt {

// A key that works wherever the focus is in the window, standing for a control's click.
struct WindowKey {
    Qt::Key key;
    const char* control;
};

// F5 writes the card (the write button); F6 switches automatic recording on or off (its
// check box). No widget of the window binds either key, and Space on a skinned button needs
// the focus on that button first.
inline constexpr WindowKey kWriteCardKey{Qt::Key_F5, "cmdRecordBlock"};
inline constexpr WindowKey kAutoRecordKey{Qt::Key_F6, "chkAutoRecord"};

// The tab stop after (or before) the one holding `focused`, among the stops `reachable`
// accepts, going round at the ends; null when none is reachable. `stops` is the tab order.
QWidget* nextTabStop(const std::vector<QWidget*>& stops, const QWidget* focused, bool forward,
                     const std::function<bool(const QWidget*)>& reachable);

} // namespace zr::window::qt
