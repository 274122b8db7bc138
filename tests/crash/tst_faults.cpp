// Repairs cut short and repairs whose writes fail, by real operating system
// faults, through ambrel-cli as a user starts it:
// - killed at the n-th call of each write-like system call that touches the
//   take (strace), for every n: the next run repairs the take into exactly
//   the movie (or WAV) an uninterrupted repair makes;
// - every such call failing in turn, and a file size limit (as on a card
//   that fills up) cutting each phase of the repair: the take is left under
//   its name, repairable, or named as failed, never named finished while it
//   is not, the report says what failed, and a run without the fault then
//   repairs what was left repairable.
// The recording never changes.

#include "consolerun.h"
#include "filehash.h"
#include "playercheck.h"
#include "recordedplayback.h"
#include "recordingwriter.h"
#include "sourcevideo.h"
#include "testcard.h"
#include "wavwriter.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

namespace {

constexpr qint64 movieDataHeaderOffset = 5472240;

// Every call a repair could change a file with, as strace names them.
const QStringList writeCalls{ "write", "pwrite64", "writev", "pwritev", "pwritev2", "fsync", "fdatasync",
    "sync_file_range", "ftruncate", "fallocate", "rename", "renameat", "renameat2", "link", "linkat", "unlink",
    "unlinkat" };

// "ambrel-cli --finalize root", behind `wrapper` when one is given.
ConsoleRun finalize(const QString& root, const QStringList& wrapper = {})
{
    return runConsole({ "--finalize", root }, wrapper);
}

// strace counting only the write-like calls that touch `paths` (the take's
// names), none of the console's own output; `action` e.g. "-o", "/dev/null".
QStringList strace(const QStringList& paths, const QStringList& action)
{
    // '?' lets a name this machine's kernel does not have pass silently.
    QStringList arguments{ "strace", "-f", "-qq", "-e", "signal=none", "-e",
        "trace=?" + writeCalls.join(",?") };
    for (const QString& path : paths)
        arguments << "-P" << path;
    // The leak checker of a sanitized build cannot run under a tracer and
    // would end the run with its own status.
    arguments << "-E" << "ASAN_OPTIONS=" + qEnvironmentVariable("ASAN_OPTIONS") + ":detect_leaks=0";
    return arguments + action;
}

// No file the run writes may grow beyond `bytes`; a write past it fails
// (SIGXFSZ ignored, which stays so across exec), as on a full card.
QStringList sizeLimit(qint64 bytes)
{
    return { "bash", "-c", "trap '' XFSZ; exec prlimit --fsize=\"$1\" \"${@:2}\"", "limit", QString::number(bytes) };
}

// A take written once as the recorder left it, repaired once without any
// fault (the yardstick every faulty repair is held against), and laid
// afresh onto a card for every run.
struct FaultTake
{
    QString error;
    QString takeName = "A001.vlv", repairedName = "A001.mov", failedName = "A001.nrv";
    QString familyTag;  // as the result line prints it
    QByteArray pristine;
    QByteArray repaired;
    // Where the repair's writes begin (video: the end of the recorded media
    // it chose; audio: 0), its movie atom's size, an audio take's data size field.
    qint64 repairStart = 0;
    qint64 movieBytes = 0;
    qint64 dataSizeOffset = 0;
    QList<QPair<qint64, qint64>> keptRanges; // offset, length
    TakeDescription description;
    WrittenTake written;
    WrittenWav wav;

    static FaultTake make(const QString& name);

