#include "tests/native/cli/sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace clitest {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/quarnel-test.XXXXXX";
    if (mkdtemp(pattern) != nullptr) dir_ = pattern;
}

TempFolder::~TempFolder() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
}

std::string TempFolder::Write(const std::string& name, const std::string& text) const {
    std::ofstream(Path(name), std::ios::binary) << text;
    return Path(name);
}

SimProcess::SimProcess(const std::string& mode, const std::string& fault, const std::vector<uint8_t>& block) {
    std::vector<std::string> args = {TARVO_SIM_PATH, "--mode",  mode,          "--link",    File("line"), "--log",
                                     File("log"),    "--final", File("final"), "--control", File("ctl")};
    if (!fault.empty()) args.push_back("--fault=" + fault);
    if (!block.empty()) {
        std::string hex;
        for (uint8_t byte : block) hex += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
        args.push_back("--block=" + files_.Write("block", hex));
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(open("/dev/null", O_WRONLY), 1);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(TARVO_SIM_PATH, argv.data());
        _exit(127);
    }
    for (int waited = 0; waited < 3000 && pid_ > 0 && port_.empty(); waited += 5) {
        char target[256] = {};
        const ssize_t n = readlink(File("line").c_str(), target, sizeof target - 1);
        if (n > 0)
            port_.assign(target, static_cast<size_t>(n));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

SimProcess::~SimProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

std::vector<uint8_t> SimProcess::Block() const {
    const std::string text = ReadFile(File("final"));
    std::vector<uint8_t> block;
    for (size_t i = 0; i + 1 < text.size() && text[i] != '\n'; i += 2)
        block.push_back(static_cast<uint8_t>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
    if (block.size() != 480) block.clear();
    return block;
}

size_t SimProcess::LoggedLines() const {
    const std::string log = ReadFile(File("log"));
    size_t lines = 0;
    for (char c : log) lines += c == '\n';
    return lines;
}

bool SimProcess::SawWrite() const {
    const std::string log = ReadFile(File("log"));
    return log.find(" !w ") != std::string::npos || log.find(" WH ") != std::string::npos;
}

}  // namespace clitest
