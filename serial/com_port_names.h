#pragma once

#include <cstddef>
#include <cstdint>

// COM port numbers from the system's list of DOS device names, and the text
// the port combo shows for them.
namespace quarnel {

// Walks a list of NUL-terminated names ended by an empty name (at most size
// bytes) and stores n for every "COM<n>" name, in the system's order, until
// capacity entries are stored; then sorts them ascending. Returns the count.
int CollectComPorts(const char* names, size_t size, uint16_t* ports, int capacity);

// Ascending selection sort (the earliest of equal values is taken first).
void SortPortNumbers(uint16_t* ports, int count);

// Highest port the combo offers.
constexpr uint16_t kMaxComboPort = 30;

// "COM<n>" for the port combo; false (text untouched) for a port above kMaxComboPort.
bool PortComboItem(uint16_t port, char (&text)[12]);

}  // namespace quarnel
