// The poller's command line: what each option sets, and the refusals that end it with status 2.
#include "link/PortMap.h"
#include "poll/PollOptions.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

PollCommand Read(const QStringList& options)
{
    return ReadPollCommand(QStringList{"/usr/bin/qvt-n2-poll"} + options);
}

TEST(PollOptions, EachOptionSetsItsValue)
{
    const PollCommand command = Read({"--port", "com3", "--address", "17", "--count", "5", "--format", "jsonl",
                                      "--output", "out.jsonl", "--trace", "line.trace"});
    ASSERT_FALSE(command.exitStatus);
    EXPECT_TRUE(command.error.isEmpty());
    const PollOptions& o = command.options;
    EXPECT_EQ(o.portName, "COM3");
    EXPECT_EQ(o.address, 17);
    EXPECT_EQ(o.count, 5);
    EXPECT_EQ(o.format, RecordFormat::JsonLines);
    EXPECT_EQ(o.outputPath, "out.jsonl");
    EXPECT_EQ(o.tracePath, "line.trace");
    EXPECT_FALSE(o.scan);
}

TEST(PollOptions, Defaults)
{
    const PollOptions o = Read({"--address", "1"}).options;
    EXPECT_EQ(o.portName, "COM1");
    EXPECT_EQ(o.count, 0);
    EXPECT_EQ(o.format, RecordFormat::Csv);
    EXPECT_TRUE(o.outputPath.isEmpty());
    EXPECT_TRUE(o.tracePath.isEmpty());
}

// As for the window: a device path is what COM1 means.
TEST(PollOptions, ADevicePathBecomesComOne)
{
    EXPECT_EQ(Read({"--address", "1", "--port", "/dev/ttyUSB0"}).options.portName, "COM1");
    EXPECT_EQ(N2DevicePath("COM1"), "/dev/ttyUSB0");
    EXPECT_EQ(Read({"--address", "1", "--port", "./meter"}).options.portName, "COM1");
    EXPECT_EQ(N2DevicePath("COM1"), QDir::current().filePath("meter"));
    N2SetPortDevice("COM1", QString());
}

TEST(PollOptions, ScanInBothOrders)
{
    const PollOptions increasing = Read({"--scan"}).options;
    EXPECT_TRUE(increasing.scan);
    EXPECT_EQ(increasing.order, ScanOrder::Increasing);
    EXPECT_EQ(Read({"--scan", "--decreasing"}).options.order, ScanOrder::Decreasing);
}

TEST(PollOptions, HelpAndVersionEndAtOnceWithStatus0)
{
    const PollCommand help = Read({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.output.startsWith("Usage: qvt-n2-poll --address N [options]\n"));
    for (const char* option : {"--port", "--address", "--count", "--format", "--output", "--scan", "--decreasing",
                               "--trace", "--version"})
        EXPECT_TRUE(help.output.contains(option)) << option;
    const PollCommand version = Read({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.output, "qvt-n2-poll " QVT_N2_VERSION "\n");
}

TEST(PollOptions, BadOptionsEndWithStatus2AndOneLine)
{
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{}, "--address N"},
        {{"--address", ""}, "not a whole number"},
        {{"--address", "12a"}, "not a whole number"},
        {{"--address", "0x10"}, "not a whole number"},
        {{"--address", "0"}, "between 1 and 255"},
        {{"--address", "256"}, "between 1 and 255"},
        {{"--address", "-1"}, "between 1 and 255"},
        {{"--address", "1", "--count", "-1"}, "--count '-1'"},
        {{"--address", "1", "--count", "many"}, "--count 'many'"},
        {{"--address", "1", "--format", "xml"}, "csv or jsonl"},
        {{"--address", "1", "--port", "ttyS0"}, "--port ttyS0"},
        {{"--address", "1", "--port", "COM0"}, "--port COM0"},
        {{"--address", "1", "--output", ""}, "need a file name"},
        {{"--address", "1", "--trace", ""}, "need a file name"},
        {{"--address", "1", "--decreasing"}, "--decreasing goes with --scan"},
        {{"--scan", "--address", "1"}, "leave out --address"},
        {{"--scan", "--count", "2"}, "leave out --address"},
        {{"--address", "1", "extra"}, "Unexpected argument 'extra'"},
        {{"--address", "1", "--bogus"}, "bogus"},
        {{"--address"}, "address"},
    };
    for (const auto& [options, words] : cases) {
        const PollCommand command = Read(options);
        const std::string shown = options.join(' ').toStdString();
        EXPECT_EQ(command.exitStatus, BadUsage) << shown;
        EXPECT_TRUE(command.output.isEmpty()) << shown;
        EXPECT_TRUE(command.error.startsWith("qvt-n2-poll: ")) << shown;
        EXPECT_TRUE(command.error.contains(words)) << shown << ": " << command.error.toStdString();
        EXPECT_EQ(command.error.count('\n'), 1) << shown;
        EXPECT_TRUE(command.error.endsWith("See 'qvt-n2-poll --help'.\n")) << shown;
    }
}

}  // namespace
