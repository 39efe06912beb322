#include "app/core/fit/Fit.h"

#include "app/core/fit/FitStatistics.h"

#include <nlopt.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>

namespace brennic {

namespace {

// Thrown through the optimiser when a stop is asked for during a model run:
// the run is incomplete, its residuals mean nothing.
struct TStopped {};

constexpr std::array<const char*, 5> Keys{"front-film", "back-film", "mirror-temp", "front-radiation", "films"};


constexpr double MirrorTempSpan = 30;  // °C either side of the first reading

struct TBounds {
    double lo, hi, step;
};

TBounds Bounds(TFitParameter p, const TMeasuredLog& log)
{
    switch (p) {
    case TFitParameter::Films:
    case TFitParameter::FrontFilm:
    case TFitParameter::BackFilm: return {0, 500, 2};
    case TFitParameter::MirrorTemp: {
        // Within 30 °C of the first reading, and never beyond what an input may hold.
        const double first = log.FirstMirrorTemperature();
        return {std::max(first - MirrorTempSpan, LowestTemperature), std::min(first + MirrorTempSpan, HighestTemperature),
                0.5};
    }
    default: return {0, 1, 0.05};
    }
}

class TFitter {
public:
    TFitter(const TRunRequest& request, const std::vector<TFitParameter>& params, const TFitProgress& progress,
            std::stop_token stop)
        : request_(request), log_(*request.Log), params_(params), progress_(progress), stop_(stop)
    {
    }

    // Residuals of a run with the given values; throws TStopped when a stop
    // cut the run short.
    void Residuals(const std::vector<double>& x, std::vector<double>& out)
    {
        for (std::size_t i = 0; i < x.size(); ++i) SetFitParameter(request_.Solver, params_[i], x[i]);
        brennic::Residuals(log_, Values(), out);
        ++evaluations_;
    }

    // The reports of a run of the request as it stands.
    std::vector<TStepValues> Values()
    {
        std::vector<TStepValues> values = RunValues(request_, stop_);
        if (stop_.stop_requested()) {
            cancelled_ = true;
            throw TStopped{};
        }
        return values;
    }

    double MeanSquare(const std::vector<double>& x)
    {
        Residuals(x, scratch_);
        double sum = 0;
        for (double d : scratch_) sum += d * d;
        const double ms = scratch_.empty() ? 0 : sum / double(scratch_.size());
        best_ = std::min(best_, std::sqrt(ms));
        if ((progress_ && !progress_(evaluations_, best_)) || stop_.stop_requested())
            cancelled_ = true;
        return ms;
    }

    // Standard errors and correlations from the Jacobian at the optimum,
    // in parameters divided by their scale (Gauss-Newton: s^2 (J^T J)^-1
    // with s^2 the residual variance over n - p degrees of freedom).
    void Uncertainties(const std::vector<double>& x, TFitResult& result)
    {
        const std::size_t p = x.size();
        std::vector<double> r0, up, down, scales(p);
        Residuals(x, r0);
        std::vector<std::vector<double>> jacobian(p, std::vector<double>(r0.size(), 0));
        std::vector<bool> temperature(p);
        std::vector<std::string> names(p);
        for (std::size_t i = 0; i < p; ++i) {
            const TBounds b = Bounds(params_[i], log_);
            temperature[i] = params_[i] == TFitParameter::MirrorTemp;
            names[i] = FitParameterKey(params_[i]);
            scales[i] = temperature[i] ? 1.0 : std::max(std::fabs(x[i]), b.step / 2);
            const double h = 1e-3 * scales[i];
            std::vector<double> a = x, c = x;
            a[i] = std::min(x[i] + h, b.hi);
            c[i] = std::max(x[i] - h, b.lo);
            Residuals(a, up);
            Residuals(c, down);
            for (std::size_t k = 0; k < r0.size() && k < up.size() && k < down.size(); ++k)
                jacobian[i][k] = (up[k] - down[k]) / ((a[i] - c[i]) / scales[i]);
        }
        const TFitStatistics st =
            FitStatistics(x, scales, jacobian, r0, SurfacePoints(), temperature, names, log_);
        result.Uncertainties = st.Errors;
        result.PoorlyDetermined = st.Poorly;
        result.NotDetermined = st.NotDetermined;
        result.Correlation = st.Correlation;
        result.DegreesOfFreedom = st.DegreesOfFreedom;
        result.NoiseEstimate = st.NoiseEstimate;
        result.ResidualAutocorrelation = st.ResidualAutocorrelation;
        result.Warnings = st.Warnings;
        for (std::size_t i = 0; i < x.size(); ++i) SetFitParameter(request_.Solver, params_[i], x[i]);
        MeasuredMinusModel(log_, Values(), result.SurfaceResiduals, result.BackResiduals);
    }

    // How many of the residuals are the surface's (they come first).
    std::size_t SurfacePoints()
    {
        TMeasuredLog surfaceOnly;
        surfaceOnly.Surface = log_.Surface;
        std::vector<double> r;
        brennic::Residuals(surfaceOnly, Values(), r);
        return r.size();
    }

