#include "app/core/run/Sweep.h"

#include "app/core/run/Engine.h"
#include "app/core/results/ReadinessJson.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace brennic {

namespace {

[[noreturn]] void Refuse(const std::string& what)
{
    throw EBrennicError("--sweep " + what);
}

// A grid value with 12 significant digits, so that 0.1:0.3:0.1 gives 0.3.
std::string GridText(double v)
{
    char buffer[40];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 12);
    return std::string(buffer, r.ptr);
}

double RangePart(const std::string& key, const std::string& text, const std::string& part)
{
    double v = 0;
    if (!TryStrToFloat(FromUtf8(part), u'.', v) || !std::isfinite(v))
        Refuse(key + "=" + text + ": '" + part + "' is not a number");
    return v;
}

std::vector<std::string> RangeValues(const std::string& key, const std::string& text)
{
    const std::size_t a = text.find(':'), b = text.find(':', a + 1);
    if (b == std::string::npos || text.find(':', b + 1) != std::string::npos)
        Refuse(key + "=" + text + ": a range is FROM:TO:STEP");
    const double from = RangePart(key, text, text.substr(0, a));
    const double to = RangePart(key, text, text.substr(a + 1, b - a - 1));
    const double step = RangePart(key, text, text.substr(b + 1));
    if (step == 0)
        Refuse(key + "=" + text + ": the step is 0");
    const double intervals = (to - from) / step;
    if (!(intervals >= 0))
        Refuse(key + "=" + text + ": the step leads away from " + GridText(to));
    // The end is on the grid when it is within rounding of a whole step.
    const double count = std::floor(intervals + 1e-9) + 1;
    if (!(count <= double(MaxSweepCases)))
        Refuse(key + "=" + text + ": " + GridText(count) + " values, more than " + std::to_string(MaxSweepCases));
    std::vector<std::string> values;
    for (std::size_t i = 0; i < std::size_t(count); ++i) values.push_back(GridText(from + double(i) * step));
    return values;
}

std::vector<std::string> ListValues(const std::string& key, const std::string& text)
{
    std::vector<std::string> values;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(',', start);
        values.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (values.back().empty())
            Refuse(key + "=" + text + ": an empty value");
        if (end == std::string::npos)
            return values;
        start = end + 1;
    }
}

void CheckValue(TSweepAxis& axis, std::string& value)
{
    if (axis.Field < 0) {
        const int m = MaterialFromText(value);
        if (m < 0)
            Refuse(axis.Key + "=" + value + ": not one of the materials");
        value = std::to_string(m);
        return;
    }
    const TInputField& f = InputFields[axis.Field];
    if (f.Choices && ChoiceIndex(axis.Field, FromUtf8(value)) < 0)
        Refuse(axis.Key + "=" + value + ": not one of " + ChoicesText(axis.Field));
    // The "$1F" and "0x1F" forms of whole numbers are not a sweep's: its
    // values are written out as decimal numbers (the table, JSON).
    double decimal = 0;
    if (!f.Choices && (!FieldTextConverts(axis.Field, FromUtf8(value), u'.') ||
                       !TryStrToFloat(FromUtf8(value), u'.', decimal)))
        Refuse(axis.Key + "=" + value + ": not a valid " + (f.Whole ? "whole number" : "number"));
}

std::string CaseText(const TSweepPlan& plan, std::size_t index)
{
    const std::vector<std::size_t> at = SweepCaseIndices(plan, index);
    std::string text;
    for (std::size_t a = 0; a < plan.Axes.size(); ++a)
        text += (a ? ", " : "") + plan.Axes[a].Key + "=" + SweepValueText(plan.Axes[a], at[a]);
    return text;
}

// The seeing thresholds as typed, the columns' and keys' names.
std::vector<std::string> SeeingKeys(const TSweepPlan& plan)
{
    return ListItems(plan.Base.Texts.Text(fSeeing), plan.Base.DecimalSeparator);
}

}  // namespace

TSweepAxis ParseSweep(const std::string& text)
{
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos)
        Refuse("'" + text + "': write KEY=VALUES");
    TSweepAxis axis;
    axis.Key = text.substr(0, eq);
    const std::string values = text.substr(eq + 1);
    axis.Field = FieldByKey(axis.Key);
    if (axis.Field < 0 && axis.Key != MaterialKey)
        Refuse("'" + axis.Key + "': no input has this key");
    if (axis.Field >= 0 && InputFields[axis.Field].List)
        Refuse(axis.Key + ": a list of thresholds cannot be swept");
    if (values.empty())
        Refuse(axis.Key + ": the list of values is empty");
    axis.Values = values.find(':') != std::string::npos ? RangeValues(axis.Key, values) : ListValues(axis.Key, values);
    for (std::string& v : axis.Values) CheckValue(axis, v);
    return axis;
}

