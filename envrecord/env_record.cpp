#include "envrecord/env_record.h"

#include <cstdio>

namespace quarnel {

namespace L = env_layout;

MainBlock::MacAddress MainBlock::mac_address() const {
    MacAddress mac{};
    CopyOut(L::MAC_ADDRESS, mac.data());
    return mac;
}

void MainBlock::set_mac_address(const MacAddress& mac) { CopyIn(L::MAC_ADDRESS, mac.data()); }

void MainBlock::eapol_identity_bytes(std::uint8_t (&out)[L::EAPOL_IDENTITY_SIZE]) const {
    CopyOut(L::EAPOL_IDENTITY_0_7, out);
    CopyOut(L::EAPOL_IDENTITY_8_15, out + L::EAPOL_IDENTITY_0_7.size);
    CopyOut(L::EAPOL_IDENTITY_16_31, out + L::EAPOL_IDENTITY_0_7.size + L::EAPOL_IDENTITY_8_15.size);
}

void MainBlock::set_eapol_identity_bytes(const std::uint8_t (&in)[L::EAPOL_IDENTITY_SIZE]) {
    CopyIn(L::EAPOL_IDENTITY_0_7, in);
    CopyIn(L::EAPOL_IDENTITY_8_15, in + L::EAPOL_IDENTITY_0_7.size);
    CopyIn(L::EAPOL_IDENTITY_16_31, in + L::EAPOL_IDENTITY_0_7.size + L::EAPOL_IDENTITY_8_15.size);
}

std::string MainBlock::eapol_identity() const {
    std::uint8_t joined[L::EAPOL_IDENTITY_SIZE];
    eapol_identity_bytes(joined);
    std::size_t n = 0;
    while (n < sizeof joined && joined[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(joined), n);
}

void MainBlock::set_eapol_identity(std::string_view name) {
    std::uint8_t joined[L::EAPOL_IDENTITY_SIZE] = {};
    std::memcpy(joined, name.data(), name.size() < sizeof joined ? name.size() : sizeof joined);
    set_eapol_identity_bytes(joined);
}

MainBlock::PasswordBlock MainBlock::password_block() const {
    PasswordBlock block{};
    CopyOut(L::PASSWORD_BLOCK, block.data());
    return block;
}

void MainBlock::set_password_block(const PasswordBlock& block) { CopyIn(L::PASSWORD_BLOCK, block.data()); }

std::string MacText(const MainBlock::MacAddress& mac, const char* separator) {
    char text[40];
    std::snprintf(text, sizeof text, "%02X%s%02X%s%02X%s%02X%s%02X%s%02X", mac[0], separator, mac[1], separator, mac[2],
                  separator, mac[3], separator, mac[4], separator, mac[5]);
    return text;
}

std::string FirmwareLabel(const MainBlock& main) {
    char text[32];
    std::snprintf(text, sizeof text, "F/W : %d.%d%c", static_cast<int>(main.fw_major()),
                  static_cast<int>(main.fw_minor()), static_cast<char>('A' + main.fw_revision()));
    return text;
}

}  // namespace quarnel
