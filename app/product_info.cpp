#include "app/product_info.h"

#include "product_version.h"

namespace quarnel {

const char* const kProductTitle = QUARNEL_PRODUCT_NAME;
const char* const kMainCaption = QUARNEL_MAIN_CAPTION;
const char* const kVersionLine = QUARNEL_VERSION_LINE;

}  // namespace quarnel