    bool lay(const QString& root) const
    {
        QFile file(root + '/' + takeName);
        return file.open(QIODevice::WriteOnly) && file.write(pristine) == pristine.size();
    }
    QStringList paths(const QString& root) const
    {
        return { root + '/' + takeName, root + '/' + repairedName, root + '/' + failedName };
    }
    // The head and the media (for audio all but the two size fields) as recorded.
    bool keepsRecording(const QString& path) const
    {
        for (const auto& range : keptRanges) {
            if (FileHash::sha256(path, range.first, range.second) != FileHash::sha256(pristine.mid(range.first, range.second)))
                return false;
        }
        return true;
    }
    // Empty when a player finds every frame, sample and the timecode recorded.
    QString playbackMismatch(const QString& path) const
    {
        if (!wav.ok)
            return RecordedPlayback::mismatch(path, description, written);
        QString problem;
        const QByteArray samples = PlayerCheck::audioSamples(path, 0, 3, &problem);
        return samples == wav.expectedSamples ? problem : QStringLiteral("other samples ") + problem;
    }
};

QStringList standing(const QString& root)
{
    return QDir(root).entryList(QDir::Files, QDir::Name);
}

// Each family's video with sound and timecode (its movie going where the
// recorder noted the end, at the end of the file, or behind a torn last
// item), a sound-only take whose movie is over 128 KiB, and a WAV take.
const QStringList takeNames{ "Orla", "Orla, recorded end 0", "Orla, torn", "Orla, sound only", "Orla, map short",
    "Vesk", "Vesk, recorded end 0", "Vesk, torn", "Vesk, map short, torn", "WAV" };

FaultTake FaultTake::make(const QString& name)
{
    FaultTake take;
    TestCard card;
    if (name == "WAV") {
        take.takeName = QStringLiteral("S001.vla");
        take.repairedName = QStringLiteral("S001.wav");
        take.failedName = QStringLiteral("S001.nra");
        take.familyTag = QStringLiteral("(Vesk)");
        take.wav = WavWriter::write(WavDescription(), card.path(take.takeName));
        take.error = take.wav.error;
        take.dataSizeOffset = take.wav.dataSizeOffset;
        take.keptRanges = { { 0, 4 }, { 8, take.wav.dataSizeOffset - 8 },
            { take.wav.dataStart, take.wav.fileSize - take.wav.dataStart } };
    } else {
        // Six ProRes frames at 25 fps, two channels of 24 bits, 01:00:00:00.
        const RecorderFamily family = name.startsWith("Orla") ? RecorderFamily::Orla : RecorderFamily::Vesk;
        const EncodedVideo video = SourceVideo::encode(VideoFormat::proRes(ProResProfile::Hq, 256, 144, "25", 30));
        TakeDescription& recorded = take.description;
        recorded = TakeDescription::forFamily(family);
        recorded.setVideo(video);
        recorded.videoFrames = video.frames.mid(0, 6);
        recorded.videoFrameMd5 = video.frameMd5.mid(0, 6);
        recorded.startTimecode = 90000;
        // The newer family's repair wants 30 items: small chunks make them.
        if (family == RecorderFamily::Orla)
            recorded.audioSamplesPerChunk = 240;
        recorded.setAudio(2, 3, family == RecorderFamily::Orla ? 26 : 3, 0, family == RecorderFamily::Orla ? 0 : 100);
        if (name.endsWith("recorded end 0")) {
            recorded.recordedEndMode = RecordedEndMode::Zero;
        } else if (name.endsWith("map short, torn")) {
            // Nine frames, the map four items short, the last frame torn 200
            // bytes short with its header on the disk: only as long as the
            // file ends inside it is it no frame to find, and the bytes of a
            // cut repair behind it must not make it one.
            recorded.videoFrames = video.frames.mid(0, 9);
            recorded.videoFrameMd5 = video.frameMd5.mid(0, 9);
            recorded.setAudio(2, 3, 2);
            recorded.unlistedItems = 4;
            recorded.recordedEndMode = RecordedEndMode::Zero;
            recorded.tornItems = 1;
            recorded.tornPartialBytes = recorded.videoFrames.last().size() - 200;
        } else if (name.endsWith("torn")) {
            // The end unknown and the last items torn: the bytes a cut repair
            // leaves behind could make a torn item look whole.
            recorded.recordedEndMode = RecordedEndMode::Zero;
            recorded.tornItems = family == RecorderFamily::Orla ? 2 : 1;
            recorded.tornPartialBytes = 300;
        } else if (name.endsWith("map short")) {
            // The map lists all but the last five items, its end lags with it:
            // the repair finds a frame, a chunk and three frames behind it.
            recorded.setAudio(2, 3, 25);
            recorded.itemOrder = QList<ItemKind>{ ItemKind::TimecodeSample } + QList<ItemKind>(24, ItemKind::AudioChunk)
                + QList<ItemKind>{ ItemKind::VideoFrame, ItemKind::VideoFrame, ItemKind::VideoFrame, ItemKind::AudioChunk,
                      ItemKind::VideoFrame, ItemKind::VideoFrame, ItemKind::VideoFrame };
            recorded.unlistedItems = 5;
            recorded.recordedEndMode = RecordedEndMode::ListedEnd;
        } else if (name.endsWith("sound only")) {
            // 4,100 one-block chunks of four channels.
            recorded.videoFrames.clear();
            recorded.videoFrameMd5.clear();
            recorded.audioSamplesPerChunk = 64;
            recorded.setAudio(4, 2, 4100);
            recorded.recordedEndMode = RecordedEndMode::Zero;
        } else {
            // Where the recorder noted it, inside a file it had made longer.
            recorded.trailingBytes = 3000;
        }
        take.familyTag = family == RecorderFamily::Orla ? QStringLiteral("(Orla)") : QStringLiteral("(Vesk)");
        take.written = RecordingWriter::write(recorded, card.path(take.takeName));
        take.error = take.written.error;
        take.keptRanges = { { 0, movieDataHeaderOffset },
            { take.written.mediaStart, take.written.mediaEnd - take.written.mediaStart } };
    }
    if (!take.error.isEmpty())
        return take;
    take.pristine = fileBytes(card.path(take.takeName));
    const ConsoleRun run = finalize(card.root);
    take.repaired = fileBytes(card.path(take.repairedName));
    if (run.exitCode != 0 || standing(card.root) != QStringList{ take.repairedName }
        || !take.keepsRecording(card.path(take.repairedName))) {
        take.error = QStringLiteral("the repair without faults failed: ") + run.out;
        return take;
    }
    // Every later repair that must equal it plays as recorded too.
    take.error = take.playbackMismatch(card.path(take.repairedName));
    if (name != "WAV") {
        // The movie data atom ends where the movie starts; the older family's
        // timecode block lies at its end, inside it.
        const qint64 movieStart = movieDataHeaderOffset
            + qint64(qFromBigEndian<quint64>(take.repaired.constData() + movieDataHeaderOffset + 8));
        take.repairStart = name.startsWith("Orla") ? movieStart : movieStart - 512;
        take.movieBytes = qFromBigEndian<quint32>(take.repaired.constData() + movieStart);
    }
    return take;
}

// How often each write-like call touches the take in a run without faults.
QMap<QString, int> writeCallCounts(const FaultTake& take)
{
    TestCard card;
    QMap<QString, int> counts;
    const QString trace = card.path("trace");
    if (!take.lay(card.root) || finalize(card.root, strace(take.paths(card.root), { "-o", trace })).killed)
        return counts;
    // "1234 write(3, ..." or "write(3, ..."; resumed halves of a call are not counted twice.
    static const QRegularExpression call(QStringLiteral("^(?:\\d+\\s+)?(\\w+)\\("));
    for (const QByteArray& line : fileBytes(trace).split('\n')) {
        const QRegularExpressionMatch match = call.match(QString::fromLatin1(line));
        if (match.hasMatch() && writeCalls.contains(match.captured(1)))
            ++counts[match.captured(1)];
    }
    return counts;
}

// File size limits that cut each phase of a take's repair.
QList<qint64> limitsFor(const QString& name, const FaultTake& take)
{
    const qint64 start = take.repairStart;
    const qint64 movie = take.movieBytes;
    // Both fields refused, the RIFF size cut in two, the data size cut in two, everything in reach.
    if (name == "WAV")
        return { 0, 6, take.dataSizeOffset + 2, take.pristine.size() };
    // Nothing, the movie cut before, inside and after its vendor atom's
    // counts, in its middle and at its end, the closing block cut, everything.
    if (name.startsWith("Orla"))
        return { start, start + 40, start + 200, start + movie / 2, start + movie - 8, start + movie + 100, start + movie + 512 };
    // Nothing, the timecode block cut, the movie cut at its start, after its
    // counts, in its middle and at its end, everything in reach.
    return { start, start + 100, start + 530, start + 700, start + 512 + movie / 2, start + 512 + movie - 8, start + 512 + movie };
}

} // namespace

class FaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedAtEveryWrite_data();
    void killedAtEveryWrite();
    void fullCard_data();
    void fullCard();
    void cleanupTestCase();

private:
    // What a run under a fault left (`left`: the take's name then), and a
    // run without it after it, unless the take was named as failed.
    void checkFaultyRun(const FaultTake& take, const TestCard& card, const ConsoleRun& run, const QString& where,
        QString& left);

    // Per take and fault, what the runs did, for the log.
    QStringList figures;
};

void FaultsTest::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable("strace").isEmpty(), "strace is needed (./dev installs it)");
}

void FaultsTest::killedAtEveryWrite_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : takeNames)
        QTest::newRow(qPrintable(name)) << name;
}

void FaultsTest::killedAtEveryWrite()
{
    QFETCH(QString, name);
    const FaultTake take = FaultTake::make(name);
    QVERIFY2(take.error.isEmpty(), qPrintable(take.error));
    const QMap<QString, int> calls = writeCallCounts(take);
    // One sync puts what the repair wrote on the device before its commit, one the commit.
    QCOMPARE(calls.value("fsync"), 2);

    QStringList counted;
    for (auto call = calls.cbegin(); call != calls.cend(); ++call) {
        int survived = 0;
        for (int n = 1;; ++n) {
            TestCard card;
            QVERIFY(take.lay(card.root));
            const ConsoleRun cut = finalize(card.root, strace(take.paths(card.root),
                { "-o", "/dev/null", "-e", QStringLiteral("inject=%1:signal=KILL:when=%2").arg(call.key()).arg(n) }));
            QVERIFY(cut.started);
            if (!cut.killed) {
                // Past the last such call the repair runs whole.
                QCOMPARE(n, call.value() + 1);
                QCOMPARE(standing(card.root), QStringList{ take.repairedName });
                break;
            }
            const QString where = QStringLiteral("killed at %1 #%2").arg(call.key()).arg(n);
            QVERIFY2(n <= call.value(), qPrintable(where));

            // Killed, the take is never named as finished before it is, nor
            // as failed, and the recording is as it was.
            const QStringList left = standing(card.root);
            QCOMPARE(left.size(), 1);
            QVERIFY2(left.first() == take.takeName || left.first() == take.repairedName, qPrintable(where));
            QVERIFY2(take.keepsRecording(card.path(left.first())), qPrintable(where));
            if (left.first() == take.repairedName)
                QVERIFY2(fileBytes(card.path(take.repairedName)) == take.repaired, qPrintable(where));

            // The next run finishes the take: the same bytes as a repair that
            // was never interrupted, and so the same frames, samples and timecode.
            const ConsoleRun again = finalize(card.root);
            QCOMPARE(again.exitCode, 0);
            QCOMPARE(standing(card.root), QStringList{ take.repairedName });
            if (left.first() == take.takeName)
                QVERIFY2(again.out.contains("     " + card.path(take.repairedName) + " " + take.familyTag + " Finalized\n"),
                    qPrintable(where + ": " + again.out));
            QVERIFY2(fileBytes(card.path(take.repairedName)) == take.repaired,
                qPrintable(where + ": the repair differs from an uninterrupted one"));
            ++survived;
        }
        counted << QStringLiteral("%1 %2/%3").arg(call.key()).arg(survived).arg(call.value());
    }
    figures << name + ", kill points survived: " + counted.join(", ");
}

