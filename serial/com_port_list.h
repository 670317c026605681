#pragma once

#include <cstdint>

// The COM ports present on this workstation (Win32 only).
namespace quarnel {

// The most COM ports the program lists, and the highest COMn it probes for:
// the main window's port list, its template's port names and the command
// line's `ports` all stop here. The system numbers ports up to COM256 unless
// told otherwise, and adapters plugged in one after another climb well past
// COM30.
constexpr int MAX_COM_PORTS = 256;

// Fills ports[0..count-1] with the n of each COMn device, ascending, at most
// capacity of them. Asks the system for its DOS device names, or, where that
// facility is missing or fails, probes the ports with ProbeComPorts.
int ComPortList(uint16_t* ports, int capacity);

// Tries to open \\.\COM1 up to \\.\COM<capacity> and lists those that open
// (a port another program holds is left out).
int ProbeComPorts(uint16_t* ports, int capacity);

}  // namespace quarnel
