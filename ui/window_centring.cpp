#include "ui/window_centring.h"

namespace quarnel {

int CentredStart(int ownerStart, int ownerEnd, int size) { return ownerStart + (ownerEnd - ownerStart - size) / 2; }

}  // namespace quarnel
