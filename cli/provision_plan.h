// A provisioning plan: a CSV file with one converter a row. The header names
// the port column and then settings as a configuration file names them:
//
//   port,network.local_ip,comment.text
//   /dev/ttyUSB0,10.1.0.11,"Hall 3, line 1"
//   /dev/ttyUSB1,10.1.0.12,
//
// Fields follow RFC 4180 (quoted fields may hold commas, line ends and
// doubled quotes). An empty cell leaves that setting as the template (or the
// converter) has it. Rows are numbered as a spreadsheet shows them: the
// header is row 1. Every cell is checked here, before any converter is
// touched; what depends on the converter is checked after reading it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "configfile/config_file.h"

namespace quarnel {

struct PlanRow {
    int row = 0;  // spreadsheet row number
    std::string port;
    ConfigPatch patch;  // the template's settings, then the row's own
};

struct ProvisionPlan {
    std::vector<PlanRow> rows;
};

// Splits CSV text into records of fields. Refuses an unclosed quoted field
// and text after a closing quote, naming the row.
bool SplitCsv(std::string_view text, const std::string& fileName, std::vector<std::vector<std::string>>& records,
              std::string& error);

// One CSV record: fields holding a comma, quote or line end are quoted.
std::string CsvRecord(const std::vector<std::string>& fields);

// Parses the plan's text; every row's patch starts with `shared` (the
// template). Refuses a bad header, a cell the setting does not take, a row
// without a port, a port in two rows, a plan without rows; the message
// names the file, row and column.
bool ParsePlan(std::string_view text, const std::string& fileName, const ConfigPatch& shared, ProvisionPlan& plan,
               std::string& error);

}  // namespace quarnel
