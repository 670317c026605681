#include "app/product_info.h"

namespace quarnel {

const char* const kProductTitle = "Quarnel";
const char* const kMainCaption = "Quarnel 4.1d";
const char* const kVersionLine = "Quarnel 4.1d ( 08/Oct./2008 )";

}  // namespace quarnel
