// The Vesk finalize flow as a user meets it: every way a take can fail and
// the name it is left under, renames that cannot be done, a run short of
// memory, a disk that fills up, and a card of both families and sound takes
// scanned line by line.

#include "filehash.h"
#include "forgetfulcard.h"
#include "linerecorder.h"
#include "quicktimefile.h"
#include "recovery/vesk/veskvideorepair.h"
#include "scan/finalize.h"
#include "takedescription.h"
#include "veskcard.h"
#include "readbackmovie.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <new>
#include <vector>

Q_DECLARE_METATYPE(TakeDescription)

namespace {

// Sizes of the allocations without throwing that fail while set; 0 fails none.
std::size_t failingAllocationSize = 0;
std::size_t failingArrayAllocationSize = 0;

} // namespace

// The flows allocate without throwing where memory may run short; these let
// a test make one such allocation fail.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (size == failingAllocationSize)
        return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    if (size == failingArrayAllocationSize)
        return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

// A take of stand-in frames and two audio chunks; no player looks at it.
TakeDescription smallTake()
{
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
    take.width = 1280;
    take.height = 720;
    take.setStandInFrames(6, 700);
    take.setAudio(1, 3, 2);
    return take;
}

TakeDescription closedTake()
{
    TakeDescription take = smallTake();
    take.filePokes.append({ 5472240 + 15, QByteArray(1, char(32)) });
    return take;
}

// A recording in memory of which one byte range cannot be read.
class UnreadableRangeDevice : public QBuffer
{
public:
    qint64 from = 0;
    qint64 to = 0;

protected:
    qint64 readData(char* data, qint64 length) override
    {
        if (pos() < to && pos() + length > from)
            return -1;
        return QBuffer::readData(data, length);
    }
};

} // namespace

class VeskRecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void takeThatIsNotRepaired_data();
    void takeThatIsNotRepaired();
    void headThatCannotBeRead_data();
    void headThatCannotBeRead();
    void pathsTheFlowDoesNotOpen_data();
    void pathsTheFlowDoesNotOpen();
    void runShortOfMemory_data();
    void runShortOfMemory();
    void renames_data();
    void renames();
    void diskFullDuringRepair_data();
    void diskFullDuringRepair();
    void movieThatDoesNotCheckOut();
    void mixedCard();
};

void VeskRecoveryTest::takeThatIsNotRepaired_data()
{
    QTest::addColumn<TakeDescription>("take");
    QTest::addColumn<QString>("reason"); // of the failure line, or empty for none

    QTest::newRow("movie data header no longer open") << closedTake() << "";
    {
        TakeDescription headOnly = smallTake();
        headOnly.videoFrames.clear();
        headOnly.videoFrameMd5.clear();
        headOnly.setAudio(0, 3, 0);
        QTest::newRow("nothing behind the head") << headOnly << "";
    }
    {
        TakeDescription take = smallTake();
        take.settingsPokes.append({ SettingsField::AudioBytesPerSample, 0 });
        QTest::newRow("recorded sound without a sample width") << take << "invalid recovery settings";
    }
}

void VeskRecoveryTest::takeThatIsNotRepaired()
{
    QFETCH(TakeDescription, take);
    QFETCH(QString, reason);

    VeskCard card;
    const WrittenTake written = card.writeTake(take, "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray before = VeskCard::fileBytes(written.path);

    const ScanRun run = card.finalize();
    const QString failedPath = card.path("B001.nrv");
    QStringList expected{ VeskLines::scanning(card.root()), VeskLines::doing() };
    if (!reason.isEmpty())
        expected << VeskLines::failure(written.path, reason);
    expected << VeskLines::result(failedPath, false);
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.unrecoverable, 1);
    QCOMPARE(QDir(card.root()).entryList(QDir::Files), QStringList{ "B001.nrv" });
    QVERIFY(VeskCard::fileBytes(failedPath) == before);
}

void VeskRecoveryTest::headThatCannotBeRead_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::newRow("settings block") << qint64(20) << qint64(128);
    QTest::newRow("frame map") << qint64(128) << qint64(5472128);
}

