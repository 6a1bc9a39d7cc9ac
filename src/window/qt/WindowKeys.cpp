#include "window/qt/WindowKeys.h"

#include <QWidget>
#include <algorithm>

namespace zr::window::qt {
namespace {

// The stop that holds the focus: the widget itself or the control it is part of (the text
// field of a combo box).
std::ptrdiff_t stopHolding(const std::vector<QWidget*>& stops, const QWidget* focused) {
    for (const QWidget* widget = focused; widget != nullptr; widget = widget->parentWidget()) {
        const auto it = std::find(stops.begin(), stops.end(), widget);
        if (it != stops.end()) {
            return it - stops.begin();
        }
    }
    return -1;
}

} // namespace

QWidget* nextTabStop(const std::vector<QWidget*>& stops, const QWidget* focused, bool forward,
                     const std::function<bool(const QWidget*)>& reachable) {
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    const std::ptrdiff_t from = stopHolding(stops, focused);
    // With no stop focused the walk starts just outside the order, so the first (or last)
    // reachable stop comes first.
    std::ptrdiff_t at = from >= 0 ? from : (forward ? count - 1 : 0);
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        at = (at + (forward ? 1 : count - 1)) % count;
        if (reachable(stops[static_cast<std::size_t>(at)])) {
            return stops[static_cast<std::size_t>(at)];
        }
    }
    return nullptr;
}

} // namespace zr::window::qt
