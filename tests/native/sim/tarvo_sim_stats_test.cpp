// tarvo-sim's line counters (--stats) with the paced line in both directions
// (--pace, --pace-input): every byte is counted once, under the speed it
// crossed the line at, and the answers still come whole and in order.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

template <typename Condition>
bool WaitFor(Condition condition, int maxMs = 3000) {
    for (int waited = 0; waited < maxMs; waited += 5) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

class PacedSimStats : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvo-sim-stats.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        pid_ = fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            execl(TARVO_SIM_PATH, TARVO_SIM_PATH, "--mode", "monitor", "--link", (dir_ + "/line.pty").c_str(),
                  "--log", (dir_ + "/sim.log").c_str(), "--final", (dir_ + "/sim.final").c_str(), "--control",
                  (dir_ + "/sim.ctl").c_str(), "--pace", "--pace-input", "--stats",
                  (dir_ + "/sim.stats").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        struct stat info;
        ASSERT_TRUE(WaitFor([&] { return lstat((dir_ + "/line.pty").c_str(), &info) == 0; }));
        fd_ = open((dir_ + "/line.pty").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd_, 0);
    }

    void TearDown() override {
        if (fd_ >= 0) close(fd_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }

    void SetSpeed(speed_t speed) {
        termios settings;
        tcgetattr(fd_, &settings);
        cfmakeraw(&settings);
        cfsetispeed(&settings, speed);
        cfsetospeed(&settings, speed);
        tcsetattr(fd_, TCSANOW, &settings);
    }

    // Sends a command and reads until `done` holds for what arrived (at most 3 s).
    template <typename Done>
    std::string Exchange(const std::string& command, Done done) {
        EXPECT_EQ(write(fd_, command.data(), command.size()), static_cast<ssize_t>(command.size()));
        std::string received;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done(received) && std::chrono::steady_clock::now() < deadline) {
            pollfd p = {fd_, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                char buffer[1024];
                ssize_t n = read(fd_, buffer, sizeof buffer);
                if (n > 0) received.append(buffer, static_cast<size_t>(n));
            }
        }
        return received;
    }

    std::string dir_;
    pid_t pid_ = -1;
    int fd_ = -1;
};

TEST_F(PacedSimStats, CountsEachDirectionPerSpeed) {
    SetSpeed(B115200);
    const std::string read = "r 20 80\r";
    // The whole read answer: command echo + 3 x 128 + 8 characters.
    const size_t expected = read.size() + 3 * 128 + 8;
    const std::string reply = Exchange(read, [&](const std::string& r) { return r.size() >= expected; });
    ASSERT_EQ(reply.size(), expected);
    EXPECT_EQ(reply.compare(0, read.size() + 6, read + "\n701\r\n"), 0);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/sim.stats") == "115200 8 400\n"; }))
        << ReadFile(dir_ + "/sim.stats");

    {
        std::ofstream control(dir_ + "/sim.ctl");
        control << "mode shell\nseq 1\n";
    }
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/sim.ctl.ack") == "1"; }));
    SetSpeed(B19200);
    const std::string marker = "C1: unknown command\r\nmsh>";
    const std::string shell =
        Exchange("\rC1\r", [&](const std::string& r) { return r.find(marker) != std::string::npos; });
    EXPECT_EQ(shell, "\r\nmsh>C1: unknown command\r\nmsh>");
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/sim.stats") == "19200 4 31\n115200 8 400\n"; }))
        << ReadFile(dir_ + "/sim.stats");
}

}  // namespace