void VeskRecoveryTest::headThatCannotBeRead()
{
    QFETCH(qint64, from);
    QFETCH(qint64, to);

    // A file that passed the header check always holds its head, so a
    // failing read is staged on a device in memory.
    VeskCard card;
    const WrittenTake written = card.writeTake(smallTake(), "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    UnreadableRangeDevice device;
    device.from = from;
    device.to = to;
    device.setData(VeskCard::fileBytes(written.path));
    QVERIFY(device.open(QIODevice::ReadWrite));

    Finalize scanner;
    std::vector<quint8> frameMap(Finalize::indexBufferSize);
    QVERIFY(VeskVideoRepair::run(scanner, &device, frameMap.data()) == VeskVideoRepair::Outcome::NotRepaired);
    QVERIFY(device.data() == VeskCard::fileBytes(written.path));
}

void VeskRecoveryTest::pathsTheFlowDoesNotOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content"); // "file", "folder" or "none"
    QTest::newRow("upper-case failure name of a video take") << "B001.NRV" << "file";
    QTest::newRow("upper-case failure name of a sound take") << "B001.NRA" << "file";
    QTest::newRow("video take that vanished") << "B001.vlv" << "none";
    QTest::newRow("video take that is a folder") << "B001.vlv" << "folder";
    QTest::newRow("sound take that is a folder") << "B001.vla" << "folder";
}

void VeskRecoveryTest::pathsTheFlowDoesNotOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, content);

    VeskCard card;
    const QString path = card.path(name);
    if (content == "file")
        QVERIFY(card.writeTake(smallTake(), name).ok);
    else if (content == "folder")
        QVERIFY(QDir().mkpath(path));
    const QByteArray before = VeskCard::fileBytes(path);

    const VeskFlowCall call = VeskFlowCall::run(path);
    QCOMPARE(call.lines, QStringList{ VeskLines::doing() });
    QCOMPARE(call.result, Finalize::notFinalized);
    QCOMPARE(call.isOrla, 0);
    QCOMPARE(call.outputFileName, QString("before"));
    QCOMPARE(QDir(card.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), content == "none" ? QStringList() : QStringList{ name });
    QVERIFY(VeskCard::fileBytes(path) == before);

    // The scanner's own test for failure names is case-sensitive: an
    // upper-case one reaches the flow, and is reported unchanged.
    if (content == "file") {
        const ScanRun run = card.finalize();
        QCOMPARE(run.lines, (QStringList{ VeskLines::scanning(card.root()), VeskLines::doing(), VeskLines::result(path, false) }));
        QVERIFY(VeskCard::fileBytes(path) == before);
    }
}

void VeskRecoveryTest::runShortOfMemory_data()
{
    QTest::addColumn<bool>("noFrameMapBuffer");
    QTest::newRow("no frame map buffer: the take keeps its name") << true;
    QTest::newRow("no movie file object: the failure name") << false;
}

