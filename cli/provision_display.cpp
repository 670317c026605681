#include "cli/provision_display.h"

#include <algorithm>

namespace quarnel {

namespace {

// Live lines must not wrap, or the cursor moves miss them.
constexpr size_t LIVE_WIDTH = 79;
constexpr size_t MAX_PORT_WIDTH = 24;

std::string Seconds(const RowStatus& status) {
    if (status.result == RowResult::NotStarted) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", status.seconds);
    return text;
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

ProvisionDisplay::ProvisionDisplay(const ProvisionPlan& plan, DisplayKind kind, std::FILE* out)
    : plan_(plan), kind_(kind), out_(out), eventsShown_(plan.rows.size(), 0) {
    for (const PlanRow& row : plan.rows) portWidth_ = std::max(portWidth_, std::min(row.port.size(), MAX_PORT_WIDTH));
}

std::string ProvisionDisplay::LiveLine(size_t index, const RowStatus& status) const {
    char percent[8] = "";
    const bool moving =
        status.phase == RowPhase::Reading || status.phase == RowPhase::Writing || status.phase == RowPhase::Verifying;
    if (moving || status.result == RowResult::Verified) std::snprintf(percent, sizeof percent, "%3d%%", status.percent);
    const bool finished = status.phase == RowPhase::Finished;
    std::string line = Padded(plan_.rows[index].port, portWidth_) + "  " +
                       Padded(finished ? "done" : PhaseName(status.phase), 9) + " " + Padded(percent, 4) + "  " +
                       ResultName(status.result);
    if (finished && status.result != RowResult::Verified && !status.message.empty()) line += ": " + status.message;
    if (line.size() > LIVE_WIDTH) line = line.substr(0, LIVE_WIDTH - 3) + "...";
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

void ProvisionDisplay::Update(const std::vector<RowStatus>& rows) {
    if (kind_ == DisplayKind::Live) {
        std::vector<std::string> lines;
        for (size_t i = 0; i < rows.size(); ++i) lines.push_back(LiveLine(i, rows[i]));
        if (lines == shown_) return;
        // Back to the first line, then every line rewritten and cleared to its end.
        if (!shown_.empty()) std::fprintf(out_, "\x1b[%dA", static_cast<int>(shown_.size()));
        for (const std::string& line : lines) std::fprintf(out_, "\r%s\x1b[K\n", line.c_str());
        shown_ = std::move(lines);
    } else if (kind_ == DisplayKind::Events) {
        for (size_t i = 0; i < rows.size(); ++i) {
            const RowStatus& status = rows[i];
            for (; eventsShown_[i] < status.entered.size(); ++eventsShown_[i]) {
                const RowPhase phase = status.entered[eventsShown_[i]];
                const std::string& port = plan_.rows[i].port;
                if (phase != RowPhase::Finished) {
                    std::fprintf(out_, "%s: %s\n", port.c_str(), PhaseName(phase));
                    continue;
                }
                std::string line = port + ": " + ResultName(status.result);
                if (!status.message.empty() && status.result != RowResult::Verified) line += ": " + status.message;
                std::fprintf(out_, "%s (%s s)\n", line.c_str(), Seconds(status).c_str());
            }
        }
    }
    std::fflush(out_);
}

std::string SummaryTable(const ProvisionPlan& plan, const std::vector<RowStatus>& rows) {
    size_t portWidth = 4;
    for (const PlanRow& row : plan.rows) portWidth = std::max(portWidth, row.port.size());
    std::string table = Padded("PORT", portWidth) + "  MAC ADDRESS        RESULT       SECONDS\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        const RowStatus& status = rows[i];
        char seconds[16];
        std::snprintf(seconds, sizeof seconds, "%7s", Seconds(status).c_str());
        table += Padded(plan.rows[i].port, portWidth) + "  " + Padded(status.mac.empty() ? "-" : status.mac, 17) +
                 "  " + Padded(ResultName(status.result), 11) + "  " + seconds + "\n";
    }
    return table;
}

std::string ReportCsv(const ProvisionPlan& plan, const std::vector<RowStatus>& rows) {
    std::string csv = CsvRecord({"port", "mac_address", "result", "seconds", "message", "backup"});
    for (size_t i = 0; i < rows.size(); ++i) {
        const RowStatus& status = rows[i];
        csv += CsvRecord(
            {plan.rows[i].port, status.mac, ResultName(status.result), Seconds(status), status.message, status.backup});
    }
    return csv;
}

}  // namespace quarnel
