#pragma once
// The measurement points of the polling cycle, in the order every cycle reads them: what each
// one is, its base unit and how it is shown. Data only, so that any front end (the window, a
// program without widgets) runs the same cycle.

#include <array>

enum class Quantity { U, I, P, Q, FP, S, Freq, EAPos, EANeg, ERPos, ERNeg, MDA, DA, MDS, DS };
enum class Phase { Total, L1, L2, L3 };

// Scaled: with a metric prefix on the unit; Fixed4 and Fixed3: four or three decimals, the
// value as the meter sends it.
enum class PointFormat { Scaled, Fixed4, Fixed3 };

struct MeterPoint {
    int object;            // read through attribute PointAttribute
    Quantity quantity;
    Phase phase;
    const char* unit;      // the base unit of a scaled value, else the unit the meter sends in
    PointFormat format;
    bool failureEndsCycle;
};

inline constexpr int PointAttribute = 3;

// The three-phase rows in the window's order (U, I, P, Q, FP, S, Freq), then objects 7 to 24,
// then the energies (25, 27, 26, 28) and the demands. A failed read of reactive power L2 is
// reported but lets the cycle go on. Inline: one array for the whole program, so a pointer into
// it means the same in every file.
inline constexpr std::array<MeterPoint, 33> PollingPoints = {{
    {0, Quantity::U, Phase::Total, "V", PointFormat::Scaled, true},
    {1, Quantity::I, Phase::Total, "A", PointFormat::Scaled, true},
    {5, Quantity::P, Phase::Total, "W", PointFormat::Scaled, true},
    {4, Quantity::Q, Phase::Total, "VAr", PointFormat::Scaled, true},
    {2, Quantity::FP, Phase::Total, "", PointFormat::Fixed4, true},
    {3, Quantity::S, Phase::Total, "VA", PointFormat::Scaled, true},
    {6, Quantity::Freq, Phase::Total, "Hz", PointFormat::Scaled, true},
    {7, Quantity::U, Phase::L1, "V", PointFormat::Scaled, true},
    {8, Quantity::U, Phase::L2, "V", PointFormat::Scaled, true},
    {9, Quantity::U, Phase::L3, "V", PointFormat::Scaled, true},
    {10, Quantity::I, Phase::L1, "A", PointFormat::Scaled, true},
    {11, Quantity::I, Phase::L2, "A", PointFormat::Scaled, true},
    {12, Quantity::I, Phase::L3, "A", PointFormat::Scaled, true},
    {13, Quantity::P, Phase::L1, "W", PointFormat::Scaled, true},
    {14, Quantity::P, Phase::L2, "W", PointFormat::Scaled, true},
    {15, Quantity::P, Phase::L3, "W", PointFormat::Scaled, true},
    {16, Quantity::Q, Phase::L1, "VAr", PointFormat::Scaled, true},
    {17, Quantity::Q, Phase::L2, "VAr", PointFormat::Scaled, false},
    {18, Quantity::Q, Phase::L3, "VAr", PointFormat::Scaled, true},
    {19, Quantity::S, Phase::L1, "VA", PointFormat::Scaled, true},
    {20, Quantity::S, Phase::L2, "VA", PointFormat::Scaled, true},
    {21, Quantity::S, Phase::L3, "VA", PointFormat::Scaled, true},
    {22, Quantity::FP, Phase::L1, "", PointFormat::Fixed4, true},
    {23, Quantity::FP, Phase::L2, "", PointFormat::Fixed4, true},
    {24, Quantity::FP, Phase::L3, "", PointFormat::Fixed4, true},
    {25, Quantity::EAPos, Phase::Total, "kWh", PointFormat::Fixed3, true},
    {27, Quantity::EANeg, Phase::Total, "kWh", PointFormat::Fixed3, true},
    {26, Quantity::ERPos, Phase::Total, "kVArh", PointFormat::Fixed3, true},
    {28, Quantity::ERNeg, Phase::Total, "kVArh", PointFormat::Fixed3, true},
    {29, Quantity::MDA, Phase::Total, "kW", PointFormat::Fixed3, true},
    {30, Quantity::DA, Phase::Total, "kW", PointFormat::Fixed3, true},
    {31, Quantity::MDS, Phase::Total, "kVA", PointFormat::Fixed3, true},
    {32, Quantity::DS, Phase::Total, "kVA", PointFormat::Fixed3, true},
}};
