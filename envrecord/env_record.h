#pragma once

// The program's image of the converter's environment block: 480 bytes in
// three regions (main 0-127, WLAN 128-287, tail 288-479). The image is patched,
// never rebuilt: every setter changes only its own bits or bytes.
//
// Accessors use the field names of the block's layout (env_layout.h). Bit
// fields take and give the unsigned field value; IPv4 fields give host-order
// values (10.1.0.1 is 0x0A010001); texts stop at the first zero byte or at the
// field's size, and a text that fills its field is stored without terminator.

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "envrecord/byte_order.h"
#include "envrecord/env_layout.h"

namespace quarnel {

// Byte access shared by the three regions. Field positions are record
// offsets; each region knows where it starts.
template <std::uint16_t Base, std::uint16_t Size>
struct RecordRegion {
    static constexpr std::uint16_t BASE = Base;
    static constexpr std::uint16_t SIZE = Size;

    std::uint8_t bytes[Size];

    // The byte at record offset `offset` (which must lie in this region).
    std::uint8_t* At(std::uint16_t offset) {
        assert(offset >= Base && offset < Base + Size);
        return bytes + (offset - Base);
    }
    const std::uint8_t* At(std::uint16_t offset) const {
        assert(offset >= Base && offset < Base + Size);
        return bytes + (offset - Base);
    }

    std::uint32_t Word(std::uint16_t offset) const { return LoadLe32(Span(offset, 4)); }
    void SetWord(std::uint16_t offset, std::uint32_t v) { StoreLe32(Span(offset, 4), v); }
    std::uint16_t Half(std::uint16_t offset) const { return LoadLe16(Span(offset, 2)); }
    void SetHalf(std::uint16_t offset, std::uint16_t v) { StoreLe16(Span(offset, 2), v); }
    std::uint32_t Ipv4(std::uint16_t offset) const { return LoadBe32(Span(offset, 4)); }
    void SetIpv4(std::uint16_t offset, std::uint32_t hostOrder) { StoreBe32(Span(offset, 4), hostOrder); }

    std::uint32_t Bits(env_layout::BitField f) const { return (Word(f.word) >> f.shift) & f.ValueMask(); }
    // Read, mask, or, write back: only the field's own bits change.
    void SetBits(env_layout::BitField f, std::uint32_t value) {
        const std::uint32_t w = Word(f.word);
        SetWord(f.word, (w & ~f.Mask()) | ((value & f.ValueMask()) << f.shift));
    }

    std::string Text(env_layout::ByteField f) const {
        const char* p = reinterpret_cast<const char*>(Span(f.offset, f.size));
        std::size_t n = 0;
        while (n < f.size && p[n] != '\0') ++n;
        return std::string(p, n);
    }
    // Zero-fills the field, then copies at most f.size characters in.
    void SetText(env_layout::ByteField f, std::string_view text) {
        std::uint8_t* p = Span(f.offset, f.size);
        std::memset(p, 0, f.size);
        std::memcpy(p, text.data(), text.size() < f.size ? text.size() : f.size);
    }
    void CopyOut(env_layout::ByteField f, std::uint8_t* dst) const { std::memcpy(dst, Span(f.offset, f.size), f.size); }
    void CopyIn(env_layout::ByteField f, const std::uint8_t* src) { std::memcpy(Span(f.offset, f.size), src, f.size); }
    void Clear(env_layout::ByteField f) { std::memset(Span(f.offset, f.size), 0, f.size); }

private:
    std::uint8_t* Span(std::uint16_t offset, std::uint16_t count) {
        assert(offset >= Base && offset + count <= Base + Size);
        (void)count;
        return bytes + (offset - Base);
    }
    const std::uint8_t* Span(std::uint16_t offset, std::uint16_t count) const {
        assert(offset >= Base && offset + count <= Base + Size);
        (void)count;
        return bytes + (offset - Base);
    }
};

// Record offsets 0-127: identity, network, serial and option settings.
struct MainBlock : RecordRegion<env_layout::MAIN_BASE, env_layout::MAIN_SIZE> {
    using MacAddress = std::array<std::uint8_t, 6>;
    using PasswordBlock = std::array<std::uint8_t, 12>;

    MacAddress mac_address() const;
    void set_mac_address(const MacAddress& mac);

