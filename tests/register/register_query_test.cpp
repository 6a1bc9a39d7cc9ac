// The CSV export: each field comes back whole.
#include "RegisterFixture.h"
#include "register/CsvExport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace zr::reg::test {
namespace {

// RFC 4180 reader: the export must come back field for field.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else {
            EXPECT_NE(c, '\n') << "bare LF outside quotes at " << i;
            field += c;
        }
    }
    records.pop_back(); // after the last CR LF
    return records;
}

TEST(RegisterCsv, FieldsWithCommasQuotesAndLineBreaksComeBackWhole) {
    const struct {
        const char* text;
        const char* field;
    } fields[] = {
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\nonly", "\"lf\nonly\""},
        {"", ""},
        {"台北站", "台北站"},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(csvField(f.text), f.field);
    }

    TempDir dir;
    TestClock clock;
    const std::string station = "Bench \"3\", hall\r\nnorth 台北";
    auto opened = openAt("sqlite:" + dir.file("cards.sqlite"), station, clock);
    ASSERT_TRUE(opened.ok());
    ASSERT_TRUE(opened.value()->recordWrite(written("2000000345", 12, 345)));
    std::ostringstream out;
    ASSERT_TRUE(exportCsv(*opened.value(), out));

    const auto records = parseCsv(out.str());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].size(), 11u);
    EXPECT_EQ(records[1],
              (std::vector<std::string>{"1", "2026-12-06T09:00:00.000Z", station, "2000000345",
                                        "12", "345", "00012:00345", "1", "ok", "ok", "written"}));
}

} // namespace
} // namespace zr::reg::test
