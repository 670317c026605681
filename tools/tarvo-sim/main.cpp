// tarvo-sim: a simulated Tarvo converter on a Linux pty pair.
//
//   tarvo-sim --mode monitor|shell|silent --link PATH --log FILE --final FILE
//             --control FILE [--block FILE] [--mac MAC] [--pace] [--pace-input]
//             [--stats FILE] [--fault=KIND[:N]]...
//
// PATH becomes a symlink to the pty's slave (for example /dev/pts/7), made
// once the pty is ready. Every received line is logged to FILE as
// "<baud> <line, escaped>". FILE of --final holds the block as 960 hex
// digits, rewritten after every change and at exit. The control file is
// polled; see sim_control.h. --pace sends the answers no faster than the
// line's bit rate (ten bits a character); --pace-input likewise lets the
// console take in the program's bytes only as fast as they would cross the
// wire. FILE of --stats counts the bytes in each direction per line speed
// (see line_stats.h), rewritten whenever the line falls quiet after traffic.
// Runs until SIGTERM or SIGINT.
#include "block_text.h"
#include "converter_model.h"
#include "line_stats.h"
#include "sim_control.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cctype>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace tarvosim;

namespace {

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

struct Options {
    ConsoleMode mode = ConsoleMode::Monitor;
    std::string link, log, final, control, block, stats;
    // The converter's MAC address (block bytes 4-9), or empty: the block's own.
    std::vector<uint8_t> mac;
    bool pace = false;
    bool paceInput = false;
    std::vector<Fault> faults;
};

// "02:1F:A0:00:0B:01" or "021FA0000B01".
bool ParseMac(const std::string& text, std::vector<uint8_t>& mac) {
    std::string digits;
    for (char c : text)
        if (c != ':' && c != '-') digits += c;
    mac.clear();
    if (digits.size() != 2 * MAC_LENGTH) return false;
    for (size_t i = 0; i < digits.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = digits.substr(i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (*end != 0 || !std::isxdigit(static_cast<unsigned char>(pair[0]))) return false;
        mac.push_back(static_cast<uint8_t>(value));
    }
    return true;
}

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(
        stderr,
        "tarvo-sim: %s\nusage: tarvo-sim --mode monitor|shell|silent --link PATH --log FILE "
        "--final FILE --control FILE [--block FILE] [--mac XX:XX:XX:XX:XX:XX] [--pace] [--pace-input] [--stats FILE] "
        "[--fault=KIND[:N][,KIND[:N]...]]...\n",
        problem);
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    bool haveMode = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        size_t eq = arg.find('=');
        bool inlineValue = arg.compare(0, 2, "--") == 0 && eq != std::string::npos;
        if (inlineValue) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        auto next = [&]() -> std::string {
            if (inlineValue) return value;
            if (i + 1 >= argc) Usage(("missing value for " + arg).c_str());
            return argv[++i];
        };
        if (arg == "--mode") {
            if (!ParseConsoleMode(next(), options.mode)) Usage("bad --mode");
            haveMode = true;
        } else if (arg == "--link") {
            options.link = next();
        } else if (arg == "--log") {
            options.log = next();
        } else if (arg == "--final") {
            options.final = next();
        } else if (arg == "--control") {
            options.control = next();
        } else if (arg == "--block") {
            options.block = next();
        } else if (arg == "--mac") {
            if (!ParseMac(next(), options.mac)) Usage("bad --mac (six hex pairs, such as 02:1F:A0:00:0B:01)");
        } else if (arg == "--pace") {
            options.pace = true;
        } else if (arg == "--pace-input") {
            options.paceInput = true;
        } else if (arg == "--stats") {
            options.stats = next();
        } else if (arg == "--fault") {
            // Every fault given applies; one option may name several.
            std::vector<Fault> faults;
            if (!ParseFaults(next(), faults)) Usage("bad --fault");
            options.faults.insert(options.faults.end(), faults.begin(), faults.end());
        } else {
            Usage(("unknown argument " + arg).c_str());
        }
    }
    if (!haveMode || options.link.empty() || options.log.empty() || options.final.empty() || options.control.empty())
        Usage("--mode, --link, --log, --final and --control are required");
    return options;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
    return true;
}

// Readers never see a half-written file: write a temporary, then rename.
void WriteFileAtomically(const std::string& path, const std::string& content) {
    std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return;
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    std::rename(temporary.c_str(), path.c_str());
}

// Most characters a paced direction may owe the wire: a simulator held up
// by the machine catches up with the wire's timeline (a real line never
// stalls), while credit never builds up across a quiet line (it is reset).
constexpr double MAX_PACE_CREDIT = 1024;

