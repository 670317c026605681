#include "envrecord/password_block.h"

#include <cstring>

#include "envrecord/password_digest.h"

namespace quarnel {

bool BuildPasswordBlock(int deletePassword, std::string_view newPassword, MainBlock::PasswordBlock& block) {
    MainBlock::PasswordBlock work{};
    if (!deletePassword && !newPassword.empty()) {
        if (newPassword.size() > static_cast<std::size_t>(PASSWORD_MAX_CHARS)) return false;
        std::memcpy(work.data(), newPassword.data(), newPassword.size());
        PackPassword(work.data());
    }
    block = work;
    return true;
}

}  // namespace quarnel
