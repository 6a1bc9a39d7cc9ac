#include "tools/register/serve/ServeNotes.h"

#include "register/CsvExport.h"
#include "tools/register/DeliveryNote.h"

#include <QBuffer>
#include <QGuiApplication>
#include <sstream>

namespace zr::tools::serve {
namespace {

// The reference as a file name: anything but letters, digits, '.', '-' and '_' becomes '_'.
QByteArray fileName(const std::string& reference, const char* extension) {
    QByteArray name = "note-";
    for (const char c : reference) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        name += plain ? c : '_';
    }
    return name + extension;
}

Reply fileReply(QByteArray body, const QByteArray& type, const QByteArray& name) {
    Reply reply;
    reply.type = type;
    reply.body = std::move(body);
    reply.headers.emplace_back("Content-Disposition", "attachment; filename=\"" + name + '"');
    return reply;
}

std::optional<Reply> badParameters(const QUrlQuery& query, NoteFile file) {
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        const bool known = key == "ref" || (file == NoteFile::Pdf && key == "lang");
        if (!known) {
            return textReply(400, "Unknown parameter " + key.toUtf8() + "; give ref" +
                                      (file == NoteFile::Pdf ? " and lang." : "."));
        }
        if (query.allQueryItemValues(key).size() > 1) {
            return textReply(400, "Give " + key.toUtf8() + " once.");
        }
    }
    const QByteArray reference = query.queryItemValue("ref", QUrl::FullyDecoded).toUtf8();
    if (reference.isEmpty() || reference.size() > kMaxReferenceBytes) {
        return textReply(400, "Give ref=REFERENCE, at most " +
                                  QByteArray::number(kMaxReferenceBytes) + " bytes.");
    }
    const QString language = query.queryItemValue("lang");
    if (query.hasQueryItem("lang") && language != "zh" && language != "en") {
        return textReply(400, "Give lang=zh or lang=en.");
    }
    return std::nullopt;
}

} // namespace

Reply noteReply(reg::CardRegister& cards, const QUrlQuery& query, NoteFile file) {
    if (auto bad = badParameters(query, file)) {
        return *bad;
    }
    const std::string reference = query.queryItemValue("ref", QUrl::FullyDecoded).toStdString();
    const auto note = readDeliveryNote(cards, reference);
    if (!note) {
        if (note.error().kind == reg::RegisterFailure::UnknownOrder) {
            return textReply(404, "No such order.");
        }
        return textReply(503, "The register cannot be read: " +
                                  QByteArray::fromStdString(note.error().message));
    }
    const reg::Order& order = note.value().progress.order;
    if (order.state != "complete") {
        // The note of an order still being worked would go into a box with cards missing.
        return textReply(409, "This order is " + QByteArray::fromStdString(order.state) +
                                  "; only a complete order's note is served here.");
    }
    if (file == NoteFile::Csv) {
        std::ostringstream csv;
        reg::writeCsv(note.value().delivered, csv);
        return fileReply(QByteArray::fromStdString(csv.str()), "text/csv; charset=utf-8",
                         fileName(reference, ".csv"));
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return textReply(503, "This server cannot draw PDFs: it runs without Qt's GUI"
                              " application (fonts).");
    }
    const NoteLanguage language =
        query.queryItemValue("lang") == "zh" ? NoteLanguage::Chinese : NoteLanguage::English;
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    std::string why;
    if (!drawNotePdf(layOutNote(note.value(), language), pdf, why)) {
        return textReply(503, QByteArray::fromStdString(why));
    }
    return fileReply(pdf.data(), "application/pdf", fileName(reference, ".pdf"));
}

} // namespace zr::tools::serve
