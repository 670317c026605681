// Reads a configuration file's text. The only user of the TOML library: it
// compiles slowly, so it is included here and nowhere else.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "configfile/config_file.h"
#include "configfile/setting_table.h"
#include "configfile/toml_character_check.h"
#include "envrecord/hex_text.h"

#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#define TOML_ENABLE_WINDOWS_COMPAT 0
// The library's own checks fail on typing errors it then reports as syntax
// errors ("[!]", "a=[}"): an abort in a debug build or an assumption the
// optimiser builds on would turn a typo into a crash. Its configuration
// header defines them unconditionally, so they are replaced after it.
#include <toml++/impl/preprocessor.h>
#undef TOML_ASSERT
#undef TOML_ASSERT_ASSUME
#define TOML_ASSERT(expr) static_assert(true)
#define TOML_ASSERT_ASSUME(expr) static_assert(true)
#include <toml++/toml.h>

namespace quarnel {

namespace {

constexpr const char* ABOUT_SECTION = "about";
constexpr const char* BLOCK_SECTION = "block";
constexpr const char* BLOCK_KEY = "bytes";

// One key of the file with its line, so that the first fault in the file is
// the one reported, whatever order the library keeps its tables in. An empty
// section's header stands for itself, so that an unknown one is reported.
struct Item {
    enum Kind { TOP_LEVEL, SECTION_HEADER, SETTING };
    Kind kind;
    int line;
    std::string section;
    std::string key;
    const toml::node* node;
};

// A key as a message names it; an empty key ("") would vanish otherwise.
std::string KeyText(const std::string& key) { return key.empty() ? "\"\"" : key; }

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

RawValue RawOf(const toml::node& node) {
    RawValue raw;
    switch (node.type()) {
        case toml::node_type::string:
            raw.type = RawValue::TEXT;
            raw.text = node.as_string()->get();
            break;
        case toml::node_type::integer:
            raw.type = RawValue::INTEGER;
            raw.integer = node.as_integer()->get();
            break;
        case toml::node_type::boolean:
            raw.type = RawValue::BOOLEAN;
            raw.flag = node.as_boolean()->get();
            break;
        case toml::node_type::floating_point:
            raw.type = RawValue::OTHER;
            raw.typeName = "a fractional number";
            break;
        case toml::node_type::array:
            raw.type = RawValue::OTHER;
            raw.typeName = "a list";
            break;
        case toml::node_type::table:
            raw.type = RawValue::OTHER;
            raw.typeName = "a table";
            break;
        default:
            raw.type = RawValue::OTHER;
            raw.typeName = "a date or time";
            break;
    }
    return raw;
}

class Reader {
public:
    Reader(const std::string& fileName, ConfigFile& file, std::string& error)
        : fileName_(fileName), file_(file), error_(error) {}

    bool Read(const toml::table& root) {
        std::vector<Item> items;
        for (auto&& [key, node] : root) {
            const toml::table* section = node.as_table();
            const std::string topKey(key.str());
            if (section == nullptr) {
                items.push_back({Item::TOP_LEVEL, LineOf(node), "", topKey, &node});
                continue;
            }
            if (section->empty()) items.push_back({Item::SECTION_HEADER, LineOf(node), topKey, "", &node});
            for (auto&& [name, value] : *section) {
                items.push_back({Item::SETTING, LineOf(value), topKey, std::string(name.str()), &value});
            }
        }
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.line < b.line; });
        for (const Item& item : items) {
            if (!ReadItem(item)) return false;
        }
        return true;
    }

private:
    std::string Where(int line) const { return fileName_ + ", line " + std::to_string(line); }

    bool Refuse(int line, const std::string& setting, const std::string& reason) {
        error_ = Where(line) + ": " + (setting.empty() ? "" : setting + ": ") + reason;
        return false;
    }

    bool ReadItem(const Item& item) {
        const std::string name = KeyText(item.section) + "." + KeyText(item.key);
        if (item.kind == Item::TOP_LEVEL) {
            return Refuse(item.line, KeyText(item.key),
                          "a setting outside any section; settings go under "
                          "[network], [serial], ... as a saved file shows");
        }
        const bool known = item.section == ABOUT_SECTION || item.section == BLOCK_SECTION || IsSection(item.section);
        if (!known) return Refuse(item.line, "", "unknown section [" + KeyText(item.section) + "]");
        if (item.kind == Item::SECTION_HEADER) return true;
        if (item.section == ABOUT_SECTION) return ReadAbout(item, name);
        if (item.section == BLOCK_SECTION) return ReadBlock(item, name);
        const int setting = FindSetting(item.section, item.key);
        if (setting < 0) {
            return Refuse(item.line, name,
                          "unknown setting; [" + item.section + "] holds " + NamesInSection(item.section));
        }
        PatchEntry entry;
        entry.setting = setting;
        entry.source = Where(item.line);
        entry.line = item.line;
        std::string reason;
        if (!ParseSettingValue(setting, RawOf(*item.node), entry.value, reason)) {
            return Refuse(item.line, name, reason);
        }
        file_.patch.entries.push_back(std::move(entry));
        return true;
    }

