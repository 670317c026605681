#include "cli/provision_plan.h"

#include <cctype>
#include <map>

#include "configfile/latin1_text.h"

namespace quarnel {

namespace {

constexpr char PORT_COLUMN[] = "port";
constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

std::string Where(const std::string& fileName, int row) { return fileName + ", row " + std::to_string(row); }

// Columns by number as a spreadsheet counts them; the message then names the setting.
std::string Where(const std::string& fileName, int row, size_t column) {
    return Where(fileName, row) + ", column " + std::to_string(column + 1);
}

// Two spellings of one port count as one: Windows names ignore case and
// the device-path prefix.
std::string PortKey(const std::string& port) {
#ifdef _WIN32
    std::string key = port.compare(0, 4, "\\\\.\\") == 0 ? port.substr(4) : port;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
#else
    return port;
#endif
}

std::string Cells(size_t count) { return std::to_string(count) + (count == 1 ? " cell" : " cells"); }

bool BlankRecord(const std::vector<std::string>& fields) {
    for (const std::string& field : fields)
        if (!TrimmedBlanks(field).empty()) return false;
    return true;
}

bool CheckHeader(const std::vector<std::string>& header, const std::string& fileName, std::string& error) {
    if (header.empty() || TrimmedBlanks(header[0]) != PORT_COLUMN) {
        error = Where(fileName, 1) +
                ": the first column must be \"port\", then the settings (such as "
                "network.local_ip)";
        return false;
    }
    for (size_t i = 1; i < header.size(); ++i) {
        const std::string name(TrimmedBlanks(header[i]));
        if (name.find('.') == std::string::npos) {
            error = Where(fileName, 1, i) + ": \"" + MessageExcerpt(name) +
                    "\" is not a setting; settings are named section.name, such as network.local_ip";
            return false;
        }
        std::string reason;
        if (FindSettingNamed(name, reason) < 0) {
            error = Where(fileName, 1, i) + ": " + MessageExcerpt(name) + ": " + reason;
            return false;
        }
        for (size_t j = 1; j < i; ++j) {
            if (TrimmedBlanks(header[j]) == name) {
                error = Where(fileName, 1, i) + ": " + name + ": the setting has two columns (also column " +
                        std::to_string(j + 1) + ")";
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool SplitCsv(std::string_view text, const std::string& fileName, std::vector<std::vector<std::string>>& records,
              std::string& error) {
    if (text.compare(0, UTF8_MARK.size(), UTF8_MARK) == 0) text.remove_prefix(UTF8_MARK.size());
    records.clear();
    std::vector<std::string> fields;
    std::string field;
    size_t i = 0;
    const auto atLineEnd = [&] { return i < text.size() && (text[i] == '\n' || text[i] == '\r'); };
    const auto skipLineEnd = [&] {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++i;
    };
    while (i < text.size()) {
        const int row = static_cast<int>(records.size()) + 1;
        if (text[i] == '"') {
            const size_t opened = i++;
            for (;;) {
                if (i >= text.size()) {
                    error = Where(fileName, row) +
                            ": a quoted field is not closed (it starts with: " + std::string(text.substr(opened, 20)) +
                            ")";
                    return false;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.push_back(text[i++]);
            }
            if (i < text.size() && text[i] != ',' && !atLineEnd()) {
                error = Where(fileName, row) + ": text after the closing quote of a field";
                return false;
            }
        } else {
            while (i < text.size() && text[i] != ',' && !atLineEnd()) {
                if (text[i] == '"') {
                    error = Where(fileName, row) +
                            ": a quote inside an unquoted field; quote the whole field and double the quote";
                    return false;
                }
                field.push_back(text[i++]);
            }
        }
        fields.push_back(std::move(field));
        field.clear();
        if (i < text.size() && text[i] == ',') {
            ++i;
            // A comma at the very end still ends an empty last field.
            if (i == text.size()) fields.emplace_back();
            continue;
        }
        if (atLineEnd()) skipLineEnd();
        records.push_back(std::move(fields));
        fields.clear();
    }
    if (!fields.empty()) records.push_back(std::move(fields));
    return true;
}

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& field = fields[i];
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line += '"';
        for (char c : field) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

bool ParsePlan(std::string_view text, const std::string& fileName, const ConfigPatch& shared, ProvisionPlan& plan,
               std::string& error) {
    int line = 0;
    if (!IsUtf8(text, line)) {
        error = Where(fileName, line) +
                ": the plan is not UTF-8 text (a spreadsheet's \"CSV (Comma delimited)\" "
                "writes another code page); save it as \"CSV UTF-8 (Comma delimited)\" and run again";
        return false;
    }
    std::vector<std::vector<std::string>> records;
    if (!SplitCsv(text, fileName, records, error)) return false;
    if (records.empty()) {
        error = fileName + ": empty; the first row must be the header (port, then settings)";
        return false;
    }
    const std::vector<std::string>& header = records[0];
    if (!CheckHeader(header, fileName, error)) return false;

    ProvisionPlan parsed;
    std::map<std::string, int> portRows;
    for (size_t r = 1; r < records.size(); ++r) {
        const std::vector<std::string>& cells = records[r];
        const int row = static_cast<int>(r) + 1;
        if (BlankRecord(cells)) continue;
        if (cells.size() != header.size()) {
            error = Where(fileName, row) + ": " + Cells(cells.size()) + ", but the header has " + Cells(header.size());
            return false;
        }
        PlanRow planRow;
        planRow.row = row;
        planRow.port = std::string(TrimmedBlanks(cells[0]));
        if (planRow.port.empty()) {
            error = Where(fileName, row, 0) + ": port: no port";
            return false;
        }
        const auto [seen, isNew] = portRows.emplace(PortKey(planRow.port), row);
        if (!isNew) {
            error = Where(fileName, row, 0) + ": port: " + planRow.port + " is also in row " +
                    std::to_string(seen->second) + "; one row a converter";
            return false;
        }
        planRow.patch = shared;
        for (size_t c = 1; c < cells.size(); ++c) {
            if (TrimmedBlanks(cells[c]).empty()) continue;  // the setting stays as it is
            const std::string name(TrimmedBlanks(header[c]));
            if (!ParseAssignment(name + "=" + cells[c], Where(fileName, row, c), planRow.patch, error)) return false;
        }
        parsed.rows.push_back(std::move(planRow));
    }
    if (parsed.rows.empty()) {
        error = fileName + ": no converter rows below the header";
        return false;
    }
    plan = std::move(parsed);
    return true;
}

}  // namespace quarnel
