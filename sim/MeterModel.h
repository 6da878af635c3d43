#pragma once
// The measurements of a plausible three-phase installation. Instantaneous values are taken
// once a second with a little seeded noise; energies and demands integrate the nominal
// powers over the meter's running time, which stands still while the energies are frozen.

#include <array>
#include <cstdint>
#include <optional>
#include <random>

namespace sim {

// Objects of the registers the energy reset clears.
enum RegisterObject {
    EAPosPoint = 25, ERPosPoint = 26, EANegPoint = 27, ERNegPoint = 28,
    MDAPoint = 29, DAPoint = 30, MDSPoint = 31, DSPoint = 32,
};
constexpr int PointCount = 33;

class MeterModel {
public:
    MeterModel(uint32_t seed, bool noNoise);
    // Moves to wall time nowMs; the registers grow only when not frozen.
    // demandWindowMin is the integration interval of the demands (TI).
    void advance(double nowMs, bool frozen, int demandWindowMin);
    float value(int object) const;
    void fix(int object, float value);
    void resetRegister(int object);
    void setNoNoise(bool noNoise) { noNoise_ = noNoise; }

private:
    void sample();
    void grow(double dtMs, int demandWindowMin);
    double noisy(double nominal, double relative);

    std::mt19937 rng_;
    bool noNoise_;
    std::optional<double> lastMs_;
    double lastSampleMs_ = 0;
    double meterMs_ = 0;                       // running time, for the demand ramps
    std::array<float, PointCount> snapshot_{};  // instantaneous values of the last sample
    std::array<std::optional<float>, PointCount> fixed_{};
    double energy_[4];                          // EAPos, ERPos, EANeg, ERNeg
    double maxDemandP_, maxDemandS_;            // MDA, MDS
    double windowStartP_ = 0, windowStartS_ = 0;   // running time the DA and DS ramps began
    double demandP_ = 0, demandS_ = 0;            // DA, DS
};

}  // namespace sim