    bool ReadAbout(const Item& item, const std::string& name) {
        file_.hasAbout = true;
        AboutData& about = file_.about;
        const toml::node& node = *item.node;
        const std::string* text = node.is_string() ? &node.as_string()->get() : nullptr;
        if (item.key == "mac") {
            unsigned b[6];
            char end = 0;
            if (text == nullptr || text->size() != 17 ||
                std::sscanf(text->c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5],
                            &end) != 6) {
                return Refuse(item.line, name, "expects a MAC address in quotes, such as \"02:1F:A0:00:0B:FF\"");
            }
            for (int i = 0; i < 6; ++i) about.mac[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(b[i]);
            about.hasMac = true;
        } else if (item.key == "model_code") {
            if (!node.is_integer() || node.as_integer()->get() < 0 || node.as_integer()->get() > 31) {
                return Refuse(item.line, name, "expects a model code, a number 0-31");
            }
            about.modelCode = static_cast<int>(node.as_integer()->get());
            about.hasModelCode = true;
        } else if (item.key == "firmware" || item.key == "saved_at" || item.key == "program") {
            std::string& target = item.key == "firmware"   ? about.firmware
                                  : item.key == "saved_at" ? about.savedAt
                                                           : about.programVersion;
            if (text != nullptr) target = *text;
        } else {
            return Refuse(item.line, name,
                          "unknown setting; [about] holds mac, model_code, firmware, saved_at, program");
        }
        return true;
    }

    bool ReadBlock(const Item& item, const std::string& name) {
        if (item.key != BLOCK_KEY) return Refuse(item.line, name, "unknown setting; [block] holds bytes");
        const char* const expected = "expects the 480 bytes of the block as hexadecimal text, 32 bytes to a line";
        constexpr std::size_t DUMP_DIGITS = 2u * env_layout::RECORD_SIZE;
        std::string digits;
        // Each line is checked as it is taken, and a block too long is refused
        // at its first digit too many: the time stays that of the file's length.
        const auto take = [&](const toml::node& part) {
            if (!part.is_string()) return Refuse(LineOf(part), name, expected);
            for (char c : part.as_string()->get()) {
                if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
                if (std::string_view("0123456789abcdefABCDEF").find(c) == std::string_view::npos)
                    return Refuse(LineOf(part), name, "holds a character that is not a hexadecimal digit");
                if (digits.size() == DUMP_DIGITS)
                    return Refuse(LineOf(part), name, "holds more than 480 bytes; " + std::string(expected));
                digits.push_back(c);
            }
            return true;
        };
        if (const toml::array* lines = item.node->as_array()) {
            for (const toml::node& part : *lines)
                if (!take(part)) return false;
        } else if (!take(*item.node)) {
            return false;
        }
        if (digits.size() != DUMP_DIGITS) {
            return Refuse(item.line, name, "holds " + std::to_string(digits.size() / 2) + " bytes; " + expected);
        }
        HexToBytes(file_.block.Data(), env_layout::RECORD_SIZE, digits);
        file_.hasBlock = true;
        return true;
    }

    const std::string& fileName_;
    ConfigFile& file_;
    std::string& error_;
};

}  // namespace

bool ParseConfigText(std::string_view text, const std::string& fileName, ConfigFile& file, std::string& error) {
    ConfigFile parsed;
    parsed.fileName = fileName;
    int line = 0;
    std::string reason;
    if (!CheckTomlCharacters(text, line, reason)) {
        error = fileName + ", line " + std::to_string(line) + ": " + reason;
        return false;
    }
    toml::parse_result result = toml::parse(text, fileName);
    if (!result) {
        const toml::parse_error& fault = result.error();
        error = fileName + ", line " + std::to_string(fault.source().begin.line) +
                ": syntax error: " + std::string(fault.description());
        return false;
    }
    Reader reader(fileName, parsed, error);
    if (!reader.Read(result.table())) return false;
    file = std::move(parsed);
    return true;
}

}  // namespace quarnel
