#include "sim/MeterModel.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
constexpr double NominalU[3] = {220.1, 219.6, 220.8};
constexpr double NominalI[3] = {5.00, 4.70, 5.30};
constexpr double NominalFp[3] = {0.92, 0.88, 0.95};
constexpr double NominalHz = 60.0;
constexpr double SampleMs = 1000;
constexpr double MsPerHour = 3600e3;
// Negative energy flows back now and then: a small share of the positive one.
constexpr double BackflowShare = 0.002;

double nominalPowerKw(bool apparent)
{
    double sum = 0;
    for (int k = 0; k < 3; ++k)
        sum += NominalU[k] * NominalI[k] * (apparent ? 1.0 : NominalFp[k]);
    return sum / 1000;
}

double reactiveKvar()
{
    double sum = 0;
    for (int k = 0; k < 3; ++k) {
        const double s = NominalU[k] * NominalI[k];
        sum += std::sqrt(s * s - std::pow(s * NominalFp[k], 2));
    }
    return sum / 1000;
}
}  // namespace

MeterModel::MeterModel(uint32_t seed, bool noNoise)
    : rng_(seed), noNoise_(noNoise), energy_{1523.417, 412.885, 3.210, 1.044},
      maxDemandP_(3.512), maxDemandS_(3.705)
{
    sample();
}

double MeterModel::noisy(double nominal, double relative)
{
    if (noNoise_)
        return nominal;
    std::normal_distribution<double> noise(0.0, relative);
    return nominal * (1.0 + noise(rng_));
}

void MeterModel::sample()
{
    double p = 0, q = 0, s = 0, u = 0, i = 0;
    for (int k = 0; k < 3; ++k) {
        const double uk = noisy(NominalU[k], 0.001);
        const double ik = noisy(NominalI[k], 0.002);
        const double fpk = std::clamp(noisy(NominalFp[k], 0.002), 0.0, 1.0);
        const double sk = uk * ik;
        const double pk = sk * fpk;
        const double qk = std::sqrt(std::max(0.0, sk * sk - pk * pk));
        snapshot_[7 + k] = static_cast<float>(uk);
        snapshot_[10 + k] = static_cast<float>(ik);
        snapshot_[13 + k] = static_cast<float>(pk);
        snapshot_[16 + k] = static_cast<float>(qk);
        snapshot_[19 + k] = static_cast<float>(sk);
        snapshot_[22 + k] = static_cast<float>(fpk);
        p += pk; q += qk; s += sk; u += uk; i += ik;
    }
    // Three-phase voltage and current are the phase averages; powers are the sums.
    snapshot_[0] = static_cast<float>(u / 3);
    snapshot_[1] = static_cast<float>(i / 3);
    snapshot_[2] = static_cast<float>(p / s);
    snapshot_[3] = static_cast<float>(s);
    snapshot_[4] = static_cast<float>(q);
    snapshot_[5] = static_cast<float>(p);
    snapshot_[6] = static_cast<float>(noisy(NominalHz, 0.0002));
}

void MeterModel::advance(double nowMs, bool frozen, int demandWindowMin)
{
    if (!lastMs_) {
        lastMs_ = nowMs;
        lastSampleMs_ = nowMs;
        return;
    }
    const double dt = std::max(0.0, nowMs - *lastMs_);
    lastMs_ = nowMs;
    if (nowMs - lastSampleMs_ >= SampleMs) {
        sample();
        lastSampleMs_ = nowMs;
    }
    if (!frozen)
        grow(dt, demandWindowMin);
}

void MeterModel::grow(double dtMs, int demandWindowMin)
{
    const double p = nominalPowerKw(false), s = nominalPowerKw(true), q = reactiveKvar();
    const double hours = dtMs / MsPerHour;
    energy_[0] += p * hours;
    energy_[1] += q * hours;
    energy_[2] += p * BackflowShare * hours;
    energy_[3] += q * BackflowShare * hours;
    meterMs_ += dtMs;
    // A demand rises over its window towards the mean power and starts again at the next one.
    const double windowMs = std::max(1, demandWindowMin) * 60e3;
    if (meterMs_ - windowStartP_ >= windowMs)
        windowStartP_ = meterMs_;
    if (meterMs_ - windowStartS_ >= windowMs)
        windowStartS_ = meterMs_;
    demandP_ = p * (meterMs_ - windowStartP_) / windowMs;
    demandS_ = s * (meterMs_ - windowStartS_) / windowMs;
    maxDemandP_ = std::max(maxDemandP_, demandP_);
    maxDemandS_ = std::max(maxDemandS_, demandS_);
}

float MeterModel::value(int object) const
{
    if (object < 0 || object >= PointCount)
        return 0;
    if (fixed_[object])
        return *fixed_[object];
    switch (object) {
    case EAPosPoint: return static_cast<float>(energy_[0]);
    case ERPosPoint: return static_cast<float>(energy_[1]);
    case EANegPoint: return static_cast<float>(energy_[2]);
    case ERNegPoint: return static_cast<float>(energy_[3]);
    case MDAPoint: return static_cast<float>(maxDemandP_);
    case DAPoint: return static_cast<float>(demandP_);
    case MDSPoint: return static_cast<float>(maxDemandS_);
    case DSPoint: return static_cast<float>(demandS_);
    default: return snapshot_[object];
    }
}

void MeterModel::fix(int object, float value)
{
    if (object >= 0 && object < PointCount)
        fixed_[object] = value;
}

void MeterModel::resetRegister(int object)
{
    if (object >= 0 && object < PointCount && fixed_[object])
        fixed_[object] = 0.0f;
    switch (object) {
    case EAPosPoint: energy_[0] = 0; break;
    case ERPosPoint: energy_[1] = 0; break;
    case EANegPoint: energy_[2] = 0; break;
    case ERNegPoint: energy_[3] = 0; break;
    case MDAPoint: maxDemandP_ = 0; break;
    case DAPoint: demandP_ = 0; windowStartP_ = meterMs_; break;
    case MDSPoint: maxDemandS_ = 0; break;
    case DSPoint: demandS_ = 0; windowStartS_ = meterMs_; break;
    default: break;
    }
}

}  // namespace sim
