#include "sample_converter.h"

#include "envrecord/record_values.h"

namespace quarnel_fuzz {

quarnel::EnvRecord SampleConverter(std::uint8_t selector) {
    quarnel::EnvRecord record;
    quarnel::SetDefaultRecord(record.main, record.wlan, record.tail);
    record.main.set_model_code(selector & 0x1F);
    record.main.set_long_limits((selector >> 5) & 1);
    record.main.set_has_xonxoff((selector >> 6) & 1);
    record.main.set_has_comment((selector >> 7) & 1);
    quarnel::ApplyFactoryValues(record.main, record.wlan, record.tail);
    return record;
}

}  // namespace quarnel_fuzz
