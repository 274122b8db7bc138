// A repair whose writes fail, by real operating system failures: a file
// size limit (as on a card that fills up) cutting each phase of the repair,
// and every write-like call failing in turn (strace). The take is then left
// under its name, repairable, or named as failed, never named finished while
// it is not; the recording is unchanged; the report says what failed. A run
// without the fault then repairs what was left repairable.

#include "consolerun.h"
#include "crashtakes.h"
#include "filehash.h"
#include "testcard.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {


using Card = TestCard;

// File size limits that cut each phase of a take's repair.
QList<qint64> limitsFor(const QString& name, const CrashTake& take)
{
    const qint64 start = take.repairStart;
    const qint64 movie = take.movieBytes;
    if (name == "WAV") {
        // Both fields refused, the RIFF size cut in two, the data size cut
        // in two, everything in reach.
        return { 0, 6, take.dataSizeOffset + 2, take.pristine.size() };
    }
    if (name.startsWith("Orla")) {
        // Nothing, the movie atom cut before, inside and after its vendor
        // atom's counts, in its middle and at its end, the closing block cut,
        // everything in reach.
        return { start, start + 40, start + 200, start + movie / 2, start + movie - 8, start + movie + 100,
            start + movie + 512 };
    }
    // Nothing, the timecode block cut, the movie atom cut at its start,
    // after its counts, in its middle and at its end, everything in reach.
    return { start, start + 100, start + 530, start + 700, start + 512 + movie / 2, start + 512 + movie - 8,
        start + 512 + movie };
}

// How a faulty run left the take, for the figures.
QString outcome(const CrashTake& take, const Card& card)
{
    const QString name = CrashTake::standing(card.root).value(0);
    return name == take.repairedName ? QStringLiteral("finished")
        : name == take.failedName    ? QStringLiteral("failed")
                                     : QStringLiteral("kept");
}

} // namespace

class FullDiskTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void failingCalls_data();
    void failingCalls();
    void cleanupTestCase();

private:
    // What a run under a fault left, checked; then a run without it.
    void checkFaultyRun(const CrashTake& take, const Card& card, const ConsoleRun& run, const QString& where);
    void checkNextRun(const CrashTake& take, const Card& card, const QString& where);

    QStringList figures;
};

void FullDiskTest::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("strace").isEmpty(), "strace is needed (./dev installs it)");
    QVERIFY2(!QStandardPaths::findExecutable("prlimit").isEmpty(), "prlimit is needed");
}

void FullDiskTest::checkFaultyRun(const CrashTake& take, const Card& card, const ConsoleRun& run, const QString& where)
{
    QVERIFY2(run.started && !run.killed, qPrintable(where));
    const QStringList left = CrashTake::standing(card.root);
    QCOMPARE(left.size(), 1);
    const QString name = left.first();
    QVERIFY2(take.keepsRecording(card.path(name)), qPrintable(where + ": the recording changed"));
    if (name == take.repairedName) {
        // Finished despite the fault (a failed rename Qt made up for by a
        // copy, a limit the repair stayed within): whole, and said so.
        QVERIFY2(run.printed("     " + card.path(name) + " " + take.familyTag + " Finalized"), qPrintable(where));
        if (fileBytes(card.path(name)) != take.repaired) {
            const QString mismatch = take.playbackMismatch(card.path(name));
            QVERIFY2(mismatch.isEmpty(), qPrintable(where + ": finished but " + mismatch));
        }
        return;
    }
    QVERIFY2(name == take.takeName || name == take.failedName, qPrintable(where + ": " + name));
    QVERIFY2(run.printed("********************* " + card.path(take.takeName) + " recovery failed, "),
        qPrintable(where + ": no failure line in " + run.lines.join('|')));
    QVERIFY2(run.printed(" " + take.familyTag + " Unrecoverable"), qPrintable(where));
    QCOMPARE(run.exitCode, 1);
}

void FullDiskTest::checkNextRun(const CrashTake& take, const Card& card, const QString& where)
{
    // A take named as failed stays so: later runs never open it again.
    if (CrashTake::standing(card.root) != QStringList{ take.takeName })
        return;
    const ConsoleRun again = ConsoleRunner::finalize(card.root);
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(CrashTake::standing(card.root), QStringList{ take.repairedName });
    const QString movie = card.path(take.repairedName);
    QVERIFY(take.keepsRecording(movie));
    // A write cut too short to name its movie leaves a few bytes the next
    // repair covers as media: other bytes, the same frames, samples and timecode.
    if (fileBytes(movie) != take.repaired) {
        const QString mismatch = take.playbackMismatch(movie);
        QVERIFY2(mismatch.isEmpty(), qPrintable(where + ": repaired later, but " + mismatch));
    }
}

void FullDiskTest::fileSizeLimit_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : { "Orla, recorded end 0", "Vesk, recorded end 0", "WAV" })
        QTest::newRow(name) << QString(name);
}

void FullDiskTest::fileSizeLimit()
{
    QFETCH(QString, name);
    const CrashTake take = CrashTakes::make(name);
    QVERIFY2(take.ok, qPrintable(take.error));

    QStringList tried;
    for (const qint64 limit : limitsFor(name, take)) {
        Card card;
        QVERIFY(take.lay(card.root));
        const QString where = QStringLiteral("limit %1").arg(limit);
        checkFaultyRun(take, card, ConsoleRunner::withFileSizeLimit(card.root, limit), where);
        if (QTest::currentTestFailed())
            return;
        tried << QStringLiteral("%1%2 %3").arg(limit - take.repairStart >= 0 ? "+" : "").arg(limit - take.repairStart)
                     .arg(outcome(take, card));
        checkNextRun(take, card, where);
        if (QTest::currentTestFailed())
            return;
    }
    figures << name + ", limits from the repair's start: " + tried.join(", ");
}

void FullDiskTest::failingCalls_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : { "Orla", "Vesk", "WAV" })
        QTest::newRow(name) << QString(name);
}

void FullDiskTest::failingCalls()
{
    QFETCH(QString, name);
    const CrashTake take = CrashTakes::make(name);
    QVERIFY2(take.ok, qPrintable(take.error));

    Card traced;
    QVERIFY(take.lay(traced.root));
    const QMap<QString, int> calls = ConsoleRunner::writeCallCounts(traced.root, take.paths(traced.root));
    QVERIFY(!calls.isEmpty());
    QStringList failed;
    for (auto call = calls.cbegin(); call != calls.cend(); ++call) {
        QStringList outcomes;
        for (int n = 1; n <= call.value(); ++n) {
            Card card;
            QVERIFY(take.lay(card.root));
            const QString error = ConsoleRunner::errorFor(call.key());
            const QString where = QStringLiteral("%1 #%2 failing with %3").arg(call.key()).arg(n).arg(error);
            checkFaultyRun(take, card, ConsoleRunner::failingAt(card.root, take.paths(card.root), call.key(), n, error), where);
            if (QTest::currentTestFailed())
                return;
            outcomes << outcome(take, card);
            checkNextRun(take, card, where);
            if (QTest::currentTestFailed())
                return;
        }
        failed << QStringLiteral("%1 x%2 (%3)").arg(call.key()).arg(call.value()).arg(outcomes.join(' '));
    }
    figures << name + ", calls failed in turn: " + failed.join(", ");
}

void FullDiskTest::cleanupTestCase()
{
    for (const QString& line : std::as_const(figures))
        qInfo("%s", qPrintable(line));
}

QTEST_MAIN(FullDiskTest)
#include "tst_fulldisk.moc"
