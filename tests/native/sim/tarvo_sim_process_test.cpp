// The tarvo-sim executable on its pty: answers, control file, log, final
// block and the line counters of the paced line. Waits are bounded polls on
// the real process. (The console's rules are tested on the model.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "tests/native/cli/sim_process.h"

namespace {

using clitest::ReadFile;
using clitest::SimProcess;

template <typename Condition>
bool WaitFor(Condition condition) {
    for (int waited = 0; waited < 3000 && !condition(); waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return condition();
}

// The far end of the simulator's line, as the program's serial port sees it.
class Line {
public:
    explicit Line(const SimProcess& sim) : sim_(sim), fd_(open(sim.Port().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        SetSpeed(B115200);
    }
    ~Line() { close(fd_); }
    void SetSpeed(speed_t speed) {
        termios settings;
        tcgetattr(fd_, &settings);
        cfmakeraw(&settings);
        cfsetispeed(&settings, speed);
        cfsetospeed(&settings, speed);
        tcsetattr(fd_, TCSANOW, &settings);
    }
    void Send(const std::string& text) {
        EXPECT_EQ(write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Sends `command` and reads until `marker` or `length` characters have
    // arrived, for at most three seconds.
    std::string Exchange(const std::string& command, const std::string& marker, size_t length = 0) {
        Send(command);
        std::string received;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while ((marker.empty() || received.find(marker) == std::string::npos) &&
               (length == 0 || received.size() < length) && std::chrono::steady_clock::now() < deadline) {
            pollfd p = {fd_, POLLIN, 0};
            char buffer[1024];
            const ssize_t n = poll(&p, 1, 20) > 0 ? read(fd_, buffer, sizeof buffer) : 0;
            if (n > 0) received.append(buffer, static_cast<size_t>(n));
        }
        return received;
    }
    void Control(const std::string& lines, const char* seq) {
        std::ofstream(sim_.File("ctl")) << lines << "seq " << seq << "\n";
        ASSERT_TRUE(WaitFor([&] { return ReadFile(sim_.File("ctl.ack")) == seq; }));
    }

private:
    const SimProcess& sim_;
    int fd_;
};

// With the line paced both ways, every byte is counted once under the speed
// it crossed the line at, and the answers still come whole and in order.
TEST(TarvoSimProcess, AnswersFollowsControlCountsAndKeepsFiles) {
    SimProcess sim("monitor", "", {}, {"--pace", "--pace-input", "--stats", "@stats"});
    ASSERT_TRUE(sim.Started());
    Line line(sim);
    const std::string read = "r 20 80\r";
    const std::string reply = line.Exchange(read, "", read.size() + 3 * 128 + 8);  // echo, 3 x 128, 8
    ASSERT_EQ(reply.size(), read.size() + 3 * 128 + 8);
    EXPECT_EQ(reply.compare(0, read.size() + 6, read + "\n701\r\n"), 0);

    const std::string expected = "r 24 04\r\n701\r\n02 1f a0 00 \r\n";  // the MAC's first bytes
    EXPECT_EQ(line.Exchange("r 24 04\r", expected), expected);

    line.Control("mode shell\n", "7");
    line.SetSpeed(B19200);
    EXPECT_EQ(line.Exchange("\rC1\r", "C1: unknown command\r\nmsh>"), "\r\nmsh>C1: unknown command\r\nmsh>");
    const std::string stats = sim.File("stats");
    ASSERT_TRUE(WaitFor([&] { return ReadFile(stats) == "19200 4 31\n115200 16 428\n"; })) << ReadFile(stats);
    EXPECT_NE(line.Exchange("env xconfig\rL0\rWH 020 ab\rC0\r", "@761").find("@761"), std::string::npos);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(sim.File("final")).substr(64, 2) == "AB"; }));

    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(ReadFile(sim.File("final")).size(), 961u);
    const std::string log = ReadFile(sim.File("log"));
    EXPECT_EQ(log.compare(0, 12, "115200 r 20 "), 0) << log;
    EXPECT_NE(log.find("19200 \\r\n19200 C1\\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("19200 WH 020 ab\\r\n"), std::string::npos) << log;
}

}  // namespace
