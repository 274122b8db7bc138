// The Orla finalize flow as a user meets it: the report of every failure,
// the names files end up under, a disk that fills up during the repair, and
// a card scanned again afterwards.

#include "filehash.h"
#include "filesizelimit.h"
#include "forgetfulcard.h"
#include "recovery/orla/orlarepair.h"
#include "scanrun.h"
#include "recordingwriter.h"
#include "repairedmovie.h"
#include "scan/finalize.h"
#include "takedescription.h"
#include "linerecorder.h"
#include "testcard.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TakeDescription)

namespace {

// A take of `items` frame map entries: a timecode sample, small stand-in
// frames and two audio chunks. No player looks at it, so no encoder is needed.
TakeDescription smallTake(int items)
{
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
    take.width = 1280;
    take.height = 720;
    take.setStandInFrames(items - 3, 700);
    take.audioSamplesPerChunk = 256;
    take.setAudio(1, 3, 2);
    return take;
}

struct Card : TestCard
{
    WrittenTake write(const TakeDescription& take, const QString& relative)
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        return RecordingWriter::write(take, path(relative));
    }
};

// The whole report of a repair that succeeded, up to its result line.
QStringList repairedReport(const QString& takePath, const QString& reportedName, const QString& moviePath)
{
    const RepairedMovie movie(moviePath);
    return QStringList{ "doing orla finalize" } + movie.repairLines(takePath)
        + QStringList{ "     " + reportedName + " (Orla) Finalized\n" };
}

QString failureLine(const QString& path, const QString& reason)
{
    return QStringLiteral("********************* %1 recovery failed, %2!\n").arg(path, reason);
}

QString restoreLine(const QString& path)
{
    return QStringLiteral("********************* %1 needs to be restored!\n").arg(path);
}

QString renameFailureLine(const QString& from, const QString& to)
{
    return QStringLiteral("Failed to rename file:  \"%1\"  ->  \"%2\"").arg(from, to);
}

// Caps the size any file of this process may grow to, as a full card does.
// A recording held in memory whose settings block cannot be read.
class SettingsUnreadableDevice : public QBuffer
{
protected:
    qint64 readData(char* data, qint64 length) override
    {
        if (pos() < 156 && pos() + length > 36)
            return -1;
        return QBuffer::readData(data, length);
    }
};

} // namespace

class OrlaRecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void takeThatIsNotRepaired_data();
    void takeThatIsNotRepaired();
    void fileThatCannotBeOpened_data();
    void fileThatCannotBeOpened();
    void settingsThatCannotBeRead();
    void thirtyItemsAreEnough();
    void renames_data();
    void renames();
    void diskFullDuringRepair_data();
    void diskFullDuringRepair();
    void movieThatDoesNotCheckOut();
    void movieOfAnotherTakeBehindTheMedia();
    void repairedTakeIsNotListedAgain();
    void finishedMovieUnderTheTemporaryName();
};

void OrlaRecoveryTest::takeThatIsNotRepaired_data()
{
    QTest::addColumn<TakeDescription>("take");
    QTest::addColumn<QString>("reason");
    // Refused before the rebuild: nothing written, the name kept. A rebuild
    // that failed: nothing written either, but the not-recoverable name.
    QTest::addColumn<bool>("rebuildAttempted");

    const TakeDescription take = smallTake(40);
    auto poked = [&](SettingsField field, quint64 value) {
        TakeDescription changed = take;
        changed.settingsPokes.append({ field, value });
        return changed;
    };
    {
        TakeDescription closed = take;
        closed.filePokes.append({ 5472240 + 15, QByteArray(1, char(32)) });
        QTest::newRow("movie data header not open") << closed << "corrupted file" << false;
    }
    {
        TakeDescription headOnly = smallTake(40);
        headOnly.videoFrames.clear();
        headOnly.videoFrameMd5.clear();
        headOnly.setAudio(0, 3, 0);
        headOnly.timecodeSampleInMap = false;
        QTest::newRow("nothing behind the head") << headOnly << "corrupted file" << false;
    }
    QTest::newRow("no video chunking") << poked(SettingsField::VideoSamplesPerChunk, 0) << "invalid recovery settings" << false;
    QTest::newRow("no rate") << poked(SettingsField::RecordedRate, 0) << "invalid recovery settings" << false;
    QTest::newRow("no width") << poked(SettingsField::Width, 0) << "invalid recovery settings" << false;
    QTest::newRow("no height") << poked(SettingsField::Height, 0) << "invalid recovery settings" << false;
    QTest::newRow("channels without a sample width")
        << poked(SettingsField::AudioBytesPerSample, 0) << "invalid recovery settings" << false;
    QTest::newRow("29 items") << smallTake(29) << "no frame map or finalization failed" << true;
    {
        // The map lists 40, but only 29 reached the disk whole.
        TakeDescription torn = take;
        torn.tornItems = 11;
        QTest::newRow("29 whole items") << torn << "no frame map or finalization failed" << true;
    }
}

