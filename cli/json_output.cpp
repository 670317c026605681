#include "cli/json_output.h"

#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

#include <sstream>

namespace quarnel {

namespace {

std::string Format(const toml::table& document) {
    std::ostringstream out;
    out << toml::json_formatter{document} << "\n";
    return out.str();
}

}  // namespace

std::string SettingsTextAsJson(const std::string& settingsText) {
    // The text is this program's own, so it parses; an empty object if not.
    toml::parse_result parsed = toml::parse(settingsText);
    return Format(parsed ? parsed.table() : toml::table{});
}

std::string DifferencesAsJson(const ConfigDifferences& differences) {
    toml::array settings;
    for (const SettingDifference& d : differences.settings)
        settings.push_back(toml::table{{"setting", d.a.name}, {"a", d.a.text}, {"b", d.b.text}});
    toml::array offsets;
    for (int offset : differences.offsets) offsets.push_back(offset);
    return Format(toml::table{{"differences", settings}, {"other_offsets", offsets}});
}

std::string ReportAsJson(const ProvisionPlan& plan, const std::vector<RowStatus>& rows) {
    toml::array list;
    for (size_t i = 0; i < rows.size() && i < plan.rows.size(); ++i) {
        const RowStatus& status = rows[i];
        list.push_back(toml::table{{"port", plan.rows[i].port},
                                   {"mac_address", status.mac},
                                   {"result", ResultName(status.result)},
                                   {"seconds", status.seconds},
                                   {"message", status.message},
                                   {"backup", status.backup}});
    }
    return Format(toml::table{{"rows", list}});
}

}  // namespace quarnel