std::size_t SweepCaseCount(const std::vector<TSweepAxis>& axes)
{
    std::size_t cases = 1;
    for (const TSweepAxis& a : axes) {
        cases *= a.Values.size();
        if (cases > MaxSweepCases)
            return MaxSweepCases + 1;
    }
    return cases;
}

TSweepPlan PlanSweep(const TRequestSource& base, std::vector<TSweepAxis> axes, std::stop_token stop,
                     const std::function<void(std::size_t)>& progress)
{
    TSweepPlan plan{base, std::move(axes), 0};
    for (std::size_t a = 0; a < plan.Axes.size(); ++a)
        for (std::size_t b = 0; b < a; ++b)
            if (plan.Axes[b].Key == plan.Axes[a].Key)
                Refuse(plan.Axes[a].Key + ": swept twice");
    const std::size_t cases = SweepCaseCount(plan.Axes);
    if (cases > MaxSweepCases)
        Refuse("has more than " + std::to_string(MaxSweepCases) + " cases");
    plan.Cases = cases;
    for (std::size_t i = 0; i < cases; ++i) {
        if (stop.stop_requested()) {
            plan.Cases = 0;
            return plan;
        }
        try {
            BuildRunRequest(SweepCaseSource(plan, i));
        } catch (const std::exception& e) {
            Refuse(CaseText(plan, i) + ": " + e.what());
        }
        if (progress && (i % 64 == 63 || i + 1 == cases))
            progress(i + 1);
    }
    return plan;
}

std::vector<std::size_t> SweepCaseIndices(const TSweepPlan& plan, std::size_t index)
{
    std::vector<std::size_t> at(plan.Axes.size());
    for (std::size_t a = plan.Axes.size(); a-- > 0;) {
        at[a] = index % plan.Axes[a].Values.size();
        index /= plan.Axes[a].Values.size();
    }
    return at;
}

TRequestSource SweepCaseSource(const TSweepPlan& plan, std::size_t index)
{
    // The base keeps its own decimal separator (the window's may be a
    // comma); the swept values, written with ".", are put in that form.
    TRequestSource source = plan.Base;
    source.Naming = TFieldNaming::Option;
    source.Use = TMemoryUse::Streams;
    const std::vector<std::size_t> at = SweepCaseIndices(plan, index);
    for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
        const TSweepAxis& axis = plan.Axes[a];
        const std::string& value = axis.Values[at[a]];
        if (axis.Field < 0) {
            source.Texts.Material = std::stoi(value);
            continue;
        }
        const TInputField& f = InputFields[axis.Field];
        source.Texts.Text(axis.Field) = f.Whole || f.Choices || source.DecimalSeparator == u'.'
                                            ? FromUtf8(value)
                                            : FormatFloat(StrToFloat(FromUtf8(value), u'.'), source.DecimalSeparator);
        // A swept value stands, whatever a measured log would set.
        if (axis.Field == fInitialMirrorTemp)
            source.MirrorTempGiven = true;
        if (axis.Field == fDuration)
            source.DurationGiven = true;
    }
    return source;
}

std::string SweepThreadsNote(unsigned asked, unsigned started)
{
    return "the system started " + std::to_string(started) + " of " + std::to_string(asked) +
           " threads; the sweep runs on " + (started == 1 ? "one" : "those") + " (the same results, later)";
}

