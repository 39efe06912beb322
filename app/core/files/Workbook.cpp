#include "app/core/files/Workbook.h"

#include "app/core/run/Headline.h"

#include "app/core/results/OutputColumns.h"

#include "app/core/files/RunSummary.h"
#include "support/FileOutput.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <xlsxwriter.h>

#include <unistd.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace brennic {

namespace {

// A private file for the library to write, removed however the export ends.
class TScratchFile {
public:
    TScratchFile()
    {
        std::string name = (std::filesystem::temp_directory_path() / "brennic-workbook-XXXXXX").string();
        const int fd = ::mkstemp(name.data());
        if (fd < 0)
            throw EWriteError();
        ::close(fd);
        path_ = name;
        slot_ = RegisterTemporaryFile(path_);
    }
    ~TScratchFile()
    {
        ::unlink(path_.c_str());
        ForgetTemporaryFile(slot_);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int slot_ = -1;
};

struct TWriter {
    lxw_workbook* book;
    lxw_format* bold;
    lxw_format* number;
    lxw_format* rms = nullptr;
    lxw_format* clock = nullptr;
    // 1970-01-01 as a spreadsheet's day number.
    static constexpr double SpreadsheetEpoch = 25569;
    static constexpr double SecondsPerDay = 86400;

    void Results(const TWorkbookContent& c)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Results");
        // The result table's columns, with the time in minutes beside the seconds.
        const lxw_col_t columns = lxw_col_t(OutputColumns.size() + 1);
        auto output = [](lxw_col_t col) { return std::size_t(col == 0 ? 0 : col - 1); };
        for (lxw_col_t col = 0; col < columns; ++col) {
            const TOutputColumn& o = OutputColumns[output(col)];
            const std::string name = col == 1 ? std::string("Time (min)") : std::string(o.Name) + " (" + o.Unit + ")";
            worksheet_write_string(sheet, 0, col, name.c_str(), bold);
        }
        worksheet_set_column(sheet, 0, columns - 1, 14, nullptr);
        if (c.ClockZero) {
            worksheet_write_string(sheet, 0, columns, "Local time", bold);
            worksheet_set_column(sheet, columns, columns, 17, nullptr);
        }
        lxw_row_t row = 1;
        for (const TStepValues& v : c.Reports) {
            for (lxw_col_t col = 0; col < columns; ++col)
                worksheet_write_number(sheet, row, col, col == 1 ? v.Time / 60 : v.*OutputColumns[output(col)].Value,
                                       nullptr);
            if (c.ClockZero)  // a spreadsheet's date: days since 1899-12-30
                worksheet_write_number(sheet, row, columns, (*c.ClockZero + v.Time) / SecondsPerDay + SpreadsheetEpoch,
                                       clock);
            ++row;
        }
        worksheet_freeze_panes(sheet, 1, 0);
        if (c.Reports.empty())
            return;
        // The curves against the time in minutes.
        lxw_chart* chart = workbook_add_chart(book, LXW_CHART_SCATTER_STRAIGHT);
        const std::string last = std::to_string(row);
        for (int o : CurveColumns()) {
            const char letter = char('A' + (o == 0 ? 0 : o + 1));
            const std::string values = std::string("=Results!$") + letter + "$2:$" + letter + "$" + last;
            lxw_chart_series* s = chart_add_series(chart, ("=Results!$B$2:$B$" + last).c_str(), values.c_str());
            chart_series_set_name(s, OutputColumns[std::size_t(o)].Name);
        }
        chart_title_set_name(chart, "Temperature Evolution");
        chart_axis_set_name(chart->x_axis, "Time (min)");
        chart_axis_set_name(chart->y_axis, "Temperature (\u00b0C)");
        lxw_chart_options options{};
        options.x_scale = 2;
        options.y_scale = 1.6;
        worksheet_insert_chart_opt(sheet, 1, 7, chart, &options);
    }

