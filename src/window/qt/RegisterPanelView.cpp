#include "window/qt/RegisterPanelView.h"

#include "window/qt/TextFit.h"
#include "window/qt/WindowFonts.h"

#include <cmath>

namespace zr::window::qt {
namespace {

int pixels(int twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

} // namespace

RegisterPanelView::RegisterPanelView(QWidget* parent, double twipsPerPixel)
    : heading_(new QLabel(parent)), list_(new QListWidget(parent)) {
    heading_->setObjectName(QStringLiteral("registerToday"));
    list_->setObjectName(QStringLiteral("registerLastCards"));
    heading_->setFont(windowFont(FontKind::Normal));
    QFont rows = windowFont(FontKind::Normal);
    rows.setStyleHint(QFont::Monospace);
    rows.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono CJK TC"),
                      QStringLiteral("Monospace")});
    list_->setFont(rows);
    // Read-only and out of the tab order: the operator's keys stay on the controls.
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    heading_->setGeometry(pixels(kX, twipsPerPixel), pixels(kY, twipsPerPixel),
                          pixels(kWidth, twipsPerPixel), pixels(kHeadingHeight, twipsPerPixel));
    list_->setGeometry(pixels(kX, twipsPerPixel), pixels(kY + kHeadingHeight + 15, twipsPerPixel),
                       pixels(kWidth, twipsPerPixel), pixels(kListHeight, twipsPerPixel));
    heading_->hide();
    list_->hide();
}

void RegisterPanelView::sync(bool english) {
    if (panel_ == nullptr) {
        heading_->hide();
        list_->hide();
        shown_ = false;
        return;
    }
    if (shown_ && shownOn_ == panel_->on && shownEnglish_ == english &&
        shownRevision_ == panel_->revision) {
        return;
    }
    const reg::PanelTexts texts = reg::panelTexts(*panel_, english);
    // The heading carries the register's trouble, a reason of any length; a row the list
    // cuts keeps its whole text in its tooltip.
    showWhole(*heading_, QString::fromStdString(texts.heading));
    list_->clear();
    for (const std::string& row : texts.rows) {
        auto* item = new QListWidgetItem(QString::fromStdString(row), list_);
        item->setToolTip(item->text());
    }
    heading_->show();
    list_->setVisible(panel_->on);
    shown_ = true;
    shownOn_ = panel_->on;
    shownEnglish_ = english;
    shownRevision_ = panel_->revision;
}

} // namespace zr::window::qt
