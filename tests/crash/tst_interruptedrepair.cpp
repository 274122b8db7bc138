// A repair killed at any of its writes (power lost, the process ended):
// the next run repairs the take into exactly the movie (or WAV) that an
// uninterrupted repair makes, and the recording never changes. The console
// front end runs under strace, which kills it at the n-th call of one
// write-like system call that touches the take, for every n in turn.

#include "consolerun.h"
#include "crashtakes.h"
#include "filehash.h"
#include "testcard.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {


using Card = TestCard;

} // namespace

class InterruptedRepairTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedAtEveryWrite_data();
    void killedAtEveryWrite();
    void cleanupTestCase();

private:
    // Per take and call: kills, and takes the next run repaired exactly.
    QStringList figures;
};

void InterruptedRepairTest::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("strace").isEmpty(), "strace is needed (./dev installs it)");
}

void InterruptedRepairTest::killedAtEveryWrite_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : CrashTakes::names())
        QTest::newRow(qPrintable(name)) << name;
}

void InterruptedRepairTest::killedAtEveryWrite()
{
    QFETCH(QString, name);
    const CrashTake take = CrashTakes::make(name);
    QVERIFY2(take.ok, qPrintable(take.error));

    Card traced;
    QVERIFY(take.lay(traced.root));
    const QMap<QString, int> calls = ConsoleRunner::writeCallCounts(traced.root, take.paths(traced.root));
    QVERIFY2(calls.value("fsync") > 0 && !calls.isEmpty(), "no writes of the repair were seen");
    QVERIFY(fileBytes(traced.path(take.repairedName)) == take.repaired);

    QSet<QByteArray> played;
    QStringList counted;
    for (auto call = calls.cbegin(); call != calls.cend(); ++call) {
        int survived = 0;
        for (int n = 1;; ++n) {
            Card card;
            QVERIFY(take.lay(card.root));
            const ConsoleRun cut = ConsoleRunner::killedAt(card.root, take.paths(card.root), call.key(), n);
            QVERIFY(cut.started);
            if (!cut.killed) {
                // Past the last such call the repair runs whole.
                QCOMPARE(n, call.value() + 1);
                QCOMPARE(CrashTake::standing(card.root), QStringList{ take.repairedName });
                break;
            }
            const QString where = QStringLiteral("killed at %1 #%2").arg(call.key()).arg(n);
            QVERIFY2(n <= call.value(), qPrintable(where));

            // Killed, the take is never named as finished before it is, nor
            // as failed, and the recording is as it was.
            const QStringList left = CrashTake::standing(card.root);
            QCOMPARE(left.size(), 1);
            QVERIFY2(left.first() == take.takeName || left.first() == take.repairedName, qPrintable(where));
            QVERIFY2(take.keepsRecording(card.path(left.first())), qPrintable(where));
            if (left.first() == take.repairedName)
                QVERIFY2(fileBytes(card.path(take.repairedName)) == take.repaired, qPrintable(where));

            // The next run finishes the take: the same bytes as a repair that
            // was never interrupted, and so the same frames, samples and timecode.
            const ConsoleRun again = ConsoleRunner::finalize(card.root);
            QCOMPARE(again.exitCode, 0);
            QCOMPARE(CrashTake::standing(card.root), QStringList{ take.repairedName });
            if (left.first() == take.takeName)
                QVERIFY2(again.printed("     " + card.path(take.repairedName) + " " + take.familyTag + " Finalized"),
                    qPrintable(where + ": " + again.lines.join('|')));
            const QByteArray result = fileBytes(card.path(take.repairedName));
            const QByteArray digest = FileHash::sha256(result);
            if (!played.contains(digest)) {
                const QString mismatch = take.playbackMismatch(card.path(take.repairedName));
                QVERIFY2(mismatch.isEmpty(), qPrintable(where + ": " + mismatch));
                played.insert(digest);
            }
            QVERIFY2(result == take.repaired, qPrintable(where + ": the repair differs from an uninterrupted one"));
            ++survived;
        }
        counted << QStringLiteral("%1 %2/%3").arg(call.key()).arg(survived).arg(call.value());
    }
    figures << name + ": " + counted.join(", ");
}

void InterruptedRepairTest::cleanupTestCase()
{
    // Kill points survived / write-like calls of the repair, per take and call.
    for (const QString& line : std::as_const(figures))
        qInfo("%s", qPrintable(line));
}

QTEST_MAIN(InterruptedRepairTest)
#include "tst_interruptedrepair.moc"
