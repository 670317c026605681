#include "cli/trace_line.h"

#include "cli/console_io.h"

namespace quarnel {

namespace {

constexpr int INITIAL_SPEED = 115200;  // as OpenByteLine opens every line

void AppendEscaped(std::string& out, uint8_t byte) {
    static const char HEX_DIGITS[] = "0123456789ABCDEF";
    switch (byte) {
        case '\r': out += "\\r"; return;
        case '\n': out += "\\n"; return;
        case '\\': out += "\\\\"; return;
        default: break;
    }
    if (byte >= 0x20 && byte < 0x7F) {
        out += static_cast<char>(byte);
        return;
    }
    out += "\\x";
    out += HEX_DIGITS[byte >> 4];
    out += HEX_DIGITS[byte & 15];
}

class TracingLine final : public ByteLine {
public:
    TracingLine(std::unique_ptr<ByteLine> line, TraceLog& trace)
        : ByteLine(line->PortName()), line_(std::move(line)), trace_(trace) {}

    bool SetSpeed(int bitsPerSecond) override {
        if (!line_->SetSpeed(bitsPerSecond)) return Forward();
        speed_ = bitsPerSecond;
        return true;
    }
    bool Write(const uint8_t* bytes, int count, int waitMs) override {
        trace_.Transfer(PortName(), '>', speed_, bytes, count);
        return line_->Write(bytes, count, waitMs) || Forward();
    }
    int Read(uint8_t* buffer, int capacity, int waitMs) override {
        const int got = line_->Read(buffer, capacity, waitMs);
        if (got > 0) trace_.Transfer(PortName(), '<', speed_, buffer, got);
        if (got < 0) Forward();
        return got;
    }

private:
    bool Forward() {
        Fail(line_->LastError().message);
        return false;
    }

    std::unique_ptr<ByteLine> line_;
    TraceLog& trace_;
    int speed_ = INITIAL_SPEED;
};

}  // namespace

TraceLog::TraceLog(const std::string& path)
    : file_(CreatePrivateFile(path)), start_(std::chrono::steady_clock::now()) {}

TraceLog::~TraceLog() {
    if (file_ != nullptr) std::fclose(file_);
}

void TraceLog::Transfer(const std::string& port, char direction, int bitsPerSecond, const uint8_t* bytes, int count) {
    if (file_ == nullptr || count <= 0) return;
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
    std::string text;
    text.reserve(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) AppendEscaped(text, bytes[i]);
    std::lock_guard<std::mutex> hold(lock_);
    std::fprintf(file_, "%lld %s %c %d %s\n", static_cast<long long>(ms), port.c_str(), direction, bitsPerSecond,
                 text.c_str());
    std::fflush(file_);
}

std::unique_ptr<ByteLine> TracedLine(std::unique_ptr<ByteLine> line, TraceLog& trace) {
    if (!line) return line;
    return std::make_unique<TracingLine>(std::move(line), trace);
}

}  // namespace quarnel
