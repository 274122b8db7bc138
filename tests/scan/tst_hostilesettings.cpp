#include "filehash.h"
#include "playercheck.h"
#include "recordingwriter.h"
#include "scanrun.h"
#include "scan/finalize.h"
#include "takedescription.h"
#include "testcard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TakeDescription)

// A damaged card holds any bytes in a take's settings block. Whatever value
// lies beyond what a recorder writes, or beyond what the movie's fields
// hold, the take is refused before anything is written: one line says so,
// with the take's name as it is (in any script), and the take stays as it
// was, under the name the flow gives a take with invalid settings. Values at
// the bounds still give a movie that plays.
class HostileSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void outOfBoundsTakeIsRefused_data();
    void outOfBoundsTakeIsRefused();
    void takeAtTheBoundsIsRepaired_data();
    void takeAtTheBoundsIsRepaired();
};

namespace {

const QString folder = QStringLiteral("Szene 3 – Außen");
const QString takeName = QStringLiteral("Überblick é 01.vlv");
const char* const invalidSettings = "invalid recovery settings";
const char* const tooLong = "take too long for one movie";

// A take of stand-in frames (no player decodes them) and two sound chunks of
// one channel: the newer family needs 30 items to be repaired at all.
TakeDescription smallTake(RecorderFamily family)
{
    TakeDescription take = TakeDescription::forFamily(family);
    take.width = 1280;
    take.height = 720;
    const int frames = family == RecorderFamily::Orla ? 27 : 6;
    take.setStandInFrames(frames, 700);
    if (family == RecorderFamily::Orla)
        take.audioSamplesPerChunk = 256;
    take.setAudio(1, 3, 2);
    return take;
}

TakeDescription poked(TakeDescription take, const QList<SettingsPoke>& pokes)
{
    take.settingsPokes += pokes;
    return take;
}

// A newer-family take of `chunks` sound chunks of one sample each, no video,
// whose settings then claim `samplesPerChunk` samples a chunk (the items stay
// one block long: only the counts derived from the settings grow).
TakeDescription longSoundTake(int chunks, quint32 samplesPerChunk)
{
    TakeDescription take = TakeDescription::forFamily(RecorderFamily::Orla);
    take.audioSamplesPerChunk = 1;
    take.setAudio(1, 2, chunks);
    return poked(take, { { SettingsField::AudioSamplesPerChunk, samplesPerChunk } });
}

QString familyName(RecorderFamily family)
{
    return family == RecorderFamily::Orla ? QStringLiteral("Orla") : QStringLiteral("Vesk");
}


} // namespace

void HostileSettingsTest::outOfBoundsTakeIsRefused_data()
{
    QTest::addColumn<TakeDescription>("take");
    QTest::addColumn<QString>("reason");

    using F = SettingsField;
    for (const RecorderFamily family : { RecorderFamily::Orla, RecorderFamily::Vesk }) {
        const TakeDescription take = smallTake(family);
        auto row = [&](const char* name, const TakeDescription& changed, const char* reason) {
            QTest::newRow(qPrintable(familyName(family) + QStringLiteral(": ") + QLatin1String(name)))
                << changed << QString::fromLatin1(reason);
        };
        row("4,294,967,295 channels", poked(take, { { F::AudioChannelCount, 0xFFFFFFFFu } }), invalidSettings);
        row("65 channels", poked(take, { { F::AudioChannelCount, 65 } }), invalidSettings);
        row("1 byte a sample", poked(take, { { F::AudioBytesPerSample, 1 } }), invalidSettings);
        row("5 bytes a sample", poked(take, { { F::AudioBytesPerSample, 5 } }), invalidSettings);
        row("sample rate 0", poked(take, { { F::AudioSampleRate, 0 } }), invalidSettings);
        row("sample rate 7,999 Hz", poked(take, { { F::AudioSampleRate, 7999 } }), invalidSettings);
        row("sample rate 384,001 Hz", poked(take, { { F::AudioSampleRate, 384001 } }), invalidSettings);
        row("frame rate 0", poked(take, { { F::RecordedRate, 0 } }), invalidSettings);
        row("field rate 1, halved to 0", poked(take, { { F::RecordedRate, 1 }, { F::Interlaced, 1 } }), invalidSettings);
        row("256 timecode frames a second", poked(take, { { F::RecordedRate, 25501 } }), invalidSettings);
        row("no picture width", poked(take, { { F::Width, 0 } }), invalidSettings);
        row("a first chunk longer than any item", poked(take, { { F::AudioFirstChunkSamples, 0x7FFFFFFF } }), invalidSettings);
        row("a last chunk longer than any item", poked(take, { { F::AudioLastChunkSamples, 2796033 } }), invalidSettings);
        row("two channels in chunks of one", poked(take, { { F::AudioChannelCount, 2 } }), invalidSettings);
    }

    const TakeDescription orla = smallTake(RecorderFamily::Orla);
    QTest::newRow("Orla: no samples a chunk") << poked(orla, { { SettingsField::AudioSamplesPerChunk, 0 } })
                                              << invalidSettings;
    QTest::newRow("Orla: full chunks longer than any item")
        << poked(orla, { { SettingsField::AudioSamplesPerChunk, 2796033 } }) << invalidSettings;
    // 1,100 chunks of 4,194,048 samples: more than 2^32 a channel.
    QTest::newRow("Orla: more samples a channel than 32 bits count") << longSoundTake(1100, 4194048) << tooLong;
    // 400 x 4,194,048 samples at 8 kHz are 2.1 x 10^5 s; at 255 frames a
    // second the movie's duration needs more than 32 bits.
    QTest::newRow("Orla: a sound-only movie longer than 32 bits of its time scale")
        << poked(longSoundTake(400, 4194048), { { SettingsField::AudioSampleRate, 8000 }, { SettingsField::RecordedRate, 25500 } })
        << tooLong;
}

