// The real window under the offscreen platform with live display: whole runs
// on either page, reported per run and per step.
#include "app/gui/ErrorReport.h"
#include "app/gui/MainOrvalis.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTest>

#include <sys/resource.h>

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

// A long fine run of a thick mirror (48 h in 1 s steps, 2000 elements):
// the run, then what a click costs after it (a page change each way, the
// surface-minus-air curve on and off), Cancel back to an enabled Run, and
// the window's peak memory.
static void BM_WindowLongRun(benchmark::State& state)
{
    window->PageControl1->setCurrentIndex(EvolutionPage);
    window->edtElementCount->setText(QStringLiteral("2000"));
    window->edtTimeInterval->setText(QStringLiteral("2880"));
    window->edtTimeStep->setText(QStringLiteral("1"));
    QTest::qWait(50);
    double toggleMs = 0, cancelMs = 0;
    for (auto _ : state) {
        window->btnRun->click();
        if (!QTest::qWaitFor([] { return !window->Running(); }, 600000))
            state.SkipWithError("the run did not end");
        state.PauseTiming();
        // Each click with what it sets going: layout, the strip, the paint.
        const auto settle = [] {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            window->repaint();
        };
        QElapsedTimer clock;
        clock.start();
        for (int page : {ProfilePage, EvolutionPage}) {
            window->PageControl1->setCurrentIndex(page);
            settle();
        }
        window->chkSurfaceMinusAir->toggle();
        settle();
        window->chkSurfaceMinusAir->toggle();
        settle();
        toggleMs = double(clock.elapsed()) / 4;
        window->btnRun->click();
        QTest::qWait(1000);
        clock.restart();
        window->btnCancel->click();
        QTest::qWaitFor([] { return window->btnRun->isEnabled(); }, 60000);
        cancelMs = double(clock.elapsed());
        state.ResumeTiming();
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["click_ms"] = toggleMs;
    state.counters["cancel_ms"] = cancelMs;
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_WindowLongRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
