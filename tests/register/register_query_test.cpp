// Listings, today's count and the CSV export.
#include "RegisterFixture.h"
#include "register/CsvExport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace zr::reg::test {
namespace {

using namespace std::chrono_literals;

class RegisterQueries : public TwoBenches {
  protected:
    void SetUp() override {
        TwoBenches::SetUp();
        // 09:00 A writes 1:1..1:3, one failure; 10:30 B writes 2:1 and gives 1:2 again.
        ASSERT_TRUE(benchA->recordWrite(written("2000000401", 1, 1)));
        ASSERT_TRUE(benchA->recordWrite(written("2000000402", 1, 2)));
        CardWrite failed = written("2000000403", 1, 3);
        failed.v1 = LayoutOutcome::Failed;
        failed.v3 = LayoutOutcome::Skipped;
        failed.written = false;
        ASSERT_TRUE(benchA->recordWrite(failed));
        ASSERT_TRUE(benchA->recordWrite(written("2000000403", 1, 3)));
        clock.now += 90min;
        ASSERT_TRUE(benchB->recordWrite(written("2000000404", 2, 1)));
        ASSERT_TRUE(benchB->recordWrite(written("2000000405", 1, 2)));
        ASSERT_TRUE(benchB->recordWrite(written("2000000404", 2, 9)));
    }
    static std::vector<std::string> uids(const std::vector<WriteRow>& rows) {
        std::vector<std::string> found;
        for (const WriteRow& row : rows) {
            found.push_back(row.uid + "=" + numberText(row.group, row.card));
        }
        return found;
    }
};

template <typename Set> ListFilter make(Set set) {
    ListFilter filter;
    set(filter);
    return filter;
}

TEST_F(RegisterQueries, ListFilters) {
    using V = std::vector<std::string>;
    const struct {
        ListFilter filter;
        V expected;
    } cases[] = {
        {ListFilter{},
         V{"2000000401=00001:00001", "2000000402=00001:00002", "2000000403=00001:00003",
           "2000000403=00001:00003", "2000000404=00002:00001", "2000000405=00001:00002",
           "2000000404=00002:00009"}},
        {make([](ListFilter& f) { f.since = "2026-12-06T10"; }),
         V{"2000000404=00002:00001", "2000000405=00001:00002", "2000000404=00002:00009"}},
        {make([](ListFilter& f) { f.before = "2026-12-06T10"; }),
         V{"2000000401=00001:00001", "2000000402=00001:00002", "2000000403=00001:00003",
           "2000000403=00001:00003"}},
        {make([](ListFilter& f) { f.since = "2026-12-07"; }), V{}},
        {make([](ListFilter& f) {
             f.station = "bench-B";
             f.group = 2;
         }),
         V{"2000000404=00002:00001", "2000000404=00002:00009"}},
        {make([](ListFilter& f) {
             f.group = 1;
             f.cardFrom = 2;
             f.cardTo = 2;
         }),
         V{"2000000402=00001:00002", "2000000405=00001:00002"}},
        {make([](ListFilter& f) { f.limit = 2; }),
         V{"2000000401=00001:00001", "2000000402=00001:00002"}},
    };
    for (const auto& c : cases) {
        const auto rows = benchA->list(c.filter);
        ASSERT_TRUE(rows.ok());
        EXPECT_EQ(uids(rows.value()), c.expected);
    }
    EXPECT_EQ(uids(benchA->lastCards(2).value()),
              (V{"2000000404=00002:00009", "2000000405=00001:00002"}));
    EXPECT_EQ(uids(benchA->findUid("2000000404").value()),
              (V{"2000000404=00002:00001", "2000000404=00002:00009"}));
    EXPECT_EQ(benchA->countWrittenSince("2026-12-06T10:00").value(), 3);
}

TEST_F(RegisterQueries, CountTodayStartsAtLocalMidnight) {
    ::setenv("TZ", "Asia/Taipei", 1); // 09:00Z is 17:00 there; the day began at 16:00Z before
    ::tzset();
    EXPECT_EQ(benchA->countWrittenToday().value(), 6);
    clock.now += 24h;
    EXPECT_EQ(benchA->countWrittenToday().value(), 0);
    ::unsetenv("TZ");
    ::tzset();
}

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
