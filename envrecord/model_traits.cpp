#include "envrecord/model_traits.h"

namespace quarnel {

namespace {

struct ModelRow {
    int model_code;
    ModelTraits traits;
};

constexpr bool XON = true, NO_XON = false;
constexpr bool TELNET = true, NO_TELNET = false;
constexpr bool SERIAL_SIDE = true, NO_SERIAL_SIDE = false;

// The models not listed below.
constexpr ModelTraits OTHER_MODELS{3600, 512, 512, NO_XON, NO_TELNET, NO_SERIAL_SIDE};
// One row per model, in columns.
// clang-format off
constexpr ModelRow MODELS[] = {
    //     time-out  water mark  on leave
    {2,  {30000,     2048,       512,   NO_XON, NO_TELNET, NO_SERIAL_SIDE}},
    {7,  {3600,      32768,      32768, XON,    TELNET,    NO_SERIAL_SIDE}},
    {8,  {3600,      512,        512,   XON,    NO_TELNET, NO_SERIAL_SIDE}},
    {9,  {3600,      32768,      32768, XON,    TELNET,    SERIAL_SIDE}},
    {10, {3600,      32768,      32768, NO_XON, NO_TELNET, NO_SERIAL_SIDE}},
    {11, {3600,      32768,      32768, NO_XON, TELNET,    NO_SERIAL_SIDE}},
};
// clang-format on

}  // namespace

const ModelTraits& TraitsOf(int model_code) {
    for (const ModelRow& row : MODELS) {
        if (row.model_code == model_code) return row.traits;
    }
    return OTHER_MODELS;
}

}  // namespace quarnel
