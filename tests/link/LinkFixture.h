#pragma once
// Installs an open FakeLine under the link for one test and restores the previous line after it.

#include "link/FakeLine.h"
#include "link/Wn2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

class FakeLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = N2UseLine(&line_);
        ASSERT_EQ(N2OpenPort("COM1", 9600), 1);
        line_.clearLog();
    }
    void TearDown() override { N2UseLine(previous_); }

    FakeLine line_;
    uint8_t reply_[256] = {};

private:
    SerialLine* previous_ = nullptr;
};
