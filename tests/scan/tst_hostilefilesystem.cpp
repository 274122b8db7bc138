// The scanner's walk over a card that is not its alone: the order it walks
// and what it lists, folder links that loop, files that vanish and change
// while it walks, permissions that lock it out, names in any script.
// Whatever it meets, the scan ends, writes nothing it was not asked to, and
// its report names what it found.

#include "consolerun.h"
#include "messagecatcher.h"
#include "playercheck.h"
#include "recordingwriter.h"
#include "scan/finalize.h"
#include "testcard.h"
#include "unprivileged.h"
#include "wavwriter.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Change = std::function<void(TestCard&)>;
Q_DECLARE_METATYPE(Change)

namespace {

const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions readWrite = readOnly | QFileDevice::WriteOwner;
const QFileDevice::Permissions enterable = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
const QFileDevice::Permissions openFolder = readWrite | enterable;

// One scan as the pane receives it, flat so that it can travel back from an
// unprivileged child: the finalized and unrecoverable counts, then every
// line, "R" before the scanner's own report lines and "D" before debug lines.
QStringList scan(const QString& root, bool scanOnly, const std::function<void(const QString&)>& onLine = {})
{
    Finalize scanner;
    scanner.scanOnly = scanOnly;
    MessageCatcher messages;
    QObject::connect(&scanner, &Finalize::textOutput, [&](const QString& line) {
        messages.lines.append(QChar(0) + line);
        if (onLine)
            onLine(line);
    });
    scanner.start({ root });
    QStringList record{ QString::number(scanner.finalizedCount), QString::number(scanner.unrecoverableCount) };
    for (const QString& line : std::as_const(messages.lines))
        record.append(line.startsWith(QChar(0)) ? 'R' + line.mid(1) : 'D' + line);
    return record;
}

// The lines of a record: all of them, or only the scanner's report lines.
QStringList linesOf(const QStringList& record, bool reportOnly = false)
{
    QStringList lines;
    for (const QString& line : record.mid(2)) {
        if (!reportOnly || line.startsWith('R'))
            lines.append(line.mid(1));
    }
    return lines;
}

// Every "%1" stands for the card's root.
QStringList onCard(QStringList lines, const TestCard& card)
{
    return lines.replaceInStrings(QLatin1String("%1"), card.root);
}

// A card from entries: "name" a file holding "x", "name=<hex>" a file whose
// first atom has that 32-bit size (eight digits) or holding those bytes,
// "name/" a folder, "name->target" a link to a folder of the card, "raw:name"
// a file (or folder) of the percent-encoded bytes of a name that is no UTF-8.
void layCard(const TestCard& card, const QStringList& entries)
{
    for (const QString& entry : entries) {
        if (entry.startsWith("raw:")) {
            const QByteArray path = QFile::encodeName(card.root) + '/' + QByteArray::fromPercentEncoding(entry.mid(4).toLatin1());
            QVERIFY(path.endsWith('/') ? ::mkdir(path.constData(), 0755) == 0 : ::close(::open(path.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        } else if (entry.endsWith('/')) {
            QVERIFY(card.addFolder(entry));
        } else if (entry.contains("->")) {
            QVERIFY(card.addLink(entry.section("->", 0, 0), entry.section("->", 1)));
        } else if (entry.contains('=')) {
            const QString hex = entry.section('=', 1);
            const QByteArray bytes = hex.size() == 8 ? TestCard::head(hex.toUInt(nullptr, 16)) : QByteArray::fromHex(hex.toLatin1());
            QVERIFY(card.add(entry.section('=', 0, 0), bytes));
        } else {
            QVERIFY(card.add(entry, "x"));
        }
    }
}

const QByteArray orlaHead = TestCard::head(0x14);

} // namespace

class HostileFilesystemTest : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
    void changeDuringTheScan_data();
    void changeDuringTheScan();
    void lockedFilesAndFolders_data();
    void lockedFilesAndFolders();
    void repairInAFolderThatCannotBeRenamedInto_data();
    void repairInAFolderThatCannotBeRenamedInto();
    void unusualNamesOnTheConsole_data();
    void unusualNamesOnTheConsole();
    void twoRunsAtOnce();
};

void HostileFilesystemTest::walk_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("root"); // relative to the card, run from the card's root; empty: the card
    QTest::addColumn<bool>("scanOnly");
    QTest::addColumn<QStringList>("lines"); // after "Scanning folder: %1", every debug line among them
    QTest::addColumn<int>("finalized");
    QTest::addColumn<int>("unrecoverable");

    const auto one = [](const char* name, const QString& entry, bool scanOnly, const QStringList& lines, int finalized) {
        QTest::newRow(name) << QStringList{ entry } << QString() << scanOnly << lines << finalized << 1 - finalized;
    };
    // Files before folders, each in name order whatever the case; hidden ones are not walked.
    QTest::newRow("walk order") << QStringList{ "d/", "C/h.nra", "b/sub/g.vla", "b/f.vlv=00000080", "z.vlv=00000080",
        "A.vla", "notes.txt", ".x.vlv=00000080", ".hidden/y.vlv=00000080", ".hidden/inner/w.vla" }
                                << QString() << true
                                << QStringList{ "     %1/A.vla (vesk) Requires finalize\n", "     %1/z.vlv (vesk) Requires finalize\n",
                                       "Scanning folder: %1/b\n", "     %1/b/f.vlv (vesk) Requires finalize\n",
                                       "Scanning folder: %1/b/sub\n", "     %1/b/sub/g.vla (vesk) Requires finalize\n",
                                       "Scanning folder: %1/C\n", "     %1/C/h.nra Unrecoverable\n", "Scanning folder: %1/d\n" }
                                << 4 << 1;
    QTest::newRow("a relative root") << QStringList{ "CARD/CLIP/take.vla" } << "CARD" << true
                                     << QStringList{ "Scanning folder: %1/CARD/CLIP\n", "     %1/CARD/CLIP/take.vla (vesk) Requires finalize\n" }
                                     << 1 << 0;
    // The family by the size of the first atom: the newer family's is small.
    const QString orla = QStringLiteral("     %1/take.vlv (orla) Requires finalize\n");
    const QString vesk = QStringLiteral("     %1/take.vlv (vesk) Requires finalize\n");
    one("00 00 00 14 is orla", "take.vlv=00000014", true, { orla }, 1);
    one("00 00 00 7F is orla", "take.vlv=0000007f", true, { orla }, 1);
    one("00 00 00 80 is vesk", "take.vlv=00000080", true, { vesk }, 1);
    one("00 53 7F 00 is vesk", "take.vlv=00537f00", true, { vesk }, 1);
    one("3 bytes listed as vesk", "take.vlv=000000", true, { vesk }, 1);
    one("upper-case VLV is tested", "TAKE.VLV=00000014", true, { "     %1/TAKE.VLV (orla) Requires finalize\n" }, 1);
    one("vla is always vesk", "take.vla=00000014", true, { "     %1/take.vla (vesk) Requires finalize\n" }, 1);
    one("nrv in scan only", "take.nrv=00000014", true, { "     %1/take.nrv Unrecoverable\n" }, 0);
    one("nra in scan only", "take.nra", true, { "     %1/take.nra Unrecoverable\n" }, 0);
    one("upper-case NRV in scan only", "TAKE.NRV=00000014", true, { "     %1/TAKE.NRV Unrecoverable\n" }, 0);
    one("orla to its flow", "take.vlv=00000014", false, { "doing orla finalize",
        "********************* %1/take.vlv recovery failed, corrupted file!\n", "     %1/take.vlv (Orla) Unrecoverable\n" }, 0);
    one("3 bytes reach no flow", "take.vlv=000000", false, { "     %1/take.vlv (Vesk) Unrecoverable\n" }, 0);
    one("nrv in finalize mode", "take.nrv=00000014", false, { "     %1/take.nrv Unrecoverable\n" }, 0);
    one("upper-case NRV in finalize mode", "TAKE.NRV=00000014", false, { "     %1/TAKE.NRV Unrecoverable\n" }, 0);
    // Qt lists no name it cannot decode: they are said all the same.
    for (const bool scanOnly : { true, false })
        QTest::newRow(scanOnly ? "names that are no UTF-8, scan only" : "names that are no UTF-8, finalize")
            << QStringList{ "raw:take%FF.vla", "raw:clips%FF/", "raw:old%FF.nrv" } << QString() << scanOnly
            << QStringList{ "Skipping folder: %1/clips\uFFFD\n", "     %1/old\uFFFD.nrv Unrecoverable\n",
                   "     %1/take\uFFFD.vla (Vesk) Not finalized: its name cannot be read\n" } << 0 << 1;
    // A link back into the tree is not followed again.
    QTest::newRow("links to the root and to itself")
        << QStringList{ "a/", "b/take.vla", "a/loop->", "b/self->b" } << QString() << true
        << QStringList{ "Scanning folder: %1/a\n", "Skipping folder: %1/a/loop\n", "Scanning folder: %1/b\n",
               "     %1/b/take.vla (vesk) Requires finalize\n", "Skipping folder: %1/b/self\n" }
        << 1 << 0;
    QTest::newRow("two folders linking to each other")
        << QStringList{ "a/", "b/take.vla", "a/x->b", "b/y->a" } << QString() << true
        << QStringList{ "Scanning folder: %1/a\n", "Scanning folder: %1/a/x\n", "     %1/a/x/take.vla (vesk) Requires finalize\n",
               "Skipping folder: %1/a/x/y\n", "Skipping folder: %1/b\n" }
        << 1 << 0;
}

void HostileFilesystemTest::walk()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, root);
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, lines);
    QFETCH(int, finalized);
    QFETCH(int, unrecoverable);

    TestCard card;
    layCard(card, entries);
    const auto before = card.snapshot();
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(card.root));
    const QStringList record = scan(root.isEmpty() ? card.root : root, scanOnly);
    // A current directory left on the card would keep it from being ejected.
    QCOMPARE(QDir::currentPath(), card.root);
    QDir::setCurrent(current);

    QCOMPARE(linesOf(record), onCard(QStringList{ "Scanning folder: " + card.path(root) + "\n" } + lines, card));
    QCOMPARE(record.mid(0, 2), (QStringList{ QString::number(finalized), QString::number(unrecoverable) }));
    // A failed take may change its name, never a byte.
    QCOMPARE(card.snapshot().values(), before.values());
}

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
    const QString scanD = QStringLiteral("Scanning folder: %1/d\n");
    const Change remove = [](TestCard& card) { QFile::remove(card.path("b.vlv")); };
    const Change intoFolder = [](TestCard& card) {
        QFile::remove(card.path("b.vlv"));
        card.addFolder("b.vlv");
    };
    // A pipe blocks whoever reads it until a writer comes; none will.
    const auto pipeFor = [](const QString& take) {
        return Change([take](TestCard& card) {
            QFile::remove(card.path(take));
            mkfifo(QFile::encodeName(card.path(take)).constData(), 0644);
        });
    };
    const Change cutShort = [](TestCard& card) { QFile::resize(card.path("b.vlv"), 2); };
    const Change folderGone = [](TestCard& card) { QDir(card.path("d")).removeRecursively(); };
    const Change folderIntoFile = [](TestCard& card) {
        QDir(card.path("c")).removeRecursively();
        card.add("c", "x");
    };
    const Change cardPulled = [](TestCard& card) {
        for (const QString& name : QDir(card.root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            QFile::remove(card.path(name));
            QDir(card.path(name)).removeRecursively();
        }
    };

    const QStringList listed{ scanRoot, "     %1/a.vla (vesk) Requires finalize\n" };
    const QStringList handled{ scanRoot, "     %1/a.nra (Vesk) Unrecoverable\n" };
    const QString cListed = "     %1/c/take.vla (vesk) Requires finalize\n";
    const QString cHandled = "     %1/c/take.nra (Vesk) Unrecoverable\n";
    // A take that can no longer be read is listed without its family, and in
    // finalize mode reaches no flow.
    const QString bUnread = "     %1/b.vlv (vesk) Requires finalize\n";
    const QString bGone = "     %1/b.vlv (Vesk) Not finalized: it was moved or deleted meanwhile\n";
    const QString bNoFile = "     %1/b.vlv (Vesk) Not finalized: it is no longer a file\n";
    const QString bUnrepaired = "     %1/b.vlv (Vesk) Unrecoverable\n";
    const QString bListed = "     %1/b.vlv (orla) Requires finalize\n";

    QTest::newRow("take removed, scan only") << afterA << remove << true << listed + QStringList{ bUnread, scanC, cListed, scanD };
    QTest::newRow("take removed, finalize")
        << afterAHandled << remove << false << handled + QStringList{ bGone, scanC, cHandled, scanD };
    QTest::newRow("take replaced by a folder")
        << afterAHandled << intoFolder << false
        << handled + QStringList{ bNoFile, "Scanning folder: %1/b.vlv\n", scanC, cHandled, scanD };
    QTest::newRow("take replaced by a named pipe, scan only")
        << afterA << pipeFor("b.vlv") << true << listed + QStringList{ bUnread, scanC, cListed, scanD };
    QTest::newRow("take replaced by a named pipe, finalize")
        << afterAHandled << pipeFor("b.vlv") << false << handled + QStringList{ bNoFile, scanC, cHandled, scanD };
    // A pipe that is there when its folder is listed is not a take at all.
    QTest::newRow("audio take replaced by a named pipe before its folder is listed")
        << afterAHandled << pipeFor("c/take.vla") << false
        << handled + QStringList{ "     %1/b.vlv (Orla) Unrecoverable\n", scanC, scanD };
    QTest::newRow("take cut short") << afterAHandled << cutShort << false
                                    << handled + QStringList{ bUnrepaired, scanC, cHandled, scanD };
    QTest::newRow("folder gone after its parent was listed")
        << scanC << folderGone << true << listed + QStringList{ bListed, scanC, cListed, "Skipping folder: %1/d\n" };
    QTest::newRow("folder replaced by a file as it is entered") << scanC << folderIntoFile << true
                                                               << listed + QStringList{ bListed, scanC, scanD };
    QTest::newRow("card emptied as the scan starts, scan only") << scanRoot << cardPulled << true << QStringList{ scanRoot };
    QTest::newRow("card emptied as the scan starts, finalize") << scanRoot << cardPulled << false << QStringList{ scanRoot };
}

