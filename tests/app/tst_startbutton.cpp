#include "app/appidentity.h"
#include "cardtree.h"
#include "standintools.h"
#include "windowdriver.h"

#include <QtTest>

// Whole runs, started with the Start button, on folder trees on disk.
class StartButtonTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void emptyTree_data();
    void emptyTree();
    void missingPath_data();
    void missingPath();
    void everyTakeReported_data();
    void everyTakeReported();
    void twoRunsCountIndependently();
    void inputsLockedWhileRunning();

private:
    static QStringList cleanDriveLines(const QString& path);
};

void StartButtonTest::initTestCase()
{
    setApplicationIdentity();
}

QStringList StartButtonTest::cleanDriveLines(const QString& path)
{
    const QString drive = MainWindow::driveOf(path);
    return {"Checking drive: " + drive, StandinTools::volumeToolLine(drive, false)};
}

static const QStringList scanOnlyHeader{"Displaying files that require finalization.", "No files will be modifed."};
static const QStringList finalizeHeader{"Scanning for unfinalized files."};
static const QString advice = QStringLiteral("Run again with Scan Mode set to 'Scan and Finalize'");

void StartButtonTest::emptyTree_data()
{
    QTest::addColumn<bool>("scanOnly");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("summary");

    QTest::newRow("scan only") << true << scanOnlyHeader
                               << QStringList{" ", "Test Debug", "0 file(s) require finalizing.", advice};
    QTest::newRow("finalize") << false << finalizeHeader << QStringList{" ", "No unfinalized files found."};
}

void StartButtonTest::emptyTree()
{
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, header);
    QFETCH(QStringList, summary);

    StandinTools tools;
    CardTree card;
    QVERIFY(card.addFile("notes.txt", "not a take"));
    WindowDriver driver;
    const QStringList expected = cleanDriveLines(card.root()) + header
        + QStringList{"Scanning folder: " + card.root()} + summary;
    QCOMPARE(driver.runFromStart(card.root(), scanOnly), expected);
}

void StartButtonTest::missingPath_data()
{
    emptyTree_data();
}

void StartButtonTest::missingPath()
{
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, header);
    QFETCH(QStringList, summary);

    StandinTools tools;
    CardTree card;
    const QString missing = card.path("no/such/card");
    WindowDriver driver;
    const QStringList expected = cleanDriveLines(missing) + header
        + QStringList{"ERROR: Specfied path does not exist: " + missing} + summary;
    QCOMPARE(driver.runFromStart(missing, scanOnly), expected);
}

void StartButtonTest::everyTakeReported_data()
{
    QTest::addColumn<bool>("scanOnly");
    // %1 stands for the card's root.
    QTest::addColumn<QStringList>("report");

    QTest::newRow("scan only") << true
                               << scanOnlyHeader
            + QStringList{
                "Scanning folder: %1",
                "     %1/broken.vlv (vesk) Requires finalize",
                "     %1/old.nrv Unrecoverable",
                "     %1/orla.vlv (orla) Requires finalize",
                "     %1/vesk.vlv (vesk) Requires finalize",
                " ",
                "1 file(s) unrecoverable.",
                "Test Debug",
                "3 file(s) require finalizing.",
                advice,
            };
    QTest::newRow("finalize, every take fails") << false
                                                << finalizeHeader
            + QStringList{
                "Scanning folder: %1",
                "     %1/broken.vlv (Vesk) Unrecoverable",
                "     %1/old.nrv Unrecoverable",
                "doing orla finalize",
                "********************* %1/orla.vlv recovery failed, corrupted file!",
                "     %1/orla.vlv (Orla) Unrecoverable",
                "doing veskone finalize",
                "     %1/vesk.nrv (Vesk) Unrecoverable",
                " ",
                "4 file(s) unrecoverable.",
                "No unfinalized files found.",
            };
}

static void addMixedTakes(CardTree& card)
{
    QVERIFY(card.addFile("orla.vlv", CardTree::recordingHead(0x14)));
    QVERIFY(card.addFile("vesk.vlv", CardTree::recordingHead(0x80)));
    QVERIFY(card.addFile("broken.vlv", QByteArray("\0\0\0", 3)));
    QVERIFY(card.addFile("old.nrv", CardTree::recordingHead(0x14)));
}

void StartButtonTest::everyTakeReported()
{
    QFETCH(bool, scanOnly);
    QFETCH(QStringList, report);

    StandinTools tools;
    CardTree card;
    addMixedTakes(card);
    const auto before = card.snapshot();
    WindowDriver driver;

    QStringList expected = cleanDriveLines(card.root());
    for (const QString& line : std::as_const(report))
        expected.append(QString(line).replace("%1", card.root()));
    QCOMPARE(driver.runFromStart(card.root(), scanOnly), expected);
    // A Vesk take that could not be saved gets its failure name; no content changes.
    QCOMPARE(card.snapshot().values(), before.values());
}

void StartButtonTest::twoRunsCountIndependently()
{
    StandinTools tools;
    CardTree card;
    addMixedTakes(card);
    WindowDriver driver;

    const QStringList first = driver.runFromStart(card.root(), true);
    QVERIFY(first.contains("3 file(s) require finalizing."));
    QCOMPARE(driver.runFromStart(card.root(), true), first);

    const QStringList finalizeRun = driver.runFromStart(card.root(), false);
    QVERIFY(finalizeRun.contains("4 file(s) unrecoverable."));
    QVERIFY(QFile::rename(card.path("vesk.nrv"), card.path("vesk.vlv")));
    QCOMPARE(driver.runFromStart(card.root(), false), finalizeRun);
}

void StartButtonTest::inputsLockedWhileRunning()
{
    StandinTools tools;
    CardTree card;
    addMixedTakes(card);
    WindowDriver driver;
    driver.setPath(card.root());

    QList<QList<bool>> inputsPerLine;
    QList<bool> busyPerLine;
    connect(driver.pane(), &QPlainTextEdit::textChanged, this, [&] {
        if (driver.pane()->toPlainText().isEmpty())
            return;
        inputsPerLine.append(driver.inputsEnabled());
        busyPerLine.append(driver.progressBusy());
    });
    QTest::mouseClick(driver.startButton(), Qt::LeftButton);
    disconnect(driver.pane(), nullptr, this, nullptr);

    QVERIFY(inputsPerLine.size() >= 10);
    for (const QList<bool>& inputs : std::as_const(inputsPerLine))
        QCOMPARE(inputs, QList<bool>(5, false));
    QVERIFY(!busyPerLine.contains(false));

    QCOMPARE(driver.inputsEnabled(), QList<bool>(5, true));
    QCOMPARE(driver.progressBar()->maximum(), 100);
    QCOMPARE(driver.progressBar()->value(), -1);
}

QTEST_MAIN(StartButtonTest)
#include "tst_startbutton.moc"
