// Provisioning side by side: one thread, line and converter session per
// row. A row reads its converter, applies its patch (the converter-dependent
// checks happen here: a refusal ends the row before anything is written),
// saves a backup if asked, writes and verifies. Rows share nothing but the
// read-only plan and settings and the cancel flag; each reports through its
// own slot, which the calling thread polls to show progress.
//
//   ProvisionRunner runner(plan, settings);
//   runner.Run([&](const std::vector<RowStatus>& rows) { display.Update(rows); });
//   bool ok = runner.Statuses()[0].result == RowResult::Verified;
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/line_exchange_host.h"
#include "cli/provision_plan.h"

namespace quarnel {

enum class RowPhase { Waiting, Opening, Reading, BackingUp, Writing, Verifying, Finished };

enum class RowResult {
    None,         // still running
    Verified,     // written and read back equal
    Unchanged,    // the converter held these settings already: nothing written
    Failed,       // port, converter, backup or verify failure
    Refused,      // the converter does not take a value; nothing written
    Interrupted,  // Ctrl-C while writing or verifying
    Cancelled,    // Ctrl-C before writing: nothing written
    NotStarted,   // Ctrl-C before the row's turn: the converter was not touched
};

struct RowStatus {
    RowPhase phase = RowPhase::Waiting;
    int percent = 0;  // within the phase
    RowResult result = RowResult::None;
    std::string mac;                // "0A:BC:DE:01:2F:9E" once read
    double seconds = 0;             // the row's time so far
    std::string message;            // why it failed, on one line
    std::string backup;             // the backup file written
    std::vector<RowPhase> entered;  // every phase entered, in order
};

struct ProvisionSettings {
    ConsoleChoice console = ConsoleChoice::Auto;
    double timeoutScale = 1.0;
    const std::atomic<bool>* cancel = nullptr;
    // At most this many rows at a time; 0: every row at once.
    int jobs = 0;
    // Saves the converter's settings before its row is written (`path`
    // the file) or says why not; empty: no backup.
    std::function<bool(const EnvRecord& converter, std::string& path, std::string& reason)> saveBackup;
    // Opens a row's port (OpenByteLine; another where a test stands in).
    std::function<std::unique_ptr<ByteLine>(const std::string& port, LineError& error)> openLine = OpenByteLine;
};

const char* PhaseName(RowPhase phase);
const char* ResultName(RowResult result);

class ProvisionRunner {
public:
    ProvisionRunner(const ProvisionPlan& plan, ProvisionSettings settings);
    ~ProvisionRunner();
    ProvisionRunner(const ProvisionRunner&) = delete;
    ProvisionRunner& operator=(const ProvisionRunner&) = delete;

    // Runs every row to its end and joins every thread. `poll` runs on the
    // calling thread every few tens of milliseconds and once at the end.
    void Run(const std::function<void(const std::vector<RowStatus>&)>& poll);

    const std::vector<RowStatus>& Statuses() const { return statuses_; }

private:
    struct Slot;

    // One row from its port to its result, in the row's own thread; a row
    // that throws fails alone, with the exception's message.
    static void GuardedRow(const PlanRow& row, const ProvisionSettings& settings, Slot& slot);
    static void RunRow(const PlanRow& row, const ProvisionSettings& settings, Slot& slot);
    void Start(size_t index);
    void Snapshot();

    const ProvisionPlan& plan_;
    ProvisionSettings settings_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::vector<RowStatus> statuses_;
};

}  // namespace quarnel