void FaultsTest::checkFaultyRun(const FaultTake& take, const TestCard& card, const ConsoleRun& run, const QString& where,
    QString& left)
{
    QVERIFY2(run.started && !run.killed, qPrintable(where));
    QCOMPARE(standing(card.root).size(), 1);
    left = standing(card.root).first();
    QVERIFY2(take.keepsRecording(card.path(left)), qPrintable(where + ": the recording changed"));
    if (left == take.repairedName) {
        // Finished despite the fault (a failed rename Qt made up for by a
        // copy, a limit the repair stayed within): whole, and said so.
        QVERIFY2(run.out.contains("     " + card.path(left) + " " + take.familyTag + " Finalized\n"), qPrintable(where));
    } else {
        QVERIFY2(left == take.takeName || left == take.failedName, qPrintable(where + ": " + left));
        QVERIFY2(run.out.contains("********************* " + card.path(take.takeName) + " recovery failed, "),
            qPrintable(where + ": no failure line in " + run.out));
        // A take named as failed stays so: later runs never open it again.
        if (left == take.failedName) {
            QVERIFY2(run.out.contains(" " + take.familyTag + " Unrecoverable\n"), qPrintable(where));
            QCOMPARE(run.exitCode, 1);
            return;
        }
        // One kept for a later run says what the card did.
        QVERIFY2(run.out.contains(QRegularExpression(" " + QRegularExpression::escape(take.familyTag)
                     + " Not finalized: the card (is full|refused a write: .+|did not confirm the write)\n")),
            qPrintable(where + ": " + run.out));
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(finalize(card.root).exitCode, 0);
        QCOMPARE(standing(card.root), QStringList{ take.repairedName });
        QVERIFY(take.keepsRecording(card.path(take.repairedName)));
    }
    // A write cut too short to name its movie leaves a few bytes the next
    // repair covers as media: other bytes, the same frames, samples and timecode.
    if (fileBytes(card.path(take.repairedName)) != take.repaired) {
        const QString mismatch = take.playbackMismatch(card.path(take.repairedName));
        QVERIFY2(mismatch.isEmpty(), qPrintable(where + ": " + left + ", but " + mismatch));
    }
}