void HostileFilesystemTest::changeDuringTheScan()
{
    QFETCH(QString, trigger);
    QFETCH(Change, change);
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, expected);

    TestCard card;
    layCard(card, { "a.vla", "b.vlv=00000014", "c/take.vla", "d/" });
    const QString changeAfter = QString(trigger).replace(QLatin1String("%1"), card.root);
    QMap<QString, QByteArray> changed;
    bool changeMade = false;
    const QStringList record = scan(card.root, scanOnly, [&](const QString& line) {
        if (changeMade || !line.startsWith(changeAfter))
            return;
        change(card);
        changeMade = true;
        changed = card.snapshot();
    });

    QVERIFY(changeMade);
    // Scan-only mode raises no debug line at all; in finalize mode the flows
    // speak for themselves and only the scanner's lines are compared.
    QCOMPARE(linesOf(record, !scanOnly), onCard(expected, card));
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
    QTest::addColumn<QFileDevice::Permissions>("takeMode");
    QTest::addColumn<QFileDevice::Permissions>("folderMode"); // of CLIP
    QTest::addColumn<bool>("scanOnly");
    QTest::addColumn<QStringList>("takeLines"); // after "Scanning folder: %1", debug lines too
    QTest::addColumn<int>("finalized");
    QTest::addColumn<int>("unrecoverable");
    QTest::addColumn<int>("exitCode"); // of the console on the same card

    const QFileDevice::Permissions none;
    const QString take = QStringLiteral("A001C003.vlv");
    const QString clip = QStringLiteral("Scanning folder: %1/CLIP\n");
    const QString skipped = QStringLiteral("Skipping folder: %1/CLIP\n");

    // The family test only reads: a write-protected card shows its takes as they are.
    QTest::newRow("read-only take, scan only")
        << take << readOnly << openFolder << true << QStringList{ clip, "     %1/CLIP/A001C003.vlv (orla) Requires finalize\n" } << 1 << 0 << 6;
    // Left as they are, for a run with the rights to finish them.
    QTest::newRow("read-only take, finalize")
        << take << readOnly << openFolder << false
        << QStringList{ clip, "doing orla finalize", "********************* %1/CLIP/A001C003.vlv recovery failed, can't open the file!\n",
               "     %1/CLIP/A001C003.vlv (Orla) Not finalized: no permission to write it\n" } << 0 << 0 << 4;
    QTest::newRow("read-only audio take, finalize") << QStringLiteral("A001C003.vla") << readOnly << openFolder << false
        << QStringList{ clip, "doing veskone finalize", "     %1/CLIP/A001C003.vla (Vesk) Not finalized: no permission to write it\n" } << 0 << 0 << 4;
    QTest::newRow("unreadable take, scan only")
        << take << none << openFolder << true << QStringList{ clip, "     %1/CLIP/A001C003.vlv (vesk) Requires finalize\n" } << 1 << 0 << 6;
    QTest::newRow("unreadable take, finalize")
        << take << none << openFolder << false << QStringList{ clip, "     %1/CLIP/A001C003.vlv (Vesk) Not finalized: no permission to read it\n" } << 0 << 0 << 4;
    QTest::newRow("take in a read-only folder")
        << take << readWrite << (readOnly | enterable) << false
        << QStringList{ clip, "doing orla finalize", "********************* %1/CLIP/A001C003.vlv recovery failed, corrupted file!\n",
               "     %1/CLIP/A001C003.vlv (Orla) Unrecoverable\n" } << 0 << 1 << 1;
    QTest::newRow("failed take in a read-only folder") << QStringLiteral("A001C003.nrv") << readOnly << (readOnly | enterable)
                                                       << false << QStringList{ clip, "     %1/CLIP/A001C003.nrv Unrecoverable\n" } << 0 << 1 << 1;
    // The walk goes on from the card's root, not from inside the folder it could not enter.
    QTest::newRow("folder that cannot be listed") << take << readWrite << enterable << false << QStringList{ skipped } << 0 << 0 << 5;
    QTest::newRow("folder that cannot be entered, scan only") << take << readWrite << readOnly << true << QStringList{ skipped } << 0 << 0 << 5;
    QTest::newRow("folder that cannot be entered, finalize") << take << readWrite << readOnly << false << QStringList{ skipped } << 0 << 0 << 5;
}

