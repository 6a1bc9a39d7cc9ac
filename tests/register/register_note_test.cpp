// zr-register order note: the PDF read back with pdftotext, the CSV, and a refused note.
#include "RegisterFixture.h"
#include "register/CsvExport.h"
#include "tools/register/DeliveryNote.h"
#include "tools/register/RegisterTool.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace zr::reg::test {
namespace {

std::string uidOf(int card) {
    return "20000" + std::string(card < 10 ? "0000" : "000") + std::to_string(card);
}

std::string readFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> pagesOf(const std::string& pdf) {
    const std::string text = pdf + ".txt";
    EXPECT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + text + "'").c_str()), 0);
    std::vector<std::string> pages;
    std::istringstream all(readFile(text));
    for (std::string page; std::getline(all, page, '\f');) {
        pages.push_back(page);
    }
    return pages;
}

bool hasLineWith(const std::string& text, const std::vector<std::string>& parts) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (std::all_of(parts.begin(), parts.end(),
                        [&](const std::string& part) { return line.find(part) != line.npos; })) {
            return true;
        }
    }
    return false;
}

// Order PO-5, 00012:00001-00012:00080: cards 1-70 written but 3 (written, then void) and 4
// (its write unanswered); 71 being written; 72-80 never given. 68 cards to deliver, over two
// pages.
class OrderNote : public TwoBenches {
  protected:
    void SetUp() override {
        TwoBenches::SetUp();
        ASSERT_TRUE(benchA->addOrder({"PO-5", "Acme", 12, 1, 80}).ok());
        for (int card = 1; card <= 70; ++card) {
            CardWrite write = written(uidOf(card), 12, card);
            if (card == 4) {
                write.v1 = LayoutOutcome::Unknown;
                write.written = false;
            }
            ASSERT_TRUE((card % 2 == 0 ? benchA : benchB)->recordWrite(write));
        }
        ASSERT_TRUE(benchA->voidCard(uidOf(3), "dropped").ok());
        ASSERT_EQ(benchB->startOrderAttempt("PO-5", uidOf(71), true)->card, 71);
        environment.opener = openQt;
        environment.settingsUrl = [](const std::optional<std::string>&) { return ""; };
    }
    int note(std::vector<std::string> options) {
        std::vector<std::string> arguments{"--register", "sqlite:" + dir.file("cards.sqlite"),
                                           "order", "note"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return tools::runRegisterTool(arguments, environment, out, err);
    }
    tools::ToolEnvironment environment;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(OrderNote, ListsTheDeliveredCardsAndCountsOnEveryPage) {
    const std::string pdf = dir.file("PO-5.pdf");
    const std::string csv = dir.file("PO-5.csv");
    ASSERT_EQ(note({"PO-5", "--pdf", pdf, "--csv", csv}), 0) << err.str();
    EXPECT_FALSE(std::filesystem::exists(pdf + ".partial"));
    const auto pages = pagesOf(pdf);
    ASSERT_EQ(pages.size(), 2u);
    const std::string all = pages[0] + pages[1];
    for (const auto& [label, value] : std::vector<std::pair<std::string, std::string>>{
             {"Customer", "Acme"},
             {"Ordered", "80"},
             {"Written", "68"},
             {"Void", "1"},
             {"Delivered", "68"},
             {"Not used", "11"},
             {"2 unfinished", "(a write"},
             {"9 not given yet", ""},
             {"void 00012:00003", "dropped"},
             {"Stations", "bench-A (34), bench-B (34)"}}) {
        EXPECT_TRUE(hasLineWith(pages[0], {label, value})) << label << pages[0];
    }
    for (std::size_t page = 0; page < pages.size(); ++page) {
        EXPECT_TRUE(hasLineWith(pages[page], {"NOT COMPLETE", "68 of 80"})) << page;
        EXPECT_TRUE(hasLineWith(pages[page], {"page " + std::to_string(page + 1) + " of 2"}));
    }
    std::string expectedCsv = std::string(kCsvHeader) + "\r\n";
    std::size_t at = 0;
    for (int card = 1; card <= 80; ++card) {
        const std::string number = numberText(12, card);
        const bool delivered = card <= 70 && card != 3 && card != 4;
        EXPECT_EQ(hasLineWith(all, {number, uidOf(card), "bench-", "2026-12-06T09:00:00"}),
                  delivered)
            << number;
        const std::size_t found = all.find(number + " ", at);
        if (delivered) {
            EXPECT_NE(found, std::string::npos) << number << " in number order";
            at = found;
            expectedCsv += csvLine(benchA->findNumber(12, card).value().front());
        }
    }
    EXPECT_EQ(readFile(csv), expectedCsv);

    ASSERT_EQ(note({"PO-5", "--pdf", pdf, "--lang", "zh"}), 0) << err.str();
    const auto chinese = pagesOf(pdf);
    ASSERT_EQ(chinese.size(), 2u);
    // The CJK font's 頁 reads back as the radical ⾴ in pdftotext; the digits are what matter.
    EXPECT_TRUE(hasLineWith(chinese[1], {"未完成", "PO-5", "訂購 80 張，交付 68 張"}))
        << chinese[1];
    EXPECT_TRUE(hasLineWith(chinese[1], {"第 2 ", "，共 2 "})) << chinese[1];
}

TEST_F(OrderNote, BadInputWritesNothing) {
    const std::string pdf = dir.file("note.pdf");
    const std::string csv = dir.file("note.csv");
    const struct {
        std::vector<std::string> options;
        int exit;
        const char* says;
    } cases[] = {
        {{"PO-9", "--pdf", pdf, "--csv", csv}, 1, "no order PO-9"},
        {{"PO-5", "--csv", csv}, 2, "order note wants REF --pdf FILE"},
        {{"PO-5", "--pdf", pdf, "--lang", "fr"}, 2, "--lang wants zh or en"},
        {{"PO-5", "--pdf", pdf, "--csv", dir.file("none/note.csv")}, 3, "cannot write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        err.str("");
        EXPECT_EQ(note(c.options), c.exit);
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
        for (const std::string& file : {pdf, csv, pdf + ".partial", csv + ".partial"}) {
            EXPECT_FALSE(std::filesystem::exists(file)) << file;
        }
    }
}

TEST(NoteLayout, OnlyACompleteOrderIsDeliveredWithoutAWarning) {
    for (const auto& [state, warned] : std::vector<std::pair<std::string, bool>>{
             {"open", true}, {"closed", true}, {"cancelled", true}, {"complete", false}}) {
        tools::DeliveryNote note;
        note.progress.order = {"PO-6", "", 3, 1, 2, state, "", ""};
        const auto text = tools::layOutNote(note, tools::NoteLanguage::English);
        EXPECT_EQ(text.warning.has_value(), warned) << state;
        EXPECT_EQ(text.pages.size(), 1u);
    }
}

} // namespace
} // namespace zr::reg::test
