#include "app/core/live/LivePrediction.h"

#include "app/core/live/LiveSources.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>

namespace brennic {

namespace {

// A wind speed to the tenth of a metre per second: what a station resolves.
double RoundedWind(double metresPerSecond)
{
    return std::round(metresPerSecond * 10) / 10;
}

using TTimes = std::vector<double>;

// The air of the night: what was measured, then the air ahead (a file or a
// forecast), else the last hour's mean held; dew point and sky likewise
// where there are any. Its first row is the data's first moment, so that
// its time 0 is the log's.
std::shared_ptr<const TAirSource> NightAir(const TLiveTable& data, const TLiveSettings& s, double runEnd,
                                           std::vector<std::string>& notes)
{
    TTimeTable t = MemoryTable("the night's air", {"Time", "air", "dew", "sky"});
    auto add = [&t](double time, double air, double dew, double sky) {
        if (!t.Times.empty() && time <= t.Times.back())
            return;
        t.Times.push_back(time);
        t.Lines.push_back(t.Times.size());
        t.Columns[0].push_back(air);
        t.Columns[1].push_back(dew);
        t.Columns[2].push_back(sky);
    };
    const double first = data.Rows().front().Time;
    double lastAir = -INFINITY;
    for (const TLiveRow& r : data.Rows()) {
        const double air = r.Values[lrAir], dew = r.Values[lrDew], sky = r.Values[lrSky];
        if (std::isnan(air) && std::isnan(dew) && std::isnan(sky))
            continue;
        add(r.Time, air, dew, sky);
        if (!std::isnan(air))
            lastAir = r.Time;
    }
    if (s.Ahead) {
        const TTimeTable& a = s.Ahead->Table;
        const auto column = [&a](int index, std::size_t row) {
            return index > 0 ? a.Columns[std::size_t(index) - 1][row] : NAN;
        };
        std::size_t used = 0;
        for (std::size_t i = 0; i < a.Times.size(); ++i) {
            const double utc = UtcTime(a, a.Times[i], 0);
            if (utc > lastAir && utc <= runEnd + 3600) {
                add(utc, column(s.Ahead->AirIndex, i), column(s.Ahead->DewIndex, i), column(s.Ahead->SkyIndex, i));
                ++used;
            }
        }
        notes.push_back("The air ahead: " + s.Ahead->Describe() + " (" + std::to_string(used) + " rows after the data)");
    } else if (std::isfinite(lastAir)) {
        double sum = 0;
        int n = 0;
        for (const TLiveRow& r : data.Rows())
            if (!std::isnan(r.Values[lrAir]) && r.Time >= lastAir - HeldAirWindow) {
                sum += r.Values[lrAir];
                ++n;
            }
        const double mean = sum / n;
        add(lastAir + HeldAirRamp, mean, NAN, NAN);
        notes.push_back("The air ahead: the last hour's mean, " + FixedText(mean, 1, u'.') +
                        " \u00b0C, held (no forecast or air file is loaded)");
    }
    if (t.Times.empty() || std::all_of(t.Columns[0].begin(), t.Columns[0].end(), [](double v) { return std::isnan(v); }))
        throw EBrennicError("there is no air: give the air's column or role, an air file (--air-file) or a forecast "
                            "(--forecast)");
    if (t.Times.front() > first) {
        // The first air known holds back to the data's first moment.
        std::size_t k = 0;
        while (std::isnan(t.Columns[0][k])) ++k;
        t.Times.insert(t.Times.begin(), first);
        t.Lines.insert(t.Lines.begin(), 0);
        t.Columns[0].insert(t.Columns[0].begin(), t.Columns[0][k]);
        for (std::size_t c : {1u, 2u}) t.Columns[c].insert(t.Columns[c].begin(), NAN);
    }
    TAirFileChoice choice;
    choice.AirColumn = "air";
    const auto has = [&t](std::size_t c) {
        return std::any_of(t.Columns[c].begin(), t.Columns[c].end(), [](double v) { return !std::isnan(v); });
    };
    choice.DewColumn = has(1) ? "dew" : "-";
    choice.SkyColumn = has(2) ? "sky" : "-";
    // Columns without a value are left out, so that the reader's checks
    // apply to what is there.
    for (std::size_t c : {2u, 1u})
        if (!has(c)) {
            t.Names.erase(t.Names.begin() + long(c) + 1);
            t.Columns.erase(t.Columns.begin() + long(c));
            t.Faults.erase(t.Faults.begin() + long(c));
            t.Fahrenheit.erase(t.Fahrenheit.begin() + long(c));
            t.Tenths.erase(t.Tenths.begin() + long(c));
            t.Units.erase(t.Units.begin() + long(c));
        }
    if (choice.DewColumn == "-")
        choice.DewColumn.clear();
    if (choice.SkyColumn == "-")
        choice.SkyColumn.clear();
    return TAirSource::FromTable(std::move(t), choice);
}

// The readiness of a run's reports, with the request's tolerances and seeing.
TReadiness ReadinessOf(const std::vector<TStepValues>& reports, const TRunRequest& request)
{
    TReadiness r(request.Tolerances);
    r.SetSeeing(request.Seeing);
    for (const TStepValues& v : reports) r.Add(v);
    return r;
}

// What the log can fit: both faces apart with two probes, one film for
// both with one; the start unless it was given.
std::vector<TFitParameter> LiveFitParameters(const TMeasuredLog& log, bool mirrorTempGiven)
{
    std::vector<TFitParameter> p;
    if (!log.Surface.empty() && !log.Back.empty())
        p = {TFitParameter::FrontFilm, TFitParameter::BackFilm};
    else
        p = {TFitParameter::Films};
    if (!mirrorTempGiven)
        p.push_back(TFitParameter::MirrorTemp);
    return p;
}

// The ready times of every part, tolerance and seeing threshold, in one list.
std::vector<std::optional<double>> ReadyTimes(const TReadiness& r)
{
    std::vector<std::optional<double>> t;
    for (int part = 0; part < TReadiness::PartCount; ++part)
        for (std::size_t k = 0; k < r.Tolerances().size(); ++k) t.push_back(r.ReadyFrom(TReadiness::Part(part), k));
    for (std::size_t k = 0; k < r.SeeingThresholds().size(); ++k) t.push_back(r.SeeingReadyFrom(k));
    return t;
}

struct TPerturbed {
    std::vector<std::optional<double>> Up, Down;
    std::vector<TStepValues> UpReports, DownReports;
    double Step;
};

}  // namespace

double PropagatedError(const std::vector<double>& g, const std::vector<double>& errors,
                       const std::vector<std::vector<double>>& correlation)
{
    double var = 0;
    for (std::size_t i = 0; i < g.size(); ++i)
        for (std::size_t j = 0; j < g.size(); ++j) {
            const double rho = i == j ? 1 : correlation.at(i).at(j);
            var += g[i] * g[j] * errors[i] * errors[j] * rho;
        }
    return std::isfinite(var) ? std::sqrt(std::max(var, 0.0)) : NAN;
}

TLiveUpdate PredictLive(const TLiveTable& data, const TLiveSettings& s, std::stop_token stop)
{
    if (data.Rows().size() < 2)
        throw ETableError("the live readings: a log needs at least two rows");
    TLiveUpdate u;
    const auto log = TMeasuredLog::FromTable(data.Table("the live readings"), {});
    const double first = data.Rows().front().Time, last = data.Rows().back().Time;
    u.DataTime = last;
    u.MinutesOfData = (last - first) / 60;
    for (auto [role, value] : {std::pair{lrAir, &u.Air}, {lrSurface, &u.Surface}, {lrBack, &u.Back}})
        if (const auto row = data.LastWith(role))
            *value = row->Values[role];
    double runEnd = last + s.Horizon.value_or(DefaultHorizon);
    if (s.Ahead && !s.Horizon)
        runEnd = std::max(last + HeldAirRamp,
                          UtcTime(s.Ahead->Table, s.Ahead->Table.Times.back(), 0));
    u.RunStart = first;
    u.RunEnd = runEnd;

    TRequestSource source = s.Base;
    source.Air = NightAir(data, s, runEnd, u.Notes);
    // The log's air is the night's: measured, then what lies ahead.
    auto night = std::make_shared<TMeasuredLog>(*log);
    night->Air = source.Air;
    source.Log = night;
    source.DurationGiven = true;
    source.Texts.Text(fDuration) = FormatFloat((runEnd - first) / 60, source.DecimalSeparator);
    source.Use = TMemoryUse::KeepsResults;
    if (s.WindFromSource) {
        if (const auto wind = data.MeanWindSince(last - WindWindow)) {
            source.Texts.Text(fFrontAirSpeed) = FormatFloat(RoundedWind(*wind), source.DecimalSeparator);
            u.Notes.push_back("Front air speed " + ToUtf8(FormatFloat(RoundedWind(*wind), u'.')) +
                              " m/s: the wind's mean over the last 10 min");
        } else {
            u.Notes.push_back("No wind in the last 10 min: the front air speed stays as given");
        }
    }
    TRunRequest request = BuildRunRequest(source);
    for (const std::string& note : request.Notes) u.Notes.push_back(note);
    u.Tolerances = request.Tolerances;
    u.ToleranceTexts = s.ToleranceTexts;
    u.SeeingTexts = request.SeeingTexts;

    // From the conditions first: the fit starts from them, and stands in
    // for it while the log is too short.
    TFilmRanges films{};
    std::vector<TStepValues> reports;
    RunEngine(request, [&reports](std::span<const double>, std::span<const double> t, double time) {
        reports.push_back(StepValues(t, time));
    }, stop, &films);
    TRunRequest fitted = request;
    if (fitted.Solver.ComputedFilms) {
        fitted.Solver.ComputedFilms = false;
        fitted.Solver.FrontFilmCoefficient = (films[0].Min + films[0].Max) / 2;
        fitted.Solver.BackFilmCoefficient = (films[1].Min + films[1].Max) / 2;
    }
    const std::vector<TFitParameter> params = LiveFitParameters(*log, s.Base.MirrorTempGiven);
    std::optional<TFitResult> fit;
    try {
        fit = FitToLog(fitted, params, {}, stop);
    } catch (const EBrennicError& e) {
        u.Notes.push_back(std::string("From the conditions: the fit waits for more data (") + e.what() + ")");
    }
    std::vector<TPerturbed> perturbed;
    bool determined = false;
    if (fit && !fit->Cancelled) {
        for (std::size_t i = 0; i < params.size(); ++i) SetFitParameter(fitted.Solver, params[i], fit->Values[i]);
        reports = RunValues(fitted, stop);
        u.FromFit = true;
        u.Warnings = fit->Warnings;
        determined = std::none_of(fit->PoorlyDetermined.begin(), fit->PoorlyDetermined.end(), [](bool b) { return b; }) &&
                     std::all_of(fit->Uncertainties.begin(), fit->Uncertainties.end(),
                                 [](double e) { return std::isfinite(e) && e > 0; });
        // Each parameter one standard error up and down: the ready times'
        // derivatives by central differences.
        for (std::size_t i = 0; determined && i < params.size() && !stop.stop_requested(); ++i) {
            TPerturbed p;
            p.Step = fit->Uncertainties[i];
            TRunRequest up = fitted, down = fitted;
            SetFitParameter(up.Solver, params[i], fit->Values[i] + p.Step);
            const double lower = params[i] == TFitParameter::MirrorTemp ? -INFINITY : 0.0;  // films are never negative
            SetFitParameter(down.Solver, params[i], std::max(fit->Values[i] - p.Step, lower));
            p.Step = (FitParameterSlot(up.Solver, params[i]) - FitParameterSlot(down.Solver, params[i])) / 2;
            p.UpReports = RunValues(up, stop);
            p.DownReports = RunValues(down, stop);
            p.Up = ReadyTimes(ReadinessOf(p.UpReports, request));
            p.Down = ReadyTimes(ReadinessOf(p.DownReports, request));
            perturbed.push_back(std::move(p));
        }
        if (!determined)
            u.Notes.push_back("The interval is not determined: the data so far do not fix every fitted value");
        u.Fit = std::move(*fit);
    }
    const TReadiness readiness = ReadinessOf(reports, request);
    const std::vector<std::optional<double>> at = ReadyTimes(readiness);
    const double duration = request.Solver.Duration;
    std::vector<TReadyEstimate> estimates;
    for (std::size_t q = 0; q < at.size(); ++q) {
        TReadyEstimate e;
        if (at[q])
            e.At = first + *at[q];
        bool all = at[q].has_value() && determined && perturbed.size() == params.size();
        std::vector<double> g;
        for (const TPerturbed& p : perturbed) {
            all = all && p.Up[q] && p.Down[q];
            g.push_back(all ? (*p.Up[q] - *p.Down[q]) / (2 * p.Step) : 0);
        }
        if (all) {
            const double sigma = PropagatedError(g, u.Fit->Uncertainties, u.Fit->Correlation);
            if (std::isfinite(sigma)) {
                e.Low = first + std::clamp(*at[q] - Interval90 * sigma, 0.0, duration);
                e.High = first + std::clamp(*at[q] + Interval90 * sigma, 0.0, duration);
            }
        }
        estimates.push_back(e);
    }
    const std::size_t n = request.Tolerances.size();
    for (int part = 0; part < TReadiness::PartCount; ++part)
        u.Ready[std::size_t(part)].assign(estimates.begin() + long(part * n), estimates.begin() + long((part + 1) * n));
    u.Seeing.assign(estimates.begin() + long(3 * n), estimates.end());

    for (std::size_t k = 0; k < reports.size(); ++k) {
        const TStepValues& v = reports[k];
        u.Times.push_back(first + v.Time);
        u.AirCurve.push_back(v.Air);
        u.SurfaceCurve.push_back(v.Surface);
        u.BackCurve.push_back(v.Back);
        std::vector<double> g;
        bool band = determined && perturbed.size() == params.size();
        for (const TPerturbed& p : perturbed) {
            band = band && k < p.UpReports.size() && k < p.DownReports.size();
            g.push_back(band ? (p.UpReports[k].Surface - p.DownReports[k].Surface) / (2 * p.Step) : 0);
        }
        const double sigma = band ? PropagatedError(g, u.Fit->Uncertainties, u.Fit->Correlation) : NAN;
        u.SurfaceLow.push_back(std::isfinite(sigma) ? v.Surface - Interval90 * sigma : v.Surface);
        u.SurfaceHigh.push_back(std::isfinite(sigma) ? v.Surface + Interval90 * sigma : v.Surface);
    }
    return u;
}

}  // namespace brennic
