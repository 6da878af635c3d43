#pragma once
// The port's life under the link: the last open and why it failed, in the person's words;
// a port that is not open opened again by the next request, at most once a second; a port
// whose device went away closed at once. It shows nothing itself: the window watches it.

#include <QString>
#include <cstdint>
#include <functional>

class SerialLine;

struct N2PortStatus {
    bool open = false;
    QString portName;     // "COM1"
    QString devicePath;   // what the name meant at its open by name
    // Empty while open, else "not found", "no permission", "in use", "not open" or "lost".
    QString reason;
    // Empty while open, else the whole story with the device and what to do, e.g.
    // "COM1 (/dev/ttyUSB0): no permission. Add your user to the dialout group and log in again."
    QString sentence;
};

const N2PortStatus& N2CurrentPortStatus();

// Hears every open by name, and every change a request brings: a lost device, a port open
// again, a different reason. nullptr stops the watching.
void N2WatchPort(std::function<void(const N2PortStatus&)> watcher);

// For the link's own operations.
struct PortSettings {
    int baudRate = 9600;
    uint8_t byteSize = 8;
    uint8_t stopBits = 0;
    uint8_t parity = 0;
};

// Opens by name (start-up, the port dialog): 1, or -1 when the device cannot be opened.
int PortOpen(SerialLine& line, const QString& portName, const QString& devicePath, const PortSettings& settings);
// Closes on purpose: no request opens it again until the next open by name.
int PortClose(SerialLine& line);
// Before a request: opens the wanted port again if it is not open and its last try is a second old.
void PortReopenIfDue(SerialLine& line);
// After a send or a read: true when the line reported a line error or a hang-up; a hang-up
// closes the port at once, which frees the device for its return under the same name.
bool PortFaulted(SerialLine& line);
