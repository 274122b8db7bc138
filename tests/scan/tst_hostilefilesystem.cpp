#include "cardtree.h"
#include "filehash.h"
#include "linerecorder.h"
#include "playercheck.h"
#include "recordingwriter.h"
#include "scan/finalize.h"
#include "unprivileged.h"
#include "wavwriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <QtTest>

#include <functional>

#include <sys/stat.h>

using Change = std::function<void(CardTree&)>;
Q_DECLARE_METATYPE(Change)

// The card is not the scanner's alone: files vanish and change while it
// walks, permissions lock it out, names hold any characters. Whatever it
// meets, the scan ends, writes nothing it was not asked to, and its report
// names what it found.
class HostileFilesystemTest : public QObject
{
    Q_OBJECT

private slots:
    void changeDuringTheScan_data();
    void changeDuringTheScan();
    void lockedFilesAndFolders_data();
    void lockedFilesAndFolders();
    void repairInAFolderThatCannotBeRenamedInto_data();
    void repairInAFolderThatCannotBeRenamedInto();
    void unusualNames_data();
    void unusualNames();
    void unusualNamesOnTheConsole_data();
    void unusualNamesOnTheConsole();
};

namespace {


const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions readWrite = readOnly | QFileDevice::WriteOwner;
const QFileDevice::Permissions enterable = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
const QFileDevice::Permissions openFolder = readWrite | enterable;

// One scan as the pane receives it.
struct ScanRecord
{
    QStringList lines;       // report lines and debug lines, in order
    QStringList reportLines; // the scanner's own lines only
    int finalized = 0;
    int unrecoverable = 0;

    // Flattened, to travel back from an unprivileged child. The report lines
    // are the scanner's share of all lines, in the same order.
    QStringList encoded() const
    {
        QStringList all{QString::number(finalized), QString::number(unrecoverable)};
        qsizetype nextReport = 0;
        for (const QString& line : lines) {
            const bool isReport = nextReport < reportLines.size() && reportLines.at(nextReport) == line;
            nextReport += isReport ? 1 : 0;
            all.append((isReport ? QLatin1Char('R') : QLatin1Char('D')) + line);
        }
        return all;
    }

    static ScanRecord decoded(const QStringList& all)
    {
        ScanRecord record;
        if (all.size() < 2) {
            record.lines = all;
            return record;
        }
        record.finalized = all.at(0).toInt();
        record.unrecoverable = all.at(1).toInt();
        for (const QString& line : all.mid(2)) {
            record.lines.append(line.mid(1));
            if (line.startsWith(QLatin1Char('R')))
                record.reportLines.append(line.mid(1));
        }
        return record;
    }
};

// Scans `root`; `onLine` sees every report line right after it was written.
ScanRecord scan(const QString& root, bool scanOnly,
                const std::function<void(const QString&)>& onLine = {})
{
    Finalize scanner;
    scanner.scanOnly = scanOnly;
    LineRecorder recorder(scanner);
    ScanRecord record;
    QObject::connect(&scanner, &Finalize::textOutput, [&](const QString& line) {
        record.reportLines.append(line);
        if (onLine)
            onLine(line);
    });
    scanner.start({root});
    record.lines = recorder.lines;
    record.finalized = scanner.finalizedCount;
    record.unrecoverable = scanner.unrecoverableCount;
    return record;
}

// Every "%1" stands for the card's root.
QStringList onCard(const QStringList& lines, const CardTree& card)
{
    QStringList filled;
    for (const QString& line : lines)
        filled.append(QString(line).replace(QLatin1String("%1"), card.root()));
    return filled;
}

// Scan-only mode may raise no debug line at all; in finalize mode the flows
// speak for themselves and only the scanner's lines are compared.
QStringList comparedLines(const ScanRecord& record, bool scanOnly)
{
    return scanOnly ? record.lines : record.reportLines;
}

const QByteArray orlaHead = CardTree::recordingHead(0x14);

} // namespace

