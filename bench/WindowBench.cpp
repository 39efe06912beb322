// The real window under the offscreen platform with live display: whole runs
// on either page, reported per run and per step.
#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <benchmark/benchmark.h>

using namespace brennic;

namespace {
TFrmBrennic* window = nullptr;
}

static void BM_WindowRun(benchmark::State& state)
{
    const int page = int(state.range(0));
    const double minutes = double(state.range(1)) / 1000;
    const double step = double(state.range(2)) / 1000;
    window->PageControl1->setCurrentIndex(page);
    window->edtTimeInterval->setText(QString::number(minutes, 'g', 15));
    window->edtTimeStep->setText(QString::number(step, 'g', 15));
    QTest::qWait(50);
    double steps = 0;
    for (auto _ : state) {
        window->btnRun->click();
        // The run goes on beside the window; its end arrives through the event loop.
        if (!QTest::qWaitFor([] { return !window->Running(); }, 600000))
            state.SkipWithError("the run did not end");
        steps = window->ResultLines->Count() - 1;
    }
    state.counters["steps"] = steps;
    state.counters["us_per_step"] =
        benchmark::Counter(steps * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
// page, duration (1/1000 min), time step (1/1000 s)
BENCHMARK(BM_WindowRun)
    ->Args({0, 120000, 10000})
    ->Args({1, 120000, 10000})
    ->Args({0, 720000, 1000})
    ->Args({1, 720000, 1000})
    ->Args({0, 2000000, 600})
    ->Args({1, 2000000, 600})
    ->ArgNames({"page", "min_x1000", "step_ms"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TBrennicApplication app(argc, argv);
    UseWindowFont();
    TFrmBrennic w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    window = &w;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
