#include "register/CsvExport.h"

namespace zr::reg {

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string csvLine(const WriteRow& row) {
    std::string line = std::to_string(row.id);
    for (const std::string* text : {&row.time, &row.station, &row.uid}) {
        line += ',';
        line += csvField(*text);
    }
    line += ',' + std::to_string(row.group) + ',' + std::to_string(row.card) + ',' +
            numberText(row.group, row.card) + ',' + (row.lock ? "1" : "0");
    for (const std::string* text : {&row.v1, &row.v3, &row.outcome}) {
        line += ',';
        line += csvField(*text);
    }
    line += "\r\n";
    return line;
}

bool exportCsv(CardRegister& cardRegister, std::ostream& out, const ListFilter& numbers) {
    out << kCsvHeader << "\r\n";
    const bool read = cardRegister.forEachWrite(
        [&](const WriteRow& row) {
            out << csvLine(row);
            return static_cast<bool>(out);
        },
        numbers);
    out.flush();
    return read && static_cast<bool>(out);
}

bool writeCsv(const std::vector<WriteRow>& rows, std::ostream& out) {
    out << kCsvHeader << "\r\n";
    for (const WriteRow& row : rows) {
        out << csvLine(row);
    }
    out.flush();
    return static_cast<bool>(out);
}

} // namespace zr::reg