void HostileFilesystemTest::changeDuringTheScan_data()
{
    QTest::addColumn<QString>("trigger"); // the report line after which the card changes
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("scanOnly");
    QTest::addColumn<QStringList>("expected");

    // In finalize mode the Vesk flow gives each sound take here its failure name.
    const QString afterA = QStringLiteral("     %1/a.vla ");
    const QString afterAHandled = QStringLiteral("     %1/a.nra ");
    const QString scanRoot = QStringLiteral("Scanning folder: %1\n");
    const QString scanC = QStringLiteral("Scanning folder: %1/c\n");
    const Change remove = [](CardTree& card) { QFile::remove(card.path("b.vlv")); };
    const Change intoFolder = [](CardTree& card) {
        QFile::remove(card.path("b.vlv"));
        card.addFolder("b.vlv");
    };
    // A pipe blocks whoever reads it until a writer comes; none will.
    const auto pipeFor = [](const QString& take) {
        return Change([take](CardTree& card) {
            QFile::remove(card.path(take));
            mkfifo(QFile::encodeName(card.path(take)).constData(), 0644);
        });
    };
    const Change intoPipe = pipeFor("b.vlv");
    const Change cutShort = [](CardTree& card) { QFile::resize(card.path("b.vlv"), 2); };
    const Change folderIntoFile = [](CardTree& card) {
        QDir(card.path("c")).removeRecursively();
        card.addFile("c", "x");
    };
    const Change cardPulled = [](CardTree& card) {
        for (const QString& name : QDir(card.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            QFile::remove(card.path(name));
            QDir(card.path(name)).removeRecursively();
        }
    };

    const QStringList listed{scanRoot, "     %1/a.vla (vesk) Requires finalize\n"};
    const QStringList handled{scanRoot, "     %1/a.nra (Vesk) Unrecoverable\n"};
    const QString cListed = "     %1/c/take.vla (vesk) Requires finalize\n";
    const QString cHandled = "     %1/c/take.nra (Vesk) Unrecoverable\n";
    // A take that can no longer be read is listed without its family, and in
    // finalize mode reaches no flow.
    const QString bUnread = "     %1/b.vlv (vesk) Requires finalize\n";
    const QString bUnrepaired = "     %1/b.vlv (Vesk) Unrecoverable\n";

    QTest::newRow("take removed, scan only")
        << afterA << remove << true << listed + QStringList{bUnread, scanC, cListed};
    QTest::newRow("take removed, finalize")
        << afterAHandled << remove << false << handled + QStringList{bUnrepaired, scanC, cHandled};
    QTest::newRow("take replaced by a folder, scan only")
        << afterA << intoFolder << true
        << listed + QStringList{bUnread, "Scanning folder: %1/b.vlv\n", scanC, cListed};
    QTest::newRow("take replaced by a folder, finalize")
        << afterAHandled << intoFolder << false
        << handled + QStringList{bUnrepaired, "Scanning folder: %1/b.vlv\n", scanC, cHandled};
    QTest::newRow("take replaced by a named pipe, scan only")
        << afterA << intoPipe << true << listed + QStringList{bUnread, scanC, cListed};
    QTest::newRow("take replaced by a named pipe, finalize")
        << afterAHandled << intoPipe << false << handled + QStringList{bUnrepaired, scanC, cHandled};
    // A pipe that is there when its folder is listed is not a take at all.
    QTest::newRow("audio take replaced by a named pipe before its folder is listed")
        << afterAHandled << pipeFor("c/take.vla") << false
        << handled + QStringList{"     %1/b.vlv (Orla) Unrecoverable\n", scanC};
    QTest::newRow("take cut short, scan only")
        << afterA << cutShort << true << listed + QStringList{bUnread, scanC, cListed};
    QTest::newRow("take cut short, finalize")
        << afterAHandled << cutShort << false << handled + QStringList{bUnrepaired, scanC, cHandled};
    QTest::newRow("folder replaced by a file as it is entered")
        << scanC << folderIntoFile << true
        << listed + QStringList{"     %1/b.vlv (orla) Requires finalize\n", scanC};
    QTest::newRow("card emptied as the scan starts, scan only")
        << scanRoot << cardPulled << true << QStringList{scanRoot};
    QTest::newRow("card emptied as the scan starts, finalize")
        << scanRoot << cardPulled << false << QStringList{scanRoot};
}

void HostileFilesystemTest::changeDuringTheScan()
{
    QFETCH(QString, trigger);
    QFETCH(Change, change);
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, expected);

    CardTree card;
    QVERIFY(card.addFile("a.vla", "x"));
    QVERIFY(card.addFile("b.vlv", orlaHead));
    QVERIFY(card.addFile("c/take.vla", "x"));
    const QString changeAfter = QString(trigger).replace(QLatin1String("%1"), card.root());

    QMap<QString, QByteArray> changed;
    bool changeMade = false;
    const ScanRecord record = scan(card.root(), scanOnly, [&](const QString& line) {
        if (changeMade || !line.startsWith(changeAfter))
            return;
        change(card);
        changeMade = true;
        changed = card.snapshot();
    });

    QVERIFY(changeMade);
    QCOMPARE(comparedLines(record, scanOnly), onCard(expected, card));
    // Nothing written or created after the change, a vanished take included;
    // a sound take handled after it only changed its name.
    QMap<QString, QByteArray> after = card.snapshot();
    if (after.contains("c/take.nra"))
        after.insert("c/take.vla", after.take("c/take.nra"));
    QCOMPARE(after, changed);
}

