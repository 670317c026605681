#pragma once

// Runs the real quarnel-cli.exe from a test under Wine, as a script would.

#include <string>

namespace e2e {

struct CliResult {
  int status = -1;     // exit status; -1 when it did not start or end within a minute
  std::string output;  // what it wrote on stdout
};

// quarnel-cli.exe with `arguments` (quoted as a command line takes them);
// its stderr goes to this test's own.
CliResult RunCliExe(const std::string& arguments);

}  // namespace e2e