void HostileFilesystemTest::lockedFilesAndFolders()
{
    QFETCH(QString, take);
    QFETCH(QFileDevice::Permissions, takeMode);
    QFETCH(QFileDevice::Permissions, folderMode);
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, takeLines);
    QFETCH(int, finalized);
    QFETCH(int, unrecoverable);
    QFETCH(int, exitCode);

    TestCard card;
    QVERIFY(card.add("CLIP/" + take, take.endsWith(".vla") ? QByteArray("RIFF") : orlaHead));
    QVERIFY(card.add("DONE/B001.wav", "x"));
    const auto before = card.snapshot();
    QVERIFY(QFile::setPermissions(card.root, openFolder));
    QVERIFY(Unprivileged::handOver(card.root));
    QVERIFY(QFile::setPermissions(card.path("CLIP/" + take), takeMode));
    QVERIFY(QFile::setPermissions(card.path("CLIP"), folderMode));

    const QStringList record = Unprivileged::run([&] {
        const ConsoleRun run = runConsole(QStringList{ "--finalize", card.root }.mid(scanOnly ? 1 : 0));
        return scan(card.root, scanOnly) << QStringLiteral("E%1").arg(run.exitCode);
    });
    QVERIFY(QFile::setPermissions(card.path("CLIP"), openFolder));
    QVERIFY(QFile::setPermissions(card.path("CLIP/" + take), readWrite));

    const QStringList expected = onCard(QStringList{ "Scanning folder: %1\n" } + takeLines
            + QStringList{ "Scanning folder: %1/DONE\n", QString::number(exitCode) },
        card);
    QCOMPARE(linesOf(record), expected);
    QCOMPARE(record.mid(0, 2), (QStringList{ QString::number(finalized), QString::number(unrecoverable) }));
    QCOMPARE(card.snapshot(), before);
}

