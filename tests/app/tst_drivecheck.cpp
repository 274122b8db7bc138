#include "app/appidentity.h"
#include "cardtree.h"
#include "dialoganswerer.h"
#include "standintools.h"
#include "windowdriver.h"

#include <QtTest>

// The volume check before a scan, with stand-in tools on PATH.
class DriveCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanVolumeAsksNothing();
    void dirtyVolumeAnsweredNoIsScannedWithAWarning();
    void dirtyVolumeRepairedIsScanned();
    void volumeStillDirtyEndsTheRun_data();
    void volumeStillDirtyEndsTheRun();
    void missingToolsCountAsClean();
    void queryDirty_data();
    void queryDirty();
    void checkDrive_data();
    void checkDrive();
    void driveOf_data();
    void driveOf();

private:
    CardTree card;
    QString drive;
    QStringList scanLines;
};

void DriveCheckTest::initTestCase()
{
    setApplicationIdentity();
    QVERIFY(card.addFile("take.nra", "x"));
    drive = MainWindow::driveOf(card.root());
    scanLines = QStringList{
        "Scanning for unfinalized files.",
        "Scanning folder: " + card.root(),
        "     " + card.root() + "/take.nra Unrecoverable",
        " ",
        "1 file(s) unrecoverable.",
        "No unfinalized files found.",
    };
}

void DriveCheckTest::cleanVolumeAsksNothing()
{
    StandinTools tools;
    WindowDriver driver;
    DialogAnswerer user;
    const QStringList expected =
        QStringList{"Checking drive: " + drive, StandinTools::volumeToolLine(drive, false)} + scanLines;
    QCOMPARE(driver.runFromStart(card.root(), false), expected);
    QVERIFY(user.shown.isEmpty());
    QCOMPARE(tools.calls(), QStringList{"fsutil dirty query " + drive});
}

void DriveCheckTest::dirtyVolumeAnsweredNoIsScannedWithAWarning()
{
    StandinTools tools;
    tools.setVolumeDirty(true);
    WindowDriver driver;
    DialogAnswerer user;
    QList<bool> inputsAtQuestion;
    bool busyAtQuestion = false;
    user.whileShown = [&] {
        inputsAtQuestion = driver.inputsEnabled();
        busyAtQuestion = driver.progressBusy();
    };

    const QStringList expected = QStringList{
        "Checking drive: " + drive,
        StandinTools::volumeToolLine(drive, true),
        "Warning: Skipping Drive Check on " + drive,
    } + scanLines;
    QCOMPARE(driver.runFromStart(card.root(), false), expected);
    QCOMPARE(user.shown.size(), 1);
    QCOMPARE(user.shown[0].title, QStringLiteral("Check Drive?"));
    QCOMPARE(user.shown[0].text,
             "The drive (" + drive + ") needs to be checked for errors. Press okay to check?");
    QCOMPARE(inputsAtQuestion, QList<bool>(5, false));
    QVERIFY(busyAtQuestion);
    QCOMPARE(tools.calls(), QStringList{"fsutil dirty query " + drive});
}

void DriveCheckTest::dirtyVolumeRepairedIsScanned()
{
    StandinTools tools;
    tools.setVolumeDirty(true);
    tools.setChecker("repair");
    WindowDriver driver;
    DialogAnswerer user;
    user.answerQuestionsWith(QMessageBox::Yes);

    const QStringList expected = QStringList{
        "Checking drive: " + drive,
        StandinTools::volumeToolLine(drive, true),
        "Checking drive: " + drive,
        StandinTools::volumeToolLine(drive, true),
        "Checking " + drive,
        "Errors corrected.",
        StandinTools::volumeToolLine(drive, false),
    } + scanLines;
    QCOMPARE(driver.runFromStart(card.root(), false), expected);
    QCOMPARE(user.shown.size(), 1);
    const QString query = "fsutil dirty query " + drive;
    QCOMPARE(tools.calls(), (QStringList{query, query, "chkdsk /F /X " + drive, query}));
}

void DriveCheckTest::volumeStillDirtyEndsTheRun_data()
{
    QTest::addColumn<QString>("checker");
    // %1 stands for the drive.
    QTest::addColumn<QStringList>("checkerLines");

    QTest::newRow("errors remain") << "fail" << QStringList{"Checking %1", "Errors found, not corrected."};
    QTest::newRow("checker says nothing") << "silent" << QStringList();
    QTest::newRow("checker asks on its input")
        << "ask" << QStringList{"Cannot lock %1. Force a dismount? (Y/N)", "Input closed."};
    QTest::newRow("checker missing") << "" << QStringList{"Failed to start chkdsk process."};
}

