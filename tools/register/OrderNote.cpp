#include "register/CsvExport.h"
#include "tools/register/DeliveryNote.h"
#include "tools/register/RegisterTool.h"

#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>
#include <fstream>
#include <memory>

namespace zr::tools {
namespace {

// Points (the writer runs at 72 dots per inch) on A4, 595 x 842.
constexpr double kMargin = 42;
constexpr double kLineHeight = 13;
constexpr double kFactValueColumn = 130;
constexpr double kCardColumns[] = {0, 40, 120, 210, 330};

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

void drawLine(QPainter& painter, const NoteLine& line, double y) {
    for (std::size_t i = 0; i < line.cells.size(); ++i) {
        const double x = line.kind == NoteLine::Kind::Fact
                             ? (i == 0 ? 0 : kFactValueColumn)
                             : kCardColumns[std::min<std::size_t>(i, std::size(kCardColumns) - 1)];
        painter.drawText(QPointF(kMargin + x, y), qt(line.cells[i]));
    }
}

// A QGuiApplication for the fonts when the caller has none (the tool's other commands and the
// tests run without one); without a display, the offscreen platform.
std::unique_ptr<QGuiApplication> guiApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "zr-register";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

void removeQuietly(const std::string& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

bool writeCsvFile(const std::vector<reg::WriteRow>& rows, const std::string& file) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    return out && reg::writeCsv(rows, out) && (out.close(), static_cast<bool>(out));
}

// Draws the pages through `writer`; false when the painter could not start or finish.
bool drawPages(const NoteText& text, QPdfWriter& writer) {
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(qt(text.title));
    writer.setCreator("zr-register");
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    // Latin letters and digits from DejaVu, Chinese from Noto: the CJK font's digits do not
    // read back as digits in every PDF reader.
    QFont font;
    font.setFamilies({"DejaVu Sans", "Noto Sans CJK TC"});
    // No ligatures: "fi" stays two letters when the note is searched or copied.
    font.setStyleStrategy(QFont::PreferNoShaping);
    const auto setFont = [&](double points, bool bold) {
        font.setPointSizeF(points);
        font.setBold(bold);
        painter.setFont(font);
    };
    const double bottom = writer.height() - kMargin;
    for (std::size_t page = 0; page < text.pages.size(); ++page) {
        if (page > 0) {
            writer.newPage();
        }
        double y = kMargin + 14;
        setFont(14, true);
        painter.drawText(QPointF(kMargin, y), qt(text.title));
        y += 20;
        if (text.warning) {
            setFont(10, true);
            painter.setPen(QColor(160, 0, 0));
            painter.drawText(QPointF(kMargin, y), qt(*text.warning));
            painter.setPen(Qt::black);
            y += 18;
        }
        y += 6;
        for (const NoteLine& line : text.pages[page]) {
            setFont(9, line.kind == NoteLine::Kind::Heading);
            drawLine(painter, line, y);
            y += kLineHeight;
        }
        setFont(9, false);
        painter.drawText(
            QRectF(kMargin, bottom - kLineHeight, writer.width() - 2 * kMargin, kLineHeight),
            Qt::AlignRight | Qt::AlignBottom, qt(text.pageNumber(page)));
    }
    return painter.end();
}

} // namespace

bool drawNotePdf(const NoteText& text, const std::string& file, std::string& why) {
    QPdfWriter writer(qt(file));
    if (!drawPages(text, writer)) {
        why = "cannot write " + file;
        return false;
    }
    std::error_code error;
    if (std::filesystem::file_size(file, error) == 0 || error) {
        why = "cannot write " + file;
        return false;
    }
    return true;
}

bool drawNotePdf(const NoteText& text, QIODevice& device, std::string& why) {
    QPdfWriter writer(&device);
    if (!drawPages(text, writer)) {
        why = "cannot draw the note";
        return false;
    }
    return true;
}

int orderNote(reg::CardRegister& cards, const NoteRequest& request, std::ostream& out,
              std::ostream& err) {
    const auto note = readDeliveryNote(cards, request.reference);
    if (!note) {
        err << "zr-register: order note: " << note.error().message << '\n';
        return note.error().kind == reg::RegisterFailure::UnknownOrder ? kExitNotFound
                                                                       : kExitRegister;
    }
    const auto application = guiApplication();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        err << "zr-register: order note needs Qt's GUI application for its fonts\n";
        return kExitRegister;
    }
    const NoteText text = layOutNote(note.value(), request.language);
    // Both beside their targets first, renamed only when both are whole: a box never gets a
    // note without its CSV, nor half of either.
    const std::string pdfPartial = request.pdf + ".partial";
    const std::string csvPartial = request.csv ? *request.csv + ".partial" : "";
    const auto fail = [&](const std::string& why) {
        removeQuietly(pdfPartial);
        if (request.csv) {
            removeQuietly(csvPartial);
        }
        err << "zr-register: order note: " << why << '\n';
        return kExitRegister;
    };
    std::string why;
    if (!drawNotePdf(text, pdfPartial, why)) {
        return fail(why);
    }
    if (request.csv && !writeCsvFile(note.value().delivered, csvPartial)) {
        return fail("cannot write " + csvPartial);
    }
    std::error_code error;
    if (request.csv) {
        std::filesystem::rename(csvPartial, *request.csv, error);
        if (error) {
            return fail("cannot write " + *request.csv + ": " + error.message());
        }
    }
    std::filesystem::rename(pdfPartial, request.pdf, error);
    if (error) {
        if (request.csv) {
            removeQuietly(*request.csv);
        }
        return fail("cannot write " + request.pdf + ": " + error.message());
    }
    out << "order " << request.reference << " note: " << note.value().delivered.size()
        << " cards on " << text.pages.size() << (text.pages.size() == 1 ? " page" : " pages")
        << '\n';
    return kExitOk;
}

} // namespace zr::tools
