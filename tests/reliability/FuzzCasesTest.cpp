// Replays every kept fuzz input through the check of its target: inputs that once failed,
// and hand-made inputs at the edges of each parser.

#include "fuzz/FuzzChecks.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <vector>

namespace {

struct Target {
    const char* folder;
    void (*check)(const uint8_t*, size_t);
};

const Target Targets[] = {
    {"meter_frames", CheckMeterFrames},
    {"reply_decode", CheckReplyDecode},
    {"typed_numbers", CheckTypedNumbers},
};

void PrintTo(const Target& target, std::ostream* out)
{
    *out << target.folder;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzCases : public ::testing::TestWithParam<Target> {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_P(FuzzCases, EveryKeptInputPassesItsCheck)
{
    const std::filesystem::path folder = std::filesystem::path(QVT_FUZZ_CASES) / GetParam().folder;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string().starts_with('.'))
            continue;
        SCOPED_TRACE(entry.path().string());
        const std::vector<uint8_t> input = ReadAll(entry.path());
        GetParam().check(input.data(), input.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCases, ::testing::ValuesIn(Targets),
                         [](const auto& info) { return std::string(info.param.folder); });

}  // namespace
