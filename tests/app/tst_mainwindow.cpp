#include "app/appidentity.h"
#include "dialoganswerer.h"
#include "windowdriver.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <QtTest>

// The window itself: its form, its state and its output pane.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void formObjects_data();
    void formObjects();
    void formTexts_data();
    void formTexts();
    void formGeometry();
    void iconFromResource();
    void initialState();
    void outputDropsOneTrailingNewline_data();
    void outputDropsOneTrailingNewline();
    void paneKeepsTheNewest4000Lines();
    void startEnabledExactlyWithAPath();
    void paneClearedOnPathEditAndModeChange();
    void browsePutsTheChosenFolderIntoThePath();
    void qtWarningShownInPane();
    void messagesAfterTheWindowIsGoneDoNotReachIt();
};

void MainWindowTest::initTestCase()
{
    setApplicationIdentity();
}

void MainWindowTest::formObjects_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");

    const QList<QStringList> objects{
        {"centralWidget", "QWidget", "MainWindow"},
        {"verticalLayout_2", "QVBoxLayout", "centralWidget"},
        {"horizontalLayout_2", "QHBoxLayout", "verticalLayout_2"},
        {"descriptionLabel", "QLabel", "centralWidget"},
        {"scanModeGroup", "QGroupBox", "centralWidget"},
        {"scanAndFinalize", "QRadioButton", "scanModeGroup"},
        {"scanOnly", "QRadioButton", "scanModeGroup"},
        {"verticalLayout", "QVBoxLayout", "verticalLayout_2"},
        {"label", "QLabel", "centralWidget"},
        {"horizontalLayout", "QHBoxLayout", "verticalLayout"},
        {"drivePathEdit", "QLineEdit", "centralWidget"},
        {"browseButton", "QPushButton", "centralWidget"},
        {"outputWindow", "QPlainTextEdit", "centralWidget"},
        {"horizontalLayout_3", "QHBoxLayout", "verticalLayout_2"},
        {"progressBar", "QProgressBar", "centralWidget"},
        {"startButton", "QPushButton", "centralWidget"},
        {"exitButton", "QPushButton", "centralWidget"},
        {"statusBar", "QStatusBar", "MainWindow"},
    };
    for (const QStringList& object : objects)
        QTest::newRow(qPrintable(object[0])) << object[0] << object[1] << object[2];
}

void MainWindowTest::formObjects()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);

    WindowDriver driver;
    QCOMPARE(driver.window().objectName(), QStringLiteral("MainWindow"));
    QObject* object = driver.window().findChild<QObject*>(name);
    QVERIFY(object);
    QCOMPARE(QString(object->metaObject()->className()), className);
    QCOMPARE(object->parent()->objectName(), parentName);
}

void MainWindowTest::formTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("text");

    QTest::newRow("title") << "MainWindow" << "windowTitle" << "Ambrel version 1.4.4";
    QTest::newRow("description") << "descriptionLabel" << "text"
                                 << "Ambrel will scan through a drive/path, rebuilding files that did not properly "
                                    "close.";
    QTest::newRow("group") << "scanModeGroup" << "title" << "Scan Mode";
    QTest::newRow("finalize tip") << "scanAndFinalize" << "toolTip"
                                  << "Scans for unfinalized files and finalizes them.";
    QTest::newRow("finalize status tip") << "scanAndFinalize" << "statusTip" << "";
    QTest::newRow("finalize") << "scanAndFinalize" << "text" << "Scan and finalize files.";
    QTest::newRow("scan only tip") << "scanOnly" << "toolTip"
                                   << "Scans for unfinalized files, but does not finalize them.";
    QTest::newRow("scan only") << "scanOnly" << "text" << "Scan only, do not finalize.";
    QTest::newRow("label") << "label" << "text" << "Drive/ path to scan:";
    QTest::newRow("browse") << "browseButton" << "text" << "Browse...";
    QTest::newRow("progress format") << "progressBar" << "format" << "";
    QTest::newRow("progress text") << "progressBar" << "text" << "";
    QTest::newRow("start") << "startButton" << "text" << "Start";
    QTest::newRow("exit") << "exitButton" << "text" << "Exit";
}

void MainWindowTest::formTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, property);
    QFETCH(QString, text);

    WindowDriver driver;
    QObject* object = name == "MainWindow" ? &driver.window() : driver.window().findChild<QObject*>(name);
    QVERIFY(object);
    QCOMPARE(object->property(qPrintable(property)).toString(), text);
}

