// The tarvo-sim executable on its pty: answers, speed refusal, control file,
// log, final block and the line counters of the paced line. Waits are
// bounded polls on the real process.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <initializer_list>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

template <typename Condition>
bool WaitFor(Condition condition, int maxMs = 3000) {
    for (int waited = 0; waited < maxMs && !condition(); waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return condition();
}

class TarvoSimProcess : public ::testing::Test {
protected:
    void Start(std::initializer_list<const char*> extra) {
        char pattern[] = "/tmp/tarvo-sim-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::vector<std::string> args = {TARVO_SIM_PATH, "--mode", "monitor", "--link", dir_ + "/COM3.pty",
                                          "--log", dir_ + "/COM3.log", "--final", dir_ + "/COM3.final",
                                          "--control", dir_ + "/COM3.ctl", "--pace"};
        for (const char* a : extra) args.push_back(a == std::string("STATS") ? dir_ + "/COM3.stats" : a);
        pid_ = fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            dup2(open("/dev/null", O_WRONLY), 1);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(TARVO_SIM_PATH, argv.data());
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

    void Control(const std::string& lines, const char* seq) {
        std::ofstream(dir_ + "/COM3.ctl") << lines << "seq " << seq << "\n";
        ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.ctl.ack") == seq; }));
    }

    // Sends `command` and reads until `marker` has arrived or at least
    // `length` characters have, for at most three seconds.
    void Send(const std::string& text) {
        EXPECT_EQ(write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    std::string Exchange(const std::string& command, const std::string& marker, size_t length = 0) {
        Send(command);
        std::string received;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while ((marker.empty() || received.find(marker) == std::string::npos) &&
               (length == 0 || received.size() < length) && std::chrono::steady_clock::now() < deadline) {
            pollfd p = {fd_, POLLIN, 0};
            char buffer[1024];
            ssize_t n = poll(&p, 1, 20) > 0 ? read(fd_, buffer, sizeof buffer) : 0;
            if (n > 0) received.append(buffer, static_cast<size_t>(n));
        }
        return received;
    }

    std::string dir_;
    pid_t pid_ = -1;
    int fd_ = -1;
};

TEST_F(TarvoSimProcess, AnswersRefusesWrongSpeedFollowsControlAndKeepsFiles) {
    Start({});
    EXPECT_NE(Exchange("r\r", "00 \r\n").find("00 \r\n"), std::string::npos);

    // At the shell's speed the monitor hears only noise: the next answer is
    // the one to the read that follows at its own speed.
    SetSpeed(B19200);
    Send("r\r");
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.log").find("19200 r\\r") != std::string::npos; }));
    SetSpeed(B115200);
    const std::string expected = "r 24 04\r\n701\r\n02 1f a0 00 \r\n";  // the MAC's first bytes
    EXPECT_EQ(Exchange("r 24 04\r", expected), expected);

    Control("mode shell\n", "7");
    SetSpeed(B19200);
    EXPECT_NE(Exchange("\rC1\r", "C1: unknown command\r\nmsh>").find("C1: unknown command\r\nmsh>"), std::string::npos);
    EXPECT_NE(Exchange("env xconfig\rL0\rWH 020 ab\rC0\r", "@761").find("@761"), std::string::npos);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.final").substr(64, 2) == "AB"; }));

    kill(pid_, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid_, &status, 0), pid_);
    pid_ = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFile(dir_ + "/COM3.final").size(), 961u);
    const std::string log = ReadFile(dir_ + "/COM3.log");
    EXPECT_EQ(log.compare(0, 11, "115200 r\\r\n"), 0) << log;
    EXPECT_NE(log.find("19200 \\r\n19200 C1\\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("19200 WH 020 ab\\r\n"), std::string::npos) << log;
}

// With the input paced too, every byte is counted once under the speed it
// crossed the line at, and the answers still come whole and in order.
TEST_F(TarvoSimProcess, PacedLineCountsEachDirectionPerSpeed) {
    Start({"--pace-input", "--stats", "STATS"});
    const std::string read = "r 20 80\r";
    const std::string reply = Exchange(read, "", read.size() + 3 * 128 + 8);  // echo, 3 x 128, 8
    ASSERT_EQ(reply.size(), read.size() + 3 * 128 + 8);
    EXPECT_EQ(reply.compare(0, read.size() + 6, read + "\n701\r\n"), 0);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.stats") == "115200 8 400\n"; }))
        << ReadFile(dir_ + "/COM3.stats");

    Control("mode shell\n", "1");
    SetSpeed(B19200);
    EXPECT_EQ(Exchange("\rC1\r", "C1: unknown command\r\nmsh>"), "\r\nmsh>C1: unknown command\r\nmsh>");
    ASSERT_TRUE(WaitFor([&] { return ReadFile(dir_ + "/COM3.stats") == "19200 4 31\n115200 8 400\n"; }))
        << ReadFile(dir_ + "/COM3.stats");
}

}  // namespace
