#include "ui/about_dialog.h"

#include "resources/resource.h"

namespace quarnel {

AboutDialog::AboutDialog() : Dialog(IDD_ABOUTBOX) {}

}  // namespace quarnel
