#include "envrecord/password_block.h"

#include <cstring>

#include "envrecord/password_digest.h"

namespace quarnel {

bool BuildPasswordBlock(int deletePassword, std::string_view newPassword,
                        std::uint8_t (&block)[PASSWORD_BLOCK_SIZE]) {
    std::uint8_t work[PASSWORD_BLOCK_SIZE] = {};
    if (!deletePassword && !newPassword.empty()) {
        if (newPassword.size() > static_cast<std::size_t>(PASSWORD_MAX_CHARS)) return false;
        std::memcpy(work, newPassword.data(), newPassword.size());
        PackPassword(work);
    }
    std::memcpy(block, work, sizeof work);
    return true;
}

}  // namespace quarnel
