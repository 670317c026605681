#include "tests/win32/e2e/cli_runner.h"

#include <windows.h>

#include "tools/window-driver/app_driver.h"

namespace e2e {

int RunCliExe(const std::string& arguments) {
    std::string commandLine = "\"" + ProgramPath("quarnel-cli.exe") + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD status = 0;
    const bool ended =
        WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended ? static_cast<int>(status) : -1;
}

}  // namespace e2e