    // device_info, set by the converter.
    std::uint32_t device_info() const { return Word(env_layout::DEVICE_INFO); }
    void set_device_info(std::uint32_t v) { SetWord(env_layout::DEVICE_INFO, v); }
    std::uint32_t no_eapol() const { return Bits(env_layout::NO_EAPOL); }
    void set_no_eapol(std::uint32_t v) { SetBits(env_layout::NO_EAPOL, v); }
    std::uint32_t has_xonxoff() const { return Bits(env_layout::HAS_XONXOFF); }
    void set_has_xonxoff(std::uint32_t v) { SetBits(env_layout::HAS_XONXOFF, v); }
    std::uint32_t long_limits() const { return Bits(env_layout::LONG_LIMITS); }
    void set_long_limits(std::uint32_t v) { SetBits(env_layout::LONG_LIMITS, v); }
    std::uint32_t no_dhcp() const { return Bits(env_layout::NO_DHCP); }
    void set_no_dhcp(std::uint32_t v) { SetBits(env_layout::NO_DHCP, v); }
    std::uint32_t fw_major() const { return Bits(env_layout::FW_MAJOR); }
    void set_fw_major(std::uint32_t v) { SetBits(env_layout::FW_MAJOR, v); }
    std::uint32_t model_code() const { return Bits(env_layout::MODEL_CODE); }
    void set_model_code(std::uint32_t v) { SetBits(env_layout::MODEL_CODE, v); }
    std::uint32_t fw_revision() const { return Bits(env_layout::FW_REVISION); }
    void set_fw_revision(std::uint32_t v) { SetBits(env_layout::FW_REVISION, v); }
    std::uint32_t fw_minor() const { return Bits(env_layout::FW_MINOR); }
    void set_fw_minor(std::uint32_t v) { SetBits(env_layout::FW_MINOR, v); }

    // options.
    std::uint32_t options() const { return Word(env_layout::OPTIONS); }
    void set_options(std::uint32_t v) { SetWord(env_layout::OPTIONS, v); }
    std::uint32_t dhcp() const { return Bits(env_layout::DHCP); }
    void set_dhcp(std::uint32_t v) { SetBits(env_layout::DHCP, v); }
    std::uint32_t arp() const { return Bits(env_layout::ARP); }
    void set_arp(std::uint32_t v) { SetBits(env_layout::ARP, v); }
    std::uint32_t secure() const { return Bits(env_layout::SECURE); }
    void set_secure(std::uint32_t v) { SetBits(env_layout::SECURE, v); }
    std::uint32_t kivra() const { return Bits(env_layout::KIVRA); }
    void set_kivra(std::uint32_t v) { SetBits(env_layout::KIVRA, v); }
    std::uint32_t no_telnet() const { return Bits(env_layout::NO_TELNET); }
    void set_no_telnet(std::uint32_t v) { SetBits(env_layout::NO_TELNET, v); }
    std::uint32_t eapol() const { return Bits(env_layout::EAPOL); }
    void set_eapol(std::uint32_t v) { SetBits(env_layout::EAPOL, v); }
    std::uint32_t has_permitted_ip() const { return Bits(env_layout::HAS_PERMITTED_IP); }
    void set_has_permitted_ip(std::uint32_t v) { SetBits(env_layout::HAS_PERMITTED_IP, v); }
    std::uint32_t power_down() const { return Bits(env_layout::POWER_DOWN); }
    void set_power_down(std::uint32_t v) { SetBits(env_layout::POWER_DOWN, v); }
    std::uint32_t has_remote_search() const { return Bits(env_layout::HAS_REMOTE_SEARCH); }
    void set_has_remote_search(std::uint32_t v) { SetBits(env_layout::HAS_REMOTE_SEARCH, v); }
    std::uint32_t remote_search() const { return Bits(env_layout::REMOTE_SEARCH); }
    void set_remote_search(std::uint32_t v) { SetBits(env_layout::REMOTE_SEARCH, v); }
    std::uint32_t has_comment() const { return Bits(env_layout::HAS_COMMENT); }
    void set_has_comment(std::uint32_t v) { SetBits(env_layout::HAS_COMMENT, v); }

    // Addresses, host order.
    std::uint32_t local_ip() const { return Ipv4(env_layout::LOCAL_IP); }
    void set_local_ip(std::uint32_t v) { SetIpv4(env_layout::LOCAL_IP, v); }
    std::uint32_t subnet_mask() const { return Ipv4(env_layout::SUBNET_MASK); }
    void set_subnet_mask(std::uint32_t v) { SetIpv4(env_layout::SUBNET_MASK, v); }
    std::uint32_t gateway_ip() const { return Ipv4(env_layout::GATEWAY_IP); }
    void set_gateway_ip(std::uint32_t v) { SetIpv4(env_layout::GATEWAY_IP, v); }
    std::uint32_t peer_ip() const { return Ipv4(env_layout::PEER_IP); }
    void set_peer_ip(std::uint32_t v) { SetIpv4(env_layout::PEER_IP, v); }

