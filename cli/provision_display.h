// What provisioning shows: on a terminal one live line per port (port,
// phase, percent, result), redrawn in place; elsewhere one plain line per
// event ("/dev/ttyUSB0: writing"). At the end a summary table, and the same
// as CSV for --report.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/provision_plan.h"
#include "cli/provision_runner.h"

namespace quarnel {

enum class DisplayKind {
    Live,    // lines redrawn in place with cursor moves
    Events,  // one line per phase entered
    None,    // quiet
};

class ProvisionDisplay {
public:
    ProvisionDisplay(const ProvisionPlan& plan, DisplayKind kind, std::FILE* out);
    void Update(const std::vector<RowStatus>& rows);

private:
    std::string LiveLine(size_t index, const RowStatus& status) const;

    const ProvisionPlan& plan_;
    DisplayKind kind_;
    std::FILE* out_;
    size_t portWidth_ = 4;
    std::vector<std::string> shown_;   // live: the lines on the screen
    std::vector<size_t> eventsShown_;  // events: phases printed per row
};

// The summary: port, MAC address, result, seconds; one row a converter.
std::string SummaryTable(const ProvisionPlan& plan, const std::vector<RowStatus>& rows);
// The same as CSV, with each row's reason and backup file in two more columns.
std::string ReportCsv(const ProvisionPlan& plan, const std::vector<RowStatus>& rows);

}  // namespace quarnel
