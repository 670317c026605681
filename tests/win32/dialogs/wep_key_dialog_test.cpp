#include "ui/wep_key_dialog.h"

#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "resources/resource.h"

namespace quarnel {
namespace {

using test::ChooseListEntry;
using test::ItemText;
using test::ListSelection;
using test::MessageBoxRecorder;
using test::ModalScript;
using test::PressCancel;
using test::PressOk;
using test::SetItemText;

const char* const kHex26 = "0123456789ABCDEF0123456789";
const char* const kHex10 = "0123456789";

class WepKeyDialogTest : public ::testing::Test {
protected:
    void FillValidKeys() {
        for (int key = 0; key < 4; ++key) {
            wep64.keyText[key] = kHex10;
            wep128.keyText[key] = kHex26;
        }
    }

    MessageBoxRecorder boxes;
    WepKey64Dialog wep64;
    WepKey128Dialog wep128;
};

TEST_F(WepKeyDialogTest, WithoutAKeyLengthOnlyTheMessageShows) {
    ModalScript script;
    script.Then([](HWND dialog) { PressCancel(dialog); });
    for (int selection : {0, -1, 3}) RunWepKeyAction(selection, wep64, wep128);

    EXPECT_EQ(script.done, 0);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    for (const test::RecordedBox& box : boxes.boxes) {
        EXPECT_EQ(box.text, "Please select wep key length first.");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_ICONHAND));
    }
}

TEST_F(WepKeyDialogTest, EveryOpeningShowsHexFormatsTheKeysAndTheStoredWepId) {
    FillValidKeys();
    wep128.wepId = 2;
    ModalScript script;
    auto checkOpening = [this](HWND dialog) {
        EXPECT_EQ(GetWindowTextLengthA(dialog), 24);  // "128bit WEP Key  Settings"
        for (int key = 0; key < 4; ++key) {
            const int format = IDC_WEP128_FORMAT0 + key;
            EXPECT_EQ(SendDlgItemMessageA(dialog, format, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(ListSelection(dialog, format), 0);
            EXPECT_EQ(wep128.keyFormat[key], 0);
            EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY0 + key), kHex26);
        }
        EXPECT_EQ(ListSelection(dialog, IDC_WEP128_ID), 2);
    };
    script.Then([&](HWND dialog) {
        checkOpening(dialog);
        ChooseListEntry(dialog, IDC_WEP128_FORMAT1, 1);
        ChooseListEntry(dialog, IDC_WEP128_FORMAT3, 1);
        EXPECT_EQ(wep128.keyFormat[1], 1);
        PressOk(dialog);  // the ASCII keys go back to the same hex on OK
    });
    script.Then([&](HWND dialog) {
        checkOpening(dialog);
        PressCancel(dialog);
    });
    RunWepKeyAction(2, wep64, wep128);
    RunWepKeyAction(2, wep64, wep128);

    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(script.templates, (std::vector<UINT>{IDD_WEP128_KEYS, IDD_WEP128_KEYS}));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(WepKeyDialogTest, AnEmptiedKeySwitchedToHexBecomesZeros) {
    ModalScript script;
    script.Then([&](HWND dialog) {
        ChooseListEntry(dialog, IDC_WEP128_FORMAT2, 1);  // nothing to convert
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY2), "");
        ChooseListEntry(dialog, IDC_WEP128_FORMAT2, 0);
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY2), std::string(26, '0'));
        EXPECT_EQ(wep128.keyText[2], std::string(26, '0'));
        PressCancel(dialog);
    });
    script.Then([&](HWND dialog) {
        ChooseListEntry(dialog, IDC_WEP64_FORMAT0, 1);
        ChooseListEntry(dialog, IDC_WEP64_FORMAT0, 0);
        EXPECT_EQ(ItemText(dialog, IDC_WEP64_KEY0), std::string(10, '0'));
        PressCancel(dialog);
    });
    RunWepKeyAction(2, wep64, wep128);
    RunWepKeyAction(1, wep64, wep128);
    EXPECT_EQ(script.done, 2);
}

TEST_F(WepKeyDialogTest, OkNamesOnlyTheFirstKeyOfWrongLengthAndStaysOpen) {
    FillValidKeys();
    wep128.keyText[1] = "12";
    wep128.keyText[3] = "ABC";
    HWND shown = nullptr;
    ModalScript script;
    script.Then([&](HWND dialog) {
        shown = dialog;
        ChooseListEntry(dialog, IDC_WEP128_FORMAT0, 1);  // formats stay as entered
        PressOk(dialog);
    });
    script.Then([&](HWND dialog) {
        EXPECT_EQ(dialog, shown);
        EXPECT_EQ(ListSelection(dialog, IDC_WEP128_FORMAT0), 1);
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY1), "12");
        PressCancel(dialog);
    });
    RunWepKeyAction(2, wep64, wep128);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "The WEP Key1 length is wrong!");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(wep128.keyText[1], "12");
    EXPECT_EQ(wep128.keyText[0], kHex26);
}

