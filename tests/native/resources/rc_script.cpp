#include "rc_script.h"

#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace rcscript {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// Splits a control's argument list at top-level commas, keeping quoted text.
std::vector<std::string> SplitArgs(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  bool quoted = false;
  for (char c : s) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      out.push_back(Trim(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  out.push_back(Trim(cur));
  return out;
}

std::string Unquote(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  throw std::runtime_error("expected quoted text: " + s);
}

int Resolve(const std::string& name, const std::map<std::string, int>& defines) {
  if (name == "IDOK") return 1;
  if (name == "IDCANCEL") return 2;
  auto it = defines.find(name);
  if (it != defines.end()) return it->second;
  if (!name.empty() && (std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == '-'))
    return std::stoi(name, nullptr, 0);
  throw std::runtime_error("unknown identifier " + name);
}

int Number(const std::string& s) { return std::stoi(s, nullptr, 0); }

std::string StripComment(const std::string& line) {
  bool quoted = false;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (!quoted && line[i] == '/' && line[i + 1] == '/') return line.substr(0, i);
  }
  return line;
}

// Statements whose first argument is the caption.
bool HasText(const std::string& statement) {
  return statement != "EDITTEXT" && statement != "COMBOBOX" && statement != "LISTBOX";
}

Control ParseControl(const std::string& statement, const std::string& rest,
                     const std::map<std::string, int>& defines) {
  std::vector<std::string> a = SplitArgs(rest);
  Control c;
  c.statement = statement;
  size_t i = 0;
  if (statement == "ICON") c.text = a.at(i++);  // the icon's resource name
  else if (HasText(statement)) c.text = Unquote(a.at(i++));
  c.idName = a.at(i++);
  c.id = Resolve(c.idName, defines);
  if (statement == "CONTROL") {
    c.windowClass = Unquote(a.at(i++));
    c.style = a.at(i++);
  }
  c.x = Number(a.at(i++));
  c.y = Number(a.at(i++));
  c.width = Number(a.at(i++));
  c.height = Number(a.at(i++));
  if (statement != "CONTROL" && i < a.size()) c.style = a.at(i++);
  return c;
}

}  // namespace

std::map<std::string, int> ReadDefines(const std::string& headerText) {
  std::map<std::string, int> defines;
  std::regex line(R"(^\s*#define\s+(\w+)\s+\(?\s*(-?(?:0x[0-9A-Fa-f]+|\d+))\s*\)?)");
  std::istringstream in(headerText);
  std::string s;
  while (std::getline(in, s)) {
    std::smatch m;
    if (std::regex_search(s, m, line)) defines[m[1]] = std::stoi(m[2], nullptr, 0);
  }
  return defines;
}

std::vector<Template> ReadTemplates(const std::string& scriptText,
                                    const std::map<std::string, int>& defines) {
  std::vector<Template> out;
  std::regex head(R"(^(\w+)\s+DIALOGEX\s+\d+\s*,\s*\d+\s*,\s*(\d+)\s*,\s*(\d+))");
  std::regex statement(R"(^\s*([A-Z]+)\s+(.*)$)");
  std::istringstream in(scriptText);
  std::string raw;
  Template* open = nullptr;
  bool inBody = false;
  while (std::getline(in, raw)) {
    std::string s = Trim(StripComment(raw));
    std::smatch m;
    if (!open) {
      if (std::regex_search(s, m, head)) {
        out.emplace_back();
        open = &out.back();
        open->name = m[1];
        open->id = Resolve(open->name, defines);
        open->width = std::stoi(m[2]);
        open->height = std::stoi(m[3]);
        inBody = false;
      }
      continue;
    }
    if (s.empty()) continue;
    if (!inBody) {
      if (s == "BEGIN") {
        inBody = true;
      } else if (std::regex_match(s, m, statement)) {
        if (m[1] == "STYLE") open->style = m[2];
        else if (m[1] == "EXSTYLE") open->exStyle = m[2];
        else if (m[1] == "CAPTION") open->caption = Unquote(Trim(m[2]));
        else if (m[1] == "FONT") open->font = m[2];
      }
      continue;
    }
    if (s == "END") {
      open = nullptr;
      continue;
    }
    if (!std::regex_match(s, m, statement)) throw std::runtime_error("unreadable line: " + s);
    open->controls.push_back(ParseControl(m[1], m[2], defines));
  }
  if (open) throw std::runtime_error("template without END: " + open->name);
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace rcscript
