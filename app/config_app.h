#pragma once

#include "framework/application.h"

namespace quarnel {

// The application: runs the main window modally and ends when it closes.
class ConfigApp : public Application {
public:
    BOOL InitInstance() override;
};

}  // namespace quarnel
