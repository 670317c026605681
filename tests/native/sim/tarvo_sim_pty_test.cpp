// The tarvo-sim executable on its pty: answers, speed refusal, control file,
// log and final block. Waits are bounded polls on the real process.
#include <gtest/gtest.h>

#include <cerrno>
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

class TarvoSimProcess : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvo-sim-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        pid_ = fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            execl(TARVO_SIM_PATH, TARVO_SIM_PATH, "--mode", "monitor", "--link", (dir_ + "/COM3.pty").c_str(),
                  "--log", (dir_ + "/COM3.log").c_str(), "--final", (dir_ + "/COM3.final").c_str(), "--control",
                  (dir_ + "/COM3.ctl").c_str(), "--pace", static_cast<char*>(nullptr));
            _exit(127);
        }
        struct stat info;
        ASSERT_TRUE(WaitFor([&] { return lstat((dir_ + "/COM3.pty").c_str(), &info) == 0; }));
        fd_ = open((dir_ + "/COM3.pty").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd_, 0);
        SetSpeed(B115200);
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

    void Send(const std::string& text) {
        ASSERT_EQ(write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Reads until `marker` has arrived, for at most maxMs.
    std::string ReadUntil(const std::string& marker, int maxMs = 3000) {
        std::string received;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
        while (received.find(marker) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
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

TEST_F(TarvoSimProcess, AnswersRefusesWrongSpeedFollowsControlAndKeepsFiles) {
    Send("r\r");
    EXPECT_NE(ReadUntil("00 \r\n").find("00 \r\n"), std::string::npos);

    // At the shell's speed the monitor hears only noise: the next answer is
    // the one to the read that follows at its own speed.
    SetSpeed(B19200);
    Send("r\r");
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.log").find("19200 r\\r") != std::string::npos; }));
    SetSpeed(B115200);
    Send("r 24 04\r");
    const std::string expected = "r 24 04\r\n701\r\n02 1f a0 00 \r\n";  // the MAC's first bytes
    EXPECT_EQ(ReadUntil(expected), expected);

    {
        std::ofstream control(dir_ + "/COM3.ctl");
        control << "mode shell\nseq 7\n";
    }
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.ctl.ack") == "7"; }));
    SetSpeed(B19200);
    Send("\rC1\r");
    EXPECT_NE(ReadUntil("msh>C1: unknown command\r\nmsh>").find("C1: unknown command\r\nmsh>"), std::string::npos);
    Send("env xconfig\rL0\rWH 020 ab\rC0\r");
    EXPECT_NE(ReadUntil("@761").find("@761"), std::string::npos);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.final").substr(64, 2) == "AB"; }));

    kill(pid_, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid_, &status, 0), pid_);
    pid_ = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::string final = ReadFile(dir_ + "/COM3.final");
    EXPECT_EQ(final.size(), 961u);
    std::string log = ReadFile(dir_ + "/COM3.log");
    const std::string first = "115200 r\\r\n";
    EXPECT_EQ(log.compare(0, first.size(), first), 0) << log;
    EXPECT_NE(log.find("19200 \\r\n19200 C1\\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("19200 WH 020 ab\\r\n"), std::string::npos) << log;
}

}  // namespace
