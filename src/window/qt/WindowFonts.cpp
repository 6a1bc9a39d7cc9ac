#include "window/qt/WindowFonts.h"

#include <QStringList>

namespace zr::window::qt {

QFont windowFont(FontKind kind) {
    static const QStringList sans = {
        QStringLiteral("Noto Sans CJK TC"),    QStringLiteral("Noto Sans TC"),
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("AR PL UMing TW"),
        QStringLiteral("Microsoft JhengHei"),  QStringLiteral("PingFang TC"),
        QStringLiteral("Noto Sans CJK SC"),    QStringLiteral("DejaVu Sans")};
    static const QStringList serif = {
        QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
        QStringLiteral("DejaVu Serif"), QStringLiteral("Noto Serif CJK TC"),
        QStringLiteral("Noto Sans CJK TC")};
    QFont font;
    font.setFamilies(kind == FontKind::Traffic ? serif : sans);
    switch (kind) {
    case FontKind::Normal:
        font.setPointSize(9);
        break;
    case FontKind::CardNumber:
        font.setPointSize(20);
        font.setBold(true);
        break;
    case FontKind::WorkButton:
        font.setPointSize(13);
        font.setBold(true);
        break;
    case FontKind::Message:
        font.setPointSize(12);
        font.setBold(true);
        break;
    case FontKind::Traffic:
        font.setPointSize(10);
        break;
    }
    return font;
}

} // namespace zr::window::qt