void HostileFilesystemTest::repairInAFolderThatCannotBeRenamedInto_data()
{
    QTest::addColumn<QString>("take"); // in the folder CLIP
    QTest::addColumn<QString>("family");

    QTest::newRow("newer family's video take") << "A001C003.vlv" << "Orla";
    QTest::newRow("older family's video take") << "B001C003.vlv" << "Vesk";
    QTest::newRow("older family's audio take") << "B001C003.vla" << "Vesk";
}

// A take whose folder forbids renaming is repaired all the same; the report
// names it where it stands, under its temporary name, and a line says why.
void HostileFilesystemTest::repairInAFolderThatCannotBeRenamedInto()
{
    QFETCH(QString, take);
    QFETCH(QString, family);

    TestCard card;
    QVERIFY(card.addFolder("CLIP"));
    const QString takePath = card.path("CLIP/" + take);
    qint64 mediaStart = 0;
    qint64 mediaEnd = 0;
    if (take.endsWith(".vla")) {
        const WrittenWav wav = WavWriter::write(WavDescription(), takePath);
        QVERIFY(wav.ok);
        mediaStart = wav.dataStart;
        mediaEnd = wav.fileSize;
    } else {
        // Stand-in frames and two sound chunks; the newer family wants 30 items.
        TakeDescription description = TakeDescription::forFamily(family == "Orla" ? RecorderFamily::Orla : RecorderFamily::Vesk);
        description.setStandInFrames(27, 700);
        if (family == "Orla")
            description.audioSamplesPerChunk = 256;
        description.setAudio(1, 3, 2);
        const WrittenTake written = RecordingWriter::write(description, takePath);
        QVERIFY(written.ok);
        mediaStart = written.mediaStart;
        mediaEnd = written.mediaEnd;
    }
    const QByteArray media = fileBytes(takePath).mid(mediaStart, mediaEnd - mediaStart);
    QVERIFY(QFile::setPermissions(card.root, openFolder));
    QVERIFY(Unprivileged::handOver(card.root));
    QVERIFY(QFile::setPermissions(card.path("CLIP"), readOnly | enterable));

    const QStringList record = Unprivileged::run([&] { return scan(card.root, false); });
    QVERIFY(QFile::setPermissions(card.path("CLIP"), openFolder));

    QCOMPARE(linesOf(record, true), onCard({ "Scanning folder: %1\n", "Scanning folder: %1/CLIP\n",
                                                 "     %1/CLIP/" + take + " (" + family
                                                     + ") Repaired, not renamed: no permission to rename files in its folder\n" },
                                        card));
    const QString finished = QString(take).replace(".vlv", ".mov").replace(".vla", ".wav");
    QVERIFY(linesOf(record).contains(QStringLiteral("Failed to rename file:  \"%1\"  ->  \"%2\"").arg(takePath, card.path("CLIP/" + finished))));
    QCOMPARE(record.mid(0, 2), (QStringList{ "0", "0" }));

    // Nothing is lost: the take stands repaired under its old name, its
    // media as recorded.
    QCOMPARE(QDir(card.path("CLIP")).entryList(QDir::Files), QStringList{ take });
    QVERIFY(fileBytes(takePath).mid(mediaStart, mediaEnd - mediaStart) == media);
    const MovieInfo movie = PlayerCheck::probe(takePath);
    QVERIFY2(movie.ok, qPrintable(movie.error));
    QCOMPARE(movie.streamsOfType("audio").size(), 1);
    QCOMPARE(movie.streamsOfType("video").size(), take.endsWith(".vla") ? 0 : 1);
}

