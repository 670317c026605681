// Drives the real quarnel.exe for the demo on a display nobody watches:
// selects COM3, opens it and reads the converter; then tells the demo script
// where the window is, waits for its screenshot and closes the program.
//
//   quarnel-demo-driver.exe HANDSHAKE_FOLDER [PORT]
//
// HANDSHAKE_FOLDER is a Linux folder. The driver writes "demo-ready" there,
// holding "left top width height" of the main window, and ends the program
// once "demo-shot" appears (or 60 s have passed).

#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tools/window-driver/app_driver.h"

namespace {

constexpr DWORD STEP_WAIT_MS = 20000;
constexpr DWORD SHOT_WAIT_MS = 60000;

std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:";
    for (char c : unixPath) path.push_back(c == '/' ? '\\' : c);
    return path;
}

bool WriteFileWhole(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

int Fail(const char* what) {
    std::fprintf(stderr, "quarnel-demo-driver: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: quarnel-demo-driver.exe HANDSHAKE_FOLDER [PORT]");
    const std::string folder = WindowsPath(argv[1]);
    const std::string port = argc > 2 ? argv[2] : "COM3";

    e2e::AppDriver app;
    if (!app.Launch(e2e::ProgramPath("quarnel.exe"), STEP_WAIT_MS)) return Fail("the main window did not appear");

    int index = -1;
    for (int i = 0; i < app.ItemCount(IDC_PORT); ++i) {
        if (app.Item(IDC_PORT, i) == port) index = i;
    }
    if (index < 0) return Fail("the port is not offered");
    app.Select(IDC_PORT, index);
    app.Click(IDC_OPEN);
    if (!e2e::WaitUntil([&] { return app.Enabled(IDC_READ); }, STEP_WAIT_MS)) return Fail("the port did not open");

    app.Click(IDC_READ);
    const bool loaded =
        e2e::WaitUntil([&] { return app.Enabled(IDC_WRITE) && !app.FindTopLevel("Quarnel"); }, STEP_WAIT_MS);
    if (!loaded) return Fail("the read did not complete");

    RECT r{};
    GetWindowRect(app.Main(), &r);
    char text[64];
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (!WriteFileWhole(folder + "\\demo-ready", text)) return Fail("cannot write demo-ready");

    const std::string shot = folder + "\\demo-shot";
    e2e::WaitUntil([&] { return GetFileAttributesA(shot.c_str()) != INVALID_FILE_ATTRIBUTES; }, SHOT_WAIT_MS);

    app.Click(IDC_EXIT);
    if (!app.WaitForExit(5000)) app.Kill();
    return 0;
}
