#include "fuzz/FuzzChecks.h"

#include "sim/MeterCore.h"

#include <vector>

namespace {

constexpr size_t ReplyBufferSize = 256;   // the program reads at most this much of a reply

using Replies = std::vector<std::vector<uint8_t>>;

sim::MeterSettings SettingsFrom(uint8_t flags)
{
    sim::MeterSettings settings;
    settings.jumperInstalled = (flags & 0x01) != 0;
    settings.noNoise = (flags & 0x02) != 0;
    settings.frozenEnergies = true;
    settings.seed = flags;
    if (flags & 0x04) {
        settings.faults.cutRate = 0.2;
        settings.faults.garbleRate = 0.2;
        settings.faults.dropRate = 0.1;
    }
    return settings;
}

Replies FeedOneByOne(sim::MeterCore& meter, const uint8_t* bytes, size_t length)
{
    Replies replies;
    for (size_t i = 0; i < length; ++i) {
        for (auto& reply : meter.feed(bytes + i, 1, 0.0))
            replies.push_back(std::move(reply));
    }
    return replies;
}

}  // namespace

void CheckMeterFrames(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    const sim::MeterSettings settings = SettingsFrom(data[0]);
    sim::MeterCore whole(settings);
    sim::MeterCore split(settings);
    const Replies atOnce = whole.feed(data + 1, size - 1, 0.0);
    const Replies oneByOne = FeedOneByOne(split, data + 1, size - 1);
    FUZZ_REQUIRE(atOnce == oneByOne);
    for (const auto& reply : atOnce) {
        FUZZ_REQUIRE(!reply.empty());
        FUZZ_REQUIRE(reply.size() <= ReplyBufferSize);
    }
    size_t answered = 0;
    for (const sim::Exchange& exchange : whole.exchanges())
        answered += exchange.reply.empty() ? 0 : 1;
    FUZZ_REQUIRE(answered == atOnce.size());
    FUZZ_REQUIRE(whole.state().address >= 0 && whole.state().address <= 255);
}