void MainWindowTest::formGeometry()
{
    MainWindow window;
    QCOMPARE(window.size(), QSize(532, 550));
    QCOMPARE(window.sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(window.sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(window.findChild<QWidget*>("scanAndFinalize")->geometry(), QRect(10, 20, 171, 17));
    QCOMPARE(window.findChild<QWidget*>("scanOnly")->geometry(), QRect(10, 40, 191, 17));
    QCOMPARE(window.findChild<QWidget*>("scanModeGroup")->minimumSize(), QSize(0, 70));

    auto* description = window.findChild<QLabel*>("descriptionLabel");
    QCOMPARE(description->minimumSize(), QSize(0, 50));
    QCOMPARE(description->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QVERIFY(description->wordWrap());

    auto* outer = window.findChild<QLayout*>("verticalLayout_2");
    QCOMPARE(outer->contentsMargins(), QMargins(11, 11, 11, 11));
    for (const char* name : {"verticalLayout_2", "horizontalLayout_2", "verticalLayout", "horizontalLayout",
                             "horizontalLayout_3"})
        QCOMPARE(window.findChild<QLayout*>(name)->spacing(), 6);
    QCOMPARE(window.centralWidget()->objectName(), QStringLiteral("centralWidget"));
    QCOMPARE(window.statusBar()->objectName(), QStringLiteral("statusBar"));
}

void MainWindowTest::iconFromResource()
{
    const QImage icon(":/new/icons/QXIcon32.png");
    QCOMPARE(icon.size(), QSize(32, 32));
    MainWindow window;
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
}

void MainWindowTest::initialState()
{
    WindowDriver driver;
    QVERIFY(driver.widget<QRadioButton>("scanAndFinalize")->isChecked());
    QVERIFY(!driver.widget<QRadioButton>("scanOnly")->isChecked());
    QVERIFY(!driver.startButton()->isEnabled());
    QCOMPARE(driver.pane()->maximumBlockCount(), 4000);
    QCOMPARE(driver.progressBar()->value(), -1);
    QCOMPARE(driver.progressBar()->maximum(), 100);
    QVERIFY(driver.paneLines().isEmpty());
}

void MainWindowTest::outputDropsOneTrailingNewline_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pane");

    QTest::newRow("one newline") << "abc\n" << "abc";
    QTest::newRow("two newlines") << "abc\n\n" << "abc\n";
    QTest::newRow("no newline") << "abc" << "abc";
    // The pane shows a kept carriage return as a line break of its own.
    QTest::newRow("carriage return stays") << "abc\r\n" << "abc\n";
    QTest::newRow("inner newline") << "a\nb\n" << "a\nb";
}

void MainWindowTest::outputDropsOneTrailingNewline()
{
    QFETCH(QString, text);
    QFETCH(QString, pane);

    WindowDriver driver;
    driver.output(text);
    QCOMPARE(driver.paneLines().join('\n'), pane);
}

void MainWindowTest::paneKeepsTheNewest4000Lines()
{
    WindowDriver driver;
    for (int line = 1; line <= 4001; ++line)
        driver.output(QString::number(line) + "\n");
    const QStringList lines = driver.paneLines();
    QCOMPARE(lines.size(), 4000);
    QCOMPARE(lines.first(), QStringLiteral("2"));
    QCOMPARE(lines.last(), QStringLiteral("4001"));
}

void MainWindowTest::startEnabledExactlyWithAPath()
{
    WindowDriver driver;
    QLineEdit* path = driver.widget<QLineEdit>("drivePathEdit");
    QTest::keyClicks(path, "E");
    QVERIFY(driver.startButton()->isEnabled());
    QTest::keyClicks(path, ":");
    QVERIFY(driver.startButton()->isEnabled());
    QTest::keyClick(path, Qt::Key_Backspace);
    QVERIFY(driver.startButton()->isEnabled());
    QTest::keyClick(path, Qt::Key_Backspace);
    QVERIFY(!driver.startButton()->isEnabled());
    QTest::keyClicks(path, " ");
    QVERIFY(driver.startButton()->isEnabled());
}

void MainWindowTest::paneClearedOnPathEditAndModeChange()
{
    WindowDriver driver;
    QLineEdit* path = driver.widget<QLineEdit>("drivePathEdit");

    driver.output("old line\n");
    QTest::keyClicks(path, "x");
    QVERIFY(driver.paneLines().isEmpty());

    driver.output("old line\n");
    QTest::keyClick(path, Qt::Key_Backspace);
    QVERIFY(driver.paneLines().isEmpty());

    driver.output("old line\n");
    driver.chooseScanOnly(true);
    QVERIFY(driver.widget<QRadioButton>("scanOnly")->isChecked());
    QVERIFY(driver.paneLines().isEmpty());

    driver.output("old line\n");
    driver.chooseScanOnly(false);
    QVERIFY(driver.widget<QRadioButton>("scanAndFinalize")->isChecked());
    QVERIFY(driver.paneLines().isEmpty());
}

void MainWindowTest::browsePutsTheChosenFolderIntoThePath()
{
    QTemporaryDir folder;
    WindowDriver driver;
    driver.setPath("typed");
    driver.output("kept line\n");
    QPushButton* browse = driver.widget<QPushButton>("browseButton");

    DialogAnswerer user;
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(user.shown.size(), 1);
    QCOMPARE(user.shown.first().title, QStringLiteral("Drive/path to scan."));
    QCOMPARE(driver.widget<QLineEdit>("drivePathEdit")->text(), QStringLiteral("typed"));
    QCOMPARE(driver.paneLines(), QStringList{"kept line"});

    user.chooseFolder(folder.path());
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(user.shown.size(), 2);
    QCOMPARE(driver.widget<QLineEdit>("drivePathEdit")->text(), folder.path());
    QVERIFY(driver.paneLines().isEmpty());
}

void MainWindowTest::qtWarningShownInPane()
{
    WindowDriver driver;
    QFile unnamed;
    QVERIFY(!unnamed.open(QIODevice::ReadOnly));
    QCOMPARE(driver.paneLines(), QStringList{"QFSFileEngine::open: No file name specified"});
    qDebug("from anywhere\n");
    QCOMPARE(driver.paneLines().last(), QStringLiteral("from anywhere"));
}

void MainWindowTest::messagesAfterTheWindowIsGoneDoNotReachIt()
{
    {
        WindowDriver driver;
        qWarning("while the window lives");
        QCOMPARE(driver.paneLines(), QStringList{"while the window lives"});
    }
    // The handler that was there before the window takes messages again.
    QTest::ignoreMessage(QtWarningMsg, "after the window is gone");
    qWarning("after the window is gone");
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