    int Evaluations() const { return evaluations_; }
    bool Cancelled() const { return cancelled_; }

private:
    TRunRequest request_;
    const TMeasuredLog& log_;
    std::vector<TFitParameter> params_;
    const TFitProgress& progress_;
    std::stop_token stop_;
    std::vector<double> scratch_;
    int evaluations_ = 0;
    double best_ = std::numeric_limits<double>::infinity();
    bool cancelled_ = false;
};

}  // namespace

double& FitParameterSlot(TBrennicOneD& s, TFitParameter p)
{
    switch (p) {
    case TFitParameter::Films:
    case TFitParameter::FrontFilm: return s.FrontFilmCoefficient;
    case TFitParameter::BackFilm: return s.BackFilmCoefficient;
    case TFitParameter::MirrorTemp: return s.InitialMirrorTemp;
    default: return s.FrontRadiation;
    }
}

void SetFitParameter(TBrennicOneD& s, TFitParameter p, double v)
{
    FitParameterSlot(s, p) = v;
    if (p == TFitParameter::Films)
        s.BackFilmCoefficient = v;
}

const char* FitParameterKey(TFitParameter p)
{
    return Keys[std::size_t(p)];
}

const char* FitParameterUnit(TFitParameter p, bool display)
{
    switch (p) {
    case TFitParameter::Films:
    case TFitParameter::FrontFilm:
    case TFitParameter::BackFilm: return display ? "W/m\u00b2K" : "W/m2K";
    case TFitParameter::MirrorTemp: return display ? "\u00b0C" : "C";
    default: return "";
    }
}

std::vector<TFitParameter> ParseFitParameters(const std::string& list)
{
    std::vector<TFitParameter> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = list.find(',', start);
        const std::string item = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const auto key = std::find(Keys.begin(), Keys.end(), item);
        if (key == Keys.end())
            throw EBrennicError("\"--fit\" has '" + item +
                                "': choose from front-film, back-film, mirror-temp, front-radiation, films");
        const auto p = TFitParameter(key - Keys.begin());
        if (std::find(out.begin(), out.end(), p) != out.end())
            throw EBrennicError("\"--fit\" names '" + item + "' twice");
        const bool oneFace = p == TFitParameter::FrontFilm || p == TFitParameter::BackFilm;
        for (TFitParameter q : out)
            if ((oneFace && q == TFitParameter::Films) ||
                (p == TFitParameter::Films && (q == TFitParameter::FrontFilm || q == TFitParameter::BackFilm)))
                throw EBrennicError("\"--fit\" has 'films' (one coefficient for both faces) with a face's own; "
                                    "give one or the other");
        out.push_back(p);
        if (end == std::string::npos)
            return out;
        start = end + 1;
    }
}

TFitResult FitToLog(const TRunRequest& request, const std::vector<TFitParameter>& params, const TFitProgress& progress,
                    std::stop_token stop)
{
    if (!request.Log)
        throw EBrennicError("Load a measured log first");
    const TMeasuredLog& log = *request.Log;
    TFitResult result;
    result.Parameters = params;
    TFitter fitter(request, params, progress, stop);
    std::vector<double> x, lo, hi, step;
    TBrennicOneD start = request.Solver;
    for (TFitParameter p : params) {
        const TBounds b = Bounds(p, log);
        x.push_back(std::clamp(FitParameterSlot(start, p), b.lo, b.hi));  // films: from the front's
        lo.push_back(b.lo);
        hi.push_back(b.hi);
        step.push_back(b.step);
    }
    const TLogComparison before = Compare(log, RunValues(request, stop));
    if (stop.stop_requested()) {
        result.Cancelled = true;
        return result;
    }
    result.RmsBefore = before.Rms;
    result.Points = before.Points;
    if (before.Points < params.size() + 1)
        throw EBrennicError("Fitting " + std::to_string(params.size()) + (params.size() == 1 ? " input" : " inputs") +
                            " needs at least " + std::to_string(params.size() + 1) + " points; the log has " +
                            std::to_string(before.Points) + " within the run");

    nlopt::opt opt(params.size() >= 2 ? nlopt::LN_BOBYQA : nlopt::LN_SBPLX, unsigned(params.size()));
    opt.set_lower_bounds(lo);
    opt.set_upper_bounds(hi);
    opt.set_initial_step(step);
    opt.set_xtol_rel(1e-6);
    opt.set_maxeval(2000);
    // NLopt turns an exception from the objective into "nlopt failure": an
    // evaluation's own error is kept here and thrown as itself afterwards.
    struct Context {
        TFitter* fitter;
        nlopt::opt* opt;
        std::exception_ptr error;
    };
    Context context{&fitter, &opt, nullptr};
    opt.set_min_objective(
        [](const std::vector<double>& v, std::vector<double>&, void* data) {
            auto* c = static_cast<Context*>(data);
            try {
                const double ms = c->fitter->MeanSquare(v);
                if (c->fitter->Cancelled())
                    c->opt->force_stop();
                return ms;
            } catch (const TStopped&) {
            } catch (...) {
                c->error = std::current_exception();
            }
            c->opt->force_stop();
            return std::numeric_limits<double>::infinity();
        },
        &context);
    double best = 0;
    try {
        opt.optimize(x, best);
    } catch (const nlopt::forced_stop&) {
    }
    if (context.error)
        std::rethrow_exception(context.error);
    result.Cancelled = fitter.Cancelled();
    result.Values = x;
    if (!result.Cancelled) {
        result.RmsAfter = std::sqrt(best);
        try {
            fitter.Uncertainties(x, result);
        } catch (const TStopped&) {
            result.Cancelled = true;
        }
    }
    result.Evaluations = fitter.Evaluations() + 1;
    return result;
}

}  // namespace brennic