void HostileFilesystemTest::unusualNamesOnTheConsole_data()
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

// The console turns the scanner's lines into bytes for a terminal or a pipe,
// and takes the path from its command line: both ways must keep every
// character, whatever locale the caller runs in, in both modes.
void HostileFilesystemTest::unusualNamesOnTheConsole()
{
    QFETCH(QString, take);
    QFETCH(QString, family);

    TestCard card;
    const QString root = card.path(QStringLiteral("Kärtchen – 1"));
    QVERIFY(card.add(QStringLiteral("Kärtchen – 1/") + take, take.toLower().endsWith(".vlv") ? orlaHead : "x"));
    // The Vesk flow gives a sound take it cannot save its failure name.
    const QString handled = QString(take).replace(".vla", ".nra");
    QStringList folders{ "Scanning folder: " + root };
    for (const QString& part : take.split('/').mid(0, take.count('/')))
        folders.append(folders.last() + '/' + part);
    for (const char* locale : { "C.UTF-8", "C" }) {
        for (const bool scanOnly : { true, false }) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("LC_ALL"), QLatin1String(locale));
            const ConsoleRun run = runConsole(scanOnly ? QStringList{ root } : QStringList{ "--finalize", root }, {}, environment);
            QCOMPARE(run.exitCode, scanOnly ? 6 : 1);
            QCOMPARE(run.err, QString());

            const QStringList expected = folders + QStringList{ scanOnly ? "     " + root + '/' + take + " (" + family + ") Requires finalize"
                                     : "     " + root + '/' + handled + " (" + family.left(1).toUpper() + family.mid(1) + ") Unrecoverable" };
            QCOMPARE(run.out.split('\n').filter(QRegularExpression("^(Scanning folder: |     )")), expected);
            // The next run meets the take under its own name again.
            QFile::rename(root + '/' + handled, root + '/' + take);
        }
    }
}

