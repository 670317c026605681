#pragma once

// A converter session of the real program: records to put into a simulated
// converter, opening a port and reading a record into the window.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "envrecord/env_record.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/sim_files.h"

namespace e2e {

// A wireless converter like the simulator's own: model 9, firmware 2.5B,
// long limits and XON/XOFF offered, permitted IP, remote search and comment;
// T2S, 192.168.1.50/24, Local Port 1470, time-out 0, water mark 1,
// Infrastructure on channel 6, SSID "TARVO-NET", comment "Line 4 converter".
quarnel::EnvRecord Model9Record();

std::vector<uint8_t> BlockOf(const quarnel::EnvRecord& record);
// The record of a 480-byte block; all zero for any other size.
quarnel::EnvRecord RecordOf(const std::vector<uint8_t>& block);

// The MAC label's text for a record ("02:1F:A0:00:0B:FF").
std::string MacText(const quarnel::EnvRecord& record);

int IndexOfPort(AppDriver& app, const std::string& name);
// Selects the port, presses Open and waits until Read can be pressed.
bool OpenPort(AppDriver& app, const std::string& name, DWORD timeoutMs);

// Gives the converter behind `sim` the record (its console in `mode`), presses
// Read and waits until the window shows it and the progress window is gone.
// The record's MAC gets a fresh last byte, so that a second read in the same
// run is told apart from the first.
bool ReadRecord(AppDriver& app, SimFiles& sim, const std::string& mode, quarnel::EnvRecord record,
                DWORD timeoutMs);

// Presses Write and waits until the converter holds a block for which `done`
// is true and the progress window is gone.
bool WriteAndWait(AppDriver& app, SimFiles& sim, bool (*done)(const quarnel::EnvRecord& written),
                  DWORD timeoutMs);

}  // namespace e2e
