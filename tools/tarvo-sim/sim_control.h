// The simulator's control file: lines that reconfigure a running simulator,
// so a test on the other side of the serial line can set up each case.
//
//   mode monitor|shell|silent
//   fault none|KIND[:N][,...]   (kinds as ParseFault takes them; all apply)
//   block <960 hex digits>
//   unplug                       (the device vanishes: the pty is closed for good)
//   seq N                        (echoed to FILE.ack once the rest is applied)
#pragma once

#include "converter_model.h"

#include <string>

namespace tarvosim {

struct ControlResult {
    bool hasSeq = false;
    std::string seq;
    bool unplug = false;
    int rejectedLines = 0;  // lines that were not understood and were skipped
};

ControlResult ApplyControl(const std::string& content, ConverterModel& model);

// A received line as one log line: \r, \n, \t, \\ and \0 escaped, other
// control bytes as \xHH.
std::string EscapeForLog(const std::string& text);

}  // namespace tarvosim
