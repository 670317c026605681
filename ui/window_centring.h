#pragma once

// Where a window of a given size starts so that it sits centred over an
// owner, along one axis. Signed arithmetic: a window larger than its owner
// starts before the owner's edge, by half the excess rounded toward zero.

namespace quarnel {

// ownerStart + (ownerEnd - ownerStart - size) / 2, truncating toward zero.
int CentredStart(int ownerStart, int ownerEnd, int size);

}  // namespace quarnel