    void Inputs(const TWorkbookContent& c)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Inputs");
        worksheet_write_string(sheet, 0, 0, "Input", bold);
        worksheet_write_string(sheet, 0, 1, "Value", bold);
        worksheet_write_string(sheet, 0, 2, "Unit", bold);
        worksheet_set_column(sheet, 0, 0, 30, nullptr);
        worksheet_set_column(sheet, 1, 1, 22, nullptr);
        lxw_row_t row = 1;
        for (int f = 0; f < ClassicFieldCount; ++f) Field(sheet, row++, c, f);
        const TGlassProperties& m = GlassMaterials.at(std::size_t(c.Inputs.Material));
        worksheet_write_string(sheet, row, 0, "Mirror Material", nullptr);
        worksheet_write_string(sheet, row++, 1, std::string(m.Name).c_str(), nullptr);
        const std::tuple<const char*, double, const char*> properties[] = {
            {"Conductivity", m.Conductivity, "W/(m\u00b7K)"},
            {"Density", m.Density, "kg/m\u00b3"},
            {"Specific heat", m.SpecificHeat, "J/(kg\u00b7K)"}};
        for (const auto& [name, value, unit] : properties) {
            worksheet_write_string(sheet, row, 0, name, nullptr);
            worksheet_write_number(sheet, row, 1, value, nullptr);
            worksheet_write_string(sheet, row++, 2, unit, nullptr);
        }
        worksheet_write_string(sheet, row, 0, "Air", nullptr);
        worksheet_write_string(sheet, row++, 1, c.AirSource.c_str(), nullptr);
        worksheet_write_string(sheet, row, 0, "Program", nullptr);
        worksheet_write_string(sheet, row++, 1, ("Brennic " + c.Version).c_str(), nullptr);
        // The observing conditions after what the classic model reads.
        for (int f = ClassicFieldCount; f < FieldCount; ++f) Field(sheet, row++, c, f);
    }

    void Field(lxw_worksheet* sheet, lxw_row_t row, const TWorkbookContent& c, int f)
    {
        worksheet_write_string(sheet, row, 0, InputFields[f].Caption, nullptr);
        double v = 0;
        if (TryStrToFloat(c.Inputs.Text(f), u'.', v))
            worksheet_write_number(sheet, row, 1, v, nullptr);
        else
            worksheet_write_string(sheet, row, 1, ToUtf8(c.Inputs.Text(f)).c_str(), nullptr);
        worksheet_write_string(sheet, row, 2, InputFields[f].Unit, nullptr);
    }

    void ToleranceHeader(lxw_worksheet* sheet, const TReadiness& r)
    {
        worksheet_write_string(sheet, 0, 0, "No more than this above the air from (min)", bold);
        for (std::size_t k = 0; k < r.Tolerances().size(); ++k)
            worksheet_write_string(sheet, 0, lxw_col_t(k + 1),
                                   ("\u2264 " + ToUtf8(FormatFloat(r.Tolerances()[k], u'.')) + " \u00b0C").c_str(),
                                   bold);
    }

    void ReadyRow(lxw_worksheet* sheet, lxw_row_t row, const char* name, const TReadiness& r, int part)
    {
        worksheet_write_string(sheet, row, 0, name, nullptr);
        for (std::size_t k = 0; k < r.Tolerances().size(); ++k) {
            const auto t = r.ReadyFrom(TReadiness::Part(part), k);
            if (t)
                worksheet_write_number(sheet, row, lxw_col_t(k + 1), *t / 60, number);
            else
                worksheet_write_string(sheet, row, lxw_col_t(k + 1), "not reached", nullptr);
        }
    }

