#include "scripted_converter.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "fuzz_check.h"

namespace quarnel_fuzz {

ScriptedConverter::ScriptedConverter(std::vector<std::string> answers, int bytesPerMs, bool closeAfterScript)
    : answers_(std::move(answers)), bytesPerMs_(bytesPerMs), closeAfterScript_(closeAfterScript) {}

int ScriptedConverter::Write(const char* bytes, int length) {
    if (linkActive_) transmit_.append(bytes, static_cast<std::size_t>(length));
    return length;
}

int ScriptedConverter::ReadByte(std::uint8_t& byte) {
    if (!linkActive_ || received_.empty()) return 0;
    byte = received_.front();
    received_.pop_front();
    tookBytes_ = true;
    if (!replies.empty()) replies.back().push_back(static_cast<char>(byte));
    return 1;
}

void ScriptedConverter::SetBaudCodeAndConfigure(int) {
    // As the driver does: both buffers dropped, the bytes still on the wire
    // arrive later.
    transmit_.clear();
    received_.clear();
}

void ScriptedConverter::PumpTransmit() {
    if (!linkActive_ || transmit_.empty()) return;
    commands.push_back(std::move(transmit_));
    transmit_.clear();
    replies.emplace_back();
    if (nextAnswer_ < answers_.size()) {
        const std::string& answer = answers_[nextAnswer_++];
        wire_.insert(wire_.end(), answer.begin(), answer.end());
    } else if (closeAfterScript_) {
        closeDue_ = true;
    }
}

void ScriptedConverter::ShowProgressText(const char* text) {
    if (std::strcmp(text, quarnel::TEXT_READING_COMPLETE) == 0 ||
        std::strcmp(text, quarnel::TEXT_WRITING_COMPLETE) == 0)
        ++completions;
}

void ScriptedConverter::ShowMessage(const char*, unsigned style) {
    FUZZ_CHECK(style == quarnel::MESSAGE_ICON_HAND, "a failure shown without the stop icon");
    ++failureMessages;
}

void ScriptedConverter::Advance() {
    const bool engineUpToDate = !tookBytes_;  // the bytes taken last are checked on the next tick
    tookBytes_ = false;
    if (engineUpToDate && wire_.empty() && received_.empty() && replyDeadline > now) {
        now = replyDeadline;
        return;
    }
    ++now;
    const std::size_t arriving = std::min(wire_.size(), static_cast<std::size_t>(bytesPerMs_));
    received_.insert(received_.end(), wire_.begin(), wire_.begin() + static_cast<std::ptrdiff_t>(arriving));
    wire_.erase(wire_.begin(), wire_.begin() + static_cast<std::ptrdiff_t>(arriving));
}

}  // namespace quarnel_fuzz
