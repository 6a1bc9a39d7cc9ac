#include "FrameFuzzer.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace zr::sim {
namespace {

std::vector<std::filesystem::path> inputFiles() {
    std::vector<std::filesystem::path> files;
    std::stringstream dirs(ZR_SIM_FUZZ_INPUT_DIRS);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!std::filesystem::is_directory(dir)) {
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

TEST(FrameFuzzInputs, CorpusAndRegressionsRunClean) {
    const auto files = inputFiles();
    EXPECT_FALSE(files.empty());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        runFrameFuzzInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        SUCCEED() << file;
    }
}

} // namespace
} // namespace zr::sim
