// The string table, the icon and the version block of the linked resources.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

TEST(ProgramResources, AboutMenuText) {
  char text[64] = {};
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text), 0);
  EXPECT_STREQ(text, "&About Quarnel...");
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

// The icon carries its own 16- and 32-pixel images rather than relying on scaling.
TEST(ProgramResources, IconHoldsBothSizes) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC group = FindResourceA(self, MAKEINTRESOURCEA(IDI_QUARNEL), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  ASSERT_NE(group, nullptr);
  const auto* header = static_cast<const GroupIconHeader*>(LockResource(LoadResource(self, group)));
  ASSERT_NE(header, nullptr);
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
  std::vector<int> sizes;
  for (int i = 0; i < header->count; ++i) sizes.push_back(entries[i].width);
  EXPECT_EQ(sizes, (std::vector<int>{16, 32}));

  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(
        LoadImageA(self, MAKEINTRESOURCEA(IDI_QUARNEL), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    EXPECT_EQ(bm.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(IDI_QUARNEL)), nullptr);
}

std::string VersionString(const std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  std::string path = std::string("\\StringFileInfo\\040904e4\\") + name;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "<missing>";
  return std::string(value);
}

TEST(ProgramResources, VersionBlock) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(exe, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

  EXPECT_EQ(VersionString(block, "InternalName"), "qnset");
  EXPECT_EQ(VersionString(block, "ProductName"), "Quarnel");
  EXPECT_EQ(VersionString(block, "OriginalFilename"), "quarnel.exe");
  EXPECT_EQ(VersionString(block, "FileVersion"), "1, 0, 0, 1");
  EXPECT_EQ(VersionString(block, "ProductVersion"), "1, 0, 0, 1");
  EXPECT_NE(VersionString(block, "FileDescription"), "<missing>");
}

}  // namespace
