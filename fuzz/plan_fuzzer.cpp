// The provisioning plan: any text is read or refused, never crashes. A
// refused plan leaves the caller's plan as it was; an accepted one has rows
// in order, each with a port of its own and the template's settings first,
// and every row's patch a converter takes or refuses cleanly. The plan's
// records, written again as the report writes CSV, read back the same.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/provision_plan.h"
#include "fuzz_check.h"
#include "patch_outcome.h"
#include "sample_converter.h"

namespace {

using namespace quarnel;

constexpr char PLAN_NAME[] = "plan.csv";
constexpr char UNTOUCHED_PORT[] = "untouched";
constexpr std::uint8_t CONVERTER_MODEL = 9;

const ConfigPatch& Template() {
    static const ConfigPatch shared = [] {
        ConfigPatch patch;
        std::string error;
        for (const char* assignment : {"serial.baud_rate=9600", "comment.text=Hall 3"})
            FUZZ_CHECK(ParseAssignment(assignment, "site.qcfg", patch, error), "the template is refused");
        return patch;
    }();
    return shared;
}

bool SameEntry(const PatchEntry& a, const PatchEntry& b) {
    return a.setting == b.setting && a.value.number == b.value.number && a.value.bytes == b.value.bytes;
}

bool StartsWithTemplate(const ConfigPatch& patch) {
    const ConfigPatch& shared = Template();
    if (patch.entries.size() < shared.entries.size()) return false;
    for (std::size_t i = 0; i < shared.entries.size(); ++i)
        if (!SameEntry(patch.entries[i], shared.entries[i])) return false;
    return true;
}

bool Trimmed(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !text.empty() && !blank(text.front()) && !blank(text.back());
}

void CheckRows(const ProvisionPlan& plan) {
    FUZZ_CHECK(!plan.rows.empty(), "an accepted plan has no rows");
    std::set<std::string> ports;
    int previousRow = 1;  // the header
    const EnvRecord converter = quarnel_fuzz::SampleConverter(CONVERTER_MODEL);
    for (const PlanRow& row : plan.rows) {
        FUZZ_CHECK(row.row > previousRow, "rows out of order or on the header's number");
        previousRow = row.row;
        FUZZ_CHECK(Trimmed(row.port), "a row's port is empty or has blanks around it");
        FUZZ_CHECK(ports.insert(row.port).second, "two rows have the same port");
        FUZZ_CHECK(StartsWithTemplate(row.patch), "a row's patch does not start with the template");
        EnvRecord record = converter;
        quarnel_fuzz::ApplyChecked(row.patch, record);
    }
}

void CheckCsvRoundTrip(std::string_view text) {
    std::vector<std::vector<std::string>> records, reread;
    std::string error;
    FUZZ_CHECK(SplitCsv(text, PLAN_NAME, records, error), "an accepted plan is not CSV");
    std::string written;
    for (const std::vector<std::string>& fields : records) written += CsvRecord(fields);
    FUZZ_CHECK(SplitCsv(written, PLAN_NAME, reread, error), "written CSV does not read back");
    FUZZ_CHECK(reread == records, "written CSV reads back as other fields");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ProvisionPlan plan;
    plan.rows.resize(1);
    plan.rows[0].port = UNTOUCHED_PORT;
    std::string error;
    if (!ParsePlan(text, PLAN_NAME, Template(), plan, error)) {
        FUZZ_CHECK(error.rfind(PLAN_NAME, 0) == 0, "a refusal does not name the plan");
        FUZZ_CHECK(plan.rows.size() == 1 && plan.rows[0].port == UNTOUCHED_PORT, "a refused plan changed the caller's");
        return 0;
    }
    CheckRows(plan);
    CheckCsvRoundTrip(text);
    return 0;
}