void FaultsTest::fullCard_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("limit"); // a file size limit, or each write-like call failing in turn
    for (const char* name : { "Orla, recorded end 0", "Vesk, recorded end 0", "WAV" })
        QTest::newRow(qPrintable(QStringLiteral("%1, size limit").arg(name))) << QString(name) << true;
    for (const char* name : { "Orla", "Vesk", "WAV" })
        QTest::newRow(qPrintable(QStringLiteral("%1, calls failing").arg(name))) << QString(name) << false;
}

void FaultsTest::fullCard()
{
    QFETCH(QString, name);
    QFETCH(bool, limit);
    const FaultTake take = FaultTake::make(name);
    QVERIFY2(take.error.isEmpty(), qPrintable(take.error));

    // Each fault: where it is named, and what it wraps the console in.
    QList<QPair<QString, std::function<QStringList(const TestCard&)>>> faults;
    if (limit) {
        for (const qint64 bytes : limitsFor(name, take))
            faults.append({ QStringLiteral("limit %1%2").arg(bytes >= take.repairStart ? "+" : "").arg(bytes - take.repairStart),
                [bytes](const TestCard&) { return sizeLimit(bytes); } });
    } else {
        const QMap<QString, int> calls = writeCallCounts(take);
        QVERIFY(!calls.isEmpty());
        for (auto call = calls.cbegin(); call != calls.cend(); ++call) {
            // No room for a write, an I/O error for the rest.
            const QString error = call.key().contains("write") || call.key() == "fallocate" ? "ENOSPC" : "EIO";
            for (int n = 1; n <= call.value(); ++n) {
                const QString inject = QStringLiteral("inject=%1:error=%2:when=%3").arg(call.key(), error).arg(n);
                faults.append({ QStringLiteral("%1 #%2 %3").arg(call.key()).arg(n).arg(error), [&take, inject](const TestCard& card) {
                                   return strace(take.paths(card.root), { "-o", "/dev/null", "-e", inject });
                               } });
            }
        }
    }
    QStringList outcomes;
    for (const auto& fault : std::as_const(faults)) {
        TestCard card;
        QVERIFY(take.lay(card.root));
        QString left;
        checkFaultyRun(take, card, finalize(card.root, fault.second(card)), fault.first, left);
        if (QTest::currentTestFailed())
            return;
        outcomes << fault.first + (left == take.repairedName ? " finished" : left == take.failedName ? " failed" : " kept");
        // A movie that could not be written leaves the take for a later run,
        // never named as lost.
        QVERIFY2(name == "WAV" || left != take.failedName, qPrintable(fault.first));
    }
    figures << name + ": " + outcomes.join(", ");
}

void FaultsTest::cleanupTestCase()
{
    for (const QString& line : std::as_const(figures))
        qInfo("%s", qPrintable(line));
}

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
