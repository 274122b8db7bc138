#include "cardtree.h"
#include "linerecorder.h"
#include "scan/finalize.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using LinkList = QList<QPair<QString, QString>>;

class FinalizeTest : public QObject
{
    Q_OBJECT

private slots:
    void walkVisitsFoldersInOrder();
    void reportsEachRecording_data();
    void reportsEachRecording();
    void unreadableFamilyReportedUnderItsOwnPath();
    void missingRootYieldsOnlyTheErrorLine();
    void relativeRootIsWalked();
    void detectFamily_data();
    void detectFamily();
    void vanishedSubfolderIsSkipped();
    void unreadableSubfolderIsNotClimbedOutOf();
    void folderLinksDoNotLoop_data();
    void folderLinksDoNotLoop();
};

static QStringList scan(const QString& root, bool scanOnly, Finalize* scannerOut = nullptr)
{
    Finalize scanner;
    scanner.scanOnly = scanOnly;
    LineRecorder recorder(scanner);
    scanner.start({root});
    if (scannerOut) {
        scannerOut->finalizedCount = scanner.finalizedCount;
        scannerOut->unrecoverableCount = scanner.unrecoverableCount;
    }
    return recorder.lines;
}

void FinalizeTest::walkVisitsFoldersInOrder()
{
    CardTree card;
    const QByteArray vesk = CardTree::recordingHead(0x80);
    QVERIFY(card.addFolder("d"));
    QVERIFY(card.addFile("C/h.nra", "x"));
    QVERIFY(card.addFile("b/sub/g.vla", "x"));
    QVERIFY(card.addFile("b/f.vlv", vesk));
    QVERIFY(card.addFile("z.vlv", vesk));
    QVERIFY(card.addFile("A.vla", "x"));
    QVERIFY(card.addFile("notes.txt", "x"));
    QVERIFY(card.addFile(".x.vlv", vesk));
    QVERIFY(card.addFile(".hidden/y.vlv", vesk));
    QVERIFY(card.addFile(".hidden/inner/w.vla", "x"));

    const QString r = card.root();
    const QStringList expected{
        "Scanning folder: " + r + "\n",
        "     " + r + "/A.vla (vesk) Requires finalize\n",
        "     " + r + "/z.vlv (vesk) Requires finalize\n",
        "Scanning folder: " + r + "/b\n",
        "     " + r + "/b/f.vlv (vesk) Requires finalize\n",
        "Scanning folder: " + r + "/b/sub\n",
        "     " + r + "/b/sub/g.vla (vesk) Requires finalize\n",
        "Scanning folder: " + r + "/C\n",
        "     " + r + "/C/h.nra Unrecoverable\n",
        "Scanning folder: " + r + "/d\n",
    };
    const QString current = QDir::currentPath();
    Finalize counts;
    QCOMPARE(scan(r, true, &counts), expected);
    QCOMPARE(counts.finalizedCount, 4);
    QCOMPARE(counts.unrecoverableCount, 1);
    // A current directory left on the card would keep it from being ejected.
    QCOMPARE(QDir::currentPath(), current);
}

void FinalizeTest::reportsEachRecording_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("scanOnly");
    // %1 stands for the file's absolute path.
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("finalized");
    QTest::addColumn<int>("unrecoverable");

    const QByteArray orla = CardTree::recordingHead(0x14);
    const QByteArray orlaLimit = CardTree::recordingHead(0x7F);
    const QByteArray vesk = CardTree::recordingHead(0x80);
    const QByteArray veskLarge = CardTree::recordingHead(0x00537F00);
    const QByteArray threeBytes("\0\0\0", 3);

    QTest::newRow("00 00 00 14 is orla") << "take.vlv" << orla << true
                                        << QStringList{"     %1 (orla) Requires finalize\n"} << 1 << 0;
    QTest::newRow("00 00 00 7F is orla") << "take.vlv" << orlaLimit << true
                                        << QStringList{"     %1 (orla) Requires finalize\n"} << 1 << 0;
    QTest::newRow("00 00 00 80 is vesk") << "take.vlv" << vesk << true
                                        << QStringList{"     %1 (vesk) Requires finalize\n"} << 1 << 0;
    QTest::newRow("00 53 7F 00 is vesk") << "take.vlv" << veskLarge << true
                                        << QStringList{"     %1 (vesk) Requires finalize\n"} << 1 << 0;
    QTest::newRow("3 bytes listed as vesk") << "take.vlv" << threeBytes << true
                                           << QStringList{"     %1 (vesk) Requires finalize\n"} << 1 << 0;
    QTest::newRow("upper-case VLV is tested") << "TAKE.VLV" << orla << true
                                             << QStringList{"     %1 (orla) Requires finalize\n"} << 1 << 0;
    QTest::newRow("vla is always vesk") << "take.vla" << orla << true
                                       << QStringList{"     %1 (vesk) Requires finalize\n"} << 1 << 0;
    QTest::newRow("nrv in scan only") << "take.nrv" << orla << true
                                     << QStringList{"     %1 Unrecoverable\n"} << 0 << 1;
    QTest::newRow("nra in scan only") << "take.nra" << orla << true
                                     << QStringList{"     %1 Unrecoverable\n"} << 0 << 1;
    QTest::newRow("upper-case NRV is not known as failed")
        << "TAKE.NRV" << orla << true << QStringList{"     %1 (vesk) Requires finalize\n"} << 1 << 0;

    QTest::newRow("orla to its flow")
        << "take.vlv" << orla << false
        << QStringList{"doing orla finalize", "********************* %1 recovery failed, corrupted file!\n",
                       "     %1 (Orla) Unrecoverable\n"} << 0 << 1;
    QTest::newRow("3 bytes reach no flow")
        << "take.vlv" << threeBytes << false << QStringList{"     %1 (Vesk) Unrecoverable\n"} << 0 << 1;
    QTest::newRow("nrv in finalize mode") << "take.nrv" << orla << false
                                         << QStringList{"     %1 Unrecoverable\n"} << 0 << 1;
    QTest::newRow("upper-case NRV reaches the vesk flow")
        << "TAKE.NRV" << orla << false
        << QStringList{"doing veskone finalize", "     %1 (Vesk) Unrecoverable\n"} << 0 << 1;
}