int64_t NowNanoseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int SpeedToBaud(speed_t speed) {
    static const struct {
        speed_t speed;
        int baud;
    } table[] = {
        {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
        {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
        {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
        {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
    };
    for (const auto& entry : table)
        if (entry.speed == speed) return entry.baud;
    return 0;
}

// The speed the program last set on its end of the line.
int LineBaud(int slave) {
    termios settings;
    if (tcgetattr(slave, &settings) != 0) return 0;
    return SpeedToBaud(cfgetospeed(&settings));
}

class Simulator {
public:
    explicit Simulator(const Options& options) : options_(options) {}

    int Run();

private:
    bool OpenPty();
    void ServeInput();
    void FeedInput();
    void ServeOutput();
    void WriteStatsIfQuiet();
    void PollControl();
    // The device vanishes, as an adapter pulled out: both ends of the pty
    // are closed and the line stays dead until the simulator stops.
    void Unplug();
    void WriteLog();
    void WriteFinalIfChanged(bool force);

    const Options& options_;
    ConverterModel model_;
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
    FILE* log_ = nullptr;
    size_t loggedEntries_ = 0;
    unsigned finalGeneration_ = ~0u;
    std::string lastControl_;
    int64_t nextControlPoll_ = 0;
    int64_t lastPaceTime_ = 0;
    double paceCredit_ = 0;
    // Bytes read from the pty that the paced line has not delivered yet,
    // each run with the speed it was sent at.
    struct ReceivedRun {
        int baud;
        std::string bytes;
    };
    std::deque<ReceivedRun> input_;
    int64_t lastInputPaceTime_ = 0;
    double inputCredit_ = 0;
    LineStats stats_;
};

bool Simulator::OpenPty() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        std::perror("tarvo-sim: openpty");
        return false;
    }
    slaveName_ = name;
    termios settings;
    tcgetattr(slave_, &settings);
    cfmakeraw(&settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    tcsetattr(slave_, TCSANOW, &settings);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    // The slave stays open here, so the program opening and closing its end
    // never leaves the master without a peer (no EIO, no hang-up).
    std::string temporary = options_.link + ".tmp";
    unlink(temporary.c_str());
    if (symlink(slaveName_.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), options_.link.c_str()) != 0) {
        std::perror("tarvo-sim: link");
        return false;
    }
    return true;
}

int Simulator::Run() {
    if (!options_.block.empty()) {
        std::string text;
        uint8_t block[BLOCK_SIZE];
        if (!ReadWholeFile(options_.block, text) || !ParseBlockHex(text, block)) {
            std::fprintf(stderr, "tarvo-sim: %s does not hold 960 hex digits\n", options_.block.c_str());
            return 2;
        }
        model_.SetBlock(block);
    }
    if (!options_.mac.empty()) {
        uint8_t block[BLOCK_SIZE];
        std::memcpy(block, model_.Block(), BLOCK_SIZE);
        std::memcpy(block + MAC_OFFSET, options_.mac.data(), options_.mac.size());
        model_.SetBlock(block);
    }
    model_.SetMode(options_.mode);
    model_.SetFaults(options_.faults);
    log_ = std::fopen(options_.log.c_str(), "w");
    if (!log_) {
        std::perror("tarvo-sim: log");
        return 2;
    }
    WriteFinalIfChanged(true);
    if (!OpenPty()) return 2;
    std::printf("%s\n", slaveName_.c_str());
    std::fflush(stdout);

    while (!stopRequested) {
        bool pacing = (options_.pace && model_.PendingOutput() > 0) || !input_.empty();
        pollfd fd = {master_, POLLIN, 0};
        if (model_.PendingOutput() > 0 && !pacing) fd.events |= POLLOUT;
        // While the paced line is busy, a turn a character time (at most half
        // a millisecond) keeps the bytes close to the moments they would
        // finish on a real wire.
        const int baud = pacing ? LineBaud(slave_) : 0;
        const long characterNs = baud > 0 ? 10L * 1000000000L / baud : 500000L;
        const timespec turn = {0, pacing ? std::min(characterNs, 500000L) : 10000000L};
        int ready = ppoll(&fd, 1, &turn, nullptr);
        if (ready < 0 && errno != EINTR) usleep(10000);
        if (ready > 0 && (fd.revents & (POLLIN | POLLHUP | POLLERR))) ServeInput();
        FeedInput();
        ServeOutput();
        PollControl();
        WriteStatsIfQuiet();
    }
    WriteFinalIfChanged(true);
    std::fclose(log_);
    char target[256] = {};
    ssize_t n = readlink(options_.link.c_str(), target, sizeof target - 1);
    if (n > 0 && slaveName_ == std::string(target, static_cast<size_t>(n))) unlink(options_.link.c_str());
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
    return 0;
}

void Simulator::ServeInput() {
    uint8_t buffer[4096];
    ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) {
        // EIO only while no one holds the slave; we do, but never give up on it.
        if (n < 0 && errno != EAGAIN && errno != EINTR) usleep(10000);
        return;
    }
    const int baud = LineBaud(slave_);
    stats_.CountReceived(baud, static_cast<size_t>(n));
    if (options_.paceInput) {
        input_.push_back({baud, std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n))});
        return;
    }
    model_.Receive(buffer, static_cast<size_t>(n), baud);
    WriteLog();
    WriteFinalIfChanged(false);
}

