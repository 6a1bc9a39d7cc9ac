#pragma once

#include "register/RegisterPanel.h"

#include <QLabel>
#include <QListWidget>
#include <QWidget>
#include <cstdint>

namespace zr::window::qt {

// The card register's corner of the window: a "today" line and the last cards, read-only.
// It shows the panel the register sink keeps and redraws only when that panel or the
// language changed, so a copy pass costs a comparison.
class RegisterPanelView {
  public:
    // Placed in twips in free space of the operator's area, so no control moves.
    static constexpr int kX = 4600;
    static constexpr int kY = 4410;
    static constexpr int kWidth = 4720;
    static constexpr int kHeadingHeight = 285;
    static constexpr int kListHeight = 550; // the alarm line sits under it

    RegisterPanelView(QWidget* parent, double twipsPerPixel);

    // Null hides the panel (a window without a register behind it).
    void setPanel(const reg::RegisterPanel* panel) { panel_ = panel; }
    void sync(bool english);

    QLabel* heading() const { return heading_; }
    QListWidget* list() const { return list_; }

  private:
    const reg::RegisterPanel* panel_ = nullptr;
    QLabel* heading_;
    QListWidget* list_;
    bool shown_ = false;
    bool shownOn_ = false;
    bool shownEnglish_ = false;
    std::uint64_t shownRevision_ = 0;
};

} // namespace zr::window::qt