    // EAPoL identity: up to 32 characters over three pieces.
    std::string eapol_identity() const;
    void set_eapol_identity(std::string_view name);
    // All 32 bytes of the joined name, exactly as stored (bytes after a zero included).
    void eapol_identity_bytes(std::uint8_t (&out)[env_layout::EAPOL_IDENTITY_SIZE]) const;
    void set_eapol_identity_bytes(const std::uint8_t (&in)[env_layout::EAPOL_IDENTITY_SIZE]);

    PasswordBlock password_block() const;
    void set_password_block(const PasswordBlock& block);

    // serial_options.
    std::uint32_t serial_options() const { return Word(env_layout::SERIAL_OPTIONS); }
    std::uint32_t parity() const { return Bits(env_layout::PARITY); }
    void set_parity(std::uint32_t v) { SetBits(env_layout::PARITY, v); }
    std::uint32_t data_bits() const { return Bits(env_layout::DATA_BITS); }
    void set_data_bits(std::uint32_t v) { SetBits(env_layout::DATA_BITS, v); }
    std::uint32_t rts_cts() const { return Bits(env_layout::RTS_CTS); }
    void set_rts_cts(std::uint32_t v) { SetBits(env_layout::RTS_CTS, v); }
    std::uint32_t xon_xoff() const { return Bits(env_layout::XON_XOFF); }
    void set_xon_xoff(std::uint32_t v) { SetBits(env_layout::XON_XOFF, v); }
    std::uint32_t telnet() const { return Bits(env_layout::TELNET); }
    void set_telnet(std::uint32_t v) { SetBits(env_layout::TELNET, v); }
    std::uint32_t wlan_cfg() const { return Bits(env_layout::WLAN_CFG); }
    void set_wlan_cfg(std::uint32_t v) { SetBits(env_layout::WLAN_CFG, v); }
    std::uint32_t serial_type() const { return Bits(env_layout::SERIAL_TYPE); }
    void set_serial_type(std::uint32_t v) { SetBits(env_layout::SERIAL_TYPE, v); }
    std::uint32_t stop_bits() const { return Bits(env_layout::STOP_BITS); }
    void set_stop_bits(std::uint32_t v) { SetBits(env_layout::STOP_BITS, v); }
    std::uint32_t multi_conn() const { return Bits(env_layout::MULTI_CONN); }
    void set_multi_conn(std::uint32_t v) { SetBits(env_layout::MULTI_CONN, v); }

    // Plain numbers.
    std::uint32_t baud_rate() const { return Word(env_layout::BAUD_RATE); }
    void set_baud_rate(std::uint32_t v) { SetWord(env_layout::BAUD_RATE, v); }
    std::uint16_t timeout() const { return Half(env_layout::TIMEOUT); }
    void set_timeout(std::uint16_t v) { SetHalf(env_layout::TIMEOUT, v); }
    std::uint8_t mode() const { return *At(env_layout::MODE); }
    void set_mode(std::uint8_t v) { *At(env_layout::MODE) = v; }
    std::uint16_t water_mark() const { return Half(env_layout::WATER_MARK); }
    void set_water_mark(std::uint16_t v) { SetHalf(env_layout::WATER_MARK, v); }
    std::uint16_t peer_port() const { return Half(env_layout::PEER_PORT); }
    void set_peer_port(std::uint16_t v) { SetHalf(env_layout::PEER_PORT, v); }
    std::uint16_t local_port() const { return Half(env_layout::LOCAL_PORT); }
    void set_local_port(std::uint16_t v) { SetHalf(env_layout::LOCAL_PORT, v); }
};

// Record offsets 128-287: WLAN settings and keys.
struct WlanBlock : RecordRegion<env_layout::WLAN_BASE, env_layout::WLAN_SIZE> {
    std::uint32_t wlan_options() const { return Word(env_layout::WLAN_OPTIONS); }
    std::uint32_t wlan_mode() const { return Bits(env_layout::WLAN_MODE); }
    void set_wlan_mode(std::uint32_t v) { SetBits(env_layout::WLAN_MODE, v); }
    std::uint32_t channel() const { return Bits(env_layout::CHANNEL); }
    void set_channel(std::uint32_t v) { SetBits(env_layout::CHANNEL, v); }
    std::uint32_t wep_mode() const { return Bits(env_layout::WEP_MODE); }
    void set_wep_mode(std::uint32_t v) { SetBits(env_layout::WEP_MODE, v); }
    std::uint32_t wep_key_id() const { return Bits(env_layout::WEP_KEY_ID); }
    void set_wep_key_id(std::uint32_t v) { SetBits(env_layout::WEP_KEY_ID, v); }
    std::uint32_t boot_adhoc() const { return Bits(env_layout::BOOT_ADHOC); }
    void set_boot_adhoc(std::uint32_t v) { SetBits(env_layout::BOOT_ADHOC, v); }
    std::uint32_t boot_infra() const { return Bits(env_layout::BOOT_INFRA); }
    void set_boot_infra(std::uint32_t v) { SetBits(env_layout::BOOT_INFRA, v); }
    std::uint32_t auth_mode() const { return Bits(env_layout::AUTH_MODE); }
    void set_auth_mode(std::uint32_t v) { SetBits(env_layout::AUTH_MODE, v); }

