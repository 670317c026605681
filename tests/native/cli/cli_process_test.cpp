// The real quarnel-cli against the converter simulator on a pty, in both
// console modes: the converter's block is checked byte for byte.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "configfile/config_file.h"
#include "envrecord/record_values.h"
#include "tests/native/cli/cli_run.h"
#include "tests/native/cli/sim_process.h"
#include "envrecord/password_block.h"

namespace {

using clitest::CliRun;
using clitest::RunCli;
using clitest::SimProcess;
using clitest::TempFolder;
using quarnel::EnvRecord;

EnvRecord RecordOf(const std::vector<uint8_t>& block) {
    EnvRecord record{};
    if (block.size() == sizeof record) std::memcpy(record.Data(), block.data(), sizeof record);
    return record;
}

// The block a converter holds after `written` went to it: bytes 32-479 as
// written, the first 32 as they were.
std::vector<uint8_t> AfterWrite(const std::vector<uint8_t>& before, const EnvRecord& written) {
    std::vector<uint8_t> block(before);
    std::memcpy(block.data() + 32, written.Data() + 32, 480 - 32);
    return block;
}

std::vector<uint8_t> WithPassword(const std::vector<uint8_t>& block, const char* password) {
    EnvRecord record = RecordOf(block);
    quarnel::MainBlock::PasswordBlock field;
    EXPECT_TRUE(quarnel::BuildPasswordBlock(password == nullptr, password ? password : "", field));
    record.main.set_password_block(field);
    return AfterWrite(block, record);
}

std::vector<uint8_t> BlockOfFile(const std::string& text) {
    quarnel::ConfigFile file;
    std::string error;
    EXPECT_TRUE(quarnel::ParseConfigText(text, "saved", file, error)) << error;
    return std::vector<uint8_t>(file.block.Data(), file.block.Data() + 480);
}

std::string Dotted(uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 255) + "." +
           std::to_string(address >> 8 & 255) + "." + std::to_string(address & 255);
}

class CliConverter : public ::testing::TestWithParam<const char*> {};

TEST_P(CliConverter, FactoryAndPasswordReachTheBlock) {
    const std::string mode = GetParam();
    SimProcess sim(mode);
    ASSERT_TRUE(sim.Started());
    const std::vector<uint8_t> initial = sim.Block();
    ASSERT_EQ(initial.size(), 480u);

    EnvRecord factory = RecordOf(initial);
    quarnel::ApplyFactoryValues(factory.main, factory.wlan, factory.tail);
    CliRun run = RunCli({"factory", sim.Port()});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find("(" + mode + " mode): verified."), std::string::npos) << run.errors;
    const std::vector<uint8_t> afterFactory = sim.Block();
    EXPECT_EQ(afterFactory, AfterWrite(initial, factory));

    // Twelve characters, thirteen bytes as typed: the converter keeps Latin-1.
    run = RunCli({"password", sim.Port(), "--password-stdin", "--mode", mode, "-q"}, "S\u00e9cret-12345\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    const std::vector<uint8_t> afterPassword = sim.Block();
    EXPECT_EQ(afterPassword, WithPassword(afterFactory,
                                          "S\xe9"
                                          "cret-12345"));

    run = RunCli({"password", "--delete", sim.Port()});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(sim.Block(), WithPassword(afterPassword, nullptr));
}

// The third 16-byte chunk (record bytes 64-79) is acknowledged and lost;
// the password field's first eight bytes (72-79) lie in it.
TEST_P(CliConverter, VerifyCatchesAChunkTheConverterDropped) {
    SimProcess sim(GetParam(), "lose-write:3");
    ASSERT_TRUE(sim.Started());
    const CliRun run = RunCli({"password", sim.Port(), "--password-stdin"}, "tarvo\n");
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.errors.find("The converter holds other values than were written: console.password_field.\n"),
              std::string::npos)
        << run.errors;
}