void VeskRecoveryTest::runShortOfMemory()
{
    QFETCH(bool, noFrameMapBuffer);

    VeskCard card;
    const WrittenTake written = card.writeTake(smallTake(), "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray before = VeskCard::fileBytes(written.path);

    failingArrayAllocationSize = noFrameMapBuffer ? Finalize::indexBufferSize : 0;
    Finalize scanner;
    failingArrayAllocationSize = 0;
    QCOMPARE(scanner.indexBuffer == nullptr, noFrameMapBuffer);
    QStringList lines;
    {
        LineRecorder recorder(scanner);
        failingAllocationSize = noFrameMapBuffer ? 0 : sizeof(QuickTimeFile);
        scanner.start({ card.root() });
        failingAllocationSize = 0;
        lines = recorder.lines;
    }

    const QString finalPath = noFrameMapBuffer ? written.path : card.path("B001.nrv");
    QStringList expected{ VeskLines::scanning(card.root()), VeskLines::doing() };
    if (noFrameMapBuffer)
        expected << VeskLines::failure(written.path, "not enough memory");
    expected << VeskLines::result(finalPath, false);
    QCOMPARE(lines, expected);
    QVERIFY(VeskCard::fileBytes(finalPath) == before);
}

void VeskRecoveryTest::renames_data()
{
    QTest::addColumn<QString>("takeName");
    QTest::addColumn<bool>("repairable");
    QTest::addColumn<QString>("existingName"); // a file already on the card, or empty
    QTest::addColumn<QString>("finalName");    // where the take stands afterwards, and what the report names
    QTest::addColumn<QString>("renameTarget"); // the target of a failed rename, or empty

    QTest::newRow("repaired") << "B001.vlv" << true << "" << "B001.mov" << "";
    QTest::newRow("not repaired") << "B001.vlv" << false << "" << "B001.nrv" << "";
    QTest::newRow("upper-case extension: repaired, not renamed")
        << "B001.VLV" << true << "" << "B001.VLV" << "B001.VLV";
    QTest::newRow(".vlv in a folder name: the rename fails")
        << "a.vlv/B001.vlv" << true << "" << "a.vlv/B001.vlv" << "a.mov/B001.mov";
    QTest::newRow(".mov taken: the rename fails") << "B001.vlv" << true << "B001.mov" << "B001.vlv" << "B001.mov";
    QTest::newRow(".nrv taken: the rename fails") << "B001.vlv" << false << "B001.nrv" << "B001.vlv" << "B001.nrv";
}

void VeskRecoveryTest::renames()
{
    QFETCH(QString, takeName);
    QFETCH(bool, repairable);
    QFETCH(QString, existingName);
    QFETCH(QString, finalName);
    QFETCH(QString, renameTarget);

    VeskCard card;
    const WrittenTake written = card.writeTake(repairable ? smallTake() : closedTake(), takeName);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray takeBefore = VeskCard::fileBytes(written.path);
    const QByteArray existingBytes("an older file");
    if (!existingName.isEmpty()) {
        QFile existing(card.path(existingName));
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write(existingBytes) == existingBytes.size());
    }

    const ScanRun run = card.finalize();
    const QString folder = QFileInfo(written.path).absolutePath();
    const QString finalPath = card.path(finalName);
    QStringList expected{ VeskLines::scanning(card.root()) };
    // A folder named like a take is listed as one, and cannot be opened as a file.
    if (QFileInfo(folder).fileName().endsWith(".vlv"))
        expected << VeskLines::result(folder, false);
    if (existingName.endsWith(".nrv"))
        expected << "     " + card.path(existingName) + " Unrecoverable\n";
    if (folder != card.root())
        expected << VeskLines::scanning(folder);
    expected << VeskLines::doing();
    if (repairable) {
        const ReadBackMovie movie(finalPath);
        QVERIFY(movie.tree);
        expected << movie.positionLine();
        QCOMPARE(FileHash::sha256(finalPath, written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);
    } else {
        QVERIFY(VeskCard::fileBytes(finalPath) == takeBefore);
    }
    if (!renameTarget.isEmpty())
        expected << VeskLines::renameFailure(written.path, card.path(renameTarget));
    expected << VeskLines::result(finalPath, repairable);
    QCOMPARE(run.lines, expected);
    QVERIFY(QFile::exists(finalPath));
    if (finalName != takeName)
        QVERIFY(!QFile::exists(written.path));
    // A file in the way is left alone.
    if (!existingName.isEmpty())
        QVERIFY(VeskCard::fileBytes(card.path(existingName)) == existingBytes);
}

void VeskRecoveryTest::diskFullDuringRepair_data()
{
    QTest::addColumn<qint64>("room"); // bytes the file may grow by
    QTest::newRow("no room for the timecode block") << qint64(100);
    QTest::newRow("full inside the movie atom") << qint64(2000);
}

void VeskRecoveryTest::diskFullDuringRepair()
{
    QFETCH(qint64, room);

    VeskCard card;
    const WrittenTake written = card.writeTake(smallTake(), "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const ScanRun run = card.finalizeWithFileSizeLimit(written.fileSize + room);

    // Whatever the device said, the take is reported as not saved, and
    // keeps its name for a run once there is room.
    const QString failedPath = written.path;
    QCOMPARE(run.lines.mid(0, 2), (QStringList{ VeskLines::scanning(card.root()), VeskLines::doing() }));
    QVERIFY(run.lines.size() > 3);
    QVERIFY(!run.lines.join('|').contains("Recorded FILE Last Position"));
    QCOMPARE(run.lines.last(), VeskLines::result(failedPath, false));
    QCOMPARE(run.unrecoverable, 1);

    // Nothing claims the take is whole: the header is still the recorder's.
    QCOMPARE(QDir(card.root()).entryList(QDir::Files), QStringList{ "B001.vlv" });
    const ReadBackMovie movie(failedPath);
    QVERIFY(movie.headerIsOpen());
    QCOMPARE(FileHash::sha256(failedPath, written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);
}

void VeskRecoveryTest::movieThatDoesNotCheckOut()
{
    // A card that acknowledges writes it does not keep: the timecode block
    // and movie read back before the commit are not there, so the movie data
    // header stays open and the repair is reported as failed.
    VeskCard card;
    const WrittenTake written = card.writeTake(smallTake(), "B001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray before = VeskCard::fileBytes(written.path);
    ForgetfulCard device(before, written.mediaEnd);

    Finalize scanner;
    std::vector<quint8> frameMap(Finalize::indexBufferSize);
    QStringList lines;
    VeskVideoRepair::Outcome outcome;
    {
        LineRecorder recorder(scanner);
        outcome = VeskVideoRepair::run(scanner, &device, frameMap.data());
        lines = recorder.lines;
    }
    // A device that is not a file has no name for the line.
    QCOMPARE(lines, QStringList{ VeskLines::failure(QString(), "the rebuilt movie cannot be read back") });
    QVERIFY(outcome == VeskVideoRepair::Outcome::NotRepaired);
    // The head, the open header and the media as they were; room the
    // attempt took after the media may stay.
    QVERIFY(device.data().startsWith(before));
}

void VeskRecoveryTest::mixedCard()
{
    // The newer family's report of its take, from the same take on a card of its own.
    TakeDescription orla = TakeDescription::forFamily(RecorderFamily::Orla);
    orla.setStandInFrames(36, 900);
    orla.setAudio(2, 3, 12);
    QStringList orlaReport;
    {
        VeskCard trial;
        QVERIFY(trial.writeTake(orla, "ORLA/CLIPS/A001C001.vlv").ok);
        const ScanRun run = trial.finalize();
        QCOMPARE(run.finalized, 1);
        orlaReport = run.lines.mid(3);
        orlaReport.replaceInStrings(trial.root(), QStringLiteral("%1"));
    }

    VeskCard card;
    const QString r = card.root();
    QVERIFY(card.writeTake(orla, "ORLA/CLIPS/A001C001.vlv").ok);
    QVERIFY(card.writeTake(closedTake(), "ORLA/CLIPS/A001C002.nrv").ok);
    const WrittenTake video = card.writeTake(smallTake(), "VESK/CLIPS/B001C001.vlv");
    QVERIFY(video.ok);
    QVERIFY(card.writeTake(closedTake(), "VESK/CLIPS/B001C002.vlv").ok);
    WavDescription sound;
    sound.bitsPerSample = 16;
    const WrittenWav open = card.writeWav(sound, "VESK/SOUND/B001S001.vla");
    QVERIFY(open.ok);
    sound.finishedDataSize = true;
    sound.riffSize = RiffSizeMode::Finished;
    QVERIFY(card.writeWav(sound, "VESK/SOUND/B001S000.wav").ok);
    QVERIFY(card.writeWav(sound, "VESK/SOUND/B001S002.vla").ok);
    sound.formatTag = 3;
    QVERIFY(card.writeWav(sound, "VESK/SOUND/B001S003.vla").ok);
    QVERIFY(card.writeWav(sound, "VESK/SOUND/B001S004.nra").ok);

    const ScanRun run = card.finalize();
    const ReadBackMovie movie(card.path("VESK/CLIPS/B001C001.mov"));
    QVERIFY(movie.tree);
    QStringList expected{ VeskLines::scanning(r), VeskLines::scanning(r + "/ORLA"), VeskLines::scanning(r + "/ORLA/CLIPS") };
    expected << orlaReport.replaceInStrings(QStringLiteral("%1"), r);
    expected << "     " + r + "/ORLA/CLIPS/A001C002.nrv Unrecoverable\n"
             << VeskLines::scanning(r + "/VESK") << VeskLines::scanning(r + "/VESK/CLIPS")
             << VeskLines::doing() << movie.positionLine() << VeskLines::result(r + "/VESK/CLIPS/B001C001.mov", true)
             << VeskLines::doing() << VeskLines::result(r + "/VESK/CLIPS/B001C002.nrv", false)
             << VeskLines::scanning(r + "/VESK/SOUND")
             << VeskLines::doing() << VeskLines::result(r + "/VESK/SOUND/B001S001.wav", true)
             << VeskLines::doing() << VeskLines::result(r + "/VESK/SOUND/B001S002.wav", true)
             << VeskLines::doing() << VeskLines::result(r + "/VESK/SOUND/B001S003.nra", false)
             << "     " + r + "/VESK/SOUND/B001S004.nra Unrecoverable\n";
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.finalized, 4);
    QCOMPARE(run.unrecoverable, 4);
    QCOMPARE(FileHash::sha256(card.path("VESK/CLIPS/B001C001.mov"), video.mediaStart, video.mediaEnd - video.mediaStart), video.mediaSha256);
    QCOMPARE(FileHash::sha256(card.path("VESK/SOUND/B001S001.wav"), open.dataStart), open.samplesSha256);

    // A second run finds nothing left to do.
    const ScanRun again = card.finalize();
    QCOMPARE(again.finalized, 0);
    QCOMPARE(again.unrecoverable, 4);
    QVERIFY(!again.lines.contains(VeskLines::doing()));
}

QTEST_MAIN(VeskRecoveryTest)
#include "tst_veskrecovery.moc"