// Two runs started together on one card (two windows, a window and a
// script) each finalize what the other does not hold: every take is
// finalized once, by one of them, to the very bytes one run alone gives it;
// the other says so. Repeated, since which run meets which take first is luck.
void HostileFilesystemTest::twoRunsAtOnce()
{
    const auto lay = [](const TestCard& card) {
        TakeDescription video = TakeDescription::forFamily(RecorderFamily::Vesk);
        video.setStandInFrames(6, 700);
        video.setAudio(1, 3, 2);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(RecordingWriter::write(video, card.path(QStringLiteral("B001C%1.vlv").arg(i, 3, 10, QChar('0')))).ok);
        for (int i = 1; i <= 24; ++i)
            QVERIFY(WavWriter::write(WavDescription(), card.path(QStringLiteral("B001S%1.vla").arg(i, 3, 10, QChar('0')))).ok);
    };
    TestCard alone;
    lay(alone);
    QCOMPARE(runConsole({ "--finalize", alone.root }).exitCode, 0);

    for (int round = 0; round < 12; ++round) {
        TestCard card;
        lay(card);
        const QRegularExpression takeLine("^     " + QRegularExpression::escape(card.root)
            + "/(\\S+) \\(Vesk\\) (Finalized|Not finalized: (another run is finalizing it|it was moved or deleted meanwhile))$");
        QProcess runs[2];
        for (QProcess& run : runs)
            run.start(consolePath(), { "--finalize", card.root });
        QMap<QString, int> finalized;
        for (QProcess& run : runs) {
            QVERIFY(run.waitForFinished(60000));
            QVERIFY2(QList<int>({ 0, 4 }).contains(run.exitCode()), qPrintable(QString::number(run.exitCode())));
            const QStringList lines = QString::fromUtf8(run.readAllStandardOutput()).split('\n').filter(QRegularExpression("^     "));
            for (const QString& line : lines) {
                const QRegularExpressionMatch match = takeLine.match(line);
                QVERIFY2(match.hasMatch(), qPrintable(line));
                if (match.captured(2) == "Finalized")
                    ++finalized[match.captured(1)];
            }
        }
        QCOMPARE(finalized.keys(), QDir(alone.root).entryList(QDir::Files));
        QCOMPARE(finalized.values(), QList<int>(28, 1));
        QCOMPARE(card.snapshot(), alone.snapshot());
    }
}

QTEST_GUILESS_MAIN(HostileFilesystemTest)
#include "tst_hostilefilesystem.moc"
