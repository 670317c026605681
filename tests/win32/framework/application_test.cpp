#include <gtest/gtest.h>

#include "framework/application.h"
#include "test_support.h"

namespace quarnel::test {
namespace {

class ModalApp : public Application {
public:
    BOOL InitInstance() override {
        ScriptedDialog window(IDD_FIELDS);
        mainWindow = &window;
        window.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
        window.onTimer = [&](ScriptedDialog& d, UINT_PTR) {
            AfxMessageBox("from the main window", MB_ICONHAND);
            mainHwnd = d.GetHwnd();
            PostQuitMessage(0);  // the Exit button's way out
        };
        result = window.DoModal();
        mainWindow = nullptr;
        return FALSE;
    }
    HWND mainHwnd = nullptr;
    int result = 0;
};

TEST(Application, RunsInitInstanceAroundTheMainWindowsModalRun) {
    MessageBoxRecorder boxes;
    EXPECT_EQ(GetApp(), nullptr);
    {
        ModalApp app;
        EXPECT_EQ(GetApp(), &app);
        ModalApp second;
        EXPECT_EQ(GetApp(), &app);  // the first one stays the application

        EXPECT_EQ(RunApplication(GetModuleHandleA(nullptr)), 0);
        EXPECT_EQ(app.instance, GetModuleHandleA(nullptr));
        EXPECT_EQ(app.result, DIALOG_FAILED);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].owner, app.mainHwnd);
        EXPECT_EQ(boxes.boxes[0].caption, kTestCaption);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // left for the caller
    }
    EXPECT_EQ(GetApp(), nullptr);
    EXPECT_EQ(RunApplication(GetModuleHandleA(nullptr)), 1);
}

class ModelessApp : public Application {
public:
    BOOL InitInstance() override {
        window.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
        window.onTimer = [this](ScriptedDialog&, UINT_PTR) {
            AfxMessageBox("owned by the main window");
            PostQuitMessage(3);
        };
        mainWindow = &window;
        return window.Create() ? TRUE : FALSE;
    }
    ScriptedDialog window{IDD_MODELESS};
};

TEST(Application, RunsAMessageLoopWhenInitInstanceAsksForOne) {
    MessageBoxRecorder boxes;
    ModelessApp app;
    EXPECT_EQ(RunApplication(GetModuleHandleA(nullptr)), 3);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].owner, app.window.GetHwnd());
}

}  // namespace
}  // namespace quarnel::test