void HostileFilesystemTest::lockedFilesAndFolders_data()
{
    QTest::addColumn<QString>("take"); // in the folder CLIP
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QFileDevice::Permissions>("takeMode");
    QTest::addColumn<QFileDevice::Permissions>("folderMode"); // of CLIP
    QTest::addColumn<bool>("scanOnly");
    QTest::addColumn<QStringList>("takeLines"); // after "Scanning folder: %1/CLIP"
    QTest::addColumn<int>("finalized");
    QTest::addColumn<int>("unrecoverable");

    const QFileDevice::Permissions none;
    const QString take = QStringLiteral("A001C003.vlv");
    const QString audio = QStringLiteral("A001C003.vla");

    // The family test only reads: a write-protected card shows its takes as they are.
    QTest::newRow("read-only take, scan only")
        << take << orlaHead << readOnly << openFolder << true
        << QStringList{"     %1/CLIP/A001C003.vlv (orla) Requires finalize\n"} << 1 << 0;
    QTest::newRow("read-only take, finalize")
        << take << orlaHead << readOnly << openFolder << false
        << QStringList{"     %1/CLIP/A001C003.vlv (Orla) Unrecoverable\n"} << 0 << 1;
    QTest::newRow("read-only audio take, finalize")
        << audio << QByteArray("RIFF") << readOnly << openFolder << false
        << QStringList{"     %1/CLIP/A001C003.vla (Vesk) Unrecoverable\n"} << 0 << 1;
    QTest::newRow("unreadable take, scan only")
        << take << orlaHead << none << openFolder << true
        << QStringList{"     %1/CLIP/A001C003.vlv (vesk) Requires finalize\n"} << 1 << 0;
    QTest::newRow("unreadable take, finalize")
        << take << orlaHead << none << openFolder << false
        << QStringList{"     %1/CLIP/A001C003.vlv (Vesk) Unrecoverable\n"} << 0 << 1;
    QTest::newRow("take in a read-only folder, scan only")
        << take << orlaHead << readWrite << (readOnly | enterable) << true
        << QStringList{"     %1/CLIP/A001C003.vlv (orla) Requires finalize\n"} << 1 << 0;
    QTest::newRow("take in a read-only folder, finalize")
        << take << orlaHead << readWrite << (readOnly | enterable) << false
        << QStringList{"     %1/CLIP/A001C003.vlv (Orla) Unrecoverable\n"} << 0 << 1;
    QTest::newRow("failed take in a read-only folder")
        << QStringLiteral("A001C003.nrv") << orlaHead << readOnly << (readOnly | enterable) << false
        << QStringList{"     %1/CLIP/A001C003.nrv Unrecoverable\n"} << 0 << 1;
    QTest::newRow("folder that cannot be listed, finalize")
        << take << orlaHead << readWrite << enterable << false << QStringList() << 0 << 0;
    QTest::newRow("folder that can be listed but not entered, scan only")
        << take << orlaHead << readWrite << readOnly << true
        << QStringList{"     %1/CLIP/A001C003.vlv (vesk) Requires finalize\n"} << 1 << 0;
    QTest::newRow("folder that can be listed but not entered, finalize")
        << take << orlaHead << readWrite << readOnly << false
        << QStringList{"     %1/CLIP/A001C003.vlv (Vesk) Unrecoverable\n"} << 0 << 1;
}