void Simulator::FeedInput() {
    if (input_.empty()) {
        lastInputPaceTime_ = 0;
        inputCredit_ = 0;
        return;
    }
    int64_t now = NowNanoseconds();
    if (lastInputPaceTime_ == 0) lastInputPaceTime_ = now;
    ReceivedRun& run = input_.front();
    inputCredit_ += static_cast<double>(now - lastInputPaceTime_) * 1e-9 * (run.baud > 0 ? run.baud : 9600) / 10.0;
    lastInputPaceTime_ = now;
    if (inputCredit_ > MAX_PACE_CREDIT) inputCredit_ = MAX_PACE_CREDIT;
    size_t count = static_cast<size_t>(inputCredit_);
    if (count == 0) return;
    if (count > run.bytes.size()) count = run.bytes.size();
    model_.Receive(reinterpret_cast<const uint8_t*>(run.bytes.data()), count, run.baud);
    inputCredit_ -= static_cast<double>(count);
    run.bytes.erase(0, count);
    if (run.bytes.empty()) input_.pop_front();
    WriteLog();
    WriteFinalIfChanged(false);
}

void Simulator::ServeOutput() {
    if (model_.PendingOutput() == 0) {
        lastPaceTime_ = 0;
        paceCredit_ = 0;
        return;
    }
    size_t allowed = 4096;
    if (options_.pace) {
        // Ten bits per character at the speed the line is set to.
        int64_t now = NowNanoseconds();
        // The first character goes at once; it would finish a character time
        // later on a wire, which is less than a turn of this loop.
        if (lastPaceTime_ == 0) {
            lastPaceTime_ = now;
            paceCredit_ = 1;
        }
        int baud = LineBaud(slave_);
        paceCredit_ += static_cast<double>(now - lastPaceTime_) * 1e-9 * (baud > 0 ? baud : 9600) / 10.0;
        lastPaceTime_ = now;
        if (paceCredit_ > MAX_PACE_CREDIT) paceCredit_ = MAX_PACE_CREDIT;
        allowed = static_cast<size_t>(paceCredit_);
        if (allowed == 0) return;
    }
    size_t pending = model_.PendingOutput();
    size_t count = pending < allowed ? pending : allowed;
    // What the pty refuses now (its buffer is full) stays pending.
    ssize_t written = write(master_, model_.PeekOutput(), count);
    if (written <= 0) return;
    stats_.CountSent(LineBaud(slave_), static_cast<size_t>(written));
    model_.ConsumeOutput(static_cast<size_t>(written));
    if (options_.pace) paceCredit_ -= static_cast<double>(written);
}

void Simulator::Unplug() {
    if (master_ < 0) return;
    close(master_);
    close(slave_);
    master_ = slave_ = -1;
    input_.clear();
    model_.ConsumeOutput(model_.PendingOutput());
}

void Simulator::PollControl() {
    int64_t now = NowNanoseconds();
    if (now < nextControlPoll_) return;
    nextControlPoll_ = now + 15 * 1000000;
    std::string content;
    if (!ReadWholeFile(options_.control, content) || content == lastControl_) return;
    lastControl_ = content;
    ControlResult result = ApplyControl(content, model_);
    if (result.rejectedLines > 0)
        std::fprintf(stderr, "tarvo-sim: %d control line(s) not understood\n", result.rejectedLines);
    if (result.unplug) Unplug();
    WriteFinalIfChanged(false);
    if (result.hasSeq) WriteFileAtomically(options_.control + ".ack", result.seq);
}

void Simulator::WriteStatsIfQuiet() {
    if (options_.stats.empty() || !stats_.Dirty() || model_.PendingOutput() > 0 || !input_.empty()) return;
    WriteFileAtomically(options_.stats, stats_.Format());
    stats_.MarkWritten();
}

void Simulator::WriteLog() {
    const auto& entries = model_.Log();
    for (; loggedEntries_ < entries.size(); ++loggedEntries_)
        std::fprintf(log_, "%d %s\n", entries[loggedEntries_].baud, EscapeForLog(entries[loggedEntries_].text).c_str());
    std::fflush(log_);
}

void Simulator::WriteFinalIfChanged(bool force) {
    if (!force && model_.BlockGeneration() == finalGeneration_) return;
    finalGeneration_ = model_.BlockGeneration();
    WriteFileAtomically(options_.final, FormatBlockHex(model_.Block()) + "\n");
}

}  // namespace

int main(int argc, char** argv) {
    Options options = ParseOptions(argc, argv);
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGHUP, SIG_IGN);
    Simulator simulator(options);
    return simulator.Run();
}
