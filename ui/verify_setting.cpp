#include "ui/verify_setting.h"

#include <windows.h>

namespace quarnel {

namespace {

constexpr char VERIFY_KEY_PATH[] = "Software\\Quarnel";
constexpr char VERIFY_VALUE_NAME[] = "VerifyAfterWrite";

}  // namespace

bool LoadVerifyAfterWrite() {
    DWORD value = 1, size = sizeof value, type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, VERIFY_KEY_PATH, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
    const LONG read = RegQueryValueExA(key, VERIFY_VALUE_NAME, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read != ERROR_SUCCESS || type != REG_DWORD || value != 0;
}

void StoreVerifyAfterWrite(bool on) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, VERIFY_KEY_PATH, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;  // not remembered; the menu still holds the choice for this run
    const DWORD value = on ? 1 : 0;
    RegSetValueExA(key, VERIFY_VALUE_NAME, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

}  // namespace quarnel
