// brennic-sim: runs the mirror model from the command line and writes the
// result table (or a readiness summary) exactly as the window exports it.
#include "app/cli/AirOptions.h"
#include "app/cli/CliSetup.h"
#include "app/cli/LiveMode.h"
#include "app/cli/CliOutput.h"
#include "app/cli/FitOutput.h"
#include "app/core/inputs/InputFields.h"
#include "app/core/tables/MeasuredLog.h"
#include "app/core/results/Readiness.h"
#include "app/core/results/ResultText.h"
#include "app/core/run/RunRecord.h"
#include "app/core/inputs/RunSetup.h"
#include "app/core/files/RunSummary.h"
#include "app/core/files/Scenario.h"
#include "app/core/run/Sweep.h"
#include "app/core/run/Engine.h"
#include "app/core/tables/Forecast.h"
#include "app/core/files/Workbook.h"
#include "model/FiniteDiff_1D.h"
#include "support/EnhStringList.h"
#include "support/FileOutput.h"
#include "support/LibStandard.h"
#include "support/LocaleNumbers.h"
#include "support/NumberText.h"

#include <CLI/CLI.hpp>

#include <unistd.h>
#include <algorithm>
#include <array>
#include <map>
#include <filesystem>
#include <thread>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

using namespace brennic;

namespace {


int Material(const std::string& text)
{
    const int index = MaterialFromText(text);
    if (index >= 0)
        return index;
    std::string known;
    for (const auto& m : GlassMaterials) known += (known.empty() ? "" : ", ") + std::string(m.Name);
    throw UsageError("--material: unknown material '" + text + "' (choose one of " + known + ", or 0 to 5)");
}

char16_t Separator(const std::string& option, const std::string& text)
{
    const std::u16string s = FromUtf8(text);
    if (s.size() != 1 || s[0] < 0x20 || (s[0] >= u'0' && s[0] <= u'9') ||
        std::u16string_view(u"+-eE\"").find(s[0]) != std::u16string_view::npos)
        throw UsageError(option + ": '" + text + "' is not a single separator character that numbers cannot contain");
    return s[0];
}

// "--option=" with nothing after the sign is refused here: the parser
// would take the next argument as its value. "--option ''" likewise: the
// parser would take the empty text as "not given" (no file, no output).
void RefuseEmptyValues(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--")
            return;
        if (arg.size() > 3 && arg.substr(0, 2) == "--" && arg.back() == '=' && arg.find('=') == arg.size() - 1)
            throw UsageError(std::string(arg.substr(0, arg.size() - 1)) + ": the value is empty");
        if (arg.size() > 2 && arg.substr(0, 2) == "--" && arg.find('=') == std::string_view::npos && i + 1 < argc &&
            argv[i + 1][0] == '\0')
            throw UsageError(std::string(arg) + ": the value is empty");
    }
}


void AddOptions(CLI::App& app, TOptions& o)
{
    app.set_version_flag("--version", std::string("brennic-sim ") + BRENNIC_VERSION);
    for (int i = 0; i < FieldCount; ++i) {
        const TInputField& f = InputFields[i];
        o.values[i] = ToUtf8(f.Default);
        const std::string help = std::string(f.Help) + (f.PlainUnit[0] ? std::string(", ") + f.PlainUnit : "");
        app.add_option(f.Option, o.values[i], help)->capture_default_str();
    }
    app.add_option("--material", o.material, "glass: name (any case) or index 0-5")->capture_default_str();
    app.add_option("--output", o.output, "file to write (default: standard output)");
    app.add_option("--decimal-separator", o.decimalSep, "decimal separator of the table (default: locale)");
    app.add_option("--list-separator", o.listSep, "field separator of the table (default: locale)");
    app.add_flag("--summary", o.summary, "print when the mirror is ready instead of the table");
    app.add_option("--tolerance", o.tolerances, "readiness tolerances, C, comma-separated (with --summary)")
        ->capture_default_str();
    app.add_flag("--json", o.json, "print the summary as one JSON object (with --summary)");
    AddAirOptions(app, o.air, o.forecast);
    app.add_option("--measured", o.measured, "a log of the mirror's own sensors to compare with (and fit to)");
    app.add_option("--measured-columns", o.measuredColumns,
                   "its columns: time=NAME,air=NAME,surface=NAME,back=NAME (default: T_Ambient, T_Surface, T_Back)");
    app.add_option("--fit", o.fit, "fit these to the log: front-film,back-film,mirror-temp,front-radiation, or films (one for both faces)");
    app.add_option("--scenario", o.scenario, "start from the inputs of this scenario file; options override them");
    app.add_option("--sweep", o.sweeps,
                   "run every combination of inputs: KEY=V1,V2,... or KEY=FROM:TO:STEP (KEY: an option without --, or "
                   "material; repeatable); writes one CSV row per case, always with ',' and '.' whatever the locale, "
                   "or JSON with --json")
        ->allow_extra_args(false);
    AddLiveOptions(app, o.live);
    app.add_option("--max-gap", o.maxGapHours, "hours without air in the file that the run may bridge by interpolation")
        ->capture_default_str()
        ->check(CLI::Range(0.0, 24.0 * 366));
    app.add_option("--jobs", o.jobs, "threads for --sweep (default: the number of cores)")
        ->capture_default_str()
        ->check(CLI::Validator(
            [](const std::string& text) {
                std::int32_t n = 0;
                return TryStrToInt(FromUtf8(text), n) && n >= 1 && n <= 256
                           ? std::string()
                           : "'" + text + "' is not a whole number from 1 to 256";
            },
            "1 to 256"));
}