// show, save, apply, diff and restore against one converter, its block
// checked byte for byte after every write.
TEST_P(CliConverter, FileCommandsRoundTripTheBlock) {
    const std::string mode = GetParam();
    SimProcess sim(mode);
    ASSERT_TRUE(sim.Started());
    TempFolder files;
    const std::vector<uint8_t> initial = sim.Block();
    ASSERT_EQ(initial.size(), 480u);
    const EnvRecord before = RecordOf(initial);
    const std::string port = sim.Port();

    CliRun run = RunCli({"show", port, "--mode", mode});
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string ip = Dotted(before.main.local_ip());
    EXPECT_TRUE(std::regex_search(run.output, std::regex("\\nnetwork\\.local_ip {16}" + ip + "\\n"))) << run.output;

    run = RunCli({"show", port, "--format", "qcfg"});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(BlockOfFile(run.output), initial);
    run = RunCli({"save", port, files.Path("backup.qcfg")});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(BlockOfFile(files.Read("backup.qcfg")), initial);

    // Two files and two values, each later one winning where they overlap.
    const std::string site =
        files.Write("site.qcfg", "[network]\nlocal_ip = \"10.1.0.5\"\n[serial]\nbaud_rate = \"9600\"\n");
    const std::string line7 =
        files.Write("line-7.qcfg", "[serial]\nbaud_rate = \"19200\"\n[wlan]\ntarget_ssid = \"HALL-7\"\n");
    run = RunCli(
        {"apply", port, site, line7, "--set", "network.gateway_ip=10.1.0.1", "--set", "wlan.target_ssid=Line 7"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find("(" + mode + " mode): verified."), std::string::npos) << run.errors;
    EnvRecord applied = before;
    applied.main.set_local_ip(0x0A010005), applied.main.set_gateway_ip(0x0A010001);
    applied.main.set_baud_rate(19200), applied.wlan.set_ssid("Line 7");
    EXPECT_EQ(sim.Block(), AfterWrite(initial, applied));

    const struct {
        std::vector<std::string> args;
        int status;
        std::string output;
    } diffs[] = {
        {{"diff", files.Path("backup.qcfg"), port},
         1,
         "network.local_ip: " + ip + " -> 10.1.0.5\nnetwork.gateway_ip: " + Dotted(before.main.gateway_ip()) +
             " -> 10.1.0.1\nserial.baud_rate: " + std::to_string(before.main.baud_rate()) +
             " -> 19200\nwlan.target_ssid: " + before.wlan.ssid() + " -> Line 7\n"},
        {{"diff", port, site}, 1, "serial.baud_rate: 19200 -> 9600\n"},
        {{"diff", line7, line7}, 0, ""},
        {{"diff", site, line7},
         1,
         "network.local_ip: 10.1.0.5 -> (not named)\nserial.baud_rate: 9600 -> 19200\n"
         "wlan.target_ssid: (not named) -> HALL-7\n"},
    };
    for (const auto& c : diffs) {
        run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[1] << " " << c.args[2] << ": " << run.errors;
        EXPECT_EQ(run.output, c.output);
    }

    run = RunCli({"restore", port, files.Path("backup.qcfg")});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(sim.Block(), initial);

    // A backup of another converter (its MAC one higher) is refused unless
    // forced; forced, bytes 32-479 are the file's and the converter keeps its
    // own first 32.
    EnvRecord other = before;
    quarnel::MainBlock::MacAddress mac = other.main.mac_address();
    ++mac[5];
    other.main.set_mac_address(mac), other.main.set_local_ip(0x0A000063);
    const std::string backup =
        files.Write("other.qcfg", quarnel::WriteConfigText(other, quarnel::AboutOf(other.main, "", "")));
    run = RunCli({"restore", port, backup});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("saved from the converter with MAC address"), std::string::npos) << run.errors;
    EXPECT_EQ(sim.Block(), initial);
    run = RunCli({"restore", port, backup, "--force"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(sim.Block(), AfterWrite(initial, other));
    run = RunCli({"diff", backup, port});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "about.mac: " + quarnel::MacText(mac, ":") + " -> " +
                              quarnel::MacText(before.main.mac_address(), ":") + "\n");
}

INSTANTIATE_TEST_SUITE_P(BothConsoles, CliConverter, ::testing::Values("monitor", "shell"));

// A converter that refuses a read chunk, loses a write or stops answering in
// the middle of one: the exit status and message, and what reached it. A
// refused read writes and saves nothing; a read-back that does not complete
// never says "verified"; a write that stops says how far it got.
TEST(CliFailures, ConverterFaultsEndInTheirMessage) {
    const struct {
        const char* mode;
        const char* fault;
        std::vector<std::string> args;  // "PORT" and "FILE" stand for the simulator's and a file
        int status;
        const char* message;
        bool written;
    } cases[] = {
        {"monitor",
         "error-801:2",
         {"show", "PORT"},
         1,
         "Tarvo refused to send part of its settings (bytes 128-255); nothing was read.\n",
         false},
        {"monitor", "error-801:2", {"save", "PORT", "FILE"}, 1, "(bytes 128-255)", false},
        {"monitor", "error-801:2", {"apply", "PORT", "--set", "comment.text=X"}, 1, "(bytes 128-255)", false},
        {"monitor", "error-801:4", {"factory", "PORT"}, 1, "(bytes 384-479)", false},
        {"monitor", "error-801:1", {"restore", "PORT", "FILE"}, 1, "(bytes 0-127)", false},
        {"monitor", "error-801:2", {"password", "--delete", "PORT"}, 1, "(bytes 128-255)", false},
        {"monitor",
         "lose-write:3,error-801:6",
         {"apply", "PORT", "--set", "comment.text=X"},
         1,
         "The write could not be verified: Tarvo refused to send part of its settings (bytes 128-255)",
         true},
        {"monitor",
         "drop-ack:9",
         {"apply", "PORT", "--set", "comment.text=X"},
         1,
         "Writing stopped after 96 of 448 bytes (the converter stopped answering): the converter may now hold a "
         "mix of old and new settings.\nPut its settings back with: quarnel-cli restore PORT BACKUPS/tarvo-",
         true},
        {"monitor", "", {"apply", "PORT", "FILE"}, 0, "already holds these settings; nothing was written.", false},
        {"shell", "insert-char:5", {"show", "PORT", "--timeout-scale", "0.3"}, 1, "No respone from Tarvo.", false},
    };
    for (const auto& c : cases) {
        SimProcess sim(c.mode, c.fault);
        ASSERT_TRUE(sim.Started());
        TempFolder files;
        const std::vector<uint8_t> before = sim.Block();
        // The file: an empty settings file for apply, the converter's own backup for restore.
        const EnvRecord record = RecordOf(before);
        const std::string file =
            c.args[0] == "save" ? files.Path("saved.qcfg")
            : c.args[0] == "apply"
                ? files.Write("empty.qcfg", "")
                : files.Write("own.qcfg", quarnel::WriteConfigText(record, quarnel::AboutOf(record.main, "", "")));
        std::vector<std::string> args;
        for (const std::string& a : c.args) args.push_back(a == "PORT" ? sim.Port() : a == "FILE" ? file : a);
        const CliRun run = RunCli(args, "", 0);
        SCOPED_TRACE(args[0] + " " + c.fault);
        EXPECT_EQ(run.status, c.status) << run.errors;
        std::string message = c.message;
        for (size_t at; (at = message.find("PORT")) != std::string::npos;) message.replace(at, 4, sim.Port());
        if (size_t at = message.find("BACKUPS"); at != std::string::npos)
            message.replace(at, 7, clitest::BackupsFolder());
        EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
        EXPECT_EQ(run.errors.find("verified."), std::string::npos) << run.errors;
        EXPECT_EQ(sim.SawWrite(), c.written);
        if (c.args[0] == "save") {
            EXPECT_FALSE(std::filesystem::exists(file));
        }
        if (!c.written) {
            EXPECT_EQ(sim.Block(), before);
        }
    }
}

// --trace writes the dialogue as it happened into a file only the user may
// read; --format json gives the settings files' names as one document.
TEST(CliOutput, TraceAndJson) {
    SimProcess sim("shell");
    ASSERT_TRUE(sim.Started());
    TempFolder files;
    const std::string trace = files.Path("trace.txt");
    const mode_t mask = umask(022);
    CliRun run = RunCli({"show", sim.Port(), "--format", "json", "--trace", trace});
    umask(mask);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.output.find("\"network\" : {"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\"local_ip\" : \"" + Dotted(RecordOf(sim.Block()).main.local_ip()) + "\""),
              std::string::npos)
        << run.output;
    struct stat info {};
    ASSERT_EQ(stat(trace.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const std::string dialogue = files.Read("trace.txt");
    for (const char* line : {" > 115200 r\\r\n", " > 19200 \\rC1\\r\n", " < 19200 @700\\r\\n\n", " > 19200 C1\\r\n"})
        EXPECT_NE(dialogue.find(sim.Port() + line), std::string::npos) << line << "\n" << dialogue;

    const std::string site = files.Write("site.qcfg", "[network]\nlocal_ip = \"10.1.0.5\"\n");
    run = RunCli({"diff", sim.Port(), site, "--format", "json"});
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.output.find("\"b\" : \"10.1.0.5\",\n            \"setting\" : \"network.local_ip\""),
              std::string::npos)
        << run.output;
}

// Other names of the pty open as its own does: the simulator's link to it
// in a folder of its own, and a path through "..". Each run leaves the shell
// console with "C1" at the console's speed, though the next run opens the
// port at once at the monitor speed.
TEST(CliPorts, AnyNameOfTheDeviceOpensAndEveryRunLeavesTheConsole) {
    SimProcess sim("shell");
    ASSERT_TRUE(sim.Started());
    const std::string names[] = {sim.File("line"), "/dev/pts/.." + sim.Port().substr(std::strlen("/dev"))};
    for (const std::string& name : names) {
        const CliRun run = RunCli({"show", name, "--mode", "shell"});
        EXPECT_EQ(run.status, 0) << name << ": " << run.errors;
        EXPECT_NE(run.output.find("\nnetwork.local_ip "), std::string::npos) << name << ": " << run.output;
    }
    const std::string closing = "19200 C1\\r\n";
    const std::string oneRun = "19200 \\r\n19200 C1\\r\n19200 env xconfig\\r\n19200 L0\\r\n19200 RA 00\\r\n" + closing;
    // The second run's closing line may not be read yet.
    const std::string first = oneRun + oneRun.substr(0, oneRun.size() - closing.size());
    const std::string log = clitest::ReadFile(sim.File("log"));
    EXPECT_TRUE(log == first || log == first + closing) << log;
}

// Every command that writes first saves what the converter held, one new
// file each, in the backups folder; --no-backup saves none; `backups` lists
// them newest first, all or one converter's.
TEST(CliBackups, EveryWriteLeavesOneAndBackupsListsThem) {
    std::vector<uint8_t> block = SimProcess("monitor").Block();
    ASSERT_EQ(block.size(), 480u);
    block[9] = 0x42;  // a MAC address no other test's converter has
    SimProcess sim("monitor", "", block);
    ASSERT_TRUE(sim.Started());
    TempFolder files;
    const std::string port = sim.Port();
    EnvRecord edited = RecordOf(sim.Block());
    edited.tail.set_comment("restored");
    const std::string restore =
        files.Write("restore.qcfg", quarnel::WriteConfigText(edited, quarnel::AboutOf(edited.main, "", "")));
    files.Write("site.qcfg", "[mode]\nlocal_port = 4100\n");
    files.Write("plan.csv", "port,network.local_ip\n" + port + ",10.1.0.77\n");
    const std::vector<std::vector<std::string>> writes = {
        {"apply", port, "--set", "comment.text=first"},
        {"restore", port, restore},
        {"factory", port},
        {"password", port, "--password-stdin"},
        {"provision", files.Path("plan.csv"), "--template", files.Path("site.qcfg")},
    };
    const auto saved = [] {
        std::vector<std::string> paths;
        for (const auto& item : std::filesystem::directory_iterator(clitest::BackupsFolder()))
            paths.push_back(item.path());
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    CliRun run = RunCli({"backups"});
    std::vector<std::string> before = saved(), listed;
    for (const auto& args : writes) {
        const std::vector<uint8_t> held = sim.Block();
        run = RunCli(args, "tarvo\n");
        ASSERT_EQ(run.status, 0) << args[0] << ": " << run.errors;
        std::vector<std::string> after = saved(), added;
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
        ASSERT_EQ(added.size(), 1u) << args[0];
        EXPECT_EQ(BlockOfFile(clitest::ReadFile(added[0])), held) << args[0];
        listed.insert(listed.begin(), added[0]);
        before = after;
    }
    run = RunCli({"apply", port, "--set", "comment.text=unsaved", "--no-backup"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(saved(), before);

    const std::string mac = quarnel::MacText(RecordOf(sim.Block()).main.mac_address(), ":");
    for (const std::string& which : {std::string(), mac, port}) {
        run = RunCli(which.empty() ? std::vector<std::string>{"backups"} : std::vector<std::string>{"backups", which});
        ASSERT_EQ(run.status, 0) << run.errors;
        std::string expected;
        for (const std::string& path : listed) expected += path + "  " + mac + "  ";
        std::string shown =
            std::regex_replace(run.output, std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\n"), "");
        // All backups: this converter's are the newest (other tests' may follow).
        if (which.empty()) shown = shown.substr(0, expected.size());
        EXPECT_EQ(shown, expected) << which;
    }
    run = RunCli({"backups", "02:00:00:00:00:99"});
    EXPECT_EQ(run.output, "");
}

TEST(CliFailures, SilentConverterIsReported) {
    SimProcess sim("silent");
    ASSERT_TRUE(sim.Started());
    const CliRun run = RunCli({"factory", sim.Port(), "--timeout-scale", "0.25"});
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.errors.find("No respone from Tarvo.\n\nCheck serial port, cable connection, power supply and "
                              "console mode."),
              std::string::npos)
        << run.errors;
}

// A bad port, password, file or value ends the command before the port is
// opened: the converter receives nothing. (The configuration file tests
// hold every refusal; here one of each kind.)
TEST(CliFailures, BadInputSendsNothing) {
    SimProcess sim("monitor");
    ASSERT_TRUE(sim.Started());
    TempFolder files;
    const std::string port = sim.Port();
    const std::string good = files.Write("good.qcfg", "[network]\nlocal_ip = \"10.1.0.5\"\n");
    const std::string bad =
        files.Write("bad.qcfg", "[network]\nlocal_ip = \"10.1.0.5\"\n\n[serial]\nparity = \"MARK\"\n");
    // A port another program holds, by a lock or by the terminal's exclusive
    // flag (which root, running the tests, would pass).
    CliRun run;
    for (const bool exclusiveFlag : {false, true}) {
        const int held = open(port.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(held, 0);
        ASSERT_EQ(exclusiveFlag ? ioctl(held, TIOCEXCL) : flock(held, LOCK_EX | LOCK_NB), 0);
        run = RunCli({"factory", port});
        // The simulator keeps the pty open: the flag would outlive this holder.
        if (exclusiveFlag) ioctl(held, TIOCNXCL);
        close(held);
        EXPECT_EQ(run.status, 2) << "exclusive flag: " << exclusiveFlag;
        EXPECT_NE(run.errors.find("Port " + port + " is in use by another program."), std::string::npos) << run.errors;
    }

    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string message;
    } refused[] = {
        {{"factory", "/dev/ttyQUARNEL-none"}, "", "Port /dev/ttyQUARNEL-none does not exist.\n"},
        {{"show", good}, "", "good.qcfg is not a serial port.\n"},
        {{"password", port, "--password-stdin"}, "thirteen-char\n", "more than 12 characters"},
        {{"password", port, "--password-stdin"}, "\n", "use --delete"},
        {{"password", port, "--password-stdin"}, "tab\there\n", "control character"},
        {{"password", port, "--password-stdin"}, "euro\u20ac\n", "cannot keep: only Latin-1"},
        {{"password", port, "--password-stdin"}, "one\ntwo\n", "more than one line"},
        {{"password", port}, "", "give it with --password-stdin"},
        {{"factory", port, "--mode", "both"}, "", "--mode"},
        {{"--mode", "shell", "frobnicate", port}, "", "unknown command \"frobnicate\""},
        {{"factory", port, "--timeout-scale", "1,5"}, "", "--timeout-scale: \"1,5\" is not a number"},
        {{"provision", good, "--template", good, "--jobs", "0"}, "", "--jobs: must be at least 1"},
        {{"apply", port, good, bad}, "", "bad.qcfg, line 5: serial.parity: \"MARK\" is not offered"},
        {{"apply", port, good, "--set", "network.local_ip=10.1.0.300"},
         "",
         "--set network.local_ip=10.1.0.300: network.local_ip: \"10.1.0.300\" is not an address"},
        {{"apply", port, files.Path("missing.qcfg")}, "", "could not be read from"},
        {{"apply", port, "--set", "about.mac=02:00:00:00:00:01"}, "", "about.mac: [about] is informational"},
        {{"apply", port}, "", "Nothing to apply"},
        {{"restore", port, good}, "", "good.qcfg: holds no [block]"},
        {{"save", port}, "", "FILE is required"},
        {{"save", port, files.Path("no/x.qcfg")}, "", "The folder " + files.Path("no") + " does not exist"},
        {{"save", port, "/dev/null"}, "", "/dev/null is a device, not a regular file"},
    };
    for (const auto& c : refused) {
        run = RunCli(c.args, c.input);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
    EXPECT_EQ(sim.LoggedLines(), 0u);

    // A value this converter cannot take is refused after the read, before
    // any write: the converter's log holds one read, as a show leaves it.
    run = RunCli({"show", port});
    ASSERT_EQ(run.status, 0) << run.errors;
    const size_t oneRead = sim.LoggedLines();
    ASSERT_GT(oneRead, 0u) << "the simulator logs what it receives";
    const std::vector<uint8_t> block = sim.Block();
    run = RunCli({"apply", port, good, "--set", "mode.timeout=65535"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("mode.timeout: 65535 is above"), std::string::npos) << run.errors;
    EXPECT_EQ(sim.LoggedLines(), 2 * oneRead);
    EXPECT_EQ(sim.Block(), block);
}

}  // namespace
