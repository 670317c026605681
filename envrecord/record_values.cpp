#include "envrecord/record_values.h"

#include <cstring>

#include "envrecord/model_traits.h"

namespace quarnel {

namespace L = env_layout;

const MainBlock::MacAddress DEFAULT_MAC_PLACEHOLDER = {0x00, 0x1F, 0xA0, 0x00, 0x00, 0x00};

void SetDefaultRecord(MainBlock& main, WlanBlock& wlan, TailBlock& tail) {
    std::memset(main.bytes, 0, sizeof main.bytes);
    std::memset(wlan.bytes, 0, sizeof wlan.bytes);
    std::memset(tail.bytes, 0, sizeof tail.bytes);

    main.set_mac_address(DEFAULT_MAC_PLACEHOLDER);
    main.SetBits(L::DEVICE_INFO_LOW, 1);
    main.set_arp(1);
    main.set_kivra(1);
    main.set_local_ip(DEFAULT_LOCAL_IP);
    main.set_subnet_mask(DEFAULT_SUBNET_MASK);
    main.set_data_bits(8);
    main.set_telnet(0);
    main.SetBits(L::SERIAL_BIT10, 1);
    main.SetBits(L::SERIAL_BIT13, 1);
    main.set_baud_rate(DEFAULT_BAUD_RATE);
    main.set_mode(1);  // ATC
    main.set_water_mark(1);
    wlan.set_wlan_mode(1);  // Infrastructure
}

void ApplyFactoryValues(MainBlock& main, WlanBlock& wlan, TailBlock& tail) {
    std::memset(wlan.bytes, 0, sizeof wlan.bytes);
    wlan.set_wlan_mode(1);  // Infrastructure
    tail.Clear(L::COMMENT);
    tail.Clear(L::TAIL_RESERVED_320);

    main.set_dhcp(0);
    main.set_arp(0);
    main.set_secure(0);
    main.SetBits(L::OPTIONS_BIT6, 0);
    main.set_power_down(0);
    main.set_kivra(1);
    main.SetBits(L::OPTIONS_BIT7, 1);
    main.set_remote_search(main.has_remote_search());
    main.set_options(main.options() & ~L::OPTIONS_FACTORY_CLEARED);

    main.set_local_ip(DEFAULT_LOCAL_IP);
    main.set_subnet_mask(DEFAULT_SUBNET_MASK);
    main.set_gateway_ip(0);

    main.set_eapol_identity("");
    main.Clear(L::EAPOL_PASSWORD);

    main.set_parity(0);
    main.set_data_bits(8);
    main.set_rts_cts(0);
    main.set_xon_xoff(0);
    main.set_telnet(TraitsOf(static_cast<int>(main.model_code())).factoryTelnet ? 1 : 0);
    main.set_serial_type(0);
    main.set_stop_bits(0);
    main.set_multi_conn(0);

    main.set_baud_rate(DEFAULT_BAUD_RATE);
    main.set_timeout(0);
    main.set_mode(0);  // T2S
    main.set_water_mark(0);
    main.set_peer_ip(0);
    main.set_peer_port(0);
    main.set_local_port(FACTORY_LOCAL_PORT);
}

}  // namespace quarnel
