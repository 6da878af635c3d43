#include "sim/MeterCore.h"
#include "sim/MeterImpl.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {
// Parameter block: TP 1.0, TC 5.0, KE 1000, TL 10, TI 15.
constexpr uint8_t DefaultParameters[12] = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0xA0, 0x40,
                                           0xE8, 0x03, 0x0A, 0x0F};
// Calibration block: KU 0.98764, KI 1.0, then CAL_I3, CAL_U3 ... CAL_U1 close to 1.
constexpr uint8_t DefaultCalibration[18] = {0x7E, 0x7C, 0xD6, 0x7F, 0x00, 0x00,
                                            0x09, 0x10, 0xF2, 0x0F, 0x04, 0x10,
                                            0xFB, 0x0F, 0x0C, 0x10, 0xF7, 0x0F};
constexpr int TiByte = 11;
// Characters that a decoder must refuse as hex digits.
constexpr char NonHex[] = "GHJKXZabcdef?";

// Positions of the fields the program decodes, for the replies that have any.
std::vector<size_t> fieldPositions(const Bytes& reply)
{
    std::vector<size_t> positions;
    if (reply.empty() || reply[0] != 'A')
        return positions;
    if (reply.size() == 28) {
        for (size_t i = 9; i <= 16; ++i)
            positions.push_back(i);
        for (size_t i = 21; i <= 24; ++i)
            positions.push_back(i);
    } else if (reply.size() == 14) {
        for (size_t i = 3; i <= 10; ++i)
            positions.push_back(i);
    }
    return positions;
}
}  // namespace

MeterCore::Impl::Impl(const MeterSettings& s)
    : settings(s), applied(s), model(s.seed, s.noNoise), faultRng(s.seed ^ 0x5EEDFA17u)
{
    state.address = s.address;
    state.serialNumber = s.serialNumber;
    state.statusCode = s.statusCode;
    state.jumperInstalled = s.jumperInstalled;
    state.startCounter = s.startCounter;
    std::memcpy(state.bank1, DefaultCalibration, sizeof DefaultCalibration);
    std::memcpy(state.bank2, DefaultParameters, sizeof DefaultParameters);
    for (int k = 0; k < PointCount; ++k)
        state.points[k] = model.value(k);
}

void MeterCore::Impl::syncSettings()
{
    if (settings.address != applied.address)
        state.address = settings.address;
    if (settings.serialNumber != applied.serialNumber)
        state.serialNumber = settings.serialNumber;
    if (settings.statusCode != applied.statusCode)
        state.statusCode = settings.statusCode;
    if (settings.jumperInstalled != applied.jumperInstalled)
        state.jumperInstalled = settings.jumperInstalled;
    if (settings.startCounter != applied.startCounter)
        state.startCounter = settings.startCounter;
    model.setNoNoise(settings.noNoise);
    applied = settings;
}

void MeterCore::Impl::refreshPoints(double nowMs)
{
    model.advance(nowMs, settings.frozenEnergies, state.bank2[TiByte]);
    for (int k = 0; k < PointCount; ++k)
        state.points[k] = model.value(k);
}

Bytes MeterCore::Impl::answer(const Frame& frame)
{
    return frame.kind == FrameKind::N2 ? answerN2(frame.bytes) : answerConfig(frame.bytes);
}

bool MeterCore::Impl::injectFaults(Bytes& reply)
{
    const Faults& f = settings.faults;
    std::uniform_real_distribution<double> share(0.0, 1.0);
    if (f.silent) {
        reply.clear();
        return true;
    }
    if (f.dropRate > 0 && share(faultRng) < f.dropRate) {
        reply.clear();
        return true;
    }
    if (f.cutRate > 0 && reply.size() > 1 && share(faultRng) < f.cutRate) {
        std::uniform_int_distribution<size_t> keep(1, reply.size() - 1);
        reply.resize(keep(faultRng));
        return true;
    }
    const std::vector<size_t> fields = fieldPositions(reply);
    if (f.garbleRate > 0 && !fields.empty() && share(faultRng) < f.garbleRate) {
        std::uniform_int_distribution<size_t> where(0, fields.size() - 1);
        std::uniform_int_distribution<size_t> what(0, sizeof NonHex - 2);
        reply[fields[where(faultRng)]] = static_cast<uint8_t>(NonHex[what(faultRng)]);
        return true;
    }
    return false;
}

MeterCore::MeterCore(const MeterSettings& settings) : impl_(std::make_shared<Impl>(settings)) {}

std::vector<Bytes> MeterCore::feed(const uint8_t* bytes, size_t length, double nowMs)
{
    Impl& m = *impl_;
    std::vector<Bytes> replies;
    std::vector<Frame> frames;
    for (size_t i = 0; i < length; ++i) {
        m.syncSettings();
        frames.clear();
        m.splitter.push(bytes[i], frames);
        for (const Frame& frame : frames) {
            m.refreshPoints(nowMs);
            Bytes reply = m.answer(frame);
            bool fault = false;
            if (!reply.empty() && m.injectFaults(reply)) {
                fault = true;
                ++m.state.injectedFaults;
            }
            m.exchanges.push_back({nowMs, frame.bytes, reply, fault});
            if (!reply.empty())
                replies.push_back(std::move(reply));
        }
    }
    return replies;
}

const MeterState& MeterCore::state() const { return impl_->state; }
MeterState& MeterCore::state() { return impl_->state; }
const std::vector<Exchange>& MeterCore::exchanges() const { return impl_->exchanges; }
void MeterCore::clearExchanges() { impl_->exchanges.clear(); }
MeterSettings& MeterCore::settings() { return impl_->settings; }

void MeterCore::setPoint(int object, float value)
{
    impl_->model.fix(object, value);
    if (object >= 0 && object < PointCount)
        impl_->state.points[object] = value;
}

}  // namespace sim
