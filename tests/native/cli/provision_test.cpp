// quarnel-cli provision against simulators on ptys: ten converters side by
// side, a plan refused before anything is sent, and Ctrl-C in the middle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/provision_runner.h"
#include "configfile/config_file.h"
#include "tests/native/cli/cli_run.h"
#include "tests/native/cli/sim_process.h"

namespace {

using namespace quarnel;
using clitest::CliRun;
using clitest::RunCli;
using clitest::SimProcess;
using clitest::TempFolder;

constexpr char TEMPLATE[] =
    "[network]\nsubnet_mask = \"255.255.0.0\"\ngateway_ip = \"10.1.0.1\"\n"
    "[serial]\nbaud_rate = \"115200\"\n[options]\ntelnet = true\n";

std::string MacOf(const std::vector<uint8_t>& block, const char* separator) {
    MainBlock::MacAddress mac;
    std::copy(block.begin() + 4, block.begin() + 10, mac.begin());
    return MacText(mac, separator);
}

// One converter of the bench: its console, its fault, the row's cells
// (local_ip, comment.text, mode.local_port, mode.timeout; empty: unchanged)
// and its result. A time-out above 3600 suits only a converter of model
// code 2 with long limits: the row of one without them is refused after its
// read, with nothing written.
struct Unit {
    const char* mode;
    const char* fault;
    const char* localIp;
    const char* comment;
    const char* localPort;
    const char* timeout;
    int longLimits;  // -1: the simulator's model as it is; else model 2 with or without long limits
    const char* result;
    bool holdsTemplate = false;  // the converter holds the template's settings already
};

// The drop-ack fault loses the acknowledgement of the third chunk a monitor
// console writes (after the two unlock commands); error-801 refuses the
// third read chunk.
const Unit BENCH[] = {
    {"monitor", "", "10.1.0.11", "Hall 3, line 1", "4001", "", -1, "verified"},
    {"shell", "", "10.1.0.12", "say \"hi\"", "", "5000", 1, "verified"},
    {"silent", "", "10.1.0.13", "", "4003", "", -1, "failed"},
    {"monitor", "drop-ack:5", "10.1.0.14", "", "4004", "", -1, "failed"},
    {"shell", "", "10.1.0.15", "", "4005", "", -1, "verified"},
    {"monitor", "", "", "Hall 3, line 6", "4006", "", -1, "verified"},
    {"shell", "", "10.1.0.17", "Bench, \"slot\" 7", "4007", "", -1, "verified"},
    {"monitor", "", "10.1.0.18", "", "", "5000", 0, "refused"},
    {"monitor", "error-801:3", "10.1.0.19", "", "4009", "", -1, "failed"},
    {"shell", "", "", "", "", "", -1, "unchanged", true},
};

std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string cell = "\"";
    for (char c : text) cell += c == '"' ? std::string("\"\"") : std::string(1, c);
    return cell + "\"";
}

