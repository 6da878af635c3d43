#include "sim/SimOptions.h"

#include <charconv>
#include <functional>
#include <map>

namespace sim {

namespace {
template <typename T>
bool parseInteger(const std::string& text, T& value, long long low, long long high)
{
    long long v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || v < low || v > high)
        return false;
    value = static_cast<T>(v);
    return true;
}

bool parseShare(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 0 && value <= 1;
}

using Setter = std::function<bool(SimOptions&, const std::string&)>;

// Options that take a value.
const std::map<std::string, Setter>& valueOptions()
{
    static const std::map<std::string, Setter> table = {
        {"--address", [](SimOptions& o, const std::string& v) { return parseInteger(v, o.settings.address, 1, 255); }},
        {"--serial", [](SimOptions& o, const std::string& v) { return parseInteger(v, o.settings.serialNumber, 0, 0xFFFFFFFFLL); }},
        {"--status", [](SimOptions& o, const std::string& v) { return parseInteger(v, o.settings.statusCode, 0, 0xFFFF); }},
        {"--seed", [](SimOptions& o, const std::string& v) { return parseInteger(v, o.settings.seed, 0, 0xFFFFFFFFLL); }},
        {"--starts", [](SimOptions& o, const std::string& v) { return parseInteger(v, o.settings.startCounter, 0, 0xFFFF); }},
        {"--drop", [](SimOptions& o, const std::string& v) { return parseShare(v, o.settings.faults.dropRate); }},
        {"--cut", [](SimOptions& o, const std::string& v) { return parseShare(v, o.settings.faults.cutRate); }},
        {"--garble", [](SimOptions& o, const std::string& v) { return parseShare(v, o.settings.faults.garbleRate); }},
        {"--turnaround", [](SimOptions& o, const std::string& v) { return parseInteger(v, o.settings.faults.turnaroundMs, 0, 60000); }},
        {"--latency", [](SimOptions& o, const std::string& v) { return parseInteger(v, o.settings.latencyMs, 0, 255); }},
        {"--log", [](SimOptions& o, const std::string& v) { o.settings.logPath = v; return !v.empty(); }},
        {"--link", [](SimOptions& o, const std::string& v) { o.linkPath = v; return !v.empty(); }},
        {"--device", [](SimOptions& o, const std::string& v) { o.devicePath = v; return !v.empty(); }},
    };
    return table;
}

// Switches.
const std::map<std::string, std::function<void(SimOptions&)>>& flagOptions()
{
    static const std::map<std::string, std::function<void(SimOptions&)>> table = {
        {"--jumper", [](SimOptions& o) { o.settings.jumperInstalled = true; }},
        {"--frozen", [](SimOptions& o) { o.settings.frozenEnergies = true; }},
        {"--no-noise", [](SimOptions& o) { o.settings.noNoise = true; }},
        {"--silent", [](SimOptions& o) { o.settings.faults.silent = true; }},
        {"--pace", [](SimOptions& o) { o.settings.wirePacing = true; }},
        {"--echo", [](SimOptions& o) { o.settings.echo = true; }},
        {"--help", [](SimOptions& o) { o.help = true; }},
        {"--version", [](SimOptions& o) { o.version = true; }},
    };
    return table;
}
}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (const auto flag = flagOptions().find(name); flag != flagOptions().end()) {
            flag->second(options);
            continue;
        }
        const auto option = valueOptions().find(name);
        if (option == valueOptions().end()) {
            error = "unknown option " + name;
            return false;
        }
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return false;
        }
        if (!option->second(options, args[++i])) {
            error = "bad value for " + name + ": " + args[i];
            return false;
        }
    }
    return true;
}

const char* SimUsage()
{
    return "Usage: n2-meter-sim [options]\n"
           "A simulated N2 meter on a pseudo-terminal (or a serial device). Prints the line's\n"
           "path first, then serves until SIGINT or SIGTERM.\n"
           "  --address N      N2 address, 1..255 (1)\n"
           "  --serial N       serial number, 0..4294967295 (1234567)\n"
           "  --status N       status code, 0..65535 (0)\n"
           "  --starts N       start counter, 0..65535 (17)\n"
           "  --jumper         Jumper CONFIG installed\n"
           "  --seed N         seed of noise and faults (1)\n"
           "  --frozen         energies and demands do not grow\n"
           "  --no-noise       measurements exactly nominal\n"
           "  --drop R         share 0..1 of replies not sent\n"
           "  --cut R          share 0..1 of replies cut short\n"
           "  --garble R       share 0..1 of N2 replies with a non-hex field character\n"
           "  --turnaround MS  pause before each reply\n"
           "  --silent         never answer\n"
           "  --pace           receive and send at the pace of 9600 baud\n"
           "  --echo           the adapter echoes: each byte the program sends comes back to it\n"
           "  --latency MS     USB adapter latency timer, 0..255: bytes reach the program in\n"
           "                   bursts at multiples of MS ms (0)\n"
           "  --log FILE       traffic log (hex, ms timestamps)\n"
           "  --link PATH      keep a symbolic link PATH to the pty (a new path, or a symbolic\n"
           "                   link, which is replaced; never a file or directory)\n"
           "  --device PATH    serve this serial device instead of a pty\n"
           "  --help           this text\n"
           "  --version        the program's version\n";
}

}  // namespace sim
