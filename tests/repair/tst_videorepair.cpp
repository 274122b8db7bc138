// The repair flow of both families under faults a take on a card cannot
// show through ambrel-cli: a card that acknowledges writes it drops (the
// read-back check must keep the movie uncommitted), a head that cannot be
// read, and a run without memory for the frame map.

#include "messagecatcher.h"
#include "orlafamily.h"
#include "recordingwriter.h"
#include "scan/finalize.h"
#include "testcard.h"
#include "veskfamily.h"
#include "videorepair.h"

#include <QBuffer>
#include <QDir>
#include <QtTest>

#include <vector>

using Outcome = VideoRepair::Outcome;
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(RecorderFamily)

namespace {

// A card in memory that acknowledges every write but keeps none from
// `dropFrom` on, as failing flash can, and fails every read that touches
// the 8 bytes at `unreadable` (none at 0).
class FaultyCard : public QBuffer
{
public:
    FaultyCard(const QByteArray& contents, qint64 dropFrom, qint64 unreadable)
        : dropFrom(dropFrom), unreadable(unreadable)
    {
        setData(contents);
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* data, qint64 length) override
    {
        if (unreadable != 0 && pos() < unreadable + 8 && pos() + length > unreadable)
            return -1;
        return QBuffer::readData(data, length);
    }
    qint64 writeData(const char* data, qint64 length) override
    {
        const qint64 at = pos();
        if (at < dropFrom)
            return QBuffer::writeData(data, length);
        if (at < size())
            seek(qMin(at + length, size()));
        return length;
    }

private:
    qint64 dropFrom;
    qint64 unreadable;
};

// Stand-in frames and two sound chunks; the newer family wants 30 items.
WrittenTake writeTake(RecorderFamily family, const QString& path)
{
    TakeDescription take = TakeDescription::forFamily(family);
    take.setStandInFrames(family == RecorderFamily::Orla ? 27 : 6, 700);
    take.audioSamplesPerChunk = family == RecorderFamily::Orla ? 256 : 3072;
    take.setAudio(1, 3, 2);
    // Zeros after the media (room the recorder had taken), where the movie goes.
    take.trailingItems = { QByteArray(20000, '\0') };
    return RecordingWriter::write(take, path);
}

} // namespace

class VideoRepairTest : public QObject
{
    Q_OBJECT

private slots:
    void faultyCard_data();
    void faultyCard();
    void noMemoryForTheFrameMap_data();
    void noMemoryForTheFrameMap();
};

void VideoRepairTest::faultyCard_data()
{
    QTest::addColumn<RecorderFamily>("family");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("lines"); // %1 stands for the take's path
    QTest::addColumn<QString>("name");      // the take's name afterwards

    const QString restore = QStringLiteral("********************* %1 needs to be restored!\n");
    const QString failed = QStringLiteral("********************* %1 recovery failed, %2!\n");
    const QString unreadMovie = failed.arg("%1", "the rebuilt movie cannot be read back");
    const QString gaveUp = failed.arg("%1", "no frame map or finalization failed");
    const auto orla = RecorderFamily::Orla;
    const auto vesk = RecorderFamily::Vesk;

    QTest::newRow("orla, the card drops writes") << orla << "drops writes" << Outcome::RebuildFailed
                                                 << QStringList{ restore, unreadMovie, gaveUp } << "A001.nrv";
    QTest::newRow("vesk, the card drops writes") << vesk << "drops writes" << Outcome::RebuildFailed
                                                 << QStringList{ unreadMovie } << "A001.nrv";
    QTest::newRow("orla, settings unreadable")
        << orla << "settings unreadable" << Outcome::NotRepaired
        << QStringList{ restore, failed.arg("%1", "couldn't get any recovery settings") } << "A001.vlv";
    QTest::newRow("vesk, settings unreadable") << vesk << "settings unreadable" << Outcome::NotRepaired
                                               << QStringList() << "A001.nrv";
    QTest::newRow("orla, frame map unreadable") << orla << "frame map unreadable" << Outcome::RebuildFailed
                                                << QStringList{ restore, gaveUp } << "A001.nrv";
    QTest::newRow("vesk, frame map unreadable") << vesk << "frame map unreadable" << Outcome::RebuildFailed
                                                << QStringList() << "A001.nrv";
    // What reached the card is the movie's first 600 bytes, then what lay there before.
    QTest::newRow("orla, the card keeps the movie's start") << orla << "keeps the start" << Outcome::RebuildFailed
                                                            << QStringList{ restore, unreadMovie, gaveUp } << "A001.nrv";
    QTest::newRow("vesk, the card keeps the movie's start") << vesk << "keeps the start" << Outcome::RebuildFailed
                                                            << QStringList{ unreadMovie } << "A001.nrv";
    // No take at all but a whole movie, its media data atom of size 0 running to the end of the file.
    QTest::newRow("orla, a whole movie") << orla << "whole movie" << Outcome::AlreadyComplete
                                         << QStringList{ failed.arg("%1", "corrupted file") } << "A001.mov";
    QTest::newRow("vesk, a whole movie") << vesk << "whole movie" << Outcome::AlreadyComplete << QStringList() << "A001.mov";
    // Its media data atom closed, but its movie atom holds an atom larger than itself.
    QTest::newRow("orla, a whole movie but for its movie atom") << orla << "broken movie" << Outcome::NotRepaired
                                                                 << QStringList{ failed.arg("%1", "corrupted file") } << "A001.vlv";
}