void HostileFilesystemTest::lockedFilesAndFolders()
{
    QFETCH(QString, take);
    QFETCH(QByteArray, bytes);
    QFETCH(QFileDevice::Permissions, takeMode);
    QFETCH(QFileDevice::Permissions, folderMode);
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, takeLines);
    QFETCH(int, finalized);
    QFETCH(int, unrecoverable);

    CardTree card;
    QVERIFY(card.addFile("CLIP/" + take, bytes));
    const auto before = card.snapshot();
    QVERIFY(QFile::setPermissions(card.root(), openFolder));
    QVERIFY(Unprivileged::handOver(card.root()));
    QVERIFY(QFile::setPermissions(card.path("CLIP/" + take), takeMode));
    QVERIFY(QFile::setPermissions(card.path("CLIP"), folderMode));

    const ScanRecord record = ScanRecord::decoded(
        Unprivileged::run([&] { return scan(card.root(), scanOnly).encoded(); }));
    QVERIFY(QFile::setPermissions(card.path("CLIP"), openFolder));
    QVERIFY(QFile::setPermissions(card.path("CLIP/" + take), readWrite));

    const QStringList expected = onCard(QStringList{"Scanning folder: %1\n", "Scanning folder: %1/CLIP\n"}
                                            + takeLines, card);
    QCOMPARE(comparedLines(record, scanOnly), expected);
    QCOMPARE(record.finalized, finalized);
    QCOMPARE(record.unrecoverable, unrecoverable);
    QCOMPARE(card.snapshot(), before);
}

namespace {

// A video take of stand-in frames and two sound chunks; no player decodes
// its pictures. The newer family needs 30 items to be repaired at all.
TakeDescription smallVideoTake(RecorderFamily family)
{
    TakeDescription take = TakeDescription::forFamily(family);
    take.setStandInFrames(27, 700);
    if (family == RecorderFamily::Orla)
        take.audioSamplesPerChunk = 256;
    take.setAudio(1, 3, 2);
    return take;
}

// What a take written for a test holds: where its recorded media or
// samples lie, and their digest.
struct WrittenMedia
{
    bool ok = false;
    qint64 start = 0;
    qint64 end = 0;
    QByteArray sha256;
    qint64 dataSizeOffset = -1; // an audio take's data size field
};

WrittenMedia writeTake(const QString& path)
{
    WrittenMedia media;
    if (path.endsWith(QLatin1String(".vla"))) {
        const WrittenWav wav = WavWriter::write(WavDescription(), path);
        media = { wav.ok, wav.dataStart, wav.fileSize, wav.samplesSha256, wav.dataSizeOffset };
    } else {
        const bool newer = QFileInfo(path).fileName().startsWith(QLatin1Char('A'));
        const WrittenTake take = RecordingWriter::write(smallVideoTake(newer ? RecorderFamily::Orla : RecorderFamily::Vesk), path);
        media = { take.ok, take.mediaStart, take.mediaEnd, take.mediaSha256, -1 };
    }
    return media;
}

} // namespace

void HostileFilesystemTest::repairInAFolderThatCannotBeRenamedInto_data()
{
    QTest::addColumn<QString>("take"); // in the folder CLIP
    QTest::addColumn<QString>("finishedName");
    QTest::addColumn<QString>("family");

    QTest::newRow("newer family's video take") << "A001C003.vlv" << "A001C003.mov" << "Orla";
    QTest::newRow("older family's video take") << "B001C003.vlv" << "B001C003.mov" << "Vesk";
    QTest::newRow("older family's audio take") << "B001C003.vla" << "B001C003.wav" << "Vesk";
}