TEST_F(WepKeyDialogTest, HexKeysToAsciiAndBack) {
    FillValidKeys();
    wep128.keyText[0] = "48656c6c6f576f726c64212121";  // "HelloWorld!!!"
    wep128.keyText[1] = "41004243444546474849505152";  // a NUL after "A"
    wep128.keyText[2] = "414";                         // odd digit count
    wep128.keyText[3] = std::string(26, '0');
    ModalScript script;
    script.Then([&](HWND dialog) {
        for (int format = IDC_WEP128_FORMAT0; format <= IDC_WEP128_FORMAT3; ++format) {
            ChooseListEntry(dialog, format, 1);
        }
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY0), "HelloWorld!!!");
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY1), "A");
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY2), "A");
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY3), "");
        for (int format = IDC_WEP128_FORMAT0; format <= IDC_WEP128_FORMAT2; ++format) {
            ChooseListEntry(dialog, format, 0);
        }
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY0), "48656C6C6F576F726C64212121");
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY1), "41");  // only what the edit showed
        EXPECT_EQ(ItemText(dialog, IDC_WEP128_KEY2), "41");
        PressOk(dialog);  // key 1 is now too short
    });
    script.Then([&](HWND dialog) { PressCancel(dialog); });
    RunWepKeyAction(2, wep64, wep128);

    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"The WEP Key1 length is wrong!"}));
    EXPECT_EQ(wep128.keyText[1], "41004243444546474849505152");  // restored by Cancel
}

TEST_F(WepKeyDialogTest, AllZeroKeyShownAsAsciiFailsTheLengthCheck) {
    FillValidKeys();
    wep64.keyText[2] = std::string(10, '0');
    ModalScript script;
    script.Then([&](HWND dialog) {
        ChooseListEntry(dialog, IDC_WEP64_FORMAT2, 1);
        EXPECT_EQ(ItemText(dialog, IDC_WEP64_KEY2), "");
        PressOk(dialog);
    });
    script.Then([&](HWND dialog) { PressCancel(dialog); });
    RunWepKeyAction(1, wep64, wep128);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"The WEP Key2 length is wrong!"}));
}

TEST_F(WepKeyDialogTest, CancelPutsBackWepIdAndKeys) {
    FillValidKeys();
    wep128.wepId = 1;
    ModalScript script;
    script.Then([&](HWND dialog) {
        ChooseListEntry(dialog, IDC_WEP128_ID, 3);
        EXPECT_EQ(wep128.wepId, 3);
        SetItemText(dialog, IDC_WEP128_KEY0, "ABCDEFABCDEFABCDEFABCDEFAB");
        ChooseListEntry(dialog, IDC_WEP128_FORMAT0, 1);  // collects and converts key 0
        EXPECT_NE(wep128.keyText[0], kHex26);
        PressCancel(dialog);
    });
    RunWepKeyAction(2, wep64, wep128);

    EXPECT_EQ(script.done, 1);
    EXPECT_EQ(wep128.wepId, 1);
    EXPECT_EQ(wep128.keyText[0], kHex26);
}

TEST_F(WepKeyDialogTest, The64BitDialogKeepsItsFormatMembersKey3First) {
    FillValidKeys();
    wep64.keyText[0] = "4142434445";
    wep64.keyText[3] = "3132333435";
    ModalScript script;
    script.Then([&](HWND dialog) {
        for (int member = 0; member < 4; ++member) {
            EXPECT_EQ(wep64.formatCombo[member].GetHwnd(), GetDlgItem(dialog, IDC_WEP64_FORMAT3 - member));
        }
        EXPECT_EQ(wep64.wepIdCombo.GetHwnd(), GetDlgItem(dialog, IDC_WEP64_ID));
        ChooseListEntry(dialog, IDC_WEP64_FORMAT0, 1);
        EXPECT_EQ(wep64.keyFormat[0], 1);
        EXPECT_EQ(wep64.keyFormat[3], 0);
        EXPECT_EQ(ItemText(dialog, IDC_WEP64_KEY0), "ABCDE");
        EXPECT_EQ(ItemText(dialog, IDC_WEP64_KEY3), "3132333435");
        ChooseListEntry(dialog, IDC_WEP64_FORMAT3, 1);
        EXPECT_EQ(ItemText(dialog, IDC_WEP64_KEY3), "12345");
        SetItemText(dialog, IDC_WEP64_KEY3, "vwxyz");
        PressOk(dialog);
    });
    RunWepKeyAction(1, wep64, wep128);

    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(wep64.keyText[0], "4142434445");
    EXPECT_EQ(wep64.keyText[3], "767778797A");
}

}  // namespace
}  // namespace quarnel