void VideoRepairTest::faultyCard()
{
    QFETCH(RecorderFamily, family);
    QFETCH(QString, fault);
    QFETCH(Outcome, outcome);
    QFETCH(QStringList, lines);
    QFETCH(QString, name);

    TestCard card;
    const WrittenTake written = writeTake(family, card.path("A001.vlv"));
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray movie = fault == "whole movie" ? "000000086d6f6f76" : "000000106d6f6f760000006475647461";
    const QByteArray before = !fault.endsWith("movie") ? fileBytes(written.path)
        : QByteArray::fromHex("0000001466747970717420202007040071742020" + movie + "000000006d6461746d65646961");
    const TakeFamily& repairs = family == RecorderFamily::Orla ? static_cast<const TakeFamily&>(OrlaFamily::instance())
                                                               : VeskFamily::instance();
    const RecorderProfile& profile = repairs.profile();
    FaultyCard device(before, fault == "drops writes" ? written.mediaEnd : fault == "keeps the start" ? written.mediaEnd + 600 : before.size(),
        fault == "settings unreadable" ? qint64(profile.settingsOffset)
            : fault == "frame map unreadable" ? qint64(profile.frameMapOffset()) : 0);

    std::vector<quint8> frameMap(FrameMap::byteSize);
    MessageCatcher messages;
    QCOMPARE(VideoRepair::run(repairs, &device, frameMap.data(), written.path.toUtf8()), outcome);
    QCOMPARE(messages.lines.filter(QRegularExpression("^\\*{21} ")), lines.replaceInStrings("%1", written.path));
    // Never committed: the head with its open movie data header and the
    // media as recorded; what the attempt wrote behind the media may stay.
    QVERIFY(device.data().left(qMin(written.mediaEnd, before.size())) == before.left(written.mediaEnd));
    QCOMPARE(repairs.finishTake(written.path, outcome), card.path(name));
    QCOMPARE(QDir(card.root).entryList(QDir::Files), QStringList{ name });
}

void VideoRepairTest::noMemoryForTheFrameMap_data()
{
    QTest::addColumn<RecorderFamily>("family");
    QTest::addColumn<QStringList>("lines"); // %1 stands for the take's path
    QTest::newRow("orla") << RecorderFamily::Orla
                          << QStringList{ "doing orla finalize", "********************* %1 needs to be restored!\n",
                                 "********************* %1 recovery failed, not enough memory!\n",
                                 "     %1 (Orla) Not finalized: not enough memory\n" };
    QTest::newRow("vesk") << RecorderFamily::Vesk
                          << QStringList{ "doing veskone finalize",
                                 "********************* %1 recovery failed, not enough memory!\n",
                                 "     %1 (Vesk) Not finalized: not enough memory\n" };
}

// The scanner lends the buffer; without it a take keeps its name for a later run.
void VideoRepairTest::noMemoryForTheFrameMap()
{
    QFETCH(RecorderFamily, family);
    QFETCH(QStringList, lines);

    TestCard card;
    const WrittenTake written = writeTake(family, card.path("A001.vlv"));
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray before = fileBytes(written.path);

    Finalize scanner;
    delete[] scanner.indexBuffer;
    scanner.indexBuffer = nullptr;
    MessageCatcher messages;
    connect(&scanner, &Finalize::textOutput, this, [&](const QString& line) { messages.lines.append(line); });
    scanner.start({ card.root });
    QCOMPARE(messages.lines, QStringList{ "Scanning folder: " + card.root + "\n" } + lines.replaceInStrings("%1", written.path));
    QCOMPARE(QDir(card.root).entryList(QDir::Files), QStringList{ "A001.vlv" });
    QVERIFY(fileBytes(written.path) == before);
}

QTEST_GUILESS_MAIN(VideoRepairTest)
#include "tst_videorepair.moc"
