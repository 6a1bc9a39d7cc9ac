#pragma once

#include "register/CardRegister.h"

#include <QIODevice>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The delivery note of an order: the paper that goes into the box with the cards.
namespace zr::tools {

enum class NoteLanguage { English, Chinese };

struct NoteRequest {
    std::string reference;
    std::string pdf;
    std::optional<std::string> csv;
    NoteLanguage language = NoteLanguage::English;
};

// What the register says about the order's delivery.
struct DeliveryNote {
    reg::OrderProgress progress;
    // One row per delivered card (its latest confirmed write in the range, its number not
    // void), in number order.
    std::vector<reg::WriteRow> delivered;
    std::vector<reg::VoidCard> voids;
};

base::Result<DeliveryNote, reg::RegisterError> readDeliveryNote(reg::CardRegister& cards,
                                                                const std::string& reference);

struct NoteLine {
    enum class Kind { Fact, Heading, Card };
    Kind kind = Kind::Fact;
    std::vector<std::string> cells;
};

// The note's words laid out on pages; every page repeats the title and the warning.
struct NoteText {
    std::string title;
    std::optional<std::string> warning; // an order that is not complete says so on each page
    std::vector<std::vector<NoteLine>> pages;
    NoteLanguage language = NoteLanguage::English;
    std::string pageNumber(std::size_t index) const;
};

inline constexpr std::size_t kNoteLinesPerPage = 52;

NoteText layOutNote(const DeliveryNote& note, NoteLanguage language,
                    std::size_t linesPerPage = kNoteLinesPerPage);

// Draws the pages as an A4 PDF into `file`; false with `why` when it could not be written.
// Needs a QGuiApplication (fonts).
bool drawNotePdf(const NoteText& text, const std::string& file, std::string& why);
// The same into `device` (open for writing).
bool drawNotePdf(const NoteText& text, QIODevice& device, std::string& why);

// zr-register order note: the PDF (and the CSV of the delivered cards), each written beside
// its target and renamed, so no half file is left; nothing at all on a failure.
int orderNote(reg::CardRegister& cards, const NoteRequest& request, std::ostream& out,
              std::ostream& err);

} // namespace zr::tools
