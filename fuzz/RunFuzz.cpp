// Input texts through conversion, run planning and a run of at most a few
// hundred steps: an accepted run never reports a temperature outside the
// coldest and the warmest of the glass, the air and the sky, nor a value
// that is not finite; a refused one is refused with the model's own errors.
#include "app/core/results/ResultText.h"
#include "app/core/run/Engine.h"
#include "app/core/inputs/RunSetup.h"
#include "app/core/inputs/RunRequest.h"
#include "model/FilmCorrelations.h"
#include "app/core/results/StripPalette.h"
#include "support/LibStandard.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::u16string Text(FuzzedDataProvider& in, double value)
{
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: {
        const std::string raw = in.ConsumeRandomLengthString(24);
        return std::u16string(raw.begin(), raw.end());
    }
    case 1: return brennic::FormatFloat(value, u'.');
    default: {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", value);
        return std::u16string(buf, buf + std::char_traits<char>::length(buf));
    }
    }
}

double Value(FuzzedDataProvider& in, double low, double high)
{
    // Mostly plausible numbers, sometimes anything at all.
    if (in.ConsumeIntegralInRange<int>(0, 7) == 0)
        return in.ConsumeFloatingPoint<double>();
    return in.ConsumeFloatingPointInRange<double>(low, high);
}

void Describe(const brennic::TInputTexts& texts)
{
    for (int f = 0; f < brennic::FieldCount; ++f)
        std::fprintf(stderr, "  %s = '%s'\n", brennic::InputFields[f].Option, brennic::ToUtf8(texts.Text(f)).c_str());
    std::fprintf(stderr, "  --material %d\n", texts.Material);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace brennic;
    FuzzedDataProvider in(data, size);
    TInputTexts texts;
    texts.Text(fThickness) = Text(in, Value(in, 0.01, 500));
    texts.Text(fElementCount) = Text(in, double(in.ConsumeIntegralInRange<int>(-2, 400)));
    texts.Text(fInitialMirrorTemp) = Text(in, Value(in, -300, 1100));
    texts.Text(fInitialAirTemp) = Text(in, Value(in, -300, 1100));
    texts.Text(fFinalAirTemp) = Text(in, Value(in, -300, 1100));
    texts.Text(fDuration) = Text(in, Value(in, -10, 100000));
    texts.Text(fTimeStep) = Text(in, Value(in, -1, 100000));
    texts.Text(fFrontFilm) = Text(in, Value(in, -1, 1000));
    texts.Text(fBackFilm) = Text(in, Value(in, -1, 1000));
    texts.Text(fFrontRadiation) = Text(in, Value(in, -0.1, 1.1));
    texts.Text(fBackRadiation) = Text(in, Value(in, -0.1, 1.1));
    texts.Material = in.ConsumeIntegralInRange<int>(0, GlassMaterialCount - 1);

    // The observing conditions, half of the time.
    if (in.ConsumeBool()) {
        texts.Text(fFilms) = in.ConsumeBool() ? u"conditions" : u"typed";
        texts.Text(fDiameter) = Text(in, Value(in, -10, 12000));
        texts.Text(fAltitude) = Text(in, Value(in, -5, 95));
        texts.Text(fFrontAirSpeed) = Text(in, Value(in, -1, 60));
        texts.Text(fBackAirSpeed) = Text(in, Value(in, -1, 60));
        texts.Text(fBackSees) = in.ConsumeBool() ? u"surroundings" : u"sky";
        texts.Text(fTubeLength) = Text(in, Value(in, -10, 200000));
        texts.Text(fSky) = in.ConsumeBool() ? u"clear" : u"fixed";
        texts.Text(fDewPoint) = Text(in, Value(in, -120, 70));
    }

    TRequestSource source;
    source.Texts = texts;
    source.Use = TMemoryUse::Streams;
    TRunRequest request;
    try {
        request = BuildRunRequest(source);
    } catch (const EConvertError&) {
        return 0;
    } catch (const EBrennicError&) {
        return 0;
    }
    TBrennicOneD& s = request.Solver;
    if (s.ElementCount > 400)
        return 0;  // accepted, but too slow to fuzz
    // The sky: the classic black one, or the clear sky, linear in the air
    // between the ramp's ends.
    double skyLow = -73.15, skyHigh = -73.0;
    if (s.ClearSkyDewPoint) {
        const double dew = s.ClearSkyDewPoint(0);
        skyLow = std::min(ClearSkyTemperature(s.InitialAirTemp, dew), ClearSkyTemperature(s.FinalAirTemp, dew));
        skyHigh = std::max(ClearSkyTemperature(s.InitialAirTemp, dew), ClearSkyTemperature(s.FinalAirTemp, dew));
    }
    const double low = std::min({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp, skyLow});
    const double high = std::max({s.InitialMirrorTemp, s.InitialAirTemp, s.FinalAirTemp, skyHigh});
    // Rounding in the elimination grows with the coupling between elements.
    const double slack = 1e-9 * (1 + std::max(std::fabs(low), std::fabs(high)));
    int reports = 0;
    std::stop_source enough;
    std::u16string row;
    const TRegionalSettings settings;
    s.OnStep = [&](std::span<const double>, std::span<const double> t, double time) {
        for (double v : t)
            if (!std::isfinite(v) || v < low - slack || v > high + slack) {
                std::fprintf(stderr, "report %d at %.17g s: %.17g outside [%.17g, %.17g]\n", reports, time, v, low,
                             high);
                Describe(texts);
                std::abort();
            }
        const TStepValues v = StepValues(t, time);
        row.clear();
        AppendResultRow(row, v, settings);
        if (StripColorIndex(std::fabs(v.Surface - v.Air) / 6) == 0)
            std::abort();
        if (++reports >= 300)
            enough.request_stop();
    };
    try {
        RunEngine(request, [&](std::span<const double> p, std::span<const double> t, double time) { s.OnStep(p, t, time); },
                  enough.get_token());
    } catch (const EBrennicError& e) {
        std::fprintf(stderr, "accepted run failed: %s\n", e.what());
        Describe(texts);
        std::abort();
    }
    return 0;
}
