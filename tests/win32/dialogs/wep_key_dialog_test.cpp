#include "ui/wep_key_dialog.h"

#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "resources/resource.h"

namespace quarnel {
namespace {

using namespace test;

const char* const HEX26 = "0123456789ABCDEF0123456789";
const char* const HEX10 = "0123456789";

class WepKeyDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int key = 0; key < 4; ++key) {
            wep64.keyText[key] = HEX10;
            wep128.keyText[key] = HEX26;
        }
    }

    MessageBoxRecorder boxes;
    WepKey64Dialog wep64;
    WepKey128Dialog wep128;
};

// Each key length opens its own dialog, showing the keys in hex and the
// stored WEP ID; any other choice only asks for a length.
TEST_F(WepKeyDialogTest, EachLengthOpensItsDialogWithHexFormatsTheKeysAndTheStoredWepId) {
    wep64.wepId = 1;
    wep128.wepId = 2;
    ModalScript script;
    for (int length : {1, 2}) {
        const bool is64 = length == 1;
        script.Then([=](HWND dialog) {
            for (int key = 0; key < 4; ++key) {
                EXPECT_EQ(ListSelection(dialog, (is64 ? IDC_WEP64_FORMAT0 : IDC_WEP128_FORMAT0) + key), 0);
                EXPECT_EQ(ItemText(dialog, (is64 ? IDC_WEP64_KEY0 : IDC_WEP128_KEY0) + key), is64 ? HEX10 : HEX26);
            }
            EXPECT_EQ(ListSelection(dialog, is64 ? IDC_WEP64_ID : IDC_WEP128_ID), length);
            PressCommand(dialog, IDCANCEL);
        });
    }
    for (int selection : {0, 1, -1, 2, 3}) RunWepKeyAction(selection, wep64, wep128);
    EXPECT_EQ(script.templates, (std::vector<UINT>{IDD_WEP64_KEYS, IDD_WEP128_KEYS}));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>(3, "Please select wep key length first."));
}

TEST_F(WepKeyDialogTest, ChangingAFormatConvertsThatKeyOnly) {
    wep128.keyText[1] = "48656c6c6f576f726c64212121";  // "HelloWorld!!!"
    wep64.keyText[3] = "3132333435";
    ModalScript script;
    script.Then([&](HWND dialog) {
        ChooseListEntry(dialog, IDC_WEP128_FORMAT1, 1);
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY1), "HelloWorld!!!");
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY2), HEX26);
        ChooseListEntry(dialog, IDC_WEP128_FORMAT1, 0);
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY1), "48656C6C6F576F726C64212121");
        SetItemText(dialog, IDC_WEP128_KEY2, "");  // an emptied key switched to hex becomes zeros
        ChooseListEntry(dialog, IDC_WEP128_FORMAT2, 1);
        ChooseListEntry(dialog, IDC_WEP128_FORMAT2, 0);
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY2), std::string(26, '0'));
        PressCommand(dialog, IDCANCEL);
    });
    // The 64-bit dialog binds its format lists key 3 first.
    script.Then([&](HWND dialog) {
        ChooseListEntry(dialog, IDC_WEP64_FORMAT3, 1);
        EXPECT_EQ(wep64.keyFormat[3], 1);
        EXPECT_EQ(ItemText(dialog, IDC_WEP64_KEY3), "12345");
        EXPECT_EQ(ItemText(dialog, IDC_WEP64_KEY0), HEX10);
        SetItemText(dialog, IDC_WEP64_KEY3, "vwxyz");
        PressCommand(dialog, IDOK);  // an ASCII key goes back to hex on OK
    });
    RunWepKeyAction(2, wep64, wep128);
    RunWepKeyAction(1, wep64, wep128);
    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(wep64.keyText[3], "767778797A");
    EXPECT_EQ(wep64.keyText[0], HEX10);
}

// OK names only the first key of wrong length and leaves the dialog open;
// Cancel then puts back the WEP ID and the keys edited meanwhile.
TEST_F(WepKeyDialogTest, OkRefusesAKeyOfWrongLengthAndCancelPutsBackWepIdAndKeys) {
    wep128.wepId = 1;
    wep128.keyText[1] = "12";
    wep128.keyText[3] = "ABC";
    HWND shown = nullptr;
    ModalScript script;
    script.Then([&](HWND dialog) {
        shown = dialog;
        ChooseListEntry(dialog, IDC_WEP128_ID, 3);
        EXPECT_EQ(wep128.wepId, 3);
        SetItemText(dialog, IDC_WEP128_KEY0, "ABCDEFABCDEFABCDEFABCDEFAB");
        ChooseListEntry(dialog, IDC_WEP128_FORMAT0, 1);  // collects and converts key 0
        PressCommand(dialog, IDOK);
    });
    script.Then([&](HWND dialog) {
        EXPECT_EQ(dialog, shown);
        PressCommand(dialog, IDCANCEL);
    });
    RunWepKeyAction(2, wep64, wep128);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"The WEP Key1 length is wrong!"});
    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(wep128.wepId, 1);
    EXPECT_EQ(wep128.keyText[0], HEX26);
}

}  // namespace
}  // namespace quarnel