void FinalizeTest::reportsEachRecording()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, expected);
    QFETCH(int, finalized);
    QFETCH(int, unrecoverable);

    CardTree card;
    QVERIFY(card.addFile(name, bytes));
    QStringList expectedLines{"Scanning folder: " + card.root() + "\n"};
    for (const QString& line : std::as_const(expected))
        expectedLines.append(line.contains("%1") ? line.arg(card.path(name)) : line);
    const auto before = card.snapshot();

    Finalize counts;
    QCOMPARE(scan(card.root(), scanOnly, &counts), expectedLines);
    QCOMPARE(counts.finalizedCount, finalized);
    QCOMPARE(counts.unrecoverableCount, unrecoverable);
    QCOMPARE(card.snapshot(), before);
}

void FinalizeTest::unreadableFamilyReportedUnderItsOwnPath()
{
    CardTree card;
    QVERIFY(card.addFile("a.vlv", CardTree::recordingHead(0x14)));
    QVERIFY(card.addFile("b.vlv", QByteArray("\0\0", 2)));

    const QString r = card.root();
    const QStringList expected{
        "Scanning folder: " + r + "\n",
        "doing orla finalize",
        "********************* " + r + "/a.vlv recovery failed, corrupted file!\n",
        "     " + r + "/a.vlv (Orla) Unrecoverable\n",
        "     " + r + "/b.vlv (Vesk) Unrecoverable\n",
    };
    QCOMPARE(scan(r, false), expected);
}

void FinalizeTest::missingRootYieldsOnlyTheErrorLine()
{
    CardTree card;
    QVERIFY(card.addFile("take.nrv", "x"));
    const QString missing = card.path("gone");

    Finalize scanner;
    scanner.finalizedCount = 5;
    scanner.unrecoverableCount = 7;
    LineRecorder recorder(scanner);
    QVERIFY(scanner.start({missing, card.root()}));
    QCOMPARE(recorder.lines, QStringList{"ERROR: Specfied path does not exist: " + missing + "\n"});
    QCOMPARE(scanner.finalizedCount, 0);
    QCOMPARE(scanner.unrecoverableCount, 0);
}

void FinalizeTest::relativeRootIsWalked()
{
    CardTree card;
    QVERIFY(card.addFile("CARD/CLIP/take.vla", "x"));
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(card.root()));

    const QString r = card.path("CARD");
    const QStringList expected{
        "Scanning folder: " + r + "\n",
        "Scanning folder: " + r + "/CLIP\n",
        "     " + r + "/CLIP/take.vla (vesk) Requires finalize\n",
    };
    const QStringList lines = scan("CARD", true);
    QDir::setCurrent(current);
    QCOMPARE(lines, expected);
}

void FinalizeTest::detectFamily_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("family");

    QTest::newRow("orla") << "a.vlv" << QByteArray::fromHex("00000014") << Finalize::familyOrla;
    QTest::newRow("just below 128") << "a.vlv" << QByteArray::fromHex("0000007f") << Finalize::familyOrla;
    QTest::newRow("128") << "a.vlv" << QByteArray::fromHex("00000080") << Finalize::familyVesk;
    QTest::newRow("vesk head") << "a.vlv" << QByteArray::fromHex("00537f00") << Finalize::familyVesk;
    QTest::newRow("3 bytes") << "a.vlv" << QByteArray::fromHex("000000") << Finalize::familyUnreadable;
    QTest::newRow("empty") << "a.vlv" << QByteArray() << Finalize::familyUnreadable;
    QTest::newRow("audio never read") << "a.vla" << QByteArray() << Finalize::familyVesk;
    QTest::newRow("missing") << "" << QByteArray() << Finalize::familyUnreadable;
}