TEST(CliProvision, TenConvertersSideBySideEachGetTemplateAndRow) {
    std::vector<uint8_t> base = SimProcess("monitor").Block();
    ASSERT_EQ(base.size(), 480u);
    TempFolder files;
    files.Write("site.qcfg", TEMPLATE);
    ConfigFile site;
    std::string error;
    ASSERT_TRUE(ParseConfigText(TEMPLATE, "site.qcfg", site, error)) << error;

    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<std::vector<uint8_t>> initial;
    // A spreadsheet's export: byte-order mark, CRLF line ends.
    std::string plan = "\xEF\xBB\xBFport,network.local_ip,comment.text,mode.local_port,mode.timeout\r\n";
    for (size_t i = 0; i < std::size(BENCH); ++i) {
        const Unit& unit = BENCH[i];
        EnvRecord record{};
        std::memcpy(record.Data(), base.data(), 480);
        record.Data()[9] = static_cast<uint8_t>(0x10 + i);  // one MAC address each
        if (unit.longLimits >= 0) {
            record.main.set_model_code(2);
            record.main.set_long_limits(static_cast<std::uint32_t>(unit.longLimits));
        }
        if (unit.holdsTemplate) {
            ASSERT_TRUE(ApplyPatch(site.patch, record, error)) << error;
        }
        initial.emplace_back(record.Data(), record.Data() + 480);
        sims.push_back(std::make_unique<SimProcess>(unit.mode, unit.fault, initial.back()));
        ASSERT_TRUE(sims.back()->Started());
        plan += sims.back()->Port() + "," + unit.localIp + "," + CsvCell(unit.comment) + "," + unit.localPort + "," +
                unit.timeout + "\r\n";
    }
    files.Write("plan.csv", plan);

    const CliRun run = RunCli({"provision", files.Path("plan.csv"), "--template", files.Path("site.qcfg"), "--backup",
                               files.Path("backups"), "--report", files.Path("report.csv"), "--timeout-scale", "0.5"});
    EXPECT_EQ(run.status, 1) << run.errors;
    const std::string report = files.Read("report.csv");
    for (size_t i = 0; i < std::size(BENCH); ++i) {
        const Unit& unit = BENCH[i];
        SCOPED_TRACE(sims[i]->Port() + " " + unit.mode);
        // A converter that answers its read shows its MAC address.
        const bool answers = std::string(unit.mode) != "silent" && std::string(unit.fault).rfind("error-801", 0) != 0;
        const std::string line = sims[i]->Port() + "," + (answers ? MacOf(initial[i], ":") : "") + "," + unit.result;
        EXPECT_NE(report.find(line + ","), std::string::npos) << line << "\n" << report;
        EXPECT_NE(run.output.find(sims[i]->Port()), std::string::npos) << run.output;
        const std::string backupName = "backups/tarvo-" + MacOf(initial[i], "") + ".qcfg";
        if (std::string(unit.fault).rfind("drop-ack", 0) == 0) {
            // Written part-way: the report says how far and how to put it back.
            EXPECT_NE(report.find("Writing stopped after 32 of 448 bytes"), std::string::npos) << report;
            EXPECT_NE(report.find("quarnel-cli restore " + sims[i]->Port() + " " + files.Path(backupName)),
                      std::string::npos)
                << report;
        } else if (std::string(unit.result) != "verified") {
            EXPECT_EQ(sims[i]->Block(), initial[i]);
            EXPECT_FALSE(sims[i]->SawWrite());
        }
        if (std::string(unit.result) != "verified") continue;
        // The backup holds the converter as it was before the write.
        ConfigFile backup;
        ASSERT_TRUE(ParseConfigText(files.Read(backupName), backupName, backup, error)) << error;
        EXPECT_EQ(std::vector<uint8_t>(backup.block.Data(), backup.block.Data() + 480), initial[i]) << backupName;

        ConfigPatch patch = site.patch;
        const std::pair<const char*, const char*> cells[] = {{"network.local_ip", unit.localIp},
                                                             {"comment.text", unit.comment},
                                                             {"mode.local_port", unit.localPort},
                                                             {"mode.timeout", unit.timeout}};
        for (const auto& [setting, value] : cells) {
            if (*value == '\0') continue;
            ASSERT_TRUE(ParseAssignment(std::string(setting) + "=" + value, "row", patch, error)) << error;
        }
        EnvRecord expected{};
        std::memcpy(expected.Data(), initial[i].data(), 480);
        ASSERT_TRUE(ApplyPatch(patch, expected, error)) << error;
        std::memcpy(expected.Data(), initial[i].data(), 32);  // never written
        EXPECT_EQ(sims[i]->Block(), std::vector<uint8_t>(expected.Data(), expected.Data() + 480));
    }
    EXPECT_NE(run.errors.find("row 9, column 5: mode.timeout: 5000 is above 3600"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("5 of 10 converters written and verified, 1 held these settings already."),
              std::string::npos)
        << run.errors;
}

// A row whose work throws fails alone, with the exception's message; the
// rows beside it run to their end.
TEST(CliProvision, RowThatThrowsFailsAlone) {
    SimProcess first("monitor"), last("shell");
    ASSERT_TRUE(first.Started() && last.Started());
    ConfigPatch patch;
    std::string error;
    ASSERT_TRUE(ParseAssignment("mode.local_port=4100", "row", patch, error)) << error;
    ProvisionPlan plan;
    plan.rows = {{2, first.Port(), patch}, {3, "throws", patch}, {4, last.Port(), patch}};
    ProvisionSettings settings;
    settings.openLine = [](const std::string& port, LineError& lineError) {
        if (port == "throws") throw std::bad_alloc();
        return OpenByteLine(port, lineError);
    };
    ProvisionRunner runner(plan, settings);
    runner.Run(nullptr);
    const std::vector<RowStatus>& rows = runner.Statuses();
    EXPECT_EQ(rows[0].result, RowResult::Verified) << rows[0].message;
    EXPECT_EQ(rows[1].result, RowResult::Failed);
    EXPECT_EQ(rows[1].message, "Stopped by an unexpected error: std::bad_alloc.");
    EXPECT_EQ(rows[2].result, RowResult::Verified) << rows[2].message;
}

TEST(CliProvision, BadPlanSendsNothingAndNamesRowAndColumn) {
    SimProcess first("monitor"), second("shell");
    ASSERT_TRUE(first.Started() && second.Started());
    TempFolder files;
    files.Write("site.qcfg", TEMPLATE);
    const std::string a = first.Port(), b = second.Port();
    const struct {
        std::string plan;
        std::string message;
    } cases[] = {
        {"port,network.local_ip\n" + a + ",10.1.0.5\n" + b + ",10.1.0.300\n",
         "plan.csv, row 3, column 2: network.local_ip: \"10.1.0.300\" is not an address"},
        {"port,mode.local_port\n" + a + ",4001\n\n" + a + ",4002\n",
         "plan.csv, row 4, column 1: port: " + a + " is also in row 2"},
        {"port,network.local_address\n" + a + ",10.1.0.5\n", "plan.csv, row 1, column 2: network.local_address"},
        {"port,comment.text\n" + a + ",\"Hall 3\n" + b + ",x\n", "plan.csv, row 2: a quoted field is not closed"},
        {"port,comment.text\n" + a + ",Hall\n" + b + "\n", "plan.csv, row 3: 1 cell, but the header has 2 cells"},
        {"port,mode.local_port\n,4001\n", "plan.csv, row 2, column 1: port: no port"},
        {"port,comment.text\n" + a + ",Caf\xe9\n", "plan.csv, row 2: the plan is not UTF-8 text"},
        {"port,comment.text=x\n" + a + ",y\n",
         "plan.csv, row 1, column 2: comment.text=x: unknown setting; [comment] holds text"},
        {"port,comment.text\n" + a + "," + std::string(100, 'x') + "\n",
         "plan.csv, row 2, column 2: comment.text: \"" + std::string(40, 'x') + "...\" is 100 characters long"},
    };
    for (const auto& c : cases) {
        files.Write("plan.csv", c.plan);
        const CliRun run = RunCli({"provision", files.Path("plan.csv"), "--template", files.Path("site.qcfg")});
        EXPECT_EQ(run.status, 2) << c.plan;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find("Nothing was sent to any converter."), std::string::npos) << run.errors;
    }
    // A report that could not be saved is refused before any converter is touched.
    files.Write("plan.csv", "port,mode.local_port\n" + a + ",4001\n");
    std::filesystem::create_directory(files.Path("report.csv"));
    const CliRun run = RunCli({"provision", files.Path("plan.csv"), "--template", files.Path("site.qcfg"), "--report",
                               files.Path("report.csv")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("Cannot save the report " + files.Path("report.csv") + ": " + files.Path("report.csv") +
                              " is a folder, not a regular file."),
              std::string::npos)
        << run.errors;
    EXPECT_EQ(first.LoggedLines() + second.LoggedLines(), 0u);
}

// Two shell converters at a time: the first is stuck in its write (an
// acknowledgement lost, 15 seconds to wait for it), the second in its probe
// (silent); the third has not started when Ctrl-C comes. A shell write
// stages its chunks until its last command: the interrupted converter's
// block is as it was.
TEST(CliProvision, CtrlCLeavesRowsNotStartedUntouchedAndReportsTheWriteInterrupted) {
    SimProcess writing("shell", "drop-ack:5"), reading("silent"), waiting("shell");
    ASSERT_TRUE(writing.Started() && reading.Started() && waiting.Started());
    const std::vector<uint8_t> before = writing.Block();
    TempFolder files;
    files.Write("site.qcfg", TEMPLATE);
    files.Write("plan.csv", "port,mode.local_port\n" + writing.Port() + ",4001\n" + reading.Port() + ",4002\n" +
                                waiting.Port() + ",4003\n");
    const CliRun run = RunCli({"provision", files.Path("plan.csv"), "--template", files.Path("site.qcfg"), "--jobs",
                               "2", "--mode", "shell", "--timeout-scale", "3", "--report", files.Path("report.json")},
                              "", 1.0);
    EXPECT_EQ(run.status, 130) << run.errors;
    // The report as JSON, its rows in the plan's order.
    const std::string report = files.Read("report.json");
    const std::string results[][3] = {{writing.Port(), MacOf(before, ":"), "interrupted"},
                                      {reading.Port(), "", "cancelled"},
                                      {waiting.Port(), "", "not started"}};
    size_t at = 0;
    for (const auto& [port, mac, result] : results) {
        at = report.find("\"mac_address\" : \"" + mac + "\"", at);
        ASSERT_NE(at, std::string::npos) << report;
        EXPECT_NE(report.find("\"port\" : \"" + port + "\",\n            \"result\" : \"" + result + "\"", at),
                  std::string::npos)
            << report;
    }
    EXPECT_EQ(writing.Block(), before);
    EXPECT_EQ(waiting.LoggedLines(), 0u);
}

}  // namespace
