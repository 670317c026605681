// The converter block as text (960 hex digits) and the block a fresh
// simulated converter holds.
#pragma once

#include <cstdint>
#include <string>

namespace tarvosim {

// Upper-case hex, two digits per byte, no separators, as the shell dumps it.
std::string FormatBlockHex(const uint8_t* block);
// Exactly 960 hex digits; white space anywhere is skipped. False (and the
// block untouched) on any other character or count.
bool ParseBlockHex(const std::string& text, uint8_t* block);
// A wireless converter, model 9, firmware 2.5B, MAC 02:1F:A0:00:0B:FF,
// 192.168.1.50/255.255.255.0.
void FillRealisticBlock(uint8_t* block);

}  // namespace tarvosim
