#include "framework/resource_module.h"

namespace quarnel {

namespace {
HINSTANCE resourceInstance = nullptr;  // window thread only
}

HINSTANCE GetResourceInstance() { return resourceInstance != nullptr ? resourceInstance : GetModuleHandleA(nullptr); }

void SetResourceInstance(HINSTANCE instance) { resourceInstance = instance; }

}  // namespace quarnel
