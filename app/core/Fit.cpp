#include "app/core/Fit.h"

#include <nlopt.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace brennic {

namespace {

constexpr std::array<const char*, 4> Keys{"front-film", "back-film", "mirror-temp", "front-radiation"};

double& Slot(TBrennicOneD& s, TFitParameter p)
{
    switch (p) {
    case TFitParameter::FrontFilm: return s.FrontFilmCoefficient;
    case TFitParameter::BackFilm: return s.BackFilmCoefficient;
    case TFitParameter::MirrorTemp: return s.InitialMirrorTemp;
    default: return s.FrontRadiation;
    }
}

struct TBounds {
    double lo, hi, step;
};

TBounds Bounds(TFitParameter p, const TMeasuredLog& log)
{
    switch (p) {
    case TFitParameter::FrontFilm:
    case TFitParameter::BackFilm: return {0, 500, 2};
    case TFitParameter::MirrorTemp: {
        const double first = log.FirstMirrorTemperature();
        return {first - 30, first + 30, 0.5};
    }
    default: return {0, 1, 0.05};
    }
}

// Inverts a small symmetric matrix; false when it is singular.
bool Invert(std::vector<std::vector<double>>& a)
{
    const std::size_t n = a.size();
    std::vector<std::vector<double>> inv(n, std::vector<double>(n, 0));
    for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1;
    double scale = 0;
    for (std::size_t i = 0; i < n; ++i) scale = std::max(scale, std::fabs(a[i][i]));
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c]))
                p = r;
        if (!(std::fabs(a[p][c]) > scale * 1e-12))
            return false;
        std::swap(a[p], a[c]);
        std::swap(inv[p], inv[c]);
        const double d = a[c][c];
        for (std::size_t k = 0; k < n; ++k) {
            a[c][k] /= d;
            inv[c][k] /= d;
        }
        for (std::size_t r = 0; r < n; ++r)
            if (r != c) {
                const double f = a[r][c];
                for (std::size_t k = 0; k < n; ++k) {
                    a[r][k] -= f * a[c][k];
                    inv[r][k] -= f * inv[c][k];
                }
            }
    }
    a = inv;
    return true;
}

class TFitter {
public:
    TFitter(const TRunSpec& spec, const std::vector<TFitParameter>& params, const TFitProgress& progress,
            std::stop_token stop)
        : spec_(spec), log_(*spec.Log), params_(params), progress_(progress), stop_(stop)
    {
    }

