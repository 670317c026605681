// "Verify after write": whether a Write or Initialize ENV reads the block
// back before it says "Writing complete.". On unless the user turned it off
// (for a converter whose firmware rewrites some bytes); remembered for the
// user under HKEY_CURRENT_USER\Software\Quarnel.
#pragma once

namespace quarnel {

bool LoadVerifyAfterWrite();
void StoreVerifyAfterWrite(bool on);

}  // namespace quarnel