void FinalizeTest::detectFamily()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, family);

    CardTree card;
    if (!name.isEmpty())
        QVERIFY(card.addFile(name, bytes));
    const QString path = card.path(name.isEmpty() ? QStringLiteral("missing.vlv") : name);

    Finalize scanner;
    QCOMPARE(scanner.detectFamily(path), family);
    // The test must never create a file that vanished since the listing.
    QCOMPARE(QFile::exists(path), !name.isEmpty());
}

void FinalizeTest::vanishedSubfolderIsSkipped()
{
    CardTree card;
    QVERIFY(card.addFolder("a"));
    QVERIFY(card.addFolder("b"));
    QVERIFY(card.addFile("c/take.vla", "x"));
    QVERIFY(card.addFile("take.nrv", "x"));
    const QString r = card.root();

    Finalize scanner;
    scanner.scanOnly = true;
    LineRecorder recorder(scanner);
    // "c" goes away after its parent was listed, while "a" is being scanned.
    connect(&scanner, &Finalize::textOutput, this, [&](const QString& line) {
        if (line == "Scanning folder: " + r + "/a\n")
            QDir(card.path("c")).removeRecursively();
    });
    scanner.start({r});

    const QStringList expected{
        "Scanning folder: " + r + "\n",
        "     " + r + "/take.nrv Unrecoverable\n",
        "Scanning folder: " + r + "/a\n",
        "Scanning folder: " + r + "/b\n",
        "Skipping folder: " + r + "/c\n",
    };
    QCOMPARE(recorder.lines, expected);
    QCOMPARE(scanner.unrecoverableCount, 1);
}

void FinalizeTest::unreadableSubfolderIsNotClimbedOutOf()
{
    CardTree card;
    QVERIFY(card.addFile("a/take.vla", "x"));
    QVERIFY(card.addFile("b/take.nra", "x"));
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
        | QFileDevice::ReadOther | QFileDevice::ExeOther;
    for (const QString& folder : {QString(), QStringLiteral("b")})
        QVERIFY(QFile::setPermissions(card.path(folder), open));
    QVERIFY(QFile::setPermissions(card.path("a"), QFileDevice::Permissions()));
    const QString r = card.root();

    const QStringList expected{
        "Scanning folder: " + r + "\n",
        "Scanning folder: " + r + "/a\n",
        "Scanning folder: " + r + "/b\n",
        "     " + r + "/b/take.nra Unrecoverable\n",
    };
    // As root the locked folder would be read all the same.
    const QStringList lines = Unprivileged::run([&] { return scan(r, true); });
    QVERIFY(QFile::setPermissions(card.path("a"), open));
    QCOMPARE(lines, expected);
}

void FinalizeTest::folderLinksDoNotLoop_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<LinkList>("links");
    // %1 stands for the root.
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("link to the root and to itself")
        << QStringList{"a", "b"} << LinkList{{"a/loop", ""}, {"b/self", "b"}}
        << QStringList{
               "Scanning folder: %1\n",
               "Scanning folder: %1/a\n",
               "Skipping folder: %1/a/loop\n",
               "Scanning folder: %1/b\n",
               "     %1/b/take.vla (vesk) Requires finalize\n",
               "Skipping folder: %1/b/self\n",
           };
    QTest::newRow("two folders linking to each other")
        << QStringList{"a", "b"} << LinkList{{"a/x", "b"}, {"b/y", "a"}}
        << QStringList{
               "Scanning folder: %1\n",
               "Scanning folder: %1/a\n",
               "Scanning folder: %1/a/x\n",
               "     %1/a/x/take.vla (vesk) Requires finalize\n",
               "Skipping folder: %1/a/x/y\n",
               "Skipping folder: %1/b\n",
           };
}

void FinalizeTest::folderLinksDoNotLoop()
{
    QFETCH(QStringList, folders);
    QFETCH(LinkList, links);
    QFETCH(QStringList, expected);

    CardTree card;
    for (const QString& folder : std::as_const(folders))
        QVERIFY(card.addFolder(folder));
    QVERIFY(card.addFile("b/take.vla", "x"));
    for (const auto& link : std::as_const(links))
        QVERIFY(card.addLink(link.first, link.second));

    QStringList expectedLines;
    for (const QString& line : std::as_const(expected))
        expectedLines.append(QString(line).replace("%1", card.root()));
    QCOMPARE(scan(card.root(), true), expectedLines);
}

QTEST_GUILESS_MAIN(FinalizeTest)
#include "tst_finalize.moc"
