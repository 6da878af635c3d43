#pragma once
// The link's two frame dialects, built in fixed areas. A builder never writes past its area:
// a frame that does not fit is marked, and the link refuses to send it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

template <size_t Capacity>
class FrameArea {
public:
    void put(uint8_t byte)
    {
        if (length_ < Capacity)
            bytes_[length_++] = byte;
        else
            fits_ = false;
    }
    bool fits() const { return fits_; }
    std::span<const uint8_t> bytes() const { return std::span(bytes_).first(length_); }

private:
    std::array<uint8_t, Capacity> bytes_{};
    size_t length_ = 0;
    bool fits_ = true;
};

// '>' address command fields checksum CR, every byte after '>' as upper-case hex text.
class N2Frame {
public:
    static constexpr size_t Capacity = 16;   // the longest request, a two-byte write command

    N2Frame(int address, const char* command);
    void addHex(int value);   // the low 8 bits, as two digits
    void finish();            // the checksum of everything after '>', then CR
    bool fits() const { return area_.fits(); }
    std::span<const uint8_t> bytes() const { return area_.bytes(); }

private:
    FrameArea<Capacity> area_;
};

// '!' serial number (most significant byte first) operation digit fields CR, all raw bytes.
class CfgFrame {
public:
    static constexpr size_t Capacity = 256;

    CfgFrame(uint32_t serialNumber, char operation, char digit);
    void add(uint8_t byte) { area_.put(byte); }
    void finish();
    bool fits() const { return area_.fits(); }
    std::span<const uint8_t> bytes() const { return area_.bytes(); }

private:
    FrameArea<Capacity> area_;
};