    void Readiness(const TWorkbookContent& c)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Readiness");
        worksheet_set_column(sheet, 0, 0, 34, nullptr);
        worksheet_set_column(sheet, 1, 4, 14, nullptr);
        const TReadiness& r = c.Readiness;
        ToleranceHeader(sheet, r);
        const char* parts[3] = {"Surface", "Back", "Glass"};
        lxw_row_t row = 1;
        for (int p = 0; p < 3; ++p) ReadyRow(sheet, row++, parts[p], r, p);
        worksheet_write_string(sheet, row, 0, "Largest surface - back (\u00b0C)", nullptr);
        worksheet_write_number(sheet, row, 1, r.LargestDifference(), nullptr);
        worksheet_write_string(sheet, row, 2, "at minute", nullptr);
        worksheet_write_number(sheet, row++, 3, r.LargestDifferenceTime() / 60, number);
        for (std::size_t i = 0; i < c.Kept.size() && i < c.KeptLabels.size(); ++i)
            ReadyRow(sheet, ++row, ("Kept run, surface: " + c.KeptLabels[i]).c_str(), c.Kept[i].Readiness,
                     TReadiness::Surface);
        for (const std::string& note : c.Notes) worksheet_write_string(sheet, ++row + 1, 0, note.c_str(), nullptr);
    }

    // The answer first: the headline, the mirror seeing's ready times and
    // how far a measured log is from the run.
    void Answer(const TWorkbookContent& c)
    {
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Answer");
        worksheet_set_column(sheet, 0, 0, 44, nullptr);
        worksheet_write_string(sheet, 0, 0, c.Headline.c_str(), bold);
        lxw_row_t row = 2;
        const TReadiness& r = c.Readiness;
        for (std::size_t k = 0; k < r.SeeingThresholds().size(); ++k) {
            const std::string name = "Mirror seeing \u2264 " + ToUtf8(FormatFloat(r.SeeingThresholds()[k], u'.')) +
                                     "\u2033 from (min)";
            worksheet_write_string(sheet, row, 0, name.c_str(), nullptr);
            if (const auto t = r.SeeingReadyFrom(k))
                worksheet_write_number(sheet, row++, 1, *t / 60, number);
            else
                worksheet_write_string(sheet, row++, 1, "not reached", nullptr);
        }
        if (c.Measured) {
            worksheet_write_string(sheet, ++row, 0, "Measured log: RMS difference (\u00b0C)", nullptr);
            worksheet_write_number(sheet, row, 1, c.Measured->Rms, rms);
            worksheet_write_string(sheet, row, 2, "over points", nullptr);
            worksheet_write_number(sheet, row, 3, double(c.Measured->Points), nullptr);
        }
        if (c.Fit)
            FitRows(sheet, row + 2, *c.Fit);
    }

    // The fit the inputs took: each value with its standard error and unit,
    // how well it fits, and its warnings.
    void FitRows(lxw_worksheet* sheet, lxw_row_t row, const TFitResult& f)
    {
        worksheet_write_string(sheet, row, 0, "Fitted to the measured log", bold);
        worksheet_write_string(sheet, row, 1, "value", bold);
        worksheet_write_string(sheet, row, 2, "\u00b1 standard error", bold);
        worksheet_write_string(sheet, row++, 3, "unit", bold);
        for (std::size_t i = 0; i < f.Parameters.size(); ++i) {
            worksheet_write_string(sheet, row, 0, FitParameterKey(f.Parameters[i]), nullptr);
            worksheet_write_number(sheet, row, 1, f.Values[i], nullptr);
            if (std::isfinite(f.Uncertainties[i]))
                worksheet_write_number(sheet, row, 2, f.Uncertainties[i], nullptr);
            else
                worksheet_write_string(sheet, row, 2, "not determined", nullptr);
            worksheet_write_string(sheet, row++, 3, FitParameterUnit(f.Parameters[i], true), nullptr);
        }
        const std::pair<const char*, double> numbers[] = {{"RMS before (\u00b0C)", f.RmsBefore},
                                                          {"RMS after (\u00b0C)", f.RmsAfter},
                                                          {"Degrees of freedom", double(f.DegreesOfFreedom)},
                                                          {"Residuals' lag-1 autocorrelation", f.ResidualAutocorrelation}};
        for (const auto& [name, value] : numbers) {
            worksheet_write_string(sheet, row, 0, name, nullptr);
            worksheet_write_number(sheet, row++, 1, value, nullptr);
        }
        for (const std::string& w : f.Warnings) worksheet_write_string(sheet, row++, 0, ("Warning: " + w).c_str(), nullptr);
    }

    // Each kept run's reports on a sheet of its own.
    void KeptRuns(const TWorkbookContent& c)
    {
        for (std::size_t i = 0; i < c.Kept.size() && i < c.KeptLabels.size(); ++i) {
            lxw_worksheet* sheet = workbook_add_worksheet(book, ("Kept run " + std::to_string(i + 1)).c_str());
            worksheet_write_string(sheet, 0, 0, c.KeptLabels[i].c_str(), bold);
            // Every output column, the time in minutes.
            for (int o = 0; o < OutputColumnCount; ++o) {
                const TOutputColumn& column = OutputColumns[std::size_t(o)];
                const std::string name =
                    o == oTime ? std::string("Time (min)") : std::string(column.Name) + " (" + column.Unit + ")";
                worksheet_write_string(sheet, 1, lxw_col_t(o), name.c_str(), bold);
            }
            worksheet_set_column(sheet, 0, lxw_col_t(OutputColumnCount - 1), 16, nullptr);
            lxw_row_t row = 2;
            for (const TStepValues& v : c.Kept[i].Reports) {
                for (int o = 0; o < OutputColumnCount; ++o)
                    worksheet_write_number(sheet, row, lxw_col_t(o), ColumnValue(v, o), nullptr);
                ++row;
            }
            worksheet_freeze_panes(sheet, 2, 0);
        }
    }

    // The readiness of the current and the kept runs side by side.
    void Comparison(const TWorkbookContent& c)
    {
        if (c.Kept.empty())
            return;
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Comparison");
        worksheet_set_column(sheet, 0, 0, 44, nullptr);
        worksheet_set_column(sheet, 1, 4, 14, nullptr);
        const TReadiness& r = c.Readiness;
        ToleranceHeader(sheet, r);
        const char* parts[3] = {"surface", "back", "glass"};
        lxw_row_t row = 1;
        for (std::size_t i = 0; i <= c.Kept.size() && i <= c.KeptLabels.size(); ++i) {
            const std::string name = i == 0 ? std::string("Current run") : c.KeptLabels[i - 1];
            const TReadiness& ready = i == 0 ? r : c.Kept[i - 1].Readiness;
            for (int p = 0; p < 3; ++p) ReadyRow(sheet, row++, (name + ", " + parts[p]).c_str(), ready, p);
        }
    }
};

