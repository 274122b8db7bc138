// A "Scan and finalize" run over a card of 1,000 small takes (500 older-family
// video takes, 500 sound takes) in each front end:
//
// - BM_ConsoleRun: ambrel-cli --finalize CARD, its lines to /dev/null.
// - BM_WindowRun: the window (offscreen unless told otherwise) from Start to
//   the end of the run, the question before the first write answered at
//   once, every line in its pane, every take a row of its table.
//
//   build/bench/bench_frontends [--benchmark_repetitions=3]
//
// The window's run should cost at most 1.5 times the console's.

#include "app/mainwindow.h"
#include "benchcard.h"
#include "benchsupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int videoTakes = 500;
constexpr int soundTakes = 500;

BenchCard& card()
{
    static BenchCard takes(videoTakes, soundTakes, 700);
    return takes;
}

bool everyTakeFinalized(const BenchCard& takes)
{
    for (const BenchCard::Take& take : takes.takes) {
        if (!QFile::exists(BenchCard::finishedName(take)))
            return false;
    }
    return true;
}

void BM_ConsoleRun(benchmark::State& state)
{
    BenchCard& takes = card();
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = takes.ok && takes.restore();
        state.ResumeTiming();
        QProcess console;
        console.setStandardOutputFile(QProcess::nullDevice());
        console.start(QStringLiteral(AMBREL_CLI_PATH), { QStringLiteral("--finalize"), takes.dir.path() });
        if (!ready || !console.waitForFinished(-1) || console.exitCode() != 0 || !everyTakeFinalized(takes)) {
            state.SkipWithError("the console did not finalize every take");
            return;
        }
    }
}

void BM_WindowRun(benchmark::State& state)
{
    BenchCard& takes = card();
    MainWindow window;
    window.show();
    window.setDrivePath(takes.dir.path());
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [] {
        if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            question->button(QMessageBox::Yes)->click();
    });
    user.start(5);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("startButton"));
    auto* path = window.findChild<QLineEdit*>(QStringLiteral("drivePathEdit"));
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = takes.ok && takes.restore();
        state.ResumeTiming();
        start->click();
        while (!path->isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const int rows = window.findChild<QTableView*>(QStringLiteral("resultsTable"))->model()->rowCount();
        if (!ready || rows != videoTakes + soundTakes || !everyTakeFinalized(takes)) {
            state.SkipWithError("the window did not finalize every take");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_ConsoleRun)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowRun)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv);
}