void OrlaRecoveryTest::takeThatIsNotRepaired()
{
    QFETCH(TakeDescription, take);
    QFETCH(QString, reason);
    QFETCH(bool, rebuildAttempted);

    Card card;
    const QString takePath = card.path("A001.vlv");
    const WrittenTake written = card.write(take, "A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray before = fileBytes(takePath);

    const ScanRun run = ScanRun::finalize(card.root);
    const QString finalPath = rebuildAttempted ? card.path("A001.nrv") : takePath;
    QStringList expected{ "Scanning folder: " + card.root + "\n", "doing orla finalize" };
    if (reason != "corrupted file")
        expected << restoreLine(takePath);
    if (take.tornItems > 0)
        expected << QStringLiteral("********************* %1 %2 listed items never reached the disk whole, the take is repaired without them!\n")
                        .arg(takePath).arg(take.tornItems);
    expected << failureLine(takePath, reason) << "     " + finalPath + " (Orla) Unrecoverable\n";
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.finalized, 0);
    QCOMPARE(run.unrecoverable, 1);
    QCOMPARE(QDir(card.root).entryList(QDir::Files), QStringList{ QFileInfo(finalPath).fileName() });
    QVERIFY(fileBytes(finalPath) == before);
}

void OrlaRecoveryTest::fileThatCannotBeOpened_data()
{
    QTest::addColumn<bool>("isFolder");
    QTest::newRow("vanished since the listing") << false;
    QTest::newRow("a folder") << true;
}

void OrlaRecoveryTest::fileThatCannotBeOpened()
{
    QFETCH(bool, isFolder);

    // The scanner only hands over files it could open; the flow still copes.
    Card card;
    const QString takePath = card.path("A001.vlv");
    if (isFolder)
        QVERIFY(QDir().mkpath(takePath));
    Finalize scanner;
    QStringList lines;
    int result = 0;
    {
        LineRecorder recorder(scanner);
        result = scanner.finalizeOrlaFile(takePath);
        lines = recorder.lines;
    }
    QCOMPARE(lines, (QStringList{ "doing orla finalize", failureLine(takePath, "can't open the file") }));
    QCOMPARE(result, Finalize::notFinalized);
    QCOMPARE(scanner.isOrla, 1);
    QCOMPARE(scanner.outputFileName, takePath);
    QCOMPARE(QDir(card.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), isFolder ? QStringList{ "A001.vlv" } : QStringList());
}