// A take whose folder forbids renaming is repaired all the same; the report
// names it where it stands, under its temporary name, and a line says why.
void HostileFilesystemTest::repairInAFolderThatCannotBeRenamedInto()
{
    QFETCH(QString, take);
    QFETCH(QString, finishedName);
    QFETCH(QString, family);

    CardTree card;
    QVERIFY(card.addFolder("CLIP"));
    const QString takePath = card.path("CLIP/" + take);
    const WrittenMedia media = writeTake(takePath);
    QVERIFY(media.ok);
    QVERIFY(QFile::setPermissions(card.root(), openFolder));
    QVERIFY(Unprivileged::handOver(card.root()));
    QVERIFY(QFile::setPermissions(card.path("CLIP"), readOnly | enterable));

    const ScanRecord record = ScanRecord::decoded(
        Unprivileged::run([&] { return scan(card.root(), false).encoded(); }));
    QVERIFY(QFile::setPermissions(card.path("CLIP"), openFolder));

    QCOMPARE(record.reportLines, onCard(QStringList{"Scanning folder: %1\n", "Scanning folder: %1/CLIP\n",
                                                    "     %1/CLIP/" + take + " (" + family + ") Finalized\n"}, card));
    QVERIFY2(record.lines.contains(QStringLiteral("Failed to rename file:  \"%1\"  ->  \"%2\"")
                                       .arg(takePath, card.path("CLIP/" + finishedName))),
             qPrintable(record.lines.join(QLatin1Char('|'))));
    QCOMPARE(record.finalized, 1);

    // Nothing is lost: the take stands repaired under its old name, its
    // media as recorded.
    QCOMPARE(QDir(card.path("CLIP")).entryList(QDir::Files), QStringList{take});
    QCOMPARE(FileHash::sha256(takePath, media.start, media.end - media.start), media.sha256);
    if (media.dataSizeOffset >= 0) {
        QFile audio(takePath);
        QVERIFY(audio.open(QIODevice::ReadOnly) && audio.seek(media.dataSizeOffset));
        QCOMPARE(qFromLittleEndian<quint32>(audio.read(4).constData()), quint32(media.end - media.start));
    } else {
        const MovieInfo movie = PlayerCheck::probe(takePath);
        QVERIFY2(movie.ok, qPrintable(movie.error));
        QCOMPARE(movie.streamsOfType("video").size(), 1);
        QCOMPARE(movie.streamsOfType("audio").size(), 1);
    }
}

namespace {

// The lines a scan of a card that holds only `take` shows: one per folder
// on its way, then the take's own.
QStringList linesForOneTake(const QString& root, const QString& take, const QString& status)
{
    QStringList lines{QStringLiteral("Scanning folder: %1\n").arg(root)};
    const QStringList parts = take.split(QLatin1Char('/'));
    QString folder = root;
    for (const QString& part : parts.mid(0, parts.size() - 1)) {
        folder += QLatin1Char('/') + part;
        lines.append(QStringLiteral("Scanning folder: %1\n").arg(folder));
    }
    lines.append(QStringLiteral("     ") + root + QLatin1Char('/') + take + QLatin1Char(' ') + status
                 + QLatin1Char('\n'));
    return lines;
}

void addNameRows()
{
    QTest::addColumn<QString>("take");
    QTest::addColumn<QString>("family"); // as a scan-only line shows it

    QTest::newRow("spaces") << QStringLiteral("Day 1/Take 01  final .vlv") << "orla";
    QTest::newRow("accents and a dash") << QStringLiteral("Szene 3 – Außen/Überblick é.vla") << "vesk";
    QTest::newRow("decomposed accent") << QStringLiteral("Cafe\u0301/cafe\u0301.vlv") << "orla";
    QTest::newRow("Japanese") << QStringLiteral("撮影/テイク１.vlv") << "orla";
    QTest::newRow("outside the basic plane") << QStringLiteral("🎬 Clip/🎤.vla") << "vesk";
    QTest::newRow("placeholders") << QStringLiteral("100% %1/Take %1 %2.vlv") << "orla";
    QTest::newRow("quotes and a backslash") << QStringLiteral("Bob's \"cut\"/a\\b.vla") << "vesk";
    QTest::newRow("upper-case extension") << QStringLiteral("ÄRGER/ÖL.VLV") << "orla";
}

QByteArray bytesFor(const QString& take)
{
    return take.toLower().endsWith(QLatin1String(".vlv")) ? orlaHead : QByteArray("x");
}

// The name a take is left under by a finalize run: the Vesk flow gives a
// sound take it cannot save its failure name.
QString handledName(const QString& take)
{
    return QString(take).replace(QLatin1String(".vla"), QLatin1String(".nra"));
}

QString capitalised(const QString& family)
{
    return family.left(1).toUpper() + family.mid(1);
}

} // namespace

