// quarnel-cli diff A B: where two converters, files or a converter and a
// file differ, setting by setting. Exit status 0 when equal, 1 when not.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

#include "cli/cli_context.h"
#include "cli/json_output.h"
#include "cli/settings_files.h"

namespace quarnel {

namespace {

struct DiffArguments {
    std::string a;
    std::string b;
    std::string format = "text";
};

// One side: a whole record (a converter, or a file with its block), or the
// named settings of a file without one.
struct Side {
    bool whole = false;
    EnvRecord record{};
    ConfigFile file;
};

bool ReadFileSide(CliContext& context, const std::string& path, Side& side) {
    if (!ReadSettingsFile(context, path, side.file)) return false;
    side.whole = side.file.hasBlock;
    if (!side.whole) return true;
    std::string error;
    if (RecordFromFile(side.file, side.record, error)) return true;
    context.Error(error);
    context.exitStatus = EXIT_USAGE;
    return false;
}

void Swap(ConfigDifferences& differences) {
    for (SettingDifference& d : differences.settings) std::swap(d.a, d.b);
}

// Compares over what both sides have: a file without block only in the
// settings it names.
bool Compare(CliContext& context, const Side& a, const Side& b, ConfigDifferences& differences) {
    if (a.whole && b.whole) {
        differences = CompareRecords(a.record, b.record);
        return true;
    }
    if (!a.whole && !b.whole) {
        differences = ComparePatches(a.file.patch, b.file.patch);
        return true;
    }
    const Side& whole = a.whole ? a : b;
    const Side& named = a.whole ? b : a;
    std::string error;
    if (!ComparePatch(whole.record, named.file.patch, differences, error)) {
        context.Error(error);
        context.exitStatus = EXIT_USAGE;
        return false;
    }
    if (!a.whole) Swap(differences);
    return true;
}

// Two converters (or their backups) with other MAC addresses: said by name,
// first, rather than as the offsets of the address.
void NameOtherMac(const Side& a, const Side& b, ConfigDifferences& differences) {
    if (!a.whole || !b.whole || a.record.main.mac_address() == b.record.main.mac_address()) return;
    const SettingDifference mac{NamedSetting{"about.mac", MacText(a.record.main.mac_address(), ":")},
                                NamedSetting{"about.mac", MacText(b.record.main.mac_address(), ":")}};
    differences.settings.insert(differences.settings.begin(), mac);
    const int first = env_layout::MAC_ADDRESS.offset, end = first + env_layout::MAC_ADDRESS.size;
    auto& offsets = differences.offsets;
    offsets.erase(std::remove_if(offsets.begin(), offsets.end(), [&](int o) { return o >= first && o < end; }),
                  offsets.end());
}

void RunDiff(CliContext& context, const DiffArguments& arguments) {
    const std::string* names[2] = {&arguments.a, &arguments.b};
    Side sides[2];
    // Files first: a bad file ends the command before any converter is read.
    for (int i = 0; i < 2; ++i)
        if (NamesSettingsFile(*names[i]) && !ReadFileSide(context, *names[i], sides[i])) return;
    for (int i = 0; i < 2; ++i) {
        if (NamesSettingsFile(*names[i])) continue;
        sides[i].whole = true;
        if (!ReadConverterRecord(context, *names[i], sides[i].record)) return;
    }

    ConfigDifferences differences;
    if (!Compare(context, sides[0], sides[1], differences)) return;
    NameOtherMac(sides[0], sides[1], differences);
    if (arguments.format == "json") {
        std::fputs(DifferencesAsJson(differences).c_str(), stdout);
    } else {
        for (const SettingDifference& d : differences.settings)
            std::printf("%s: %s -> %s\n", d.a.name.c_str(), ShownText(d.a).c_str(), ShownText(d.b).c_str());
        if (!differences.offsets.empty())
            std::printf("other offsets: %s\n", FormatOffsets(differences.offsets).c_str());
    }
    std::fflush(stdout);
    if (differences.Empty()) context.Note("No differences.");
    context.exitStatus = differences.Empty() ? EXIT_OK : EXIT_CONVERTER;
}

}  // namespace

void AddDiffCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<DiffArguments>();
    CLI::App* command = app.add_subcommand(
        "diff",
        "Compare two converters, two configuration files, or a converter and a file: the named settings that "
        "differ, one a line (section.name: a -> b), then any other record offsets that differ. Exit status 0 "
        "when equal, 1 when not.");
    command->footer(
        "A or B is a file when it names an existing regular file or ends in .qcfg; anything else is a serial "
        "port. A file without [block] is compared only in the settings it names.");
    command->add_option("A", arguments->a, "A configuration file or a serial port")->required();
    command->add_option("B", arguments->b, "A configuration file or a serial port")->required();
    command->add_option("--format", arguments->format, "text: one difference a line; json: one JSON document")
        ->check(CLI::IsMember({"text", "json"}))
        ->capture_default_str();
    command->callback([&context, arguments] { RunDiff(context, *arguments); });
}

}  // namespace quarnel