void DriveCheckTest::volumeStillDirtyEndsTheRun()
{
    QFETCH(QString, checker);
    QFETCH(QStringList, checkerLines);

    StandinTools tools;
    tools.setVolumeDirty(true);
    if (checker.isEmpty())
        tools.removeChecker();
    else
        tools.setChecker(checker);
    WindowDriver driver;
    DialogAnswerer user;
    user.answerQuestionsWith(QMessageBox::Yes);

    QStringList expected{
        "Checking drive: " + drive,
        StandinTools::volumeToolLine(drive, true),
        "Checking drive: " + drive,
        StandinTools::volumeToolLine(drive, true),
    };
    for (const QString& line : std::as_const(checkerLines))
        expected.append(QString(line).replace("%1", drive));
    if (!checker.isEmpty())
        expected.append(StandinTools::volumeToolLine(drive, true));

    QCOMPARE(driver.runFromStart(card.root(), false), expected);
    QCOMPARE(user.shown.size(), 2);
    QCOMPARE(user.shown[1].title, QStringLiteral("Check Drive Error"));
    QCOMPARE(user.shown[1].text,
             "Drive " + drive + " still reporting errors. Please check drive and try again.");
    QCOMPARE(driver.inputsEnabled(), QList<bool>(5, true));
    QVERIFY(!driver.progressBusy());
    QCOMPARE(driver.progressBar()->maximum(), 100);
}

void DriveCheckTest::missingToolsCountAsClean()
{
    StandinTools tools;
    tools.removeTools();
    WindowDriver driver;
    DialogAnswerer user;
    QCOMPARE(driver.runFromStart(card.root(), false), QStringList{"Checking drive: " + drive} + scanLines);
    QVERIFY(user.shown.isEmpty());
}

void DriveCheckTest::queryDirty_data()
{
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<QString>("volumeTool");
    QTest::addColumn<int>("result");

    QTest::newRow("clean") << false << "answer" << 2;
    QTest::newRow("dirty") << true << "answer" << 1;
    QTest::newRow("error text counts as dirty") << false << "refuse" << 1;
    QTest::newRow("tool missing") << false << "" << 0;
    QTest::newRow("tool never answers") << false << "hang" << 0;
}

void DriveCheckTest::queryDirty()
{
    QFETCH(bool, dirty);
    QFETCH(QString, volumeTool);
    QFETCH(int, result);

    StandinTools tools;
    tools.setVolumeDirty(dirty);
    if (volumeTool.isEmpty())
        tools.removeTools();
    else
        tools.setVolumeTool(volumeTool);
    WindowDriver driver;
    QCOMPARE(driver.window().queryDirty(drive), result);
}

void DriveCheckTest::checkDrive_data()
{
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<bool>("repair");
    QTest::addColumn<QString>("checker");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("checkerRan");

    QTest::newRow("clean volume is not checked") << false << true << "repair" << 2 << false;
    QTest::newRow("no repair asked") << true << false << "repair" << 1 << false;
    QTest::newRow("repaired") << true << true << "repair" << 2 << true;
    QTest::newRow("still dirty") << true << true << "fail" << 1 << true;
    QTest::newRow("ends at once") << true << true << "silent" << 1 << true;
    QTest::newRow("asks on its input") << true << true << "ask" << 1 << true;
}

void DriveCheckTest::checkDrive()
{
    QFETCH(bool, dirty);
    QFETCH(bool, repair);
    QFETCH(QString, checker);
    QFETCH(int, result);
    QFETCH(bool, checkerRan);

    StandinTools tools;
    tools.setVolumeDirty(dirty);
    tools.setChecker(checker);
    WindowDriver driver;
    QCOMPARE(driver.window().checkDrive(drive, repair), result);
    QCOMPARE(tools.calls().contains("chkdsk /F /X " + drive), checkerRan);
}

void DriveCheckTest::driveOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");

    QTest::newRow("absolute") << "/tmp/card/DCIM" << "/t";
    QTest::newRow("relative") << "card" << QDir::currentPath().left(2);
}

void DriveCheckTest::driveOf()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);
    QCOMPARE(MainWindow::driveOf(path), drive);
}

QTEST_MAIN(DriveCheckTest)
#include "tst_drivecheck.moc"