// Copies the library's file to its place in pieces, atomically.
void CopyAtomically(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    if (!in)
        throw EWriteError();
    TAtomicFile out(to);
    std::string piece(1 << 16, '\0');
    while (in) {
        in.read(piece.data(), std::streamsize(piece.size()));
        out.Write(std::string_view(piece.data(), std::size_t(in.gcount())));
    }
    if (!in.eof())
        throw EWriteError();
    out.Commit();
}

}  // namespace

void WriteWorkbook(const std::string& path, const TWorkbookContent& c)
{
    if (c.Reports.size() > MaxWorkbookRows)
        throw EBrennicError("A workbook holds at most 1048575 rows; this run has " + std::to_string(c.Reports.size()) +
                            ". Export it as CSV, or use a longer time step");
    const TScratchFile scratch;
    // Every sheet is written row after row: each row goes to disk as the
    // next begins, so a run of a million reports needs no more memory.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(scratch.Path().c_str(), &options);
    if (!book)
        throw EWriteError();
    TWriter w{book, workbook_add_format(book), workbook_add_format(book)};
    format_set_bold(w.bold);
    format_set_num_format(w.number, "0.0");
    w.rms = workbook_add_format(w.book);
    format_set_num_format(w.rms, "0.000");
    w.clock = workbook_add_format(w.book);
    format_set_num_format(w.clock, "yyyy-mm-dd hh:mm:ss");
    w.Results(c);
    w.Inputs(c);
    w.Readiness(c);
    w.Answer(c);
    w.KeptRuns(c);
    w.Comparison(c);
    if (workbook_close(book) != LXW_NO_ERROR)
        throw EWriteError();
    CopyAtomically(scratch.Path(), path);
}

TWorkbookContent WorkbookContent(const TRunRecord& record, const TKeptRuns* kept, const std::string& version)
{
    TWorkbookContent c;
    c.Reports = record.Reports;
    c.Inputs = record.Inputs;
    c.AirSource = record.Air ? record.Air->Describe() : "linear ramp";
    c.Readiness = record.Readiness;
    if (kept) {
        c.Kept = kept->Runs();
        for (std::size_t i = 0; i < c.Kept.size(); ++i) c.KeptLabels.push_back(kept->Label(i, record.Inputs, u'.'));
    }
    c.Notes = RunNotes(record, u'.');
    c.Version = version;
    c.Headline = Headline(record, u'.', false);
    c.ClockZero = LocalClockZero(record);
    return c;
}

}  // namespace brennic
