// Runs the real quarnel-cli for a test, as a user would.
#pragma once

#include <string>
#include <vector>

namespace clitest {

struct CliRun {
    int status = -1;
    std::string errors;  // stderr
    std::string output;  // stdout
};

// Runs quarnel-cli with `args` and `input` on its stdin. With
// `interruptAfter` > 0, sends it SIGINT (Ctrl-C) that many seconds after start.
// Where the runs keep their automatic backups: a folder of the test
// process's own.
std::string BackupsFolder();

CliRun RunCli(const std::vector<std::string>& args, const std::string& input = "", double interruptAfter = 0);

}  // namespace clitest