// A scenario's values stand where the command line gives none.
void UseScenario(const CLI::App& app, TOptions& o)
{
    const TScenario s = ReadScenario(o.scenario);
    o.scenarioPath = s.Path;
    for (int i = 0; i < FieldCount; ++i)
        if (app.count(InputFields[i].Option) == 0) {
            o.values[i] = ToUtf8(s.Inputs.Text(i));
            if (const auto line = s.KeyLines.find(InputFields[i].Key); line != s.KeyLines.end())
                o.scenarioLines[i] = line->second;
        }
    if (app.count("--material") == 0)
        o.material = std::string(GlassMaterials.at(std::size_t(s.Inputs.Material)).Name);
    const bool ramp = app.count("--air-start") + app.count("--air-end") > 0;
    if (s.Air && o.air.Path.empty() && !ramp && o.measured.empty()) {
        const TAirFileChoice given = o.air;
        o.air = *s.Air;
        for (auto [value, option] : {std::pair{&o.air.AirColumn, &given.AirColumn},
                                     {&o.air.Start, &given.Start},
                                     {&o.air.SkyColumn, &given.SkyColumn},
                                     {&o.air.DewColumn, &given.DewColumn},
                                     {&o.air.TimeColumn, &given.TimeColumn},
                                     {&o.air.DateOrder, &given.DateOrder},
                                     {&o.air.TimeZone, &given.TimeZone}})
            if (!option->empty())
                *value = *option;
    }
    if (s.Measured && o.measured.empty() && o.air.Path.empty()) {
        o.measured = *s.Measured;
        if (o.measuredColumns.empty()) {
            std::string cols;
            for (auto [role, name] : {std::pair{"time", &s.MeasuredColumns.Time},
                                      {"air", &s.MeasuredColumns.Air},
                                      {"surface", &s.MeasuredColumns.Surface},
                                      {"back", &s.MeasuredColumns.Back}})
                if (!name->empty())
                    cols += (cols.empty() ? "" : ",") + std::string(role) + "=" + *name;
            o.measuredColumns = cols;
        }
        if (o.air.Start.empty())
            o.air.Start = s.MeasuredStart;
    }
}


// Options that only make sense together, checked once parsed.
void CheckCombinations(const CLI::App& app, const TOptions& o)
{
    const bool file = !o.air.Path.empty() || !o.forecast.Place.empty();
    CheckLiveCombinations(app, o.live);
    CheckAirCombinations(app, o.air, o.forecast, o.scenarioPath);
    for (const char* option : {"--air-start", "--air-end"})
        if (file && app.count(option) > 0)
            throw UsageError(std::string(option) + ": the air comes from --air-file; give one or the other");
    const bool log = !o.measured.empty() || LiveAsked(o.live);
    for (const char* option : {"--air-column", "--sky-column", "--dew-column"})
        if (!file && app.count(option) > 0)
            throw UsageError(std::string(option) + ": it goes with --air-file");
    for (const char* option : {"--time-column", "--date-order", "--time-zone"})
        if (!file && !log && app.count(option) > 0)
            throw UsageError(std::string(option) + ": it goes with --air-file or --measured");
    if (!file && !log && app.count("--start") > 0)
        throw UsageError("--start: it goes with --air-file or --measured");
    for (const char* option : {"--measured-columns", "--fit"})
        if (!log && app.count(option) > 0 && !(LiveAsked(o.live) && std::string(option) == "--fit"))
            throw UsageError(std::string(option) + ": it goes with --measured");
    if (file && !o.measured.empty())
        throw UsageError("--measured: give the air with --air-file or with the log's air column, not both");
    if (WantsWorkbook(o.output) && (o.summary || !o.fit.empty()))
        throw UsageError("--output: " + std::string(o.summary ? "--summary" : "--fit") +
                         " writes text, not a workbook; give a .txt or .json file");
    // A value that is an option's name was meant as that option.
    for (const CLI::Option* option : app.get_options())
        for (const std::string& value : option->results())
            if (value.size() > 2 && value.rfind("--", 0) == 0 && app.get_option_no_throw(value.substr(0, value.find('='))))
                throw UsageError(option->get_name() + ": '" + value + "' is an option, not a value");
    if (o.json && !o.summary && o.fit.empty() && o.sweeps.empty())
        throw UsageError("--json: it goes with --summary, --fit or --sweep");
    if (!o.sweeps.empty()) {
        for (const char* option : {"--summary", "--fit"})
            if (app.count(option) > 0)
                throw UsageError(std::string(option) + ": a sweep writes its own table; leave it out");
        if (WantsWorkbook(o.output))
            throw UsageError("--output: a sweep writes CSV or JSON, not a workbook");
    } else if (app.count("--jobs") > 0) {
        throw UsageError("--jobs: it goes with --sweep");
    }
}