std::vector<TReadiness> RunSweep(const TSweepPlan& plan, unsigned jobs, std::stop_token stop,
                                 const std::function<void(std::size_t)>& progress,
                                 const std::function<void(const std::string&)>& note)
{
    std::vector<TReadiness> results(plan.Cases, TReadiness(plan.Base.Tolerances));
    std::atomic<std::size_t> next{0}, done{0};
    std::mutex failure;
    std::exception_ptr error;
    auto work = [&] {
        for (std::size_t i = next++; i < plan.Cases && !stop.stop_requested(); i = next++) {
            try {
                const TRunRequest request = BuildRunRequest(SweepCaseSource(plan, i));
                TReadiness& r = results[i];
                r.SetSeeing(request.Seeing);
                RunEngine(request, [&r](std::span<const double>, std::span<const double> t, double time) {
                    r.Add(StepValues(t, time));
                }, stop);
            } catch (const std::exception& e) {
                const std::lock_guard<std::mutex> lock(failure);
                if (!error)
                    error = std::make_exception_ptr(EBrennicError(CaseText(plan, i) + ": " + e.what()));
                next = plan.Cases;
            }
            const std::size_t finished = ++done;
            if (progress)
                progress(finished);
        }
    };
    jobs = std::max(1u, std::min<unsigned>(jobs, unsigned(std::min<std::size_t>(plan.Cases, 1024))));
    {
        std::vector<std::jthread> workers;
        // Threads the system will not start leave the work to those that
        // did: the results are the same, only slower.
        try {
            for (unsigned j = 1; j < jobs; ++j) workers.emplace_back(work);
        } catch (const std::system_error&) {
        }
        if (workers.size() + 1 < jobs && note)
            note(SweepThreadsNote(jobs, unsigned(workers.size() + 1)));
        work();
    }
    if (error)
        std::rethrow_exception(error);
    return results;
}

std::string SweepNumber(double v)
{
    char buffer[40];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::string SweepValueText(const TSweepAxis& axis, std::size_t value)
{
    if (axis.Field < 0)
        return std::string(GlassMaterials.at(std::size_t(std::stoi(axis.Values[value]))).Name);
    return axis.Values[value];
}

std::string SweepCsvHeader(const TSweepPlan& plan)
{
    std::string h;
    for (const TSweepAxis& a : plan.Axes) h += a.Key + ",";
    for (const char* part : {"surface", "back", "glass"})
        for (double tol : plan.Base.Tolerances) h += std::string(part) + "_ready_" + SweepNumber(tol) + ",";
    for (const std::string& s : SeeingKeys(plan)) h += "seeing_ready_" + s + ",";
    return h + "largest_front_back_difference,final_surface_minus_air\n";
}

std::string SweepCsvRow(const TSweepPlan& plan, std::size_t index, const TReadiness& r)
{
    const std::vector<std::size_t> at = SweepCaseIndices(plan, index);
    std::string row;
    for (std::size_t a = 0; a < plan.Axes.size(); ++a) row += SweepValueText(plan.Axes[a], at[a]) + ",";
    for (int p = 0; p < TReadiness::PartCount; ++p)
        for (std::size_t k = 0; k < r.Tolerances().size(); ++k) {
            const auto t = r.ReadyFrom(TReadiness::Part(p), k);
            row += (t ? SweepNumber(*t / 60) : std::string()) + ",";
        }
    const std::size_t seeing = SeeingKeys(plan).size();  // once: it parses the list
    for (std::size_t k = 0; k < seeing; ++k) {
        const auto t = k < r.SeeingThresholds().size() ? r.SeeingReadyFrom(k) : std::nullopt;
        row += (t ? SweepNumber(*t / 60) : std::string()) + ",";
    }
    const TStepValues& last = r.Last();
    return row + SweepNumber(r.LargestDifference()) + "," + SweepNumber(last.Surface - last.Air) + "\n";
}

std::string SweepJson(const TSweepPlan& plan, const std::vector<TReadiness>& results)
{
    using Json = nlohmann::ordered_json;
    Json all = Json::array();
    for (std::size_t i = 0; i < results.size(); ++i) {
        const std::vector<std::size_t> at = SweepCaseIndices(plan, i);
        Json inputs = Json::object();
        for (std::size_t a = 0; a < plan.Axes.size(); ++a) {
            const TSweepAxis& axis = plan.Axes[a];
            const std::string text = SweepValueText(axis, at[a]);
            inputs[axis.Key] = axis.Field < 0 || InputFields[axis.Field].Choices
                                   ? Json(text)
                                   : Json(StrToFloat(FromUtf8(text), u'.'));
        }
        const TReadiness& r = results[i];
        const TStepValues& last = r.Last();
        Json seeing = Json::object();
        const std::vector<std::string> keys = SeeingKeys(plan);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const auto t = k < r.SeeingThresholds().size() ? r.SeeingReadyFrom(k) : std::nullopt;
            seeing[keys[k]] = t ? Json(*t / 60) : Json(nullptr);
        }
        all.push_back({{"inputs", inputs},
                       {"ready_minutes", ReadyMinutesJson(r)},
                       {"seeing_ready_minutes", seeing},
                       {"largest_front_back_difference", LargestDifferenceJson(r)},
                       {"final_surface_minus_air", last.Surface - last.Air}});
    }
    return all.dump();
}

}  // namespace brennic
