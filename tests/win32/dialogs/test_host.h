#pragma once

#include <vector>

#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "test_host_ids.h"

namespace quarnel::test {

// A modeless stand-in for the main window that records each data exchange
// (true: collect, false: show).
class TestHost : public Dialog {
public:
    TestHost() : Dialog(IDD_TEST_HOST) {}

    int value = 0;
    std::vector<bool> exchanges;

protected:
    void DoDataExchange(DataExchange& dx) override {
        exchanges.push_back(dx.saveAndValidate);
        DDX_Text(dx, IDC_TEST_HOST_VALUE, value);
    }
};

}  // namespace quarnel::test