TRegionalSettings Regional(const TOptions& o)
{
    std::optional<char16_t> dec = LocaleDecimalSeparator(), list = LocaleListSeparator();
    if (!o.decimalSep.empty())
        dec = Separator("--decimal-separator", o.decimalSep);
    if (!o.listSep.empty())
        list = Separator("--list-separator", o.listSep);
    // A list separator given that the numbers could contain is refused, not replaced.
    if (!o.listSep.empty() && *list == dec.value_or(u'.'))
        throw UsageError("--list-separator: '" + o.listSep + "' equals the decimal separator");
    return MakeRegionalSettings(dec, list);
}

// The request built from a source; a text that does not convert names its
// option, and a value from the scenario its file, line and key.
TRunRequest BuildChecked(const TRequestSource& source, const TOptions& o)
{
    auto where = [&](int field) -> std::string {
        const auto line = o.scenarioLines.find(field);
        if (line == o.scenarioLines.end())
            return {};
        return o.scenarioPath + ", line " + std::to_string(line->second) + ": " + InputFields[field].Key + " = " +
               ShownText(ToUtf8(source.Texts.Text(field)));
    };
    try {
        return BuildRunRequest(source);
    } catch (const EFieldConvertError& e) {
        const std::string origin = where(e.Field);
        throw UsageError(origin.empty() ? std::string(InputFields[e.Field].Option) + ": " + e.what()
                                        : origin + ": " + e.what());
    } catch (const EFieldError& e) {
        const std::string origin = where(e.Field);
        if (origin.empty() || e.Rule.empty())
            throw;
        throw UsageError(origin + ": " + e.Rule);
    }
}

// The output's folder must exist and be writable before anything runs.
void CheckOutputFolder(const std::string& output)
{
    if (output.empty())
        return;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::path(FullPath(output)).parent_path();
    if (!fs::is_directory(folder, ec))
        throw UsageError("--output: the folder \"" + folder.string() + "\" does not exist");
    if (::access(folder.c_str(), W_OK) != 0)
        throw UsageError("--output: the folder \"" + folder.string() + "\" cannot be written: " + std::strerror(errno));
}

