#pragma once

// Runs the real quarnel-cli.exe from a test under Wine, as a script would.

#include <string>

namespace e2e {

// quarnel-cli.exe with `arguments` (quoted as a command line takes them),
// writing to this test's own output; its exit status, or -1 when it did not
// start or end within a minute.
int RunCliExe(const std::string& arguments);

}  // namespace e2e
