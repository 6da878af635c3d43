// Writes a starting corpus for each fuzz target: the program's own request frames (captured
// from the link over a scripted line), the simulated meter's replies to them, and typed texts.
//   fuzz-seeds <directory>   creates <directory>/{meter_frames,reply_decode,typed_numbers}

#include "link/FakeLine.h"
#include "link/Wn2.h"
#include "sim/MeterCore.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t Serial = 1234567;   // the simulated meter's default serial number

std::vector<Bytes> ProgramFrames()
{
    FakeLine line;
    N2UseLine(&line);
    N2OpenPort(QStringLiteral("COM1"), 9600);
    uint8_t reply[256] = {};
    const uint8_t block[12] = {0, 0, 0x80, 0x3F, 0, 0, 0xA0, 0x40, 0xE8, 0x03, 10, 15};
    N2Identify(1, reply);
    N2ReadStatus(1, reply);
    N2ReadPoint(1, 17, 3, reply);
    N2WriteCommand(1, 25, 1, 2, reply);
    N2WriteValue(1, 2, 300, reply);
    CfgReadSerialNumber(reply);
    CfgWriteSerialNumber(Serial);
    CfgWriteAddress(Serial, 7);
    CfgReadBlock(Serial, 2, 0, 12, reply);
    CfgWriteBlock(Serial, 2, 0, block);
    CfgReadInfo(Serial, reply);
    N2UseLine(nullptr);
    return line.frames();
}

void Write(const std::filesystem::path& file, const Bytes& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteMeterSeeds(const std::filesystem::path& dir, const std::vector<Bytes>& frames)
{
    Bytes all{0x01};
    for (size_t i = 0; i < frames.size(); ++i) {
        Bytes seed{0x01};
        seed.insert(seed.end(), frames[i].begin(), frames[i].end());
        Write(dir / ("frame" + std::to_string(i)), seed);
        all.insert(all.end(), frames[i].begin(), frames[i].end());
    }
    Write(dir / "all", all);
}

void WriteReplySeeds(const std::filesystem::path& dir, const std::vector<Bytes>& frames)
{
    sim::MeterSettings settings;
    settings.jumperInstalled = true;
    sim::MeterCore meter(settings);
    int n = 0;
    for (const Bytes& frame : frames) {
        for (const Bytes& reply : meter.feed(frame.data(), frame.size(), 0.0))
            Write(dir / ("reply" + std::to_string(n++)), reply);
    }
}

void WriteTextSeeds(const std::filesystem::path& dir)
{
    const char* const texts[] = {"1", "-12", "+7", "2147483647", "-2147483648", "2147483648", "1.5", "1,5",
                                 "0,0001", "1e999", "nan", "inf", " 3", "\xd9\xa3", ("1\xc2\xa0" "000"), "-"};
    int n = 0;
    for (const char* text : texts) {
        for (uint8_t locale : {uint8_t(0), uint8_t(2), uint8_t(5)}) {
            Bytes seed{locale};
            seed.insert(seed.end(), text, text + std::char_traits<char>::length(text));
            Write(dir / ("text" + std::to_string(n++)), seed);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz-seeds <directory>\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    for (const char* name : {"meter_frames", "reply_decode", "typed_numbers"})
        std::filesystem::create_directories(root / name);
    const std::vector<Bytes> frames = ProgramFrames();
    WriteMeterSeeds(root / "meter_frames", frames);
    WriteReplySeeds(root / "reply_decode", frames);
    WriteTextSeeds(root / "typed_numbers");
    return 0;
}
