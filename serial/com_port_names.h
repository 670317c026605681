#pragma once

#include <cstddef>
#include <cstdint>

// COM port numbers from the system's list of DOS device names.
namespace quarnel {

// Walks a list of NUL-terminated names ended by an empty name (at most size
// bytes) and stores n for every "COM<n>" name, in the system's order, until
// capacity entries are stored; then sorts them ascending. Returns the count.
int CollectComPorts(const char* names, size_t size, uint16_t* ports, int capacity);

}  // namespace quarnel