    std::string ssid() const { return Text(env_layout::SSID); }
    void set_ssid(std::string_view s) { SetText(env_layout::SSID, s); }
    std::string adhoc_ssid() const { return Text(env_layout::ADHOC_SSID); }
    void set_adhoc_ssid(std::string_view s) { SetText(env_layout::ADHOC_SSID, s); }

    // Key slots, i = 0-3. The byte after each key is reserved and never touched.
    static env_layout::ByteField Wep64Slot(int i) {
        assert(i >= 0 && i < env_layout::WEP_KEY_COUNT);
        return env_layout::Wep64Key(i);
    }
    static env_layout::ByteField Wep128Slot(int i) {
        assert(i >= 0 && i < env_layout::WEP_KEY_COUNT);
        return env_layout::Wep128Key(i);
    }
    std::uint8_t* wep64_key_bytes(int i) { return At(Wep64Slot(i).offset); }
    const std::uint8_t* wep64_key_bytes(int i) const { return At(Wep64Slot(i).offset); }
    std::uint8_t* wep128_key_bytes(int i) { return At(Wep128Slot(i).offset); }
    const std::uint8_t* wep128_key_bytes(int i) const { return At(Wep128Slot(i).offset); }
};

// Record offsets 288-479: the comment and reserved bytes.
struct TailBlock : RecordRegion<env_layout::TAIL_BASE, env_layout::TAIL_SIZE> {
    std::string comment() const { return Text(env_layout::COMMENT); }
    void set_comment(std::string_view s) { SetText(env_layout::COMMENT, s); }
};

// The whole image. The exchange engine sees it as 480 consecutive bytes
// (Data()); the transfer operations take its three regions.
struct EnvRecord {
    MainBlock main;
    WlanBlock wlan;
    TailBlock tail;

    std::uint8_t* Data() { return reinterpret_cast<std::uint8_t*>(this); }
    const std::uint8_t* Data() const { return reinterpret_cast<const std::uint8_t*>(this); }
};

static_assert(sizeof(MainBlock) == env_layout::MAIN_SIZE, "main block size");
static_assert(sizeof(WlanBlock) == env_layout::WLAN_SIZE, "WLAN block size");
static_assert(sizeof(TailBlock) == env_layout::TAIL_SIZE, "tail block size");
static_assert(sizeof(EnvRecord) == env_layout::RECORD_SIZE, "record size");
static_assert(offsetof(EnvRecord, wlan) == env_layout::WLAN_BASE, "WLAN block offset");
static_assert(offsetof(EnvRecord, tail) == env_layout::TAIL_BASE, "tail block offset");

// A bit field of the main or the WLAN block, whichever holds it.
inline std::uint32_t FieldBits(const MainBlock& main, const WlanBlock& wlan, env_layout::BitField f) {
    return f.word < env_layout::WLAN_BASE ? main.Bits(f) : wlan.Bits(f);
}
inline void SetFieldBits(MainBlock& main, WlanBlock& wlan, env_layout::BitField f, std::uint32_t value) {
    if (f.word < env_layout::WLAN_BASE)
        main.SetBits(f, value);
    else
        wlan.SetBits(f, value);
}

// "0A:BC:DE:01:2F:9E", the MAC address as the window shows it; another
// separator (or none) for file names.
std::string MacText(const MainBlock::MacAddress& mac, const char* separator = ":");

// "F/W : <major>.<minor><revision letter>", the firmware label's text.
std::string FirmwareLabel(const MainBlock& main);

}  // namespace quarnel
