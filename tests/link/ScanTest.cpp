// The address scan on a scripted line: its two orders, the second identify that confirms a hit,
// a stop between two addresses and a line where nothing answers.
#include "LinkFixture.h"

#include "link/AddressScan.h"

#include <map>

namespace {

class AddressScan : public FakeLinkTest {
protected:
    void SetUp() override
    {
        FakeLinkTest::SetUp();
        line_.setResponder([this](const std::vector<uint8_t>& frame) -> FakeLine::Reply {
            const int address = N2ParseHexByte(frame.data() + 1);
            if (answers[address] == 0)
                return {};
            --answers[address];
            return {FakeLine::Chunk{0, Bytes("A01F00")}};
        });
    }

    // The addresses the scan sent an identify to, in order.
    std::vector<int> Tried() const
    {
        std::vector<int> addresses;
        for (const auto& frame : line_.frames()) {
            EXPECT_EQ(frame[3], 'F');
            addresses.push_back(N2ParseHexByte(frame.data() + 1));
        }
        return addresses;
    }

    std::map<int, int> answers;   // address -> how many identifies it still answers
    std::vector<int> shown;       // what the scan announced before each address
    std::function<bool(int)> announce = [this](int address) {
        shown.push_back(address);
        return true;
    };
};

TEST_F(AddressScan, IncreasingFindsTheMeterWithASecondIdentify)
{
    answers[3] = 2;
    const ScanResult result = ScanAddresses(ScanOrder::Increasing, announce);
    EXPECT_EQ(result.kind, ScanResult::Found);
    EXPECT_EQ(result.address, 3);
    EXPECT_EQ(Tried(), (std::vector<int>{1, 2, 3, 3}));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3}));
}

TEST_F(AddressScan, DecreasingStartsAt255)
{
    answers[253] = 2;
    const ScanResult result = ScanAddresses(ScanOrder::Decreasing, announce);
    EXPECT_EQ(result.kind, ScanResult::Found);
    EXPECT_EQ(result.address, 253);
    EXPECT_EQ(Tried(), (std::vector<int>{255, 254, 253, 253}));
}

// A late reply lands in the read of the next address: heard once, it names nothing.
TEST_F(AddressScan, AnAnswerHeardOnceIsNoHit)
{
    answers[2] = 1;
    answers[4] = 2;
    const ScanResult result = ScanAddresses(ScanOrder::Increasing, announce);
    EXPECT_EQ(result.address, 4);
    EXPECT_EQ(Tried(), (std::vector<int>{1, 2, 2, 3, 4, 4}));
}

TEST_F(AddressScan, NothingAnswersAfterEveryAddressOnce)
{
    for (ScanOrder order : {ScanOrder::Increasing, ScanOrder::Decreasing}) {
        line_.clearLog();
        shown.clear();
        const ScanResult result = ScanAddresses(order, announce);
        EXPECT_EQ(result.kind, ScanResult::NotFound);
        EXPECT_EQ(result.address, 0);
        EXPECT_EQ(line_.frames().size(), 255u);
        ASSERT_EQ(shown.size(), 255u);
        EXPECT_EQ(shown.back(), order == ScanOrder::Increasing ? 255 : 1);
    }
}

TEST_F(AddressScan, AStopEndsTheScanBeforeTheNextRequest)
{
    answers[9] = 2;
    const ScanResult result = ScanAddresses(ScanOrder::Increasing, [](int address) { return address < 5; });
    EXPECT_EQ(result.kind, ScanResult::Stopped);
    EXPECT_EQ(result.address, 0);
    EXPECT_EQ(Tried(), (std::vector<int>{1, 2, 3, 4}));
}

}  // namespace
