#pragma once

// What sets one converter model apart, keyed on the record's model_code: the
// limits its numbers take, the flow control it offers, its factory Telnet and
// the serial-side controls only model 9 shows. Every rule that asks for a
// model reads this table.

namespace quarnel {

struct ModelTraits {
    int storedTimeoutLimit;    // the most a stored time-out takes
    int storedWaterMarkLimit;  // the most a stored water mark takes
    int leaveWaterMarkLimit;   // the most leaving the water-mark field lets through without long_limits
    bool offersXonXoff;        // XON/XOFF in the flow-control list, whatever has_xonxoff says
    bool factoryTelnet;        // Initialize ENV switches Telnet on
    bool serialSide;           // Serial Type, Multi Conn., Stop Bits, the comment and DHCP in T2S
};

const ModelTraits& TraitsOf(int model_code);

}  // namespace quarnel
