// Sweep texts through parsing, planning, a short run on one or two threads
// and both tables: a refused sweep is refused naming --sweep; an accepted one
// runs every case (a planned case never fails mid-run), and its CSV has one
// row per case with the header's columns and its JSON one object per case.
#include "app/core/run/Sweep.h"
#include "support/LibStandard.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace brennic;

// Steps times elements above which an accepted sweep is not run: the case
// is checked, but too slow to fuzz.
constexpr double MaxWork = 2e5;
constexpr std::size_t MaxRunCases = 8;

[[noreturn]] void Fail(const std::string& what, const std::vector<std::string>& texts)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    for (const std::string& t : texts) std::fprintf(stderr, "  --sweep '%s'\n", t.c_str());
    std::abort();
}

std::string Key(FuzzedDataProvider& in)
{
    const int pick = in.ConsumeIntegralInRange<int>(-2, FieldCount - 1);
    if (pick == -2)
        return in.ConsumeRandomLengthString(12);
    return pick < 0 ? std::string(MaterialKey) : std::string(InputFields[std::size_t(pick)].Key);
}

std::size_t Commas(const std::string& line)
{
    return std::size_t(std::count(line.begin(), line.end(), ','));
}

void CheckTables(const TSweepPlan& plan, const std::vector<TReadiness>& results, const std::vector<std::string>& texts)
{
    if (results.size() != plan.Cases)
        Fail("results for " + std::to_string(results.size()) + " of " + std::to_string(plan.Cases) + " cases", texts);
    const std::string header = SweepCsvHeader(plan);
    for (std::size_t i = 0; i < results.size(); ++i) {
        const std::string row = SweepCsvRow(plan, i, results[i]);
        if (Commas(row) != Commas(header) || row.find('\n') != row.size() - 1)
            Fail("row " + std::to_string(i) + " '" + row + "' under '" + header + "'", texts);
    }
    const nlohmann::json json = nlohmann::json::parse(SweepJson(plan, results), nullptr, false);
    if (!json.is_array() || json.size() != plan.Cases)
        Fail("the JSON is not an array of one object per case", texts);
    for (const nlohmann::json& c : json)
        for (const TSweepAxis& a : plan.Axes)
            if (!c.is_object() || !c.contains("inputs") || !c["inputs"].contains(a.Key))
                Fail("a case without its value of " + a.Key, texts);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    TRequestSource base;
    base.Naming = TFieldNaming::Option;
    base.Use = TMemoryUse::Streams;
    base.Texts.Text(fDuration) = u"60";
    if (in.ConsumeBool()) {
        const std::string seeing = in.ConsumeRandomLengthString(40);
        base.Texts.Text(fSeeing) = FromUtf8(seeing);
    }
    std::vector<std::string> texts;
    std::vector<TSweepAxis> axes;
    const int count = in.ConsumeIntegralInRange<int>(1, 2);
    for (int a = 0; a < count; ++a) {
        texts.push_back(Key(in) + "=" + in.ConsumeRandomLengthString(48));
        try {
            axes.push_back(ParseSweep(texts.back()));
        } catch (const EBrennicError& e) {
            if (std::string(e.what()).rfind("--sweep ", 0) != 0)
                Fail(std::string("refused without --sweep: ") + e.what(), texts);
            return 0;
        }
        if (axes.back().Values.empty())
            Fail("an axis without values", texts);
    }
    TSweepPlan plan;
    try {
        plan = PlanSweep(base, std::move(axes));
    } catch (const EBrennicError& e) {
        if (std::string(e.what()).rfind("--sweep ", 0) != 0)
            Fail(std::string("refused without --sweep: ") + e.what(), texts);
        return 0;
    }
    if (plan.Cases > MaxRunCases)
        return 0;
    for (std::size_t i = 0; i < plan.Cases; ++i) {
        const TBrennicOneD& s = BuildRunRequest(SweepCaseSource(plan, i)).Solver;
        if (s.Duration / s.TimeStep * s.ElementCount > MaxWork)
            return 0;
    }
    std::vector<TReadiness> results;
    try {
        results = RunSweep(plan, in.ConsumeIntegralInRange<unsigned>(1, 2));
    } catch (const EBrennicError& e) {
        Fail(std::string("a planned sweep failed: ") + e.what(), texts);
    }
    CheckTables(plan, results, texts);
    return 0;
}