void OrlaRecoveryTest::settingsThatCannotBeRead()
{
    // A file that passed the header check always holds its settings block,
    // so a failing read is staged on a device in memory.
    Card card;
    const WrittenTake written = card.write(smallTake(40), "A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    SettingsUnreadableDevice device;
    device.setData(fileBytes(written.path));
    QVERIFY(device.open(QIODevice::ReadWrite));

    Finalize scanner;
    QStringList lines;
    OrlaRepair::Outcome outcome;
    {
        LineRecorder recorder(scanner);
        outcome = OrlaRepair::run(scanner, &device, "A001.vlv");
        lines = recorder.lines;
    }
    QCOMPARE(lines, (QStringList{ restoreLine("A001.vlv"), failureLine("A001.vlv", "couldn't get any recovery settings") }));
    QVERIFY(outcome == OrlaRepair::Outcome::NotRepaired);
    QVERIFY(device.data() == fileBytes(written.path));
}

void OrlaRecoveryTest::thirtyItemsAreEnough()
{
    Card card;
    const WrittenTake written = card.write(smallTake(30), "A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const ScanRun run = ScanRun::finalize(card.root);
    const QString moviePath = card.path("A001.mov");
    QCOMPARE(run.lines, QStringList{ "Scanning folder: " + card.root + "\n" } + repairedReport(written.path, moviePath, moviePath));
    QCOMPARE(run.finalized, 1);
}

void OrlaRecoveryTest::renames_data()
{
    QTest::addColumn<QString>("takeName");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("existingName"); // a file already on the card, or empty
    QTest::addColumn<QString>("finalName");    // where the take stands afterwards
    QTest::addColumn<QString>("reportedName"); // what the result line names
    QTest::addColumn<QString>("renameTarget"); // the target of a failed rename, or empty

    QTest::newRow("repaired") << "A001.vlv" << 40 << "" << "A001.mov" << "A001.mov" << "";
    QTest::newRow("upper-case extension: repaired, not renamed")
        << "A001.VLV" << 40 << "" << "A001.VLV" << "Invalid output file." << "";
    // A failed rename leaves the take under its old name, and the report names it there.
    QTest::newRow(".vlv in a folder name: the rename fails")
        << "old.vlv.takes/A001.vlv" << 40 << "" << "old.vlv.takes/A001.vlv" << "old.vlv.takes/A001.vlv"
        << "old.mov.takes/A001.mov";
    QTest::newRow(".mov taken: the rename fails") << "A001.vlv" << 40 << "A001.mov" << "A001.vlv" << "A001.vlv"
                                                  << "A001.mov";
    QTest::newRow(".nrv taken: replaced") << "A001.vlv" << 29 << "A001.nrv" << "A001.nrv" << "A001.nrv" << "";
}

void OrlaRecoveryTest::renames()
{
    QFETCH(QString, takeName);
    QFETCH(int, items);
    QFETCH(QString, existingName);
    QFETCH(QString, finalName);
    QFETCH(QString, reportedName);
    QFETCH(QString, renameTarget);

    Card card;
    const WrittenTake written = card.write(smallTake(items), takeName);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray takeBefore = fileBytes(written.path);
    const QByteArray existingBytes("an older file");
    if (!existingName.isEmpty()) {
        QFile existing(card.path(existingName));
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write(existingBytes) == existingBytes.size());
    }

    const ScanRun run = ScanRun::finalize(card.root);
    const QString folder = QFileInfo(written.path).absolutePath();
    QStringList expected{ "Scanning folder: " + card.root + "\n" };
    if (existingName.endsWith(".nrv"))
        expected << "     " + card.path(existingName) + " Unrecoverable\n";
    if (folder != card.root)
        expected << "Scanning folder: " + folder + "\n";
    const QString reported = reportedName.contains('/') ? card.path(reportedName) : folder + "/" + reportedName;
    if (items < 30) {
        expected << "doing orla finalize" << restoreLine(written.path)
                 << failureLine(written.path, "no frame map or finalization failed")
                 << "     " + reported + " (Orla) Unrecoverable\n";
    } else {
        QStringList report = repairedReport(written.path, reported, card.path(finalName));
        if (!renameTarget.isEmpty())
            report.insert(report.size() - 1, renameFailureLine(written.path, card.path(renameTarget)));
        expected << report;
    }
    QCOMPARE(run.lines, expected);

    // The take stands under its final name, repaired or as it was.
    QVERIFY(QFile::exists(card.path(finalName)));
    if (finalName != takeName)
        QVERIFY(!QFile::exists(written.path));
    const RepairedMovie movie(card.path(finalName));
    if (items < 30) {
        QVERIFY(fileBytes(card.path(finalName)) == takeBefore);
    } else {
        QVERIFY(movie.tree);
        QCOMPARE(FileHash::sha256(card.path(finalName), written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);
    }
    // A file that was in the way of a successful repair is left alone.
    if (existingName.endsWith(".mov"))
        QVERIFY(fileBytes(card.path(existingName)) == existingBytes);
}

void OrlaRecoveryTest::diskFullDuringRepair_data()
{
    QTest::addColumn<bool>("movieFits");
    QTest::newRow("full inside the movie atom") << false;
    QTest::newRow("full after the movie atom") << true;
}

void OrlaRecoveryTest::diskFullDuringRepair()
{
    QFETCH(bool, movieFits);

    // How long the movie atom is: repair a copy first.
    Card trial;
    const WrittenTake trialTake = trial.write(smallTake(40), "A001.vlv");
    QVERIFY2(trialTake.ok, qPrintable(trialTake.error));
    ScanRun::finalize(trial.root);
    const RepairedMovie trialMovie(trial.path("A001.mov"));
    QVERIFY(trialMovie.tree);
    const qint64 movieSize = trialMovie.movieEnd - trialMovie.movieStart;

    Card card;
    const WrittenTake written = card.write(smallTake(40), "A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    ScanRun run;
    {
        FileSizeLimit limit(written.fileSize + (movieFits ? movieSize + 100 : 1000));
        QVERIFY(limit.active);
        run = ScanRun::finalize(card.root);
    }

    // A full card leaves the take under its name, for a run once there is room.
    const QStringList ending{ failureLine(written.path, "no frame map or finalization failed"),
                              "     " + written.path + " (Orla) Unrecoverable\n" };
    if (movieFits) {
        // The movie atom went out whole, as in the trial; the closing block
        // did not, and the device's own error text says why.
        QStringList expected = QStringList{ "Scanning folder: " + card.root + "\n", "doing orla finalize" }
            + trialMovie.repairLines(written.path);
        expected.removeLast(); // the last position line of a finished repair
        QCOMPARE(run.lines.mid(0, expected.size()), expected);
        QCOMPARE(run.lines.size(), expected.size() + 3);
        QVERIFY(!run.lines.at(expected.size()).isEmpty());
        QCOMPARE(run.lines.mid(expected.size() + 1), ending);
    } else {
        QCOMPARE(run.lines.mid(0, 3), (QStringList{ "Scanning folder: " + card.root + "\n", "doing orla finalize", restoreLine(written.path) }));
        QVERIFY(run.lines.join('|').contains("BufferDevice encountered HDD error, dumping subsequent writes"));
        QVERIFY(!run.lines.join('|').contains("Recorded FILE Last Position"));
        QCOMPARE(run.lines.mid(run.lines.size() - 2), ending);
    }
    QCOMPARE(run.unrecoverable, 1);

    // Nothing claims the take is whole: the header is still the recorder's.
    QCOMPARE(QDir(card.root).entryList(QDir::Files), QStringList{ "A001.vlv" });
    const RepairedMovie movie(written.path);
    QVERIFY(movie.headerIsOpen());
    QCOMPARE(FileHash::sha256(written.path, written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);

    // With room again, the next run repairs it as if nothing had happened.
    const ScanRun again = ScanRun::finalize(card.root);
    QCOMPARE(again.finalized, 1);
    QVERIFY(fileBytes(card.path("A001.mov")) == fileBytes(trial.path("A001.mov")));
}

void OrlaRecoveryTest::movieThatDoesNotCheckOut()
{
    // A card that acknowledges writes it does not keep: the movie read back
    // before the commit is not there, so the movie data header stays open
    // and the repair is reported as failed.
    Card card;
    const WrittenTake written = card.write(smallTake(40), "A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray before = fileBytes(written.path);
    ForgetfulCard device(before, written.mediaEnd);

    Finalize scanner;
    ScanRun run;
    OrlaRepair::Outcome outcome;
    {
        LineRecorder recorder(scanner);
        outcome = OrlaRepair::run(scanner, &device, "A001.vlv");
        run.lines = recorder.lines;
    }
    // The check names the take by its file; a device in memory has none.
    QCOMPARE(run.withoutStreamingLines(),
        (QStringList{ restoreLine("A001.vlv"), failureLine("", "the rebuilt movie cannot be read back"),
            failureLine("A001.vlv", "no frame map or finalization failed") }));
    QVERIFY(outcome == OrlaRepair::Outcome::RebuildFailed);
    QVERIFY(device.data().startsWith(before));
}

void OrlaRecoveryTest::movieOfAnotherTakeBehindTheMedia()
{
    // A card reused without erasing: behind this take's media lies the
    // movie of an older take. It is no earlier repair of this one, whose
    // movie goes at the end of the file as for any take without a noted end.
    Card older;
    TakeDescription olderTake = smallTake(35);
    olderTake.recordedEndMode = RecordedEndMode::Zero;
    QVERIFY(older.write(olderTake, "A001.vlv").ok);
    QCOMPARE(ScanRun::finalize(older.root).finalized, 1);
    const RepairedMovie olderMovie(older.path("A001.mov"));
    QVERIFY(olderMovie.tree);
    const QByteArray leftover = fileBytes(older.path("A001.mov")).mid(olderMovie.movieStart);

    Card card;
    TakeDescription take = smallTake(40);
    take.recordedEndMode = RecordedEndMode::Zero;
    const WrittenTake plain = card.write(take, "A001.vlv");
    QVERIFY2(plain.ok, qPrintable(plain.error));
    take.filePokes.append({ plain.fileSize, leftover });
    const WrittenTake written = card.write(take, "A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const qint64 fileSize = QFileInfo(written.path).size();
    QCOMPARE(fileSize, plain.fileSize + leftover.size());

    QCOMPARE(ScanRun::finalize(card.root).finalized, 1);
    const RepairedMovie movie(card.path("A001.mov"));
    QVERIFY(movie.tree);
    QCOMPARE(movie.movieStart, fileSize);
}

void OrlaRecoveryTest::repairedTakeIsNotListedAgain()
{
    Card card;
    const WrittenTake written = card.write(smallTake(40), "CLIPS/A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    QCOMPARE(ScanRun::finalize(card.root).finalized, 1);
    const QByteArray repaired = fileBytes(card.path("CLIPS/A001.mov"));

    const ScanRun again = ScanRun::finalize(card.root);
    QCOMPARE(again.lines, (QStringList{ "Scanning folder: " + card.root + "\n", "Scanning folder: " + card.path("CLIPS") + "\n" }));
    QCOMPARE(again.finalized, 0);
    QCOMPARE(again.unrecoverable, 0);
    QVERIFY(fileBytes(card.path("CLIPS/A001.mov")) == repaired);
}

void OrlaRecoveryTest::finishedMovieUnderTheTemporaryName()
{
    // A movie that is already whole but still carries the temporary name
    // (its rename failed last time, or the run ended before it) gets the
    // finished name, untouched, and counts as finalized.
    Card card;
    const WrittenTake written = card.write(smallTake(40), "A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    ScanRun::finalize(card.root);
    QVERIFY(QFile::rename(card.path("A001.mov"), written.path));
    const QByteArray repaired = fileBytes(written.path);

    const ScanRun run = ScanRun::finalize(card.root);
    QCOMPARE(run.lines, (QStringList{ "Scanning folder: " + card.root + "\n", "doing orla finalize",
                                      "********************* " + written.path + " was repaired by an earlier run that ended before renaming it!\n",
                                      "     " + card.path("A001.mov") + " (Orla) Finalized\n" }));
    QCOMPARE(run.finalized, 1);
    QVERIFY(fileBytes(card.path("A001.mov")) == repaired);
}

QTEST_MAIN(OrlaRecoveryTest)
#include "tst_orlarecovery.moc"