void Configure(const TOptions& o, TSetup& s)
{
    CheckOutputFolder(o.output);
    TRequestSource& src = s.source;
    for (int i = 0; i < FieldCount; ++i) src.Texts.Text(i) = FromUtf8(o.values[i]);
    src.Texts.Material = Material(o.material);
    src.DecimalSeparator = u'.';  // option values always use "."
    src.Naming = TFieldNaming::Option;
    src.Use = TMemoryUse::Streams;
    src.Settings = Regional(o);
    src.Tolerances = ParseTolerances(o.tolerances);
    src.BackRadiationGiven = o.backRadiationGiven;
    src.SiteElevationGiven = o.siteElevationGiven;
    src.MaxAirGap = o.maxGapHours * 3600;
    if (!o.air.Path.empty()) {
        src.Air = TAirSource::Load(o.air);
        PrintNotes(src.Air->Table.File, src.Air->Notes);
    }
    if (LiveAsked(o.live)) {
        // The inputs are refused before the night starts, not at its first update.
        src.MirrorTempGiven = o.mirrorGiven;
        BuildChecked(src, o);
        s.live.Base = src;
        s.live.Base.Air = nullptr;
        s.live.Ahead = src.Air;
        for (const std::string& item : ListItems(FromUtf8(o.tolerances))) s.live.ToleranceTexts.push_back(item);
        return;
    }
    if (!o.measured.empty()) {
        TAirFileChoice read = o.air;
        read.Path = o.measured;
        src.Log = TMeasuredLog::Load(o.measured, ParseLogColumns(o.measuredColumns), o.air.Start,
                                     AirTableOptions(read));
        PrintNotes(o.measured, src.Log->Notes);
        src.MirrorTempGiven = o.mirrorGiven;
        src.DurationGiven = o.durationGiven;
        if (!o.fit.empty())
            s.fit = ParseFitParameters(o.fit);
        // A fit, or a comparison, keeps every report of its runs: planned so.
        if (!o.fit.empty() || o.summary)
            src.Use = TMemoryUse::KeepsResults;
        // A start taken from the log's first noisy sample is fitted too,
        // unless the user gave it.
        if (!s.fit.empty() && !o.mirrorGiven &&
            std::find(s.fit.begin(), s.fit.end(), TFitParameter::MirrorTemp) == s.fit.end())
            s.fit.push_back(TFitParameter::MirrorTemp);
    }
    if (!o.sweeps.empty()) {
        std::vector<TSweepAxis> axes;
        for (const std::string& text : o.sweeps) axes.push_back(ParseSweep(text));
        s.sweep = PlanSweep(src, std::move(axes));
        return;
    }
    s.request = BuildChecked(src, o);
    for (const std::string& note : s.request.Notes) Say("note: " + note);
    if (WantsWorkbook(o.output) && double(s.request.Plan.StripWidth) > double(MaxWorkbookRows))
        throw UsageError("--output: a workbook holds at most 1048575 rows; this run has " +
                         std::to_string(s.request.Plan.StripWidth) + " (write a .csv file, or use a longer time step)");
}

int Fail(int status, const std::string& message)
{
    Say(message);
    return status;
}

int Run(int argc, char** argv)
{
    // First: the forecast is saved while the options are still read.
    RemoveTemporaryFilesOnSignals();
    CLI::App app{"Predicts how a telescope mirror follows the night air and writes the results as CSV.", "brennic-sim"};
    TOptions options;
    AddOptions(app, options);
    try {
        RefuseEmptyValues(argc, argv);
        app.parse(argc, argv);
        if (!options.scenario.empty())
            UseScenario(app, options);
        CheckCombinations(app, options);
        ResolveForecast(options.forecast, options.air);
        options.mirrorGiven = app.count("--mirror-temp") > 0;
        options.durationGiven = app.count("--duration") > 0;
        for (auto [field, given] : {std::pair{fBackRadiation, &options.backRadiationGiven},
                                    {fSiteElevation, &options.siteElevationGiven}})
            *given = app.count(InputFields[field].Option) > 0 || options.scenarioLines.count(field) > 0;
    } catch (const UsageError& e) {
        return Fail(2, e.what());
    } catch (const EForecastError& e) {
        return Fail(1, e.what());
    } catch (const EBrennicError& e) {
        return Fail(2, e.what());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return Fail(2, e.what());
    }

    TSetup setup;
    try {
        Configure(options, setup);
    } catch (const UsageError& e) {
        return Fail(2, e.what());
    } catch (const EBrennicError& e) {
        return Fail(2, e.what());
    }

    if (LiveAsked(options.live)) {
        try {
            TAirFileChoice read = options.air;
            return RunLive(options.live, setup.live, options.measuredColumns, AirTableOptions(read));
        } catch (const EBrennicError& e) {
            return Fail(2, e.what());
        }
    }
    try {
        Execute(options, setup);
    } catch (const EFCreateError& e) {
        return Fail(1, e.what());
    } catch (const EBrennicError& e) {
        return Fail(2, e.what());  // the inputs cannot give this run or fit
    } catch (const EWriteError& e) {
        if (!e.Path.empty())
            return Fail(1, e.Detail());
        const std::string where = options.output.empty() ? "standard output" : "\"" + FullPath(options.output) + "\"";
        return Fail(1, "cannot write " + where + ": " + (errno ? std::strerror(errno) : e.what()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Only the character type follows the locale (for the file encoding);
    // numbers never do.
    std::setlocale(LC_CTYPE, "");
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "brennic-sim: there is not enough memory for this run\n");
        return 1;
    } catch (const EWriteError& e) {
        Say(e.Detail());  // a forecast saved, a night's log kept
        return 1;
    } catch (const std::exception& e) {
        Say(e.what());
        return 1;
    }
}
