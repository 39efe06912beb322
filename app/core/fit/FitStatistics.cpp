#include "app/core/fit/FitStatistics.h"

#include "app/core/results/Readiness.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brennic {

namespace {

using TMatrix = std::vector<std::vector<double>>;

// Inverts a small symmetric positive matrix; false when it is singular
// (a pivot below 1e-12 of the largest diagonal entry).
bool Invert(TMatrix& a)
{
    const std::size_t n = a.size();
    TMatrix inv(n, std::vector<double>(n, 0));
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

// Second differences of one series' values, in time order.
void SecondDifferences(const std::vector<TMeasuredPoint>& points, std::vector<double>& out)
{
    for (std::size_t i = 1; i + 1 < points.size(); ++i)
        out.push_back(std::fabs(points[i + 1].Value - 2 * points[i].Value + points[i - 1].Value));
}

std::string Number(double v, int decimals)
{
    return FixedText(v, decimals, u'.');
}

}  // namespace

double LogNoiseEstimate(const TMeasuredLog& log)
{
    std::vector<double> d;
    SecondDifferences(log.Surface, d);
    SecondDifferences(log.Back, d);
    if (d.empty())
        return 0;
    std::nth_element(d.begin(), d.begin() + std::ptrdiff_t(d.size() / 2), d.end());
    // The median of |N(0, 6 s^2)| is 0.6745 sqrt(6) s.
    return d[d.size() / 2] / (0.6744897501960817 * std::sqrt(6.0));
}

double Lag1Autocorrelation(const std::vector<double>& r, std::size_t surfacePoints)
{
    double mean = 0;
    for (double v : r) mean += v;
    mean = r.empty() ? 0 : mean / double(r.size());
    double products = 0, squares = 0;
    for (std::size_t k = 0; k < r.size(); ++k) {
        squares += (r[k] - mean) * (r[k] - mean);
        if (k + 1 < r.size() && k + 1 != surfacePoints)
            products += (r[k] - mean) * (r[k + 1] - mean);
    }
    return squares > 0 ? products / squares : 0;
}

TFitStatistics FitStatistics(const std::vector<double>& values, const std::vector<double>& scales,
                             const TMatrix& jacobian, const std::vector<double>& residuals, std::size_t surfacePoints,
                             const std::vector<bool>& temperature, const std::vector<std::string>& names,
                             const TMeasuredLog& log)
{
    const std::size_t p = values.size(), n = residuals.size();
    TFitStatistics s;
    s.DegreesOfFreedom = int(n) - int(p);
    double ssr = 0;
    for (double d : residuals) ssr += d * d;
    const double variance = s.DegreesOfFreedom > 0 ? ssr / s.DegreesOfFreedom : 0;

    // A parameter the log cannot see moves no residual by a micro-kelvin.
    s.NotDetermined.assign(p, false);
    for (std::size_t i = 0; i < p; ++i) {
        double norm = 0;
        for (double d : jacobian[i]) norm += d * d;
        s.NotDetermined[i] = !(std::sqrt(norm / std::max<std::size_t>(n, 1)) > 1e-6);
    }
    // Covariance of the determined parameters: variance (J^T J)^-1.
    std::vector<std::size_t> seen;
    for (std::size_t i = 0; i < p; ++i)
        if (!s.NotDetermined[i])
            seen.push_back(i);
    TMatrix jtj(seen.size(), std::vector<double>(seen.size(), 0));
    for (std::size_t a = 0; a < seen.size(); ++a)
        for (std::size_t b = 0; b < seen.size(); ++b)
            for (std::size_t k = 0; k < n; ++k) jtj[a][b] += jacobian[seen[a]][k] * jacobian[seen[b]][k];
    const bool invertible = Invert(jtj);
    s.Errors.assign(p, std::numeric_limits<double>::infinity());
    s.Correlation.assign(p, std::vector<double>(p, 0));
    for (std::size_t i = 0; i < p; ++i) s.Correlation[i][i] = 1;
    for (std::size_t a = 0; a < seen.size() && invertible; ++a) {
        s.Errors[seen[a]] = scales[seen[a]] * std::sqrt(variance * std::max(jtj[a][a], 0.0));
        for (std::size_t b = 0; b < seen.size(); ++b)
            if (a != b && jtj[a][a] > 0 && jtj[b][b] > 0)
                s.Correlation[seen[a]][seen[b]] = jtj[a][b] / std::sqrt(jtj[a][a] * jtj[b][b]);
    }
    if (!invertible)
        for (std::size_t i : seen) s.NotDetermined[i] = true;

    s.Poorly.assign(p, false);
    for (std::size_t i = 0; i < p; ++i) {
        bool strong = false;
        for (std::size_t j = 0; j < p; ++j)
            strong = strong || (i != j && std::fabs(s.Correlation[i][j]) >= StrongCorrelation);
        const double e = s.Errors[i];
        s.Poorly[i] = s.NotDetermined[i] || strong ||
                      (temperature[i] ? !(e < PoorTemperatureError) : !(e < PoorRelativeError * std::fabs(values[i])));
        if (s.NotDetermined[i])
            s.Warnings.push_back(names[i] + " is not determined by this log: the log hardly changes with it");
    }

    s.NoiseEstimate = LogNoiseEstimate(log);
    s.ResidualAutocorrelation = Lag1Autocorrelation(residuals, surfacePoints);
    const double rms = n ? std::sqrt(ssr / double(n)) : 0;
    if (rms > MisfitNoiseFactor * s.NoiseEstimate && s.ResidualAutocorrelation > SystematicAutocorrelation)
        s.Warnings.push_back("the model does not describe this log well (RMS " + Number(rms, 2) +
                             " K, sensor noise about " + Number(s.NoiseEstimate, 2) +
                             " K, residuals systematic); check the emissivities, the sensor positions and the air");
    return s;
}

}  // namespace brennic