void HostileSettingsTest::outOfBoundsTakeIsRefused()
{
    QFETCH(TakeDescription, take);
    QFETCH(QString, reason);

    QTemporaryDir card;
    const QString root = QFileInfo(card.path()).canonicalFilePath();
    QVERIFY(QDir(root).mkpath(folder));
    const QString takePath = root + "/" + folder + "/" + takeName;
    const WrittenTake written = RecordingWriter::write(take, takePath);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray before = fileBytes(takePath);

    const ScanRun run = ScanRun::finalize(root);

    const bool orla = take.family == RecorderFamily::Orla;
    // The newer family keeps the recorder's name, the older one gives its failure name.
    const QString leftAs = orla ? takePath : QString(takePath).replace(".vlv", ".nrv");
    QStringList expected{ "Scanning folder: " + root + "\n", "Scanning folder: " + root + "/" + folder + "\n" };
    if (orla)
        expected << "doing orla finalize" << "********************* " + takePath + " needs to be restored!\n";
    else
        expected << "doing veskone finalize";
    expected << "********************* " + takePath + " recovery failed, " + reason + "!\n"
             << "     " + leftAs + " (" + familyName(take.family) + ") Unrecoverable\n";
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.unrecoverable, 1);
    QCOMPARE(QDir(root + "/" + folder).entryList(QDir::Files), QStringList{ QFileInfo(leftAs).fileName() });
    QVERIFY(fileBytes(leftAs) == before);
}

void HostileSettingsTest::takeAtTheBoundsIsRepaired_data()
{
    QTest::addColumn<TakeDescription>("take");
    QTest::addColumn<int>("soundTracks");
    QTest::addColumn<int>("sampleRate");

    for (const RecorderFamily family : { RecorderFamily::Orla, RecorderFamily::Vesk }) {
        const TakeDescription take = smallTake(family);
        const QString name = familyName(family) + QStringLiteral(": ");
        TakeDescription channels = take;
        channels.audioChannelCount = 64;
        QTest::newRow(qPrintable(name + "64 channels")) << channels << 64 << 48000;
        TakeDescription lowest = take;
        lowest.audioSampleRate = 8000;
        QTest::newRow(qPrintable(name + "8 kHz")) << lowest << 1 << 8000;
        TakeDescription highest = take;
        highest.audioSampleRate = 384000;
        QTest::newRow(qPrintable(name + "384 kHz")) << highest << 1 << 384000;
        TakeDescription fastest = take;
        fastest.recordedRate = 25500;
        QTest::newRow(qPrintable(name + "255 frames a second")) << fastest << 1 << 48000;
    }
}

void HostileSettingsTest::takeAtTheBoundsIsRepaired()
{
    QFETCH(TakeDescription, take);
    QFETCH(int, soundTracks);
    QFETCH(int, sampleRate);

    QTemporaryDir card;
    const QString root = QFileInfo(card.path()).canonicalFilePath();
    const WrittenTake written = RecordingWriter::write(take, root + "/A001.vlv");
    QVERIFY2(written.ok, qPrintable(written.error));

    const ScanRun run = ScanRun::finalize(root);
    const QString moviePath = root + "/A001.mov";
    QCOMPARE(run.lines.last(), "     " + moviePath + " (" + familyName(take.family) + ") Finalized\n");
    QCOMPARE(run.finalized, 1);
    QCOMPARE(FileHash::sha256(moviePath, written.mediaStart, written.mediaEnd - written.mediaStart), written.mediaSha256);

    const MovieInfo movie = PlayerCheck::probe(moviePath);
    QVERIFY2(movie.ok, qPrintable(movie.error));
    const QList<StreamInfo> sound = movie.streamsOfType("audio");
    QCOMPARE(sound.size(), soundTracks);
    for (const StreamInfo& track : sound) {
        QCOMPARE(track.sampleRate, sampleRate);
        QCOMPARE(track.frameCount, written.expectedSamplesPerChannel);
    }
    QCOMPARE(movie.streamsOfType("data").size(), 1);
}

QTEST_GUILESS_MAIN(HostileSettingsTest)
#include "tst_hostilesettings.moc"
