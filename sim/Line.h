#pragma once
// The simulator's end of the line: a new pseudo-terminal or a real serial device, raw, 9600 8N1.

#include <cstdint>
#include <string>

namespace sim {

struct LineEnds {
    int fd = -1;          // the meter reads and writes here (pty master or the device)
    int holdFd = -1;      // the slave side, held open so the master never sees a hang-up
    std::string path;     // what the program opens
};

// Both throw std::system_error.
LineEnds OpenPty();
LineEnds OpenDevice(const std::string& devicePath);
void CloseLine(LineEnds& ends);

// Writes all bytes, waiting at most timeoutMs for room; false when they could not be written.
bool WriteAll(int fd, const uint8_t* bytes, size_t length, int timeoutMs);

// Why linkPath cannot hold the link: empty when nothing or a symbolic link is there, else what
// is there. Only a symbolic link is ever replaced, so no file or directory is lost.
std::string LinkPathRefusal(const std::string& linkPath);
// Points linkPath at target, replacing a symbolic link that was there (atomically); throws when
// LinkPathRefusal refuses the path.
void PlaceLink(const std::string& linkPath, const std::string& target);
// Removes linkPath if it still points at target (a newer simulator may own it by now).
void RemoveLink(const std::string& linkPath, const std::string& target);

}  // namespace sim
