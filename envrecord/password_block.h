#pragma once

// The value the Change PWD action leaves in the record's 12-byte password
// field, decided from what the password dialog returned.

#include <cstdint>
#include <string_view>

#include "envrecord/env_record.h"

namespace quarnel {

constexpr int PASSWORD_BLOCK_SIZE = env_layout::PASSWORD_BLOCK.size;
// The field holds at most 12 characters; the dialog limits its edits to this.
constexpr int PASSWORD_MAX_CHARS = PASSWORD_BLOCK_SIZE;

// Fills `block` for the dialog's answer: twelve zero bytes when
// deletePassword is set (the text is then not looked at) or the text is empty;
// otherwise the text copied from byte 0 into a zeroed block and packed, so
// bytes 0-7 hold the two digests and bytes 8-11 characters 9 to 12.
// A text longer than PASSWORD_MAX_CHARS is refused: the result is false and
// `block` is left as it was, so a cut password never gets stored unnoticed.
bool BuildPasswordBlock(int deletePassword, std::string_view newPassword, MainBlock::PasswordBlock& block);

}  // namespace quarnel
