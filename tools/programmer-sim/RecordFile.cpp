#include "RecordFile.h"

namespace zr::sim {

bool RecordFile::open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "w"));
    return isOpen();
}

void RecordFile::writeLine(std::string_view line) {
    if (!file_) {
        return;
    }
    std::fwrite(line.data(), 1, line.size(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

} // namespace zr::sim
