/* Control ids of the main window's settings: the check boxes, lists and
   address controls the setting descriptors (settings.h) name. One set for the
   window's template and the portable code: resources/resource.h includes this
   file, so it holds nothing but #define lines, as windres reads it too. */
#pragma once

#define IDC_CHANNEL 1003
#define IDC_WLAN_MODE 1004
#define IDC_WEP_MODE 1005
#define IDC_PORT 1006
#define IDC_LOCAL_IP 1007
#define IDC_SUBNET_MASK 1008
#define IDC_AUTH_MODE 1009
#define IDC_GATEWAY_IP 1010
#define IDC_PEER_IP 1013
#define IDC_BAUD_RATE 1014
#define IDC_PARITY 1015
#define IDC_DATA_BITS 1016
#define IDC_FLOW_CONTROL 1017
#define IDC_SERIAL_TYPE 1019
#define IDC_MODE 1020
#define IDC_EAPOL 1027
#define IDC_POWER_DOWN 1028
#define IDC_STOP_BITS 1034
#define IDC_KIVRA 1037
#define IDC_ARP 1038
#define IDC_DHCP 1039
#define IDC_TELNET 1041
#define IDC_MULTI_CONN 1047
#define IDC_REMOTE_SEARCH 1048