    // Residuals of a run with the given values.
    void Residuals(const std::vector<double>& x, std::vector<double>& out)
    {
        for (std::size_t i = 0; i < x.size(); ++i) Slot(spec_.Solver, params_[i]) = x[i];
        brennic::Residuals(log_, RunValues(spec_), out);
        ++evaluations_;
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

    // One standard deviation per value from the curvature of the sum of
    // squares at the optimum (Gauss-Newton: sigma^2 (J^T J)^-1).
    void Uncertainties(const std::vector<double>& x, TFitResult& result)
    {
        const std::size_t p = x.size();
        std::vector<double> r0, up, down;
        Residuals(x, r0);
        std::vector<std::vector<double>> jacobian(p);
        for (std::size_t i = 0; i < p; ++i) {
            const TBounds b = Bounds(params_[i], log_);
            const double h = std::max(std::fabs(x[i]) * 1e-4, (b.hi - b.lo) * 1e-6);
            std::vector<double> a = x, c = x;
            a[i] = std::min(x[i] + h, b.hi);
            c[i] = std::max(x[i] - h, b.lo);
            Residuals(a, up);
            Residuals(c, down);
            jacobian[i].resize(r0.size());
            for (std::size_t k = 0; k < r0.size() && k < up.size() && k < down.size(); ++k)
                jacobian[i][k] = (up[k] - down[k]) / (a[i] - c[i]);
        }
        double ssr = 0;
        for (double d : r0) ssr += d * d;
        const double dof = double(r0.size()) - double(p);
        const double sigma2 = dof > 0 ? ssr / dof : std::numeric_limits<double>::infinity();
        std::vector<std::vector<double>> jtj(p, std::vector<double>(p, 0));
        for (std::size_t i = 0; i < p; ++i)
            for (std::size_t j = 0; j < p; ++j)
                for (std::size_t k = 0; k < r0.size(); ++k) jtj[i][j] += jacobian[i][k] * jacobian[j][k];
        const bool invertible = Invert(jtj);
        for (std::size_t i = 0; i < p; ++i) {
            const TBounds b = Bounds(params_[i], log_);
            const double u =
                invertible && jtj[i][i] >= 0 ? std::sqrt(sigma2 * jtj[i][i]) : std::numeric_limits<double>::infinity();
            result.Uncertainties.push_back(u);
            // Poorly determined: no curvature, or an error bar of half the
            // value itself or a quarter of the value's whole range.
            result.PoorlyDetermined.push_back(!invertible || !(u < (b.hi - b.lo) / 4) || !(u < 0.5 * std::fabs(x[i])));
        }
    }

    int Evaluations() const { return evaluations_; }
    bool Cancelled() const { return cancelled_; }

private:
    TRunSpec spec_;
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

const char* FitParameterKey(TFitParameter p)
{
    return Keys[std::size_t(p)];
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
                                "': choose from front-film, back-film, mirror-temp, front-radiation");
        const auto p = TFitParameter(key - Keys.begin());
        if (std::find(out.begin(), out.end(), p) != out.end())
            throw EBrennicError("\"--fit\" names '" + item + "' twice");
        out.push_back(p);
        if (end == std::string::npos)
            return out;
        start = end + 1;
    }
}

TFitResult FitToLog(const TRunSpec& spec, const std::vector<TFitParameter>& params, const TFitProgress& progress,
                    std::stop_token stop)
{
    if (!spec.Log)
        throw EBrennicError("Load a measured log first");
    const TMeasuredLog& log = *spec.Log;
    TFitResult result;
    result.Parameters = params;
    TFitter fitter(spec, params, progress, stop);
    std::vector<double> x, lo, hi, step;
    TBrennicOneD start = spec.Solver;
    for (TFitParameter p : params) {
        const TBounds b = Bounds(p, log);
        x.push_back(std::clamp(Slot(start, p), b.lo, b.hi));
        lo.push_back(b.lo);
        hi.push_back(b.hi);
        step.push_back(b.step);
    }
    const TLogComparison before = Compare(log, RunValues(spec));
    result.RmsBefore = before.Rms;
    result.Points = before.Points;

    nlopt::opt opt(params.size() >= 2 ? nlopt::LN_BOBYQA : nlopt::LN_SBPLX, unsigned(params.size()));
    opt.set_lower_bounds(lo);
    opt.set_upper_bounds(hi);
    opt.set_initial_step(step);
    opt.set_xtol_rel(1e-6);
    opt.set_maxeval(2000);
    struct Context {
        TFitter* fitter;
        nlopt::opt* opt;
    };
    Context context{&fitter, &opt};
    opt.set_min_objective(
        [](const std::vector<double>& v, std::vector<double>&, void* data) {
            auto* c = static_cast<Context*>(data);
            const double ms = c->fitter->MeanSquare(v);
            if (c->fitter->Cancelled())
                c->opt->force_stop();
            return ms;
        },
        &context);
    double best = 0;
    try {
        opt.optimize(x, best);
    } catch (const nlopt::forced_stop&) {
    }
    result.Cancelled = fitter.Cancelled();
    result.Values = x;
    if (!result.Cancelled) {
        result.RmsAfter = std::sqrt(best);
        fitter.Uncertainties(x, result);
    }
    result.Evaluations = fitter.Evaluations() + 1;
    return result;
}

}  // namespace brennic
