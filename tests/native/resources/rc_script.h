#pragma once

#include <map>
#include <string>
#include <vector>

// A reader for the dialog templates of resources/quarnel.rc, enough to check
// them without a Windows resource compiler.
namespace rcscript {

struct Control {
  std::string statement;  // LTEXT, EDITTEXT, CONTROL, ...
  std::string text;       // caption, empty for EDITTEXT and COMBOBOX
  std::string idName;     // as written: IDC_READ, IDOK, IDC_STATIC
  int id = 0;
  std::string windowClass;  // CONTROL only
  std::string style;        // style expression as written, may be empty
  int x = 0, y = 0, width = 0, height = 0;
};

struct Template {
  std::string name;
  int id = 0;
  int width = 0, height = 0;
  std::string style, exStyle, caption, font;
  std::vector<Control> controls;
};

// #define NAME value lines of a header; values in decimal, hex or (-n).
std::map<std::string, int> ReadDefines(const std::string& headerText);

// Every DIALOGEX block of the script. Names are resolved through `defines`
// plus IDOK and IDCANCEL; an unknown name throws std::runtime_error.
std::vector<Template> ReadTemplates(const std::string& scriptText,
                                    const std::map<std::string, int>& defines);

std::string ReadFile(const std::string& path);

}  // namespace rcscript
