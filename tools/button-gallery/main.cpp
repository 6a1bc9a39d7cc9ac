// zr-button-gallery: the skinned button's look book. Every theme in every look (normal,
// hover, focus, pressed, disabled), without and with an icon, painted by the button's own
// painter into one PNG.
#include "widgets/ButtonModel.h"
#include "widgets/ButtonPainter.h"
#include "widgets/IconCache.h"
#include "widgets/Themes.h"
#include "widgets/qt/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

namespace {

using namespace zr::widgets;

constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 32;
constexpr int kCellWidth = 132;
constexpr int kCellHeight = 42;
constexpr int kMargin = 12;
constexpr int kLabelWidth = 104;
constexpr int kHeaderHeight = 26;
constexpr int kIconSize = 20;

struct LookColumn {
    const char* name;
    ButtonState state;
    bool enabled;
};

constexpr LookColumn kColumns[] = {
    {"normal", {}, true},
    {"hover", {false, true, false}, true},
    {"focus", {false, false, true}, true},
    {"pressed", {true, true, false}, true},
    {"disabled", {}, false},
};

// A round, half-transparent-edged icon, written as PNG so it reaches the button through the
// same file loader as any icon.
bool writeSampleIcon(const QString& fileName) {
    QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(7, 7), kIconSize * 0.7);
    glow.setColorAt(0, QColor(255, 255, 255));
    glow.setColorAt(0.35, QColor(80, 170, 60));
    glow.setColorAt(1, QColor(20, 90, 20));
    painter.setBrush(glow);
    painter.setPen(QPen(QColor(10, 60, 10, 200), 1));
    painter.drawEllipse(QRectF(1.5, 1.5, kIconSize - 3, kIconSize - 3));
    painter.end();
    return icon.save(fileName, "PNG");
}

ButtonProperties buttonFor(int theme, bool enabled, const std::string& iconFile) {
    ButtonProperties p;
    p.Theme = theme;
    p.Enabled = enabled;
    p.Caption = "Theme " + std::to_string(theme);
    p.Font = ButtonFont{"DejaVu Sans", 8.0};
    if (theme == 6) {
        p.ForeColor = kWhite;
    }
    if (const auto colour = themeDisableColour(theme)) {
        p.CaptionDisableColor = *colour;
    }
    if (!iconFile.empty()) {
        p.Icon = true;
        p.IconSource = iconFile;
        p.IconAlignment = 1;
        p.CaptionAlignment = 8;
        p.CaptionOffsetX = 0;
    }
    return p;
}

void drawLabel(QPainter& painter, const QRect& box, const QString& text, Qt::Alignment align) {
    painter.setPen(QColor(40, 40, 40));
    painter.drawText(box, static_cast<int>(align | Qt::AlignVCenter), text);
}

int run(const QString& outFile, const QString& iconArgument) {
    QTemporaryDir scratch;
    QString iconFile = iconArgument;
    if (iconFile.isEmpty()) {
        iconFile = scratch.filePath("sample-icon.png");
        if (!scratch.isValid() || !writeSampleIcon(iconFile)) {
            std::fprintf(stderr, "zr-button-gallery: cannot write the sample icon\n");
            return 1;
        }
    }
    const int rows = 2 * (ThemeNumber::Last - ThemeNumber::First + 1);
    const int columns = static_cast<int>(std::size(kColumns));
    QImage book(2 * kMargin + kLabelWidth + columns * kCellWidth,
                2 * kMargin + kHeaderHeight + rows * kCellHeight,
                QImage::Format_ARGB32_Premultiplied);
    book.fill(QColor(236, 236, 236));
    QPainter painter(&book);
    painter.setFont(QFont("DejaVu Sans", 9, QFont::Bold));
    for (int c = 0; c < columns; ++c) {
        drawLabel(painter,
                  QRect(kMargin + kLabelWidth + c * kCellWidth, kMargin, kCellWidth, kHeaderHeight),
                  kColumns[c].name, Qt::AlignHCenter);
    }
    IconCache icons;
    int row = 0;
    for (int theme = ThemeNumber::First; theme <= ThemeNumber::Last; ++theme) {
        for (const bool withIcon : {false, true}) {
            const int top = kMargin + kHeaderHeight + row * kCellHeight;
            painter.setFont(QFont("DejaVu Sans", 9));
            drawLabel(painter, QRect(kMargin, top, kLabelWidth, kCellHeight),
                      QString("theme %1%2").arg(theme).arg(withIcon ? " + icon" : ""),
                      Qt::AlignLeft);
            for (int c = 0; c < columns; ++c) {
                const LookColumn& look = kColumns[c];
                const ButtonProperties p =
                    buttonFor(theme, look.enabled, withIcon ? iconFile.toStdString() : "");
                painter.save();
                painter.translate(
                    QPoint(kMargin + kLabelWidth + c * kCellWidth + (kCellWidth - kButtonWidth) / 2,
                           top + (kCellHeight - kButtonHeight) / 2));
                QtCanvas canvas(painter, kButtonWidth, kButtonHeight);
                PaintButton(canvas, kButtonWidth, kButtonHeight, p, look.state, &icons);
                painter.restore();
            }
            ++row;
        }
    }
    painter.end();
    if (!book.save(outFile, "PNG")) {
        std::fprintf(stderr, "zr-button-gallery: cannot write %s\n", qPrintable(outFile));
        return 1;
    }
    std::printf("%s: %d themes x %d looks, with and without icon\n", qPrintable(outFile), rows / 2,
                columns);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    QString outFile;
    QString iconFile;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--icon" && i + 1 < args.size()) {
            iconFile = args[++i];
        } else if (outFile.isEmpty() && !args[i].startsWith("--")) {
            outFile = args[i];
        } else {
            std::fprintf(stderr, "usage: zr-button-gallery OUT.png [--icon FILE]\n");
            return 2;
        }
    }
    if (outFile.isEmpty()) {
        std::fprintf(stderr, "usage: zr-button-gallery OUT.png [--icon FILE]\n");
        return 2;
    }
    return run(outFile, iconFile);
}
