// The ways brennic-sim runs once set up: the rows or summary of one run,
// its workbook, a fit to a measured log, a sweep.
#include "app/cli/CliSetup.h"

#include "app/cli/CliOutput.h"
#include "app/cli/FitOutput.h"
#include "app/core/files/RunSummary.h"
#include "app/core/files/Workbook.h"
#include "app/core/run/Engine.h"
#include "app/core/run/Headline.h"
#include "app/core/run/RunRecord.h"
#include "support/EnhStringList.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

namespace brennic {

bool WantsWorkbook(const std::string& output)
{
    return output.size() > 5 && TextEqualsIgnoreCase(FromUtf8(output.substr(output.size() - 5)), u".xlsx");
}

namespace {

// Runs every case of the sweep and writes its table in case order.
void ExecuteSweep(const TOptions& o, TSetup& s)
{
    const TSweepPlan& plan = *s.sweep;
    Sink sink(o.output);
    Progress progress(double(plan.Cases));
    // The bar is drawn by the calling thread, which runs cases too.
    const std::thread::id caller = std::this_thread::get_id();
    const std::vector<TReadiness> results = RunSweep(
        plan, o.jobs, {},
        [&](std::size_t done) {
            if (std::this_thread::get_id() == caller)
                progress.Update(double(done), 1024);
        },
        [&](const std::string& note) { Say("--jobs " + std::to_string(o.jobs) + ": " + note); });
    if (o.json) {
        sink.Put(SweepJson(plan, results) + "\n");
    } else {
        sink.Put(SweepCsvHeader(plan));
        for (std::size_t i = 0; i < results.size(); ++i) sink.Put(SweepCsvRow(plan, i, results[i]));
    }
    sink.Finish();
}

// Fits the chosen inputs to the log and prints what was found.
void ExecuteFit(const TOptions& o, TSetup& s)
{
    Sink sink(o.output);
    Progress progress(2000);
    const TFitResult fit = FitToLog(s.request, s.fit, [&](int runs, double) {
        progress.Update(runs, 1024 * std::size_t(runs));
        return true;
    });
    sink.Put(o.json ? FitJson(fit) + "\n" : FitTable(fit, s.request.Log->File));
    sink.Finish();
}

// Runs the model and writes its workbook.
void ExecuteWorkbook(const TOptions& o, TSetup& s)
{
    TRunRecord record;
    record.StartWithoutRows(s.request);
    TWorkbookContent content;
    Progress progress(s.request.Solver.Duration);
    RunEngine(s.request, [&](std::span<const double> p, std::span<const double> t, double time) {
        record.Add(p, t, time);
        content.Reports.push_back(StepValues(t, time));
        progress.Update(time, content.Reports.size());
    });
    content.Inputs = s.request.Texts;
    content.AirSource = s.request.Air ? s.request.Air->Describe() : "linear ramp";
    content.Readiness = record.Readiness;
    content.Notes = RunNotes(record, u'.');
    content.Version = BRENNIC_VERSION;
    content.Headline = Headline(record, u'.', false);
    content.ClockZero = LocalClockZero(record);
    if (s.request.Log)
        if (const TLogComparison c = Compare(*s.request.Log, content.Reports); c.Points > 0)
            content.Measured = c;
    WriteWorkbook(o.output, content);
}

}  // namespace

void Execute(const TOptions& o, TSetup& s)
{
    if (!o.sweeps.empty())
        return ExecuteSweep(o, s);
    if (WantsWorkbook(o.output) && !o.summary && s.fit.empty())
        return ExecuteWorkbook(o, s);
    if (!s.fit.empty())
        return ExecuteFit(o, s);
    Sink sink(o.output);
    Progress progress(s.request.Solver.Duration);
    TRunRecord record;
    std::u16string line;
    auto rows = [&](const std::u16string& row) {
        line.assign(row);
        line += u"\r\n";
        sink.Put(EncodeSystem8Bit(line));
    };
    if (o.summary)
        record.StartWithoutRows(s.request);
    else
        record.Start(s.request, rows);
    std::size_t reports = 0;
    const bool compare = s.request.Log && o.summary;
    std::vector<TStepValues> kept;  // for the comparison with a measured log
    TFilmRanges films;
    RunEngine(
        s.request,
        [&](std::span<const double> p, std::span<const double> t, double time) {
            record.Add(p, t, time);
            if (compare)
                kept.push_back(StepValues(t, time));
            progress.Update(time, ++reports);
        },
        {}, &films);
    if (FilmsVary(s.request.Solver))
        record.Films = films;
    std::optional<TLogComparison> measured;
    if (compare)
        measured = Compare(*s.request.Log, kept);
    if (o.summary && o.json)
        sink.Put(SummaryJson(record, measured) + "\n");
    else if (o.summary)
        sink.Put(SummaryText(record, s.request.Settings.DecimalSeparator));
    if (compare && !o.json) {
        const TLogComparison& c = *measured;
        sink.Put("Note: the measured log differs by " + FixedText(c.Rms, 3, s.request.Settings.DecimalSeparator) +
                 " K (RMS) over " + std::to_string(c.Points) + " points\n");
    }
    sink.Finish();
}

}  // namespace brennic