void HostileFilesystemTest::unusualNames_data()
{
    addNameRows();
}

void HostileFilesystemTest::unusualNames()
{
    QFETCH(QString, take);
    QFETCH(QString, family);

    CardTree card;
    QVERIFY(card.addFile(take, bytesFor(take)));
    const auto before = card.snapshot();

    const ScanRecord listed = scan(card.root(), true);
    QCOMPARE(listed.lines, linesForOneTake(card.root(), take, "(" + family + ") Requires finalize"));
    const ScanRecord handled = scan(card.root(), false);
    QCOMPARE(handled.reportLines, linesForOneTake(card.root(), handledName(take), "(" + capitalised(family) + ") Unrecoverable"));
    QCOMPARE(card.snapshot().values(), before.values());
}

void HostileFilesystemTest::unusualNamesOnTheConsole_data()
{
    addNameRows();
}

// The console turns the same lines into bytes for a terminal or a pipe, and
// takes the path from its command line: both ways must keep every character,
// whatever locale the caller runs in.
void HostileFilesystemTest::unusualNamesOnTheConsole()
{
    QFETCH(QString, take);
    QFETCH(QString, family);

    CardTree card;
    const QString cardFolder = QStringLiteral("Kärtchen – 1");
    QVERIFY(card.addFile(cardFolder + "/" + take, bytesFor(take)));
    const QString root = card.path(cardFolder);

    for (const char* locale : {"C.UTF-8", "C"}) {
        for (const bool scanOnly : {true, false}) {
            QProcess cli;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("LC_ALL"), QLatin1String(locale));
            cli.setProcessEnvironment(environment);
            cli.start(QStringLiteral(AMBREL_CLI_PATH),
                      scanOnly ? QStringList{root} : QStringList{QStringLiteral("--finalize"), root});
            cli.closeWriteChannel();
            QVERIFY(cli.waitForFinished(60000));
            QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
            QCOMPARE(cli.exitCode(), scanOnly ? 0 : 1);
            QCOMPARE(cli.readAllStandardError(), QByteArray());

            const QStringList expected = scanOnly
                ? linesForOneTake(root, take, "(" + family + ") Requires finalize")
                : linesForOneTake(root, handledName(take), "(" + capitalised(family) + ") Unrecoverable");
            // The next run meets the take under its own name again.
            if (!scanOnly && handledName(take) != take)
                QVERIFY(QFile::rename(root + "/" + handledName(take), root + "/" + take));
            QStringList lines = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'));
            lines = lines.mid(lines.indexOf(QStringLiteral("Scanning folder: ") + root));
            QStringList shown;
            for (const QString& line : std::as_const(lines)) {
                if (line.startsWith(QLatin1String("Scanning folder: ")) || line.startsWith(QLatin1String("     ")))
                    shown.append(line + QLatin1Char('\n'));
            }
            QCOMPARE(shown, expected);
        }
    }
}

QTEST_GUILESS_MAIN(HostileFilesystemTest)
#include "tst_hostilefilesystem.moc"
