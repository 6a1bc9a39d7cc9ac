// The window-less output of written cards: a verified card's line comes after its verdict.
#include "app/script/ScriptReport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace zr::app {
namespace {

// What the script prints for a card written in both layouts with 00012:00001, verified or not,
// and then read back (or not, the link having dropped).
std::string output(int verifying, const std::optional<recording::ReadBackResult>& readBack) {
    station::ControlRegistry registry;
    station::CheckBox verify{registry, "chkVerify"};
    verify.setValue(verifying);
    std::ostringstream out;
    {
        ScriptReport report(out, verify);
        report.recordWrite({"1000000001", "00012", "00001", true, recording::LayoutOutcome::Written,
                            recording::LayoutOutcome::Written});
        if (readBack) {
            report.recordReadBack(*readBack);
        }
    }
    return out.str();
}

TEST(ScriptReport, ACardIsCalledWrittenOnlyAfterItsVerdict) {
    const std::string card = ": UID 1000000001 number 00012:00001 V1 written V3 written\n";
    EXPECT_EQ(output(1, recording::ReadBackResult{"1000000001", true, true, "00012:00001", true,
                                                  "00012:00001"}),
              "read back: UID 1000000001 V1 00012:00001 V3 00012:00001\ncard written" + card);
    EXPECT_EQ(output(1, recording::ReadBackResult{"1000000002", true, true, "00012:00001", true,
                                                  "00012:00001"}),
              "read back: UID 1000000002 V1 00012:00001 V3 00012:00001\ncard read back otherwise" +
                  card);
    EXPECT_EQ(output(1, std::nullopt), "card read back otherwise" + card);
}

} // namespace
} // namespace zr::app
