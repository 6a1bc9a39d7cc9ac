#include "register/RegisterJournal.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Journal lines are read back from a file on disk that a crash may have torn or someone may
// have edited; whatever parses as a row must write back as the same line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto row = zr::reg::parseJournalLine(line);
    if (row && zr::reg::parseJournalLine(zr::reg::journalLine(*row)) != row) {
        std::abort();
    }
    return 0;
}
