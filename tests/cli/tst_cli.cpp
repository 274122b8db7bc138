#include "app/appidentity.h"
#include "cardtree.h"
#include "dialoganswerer.h"
#include "standintools.h"
#include "windowdriver.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

// ambrel-cli, run as a separate program next to the window it mirrors.
class CliTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printsWhatThePaneShows_data();
    void printsWhatThePaneShows();
    void exitStatus_data();
    void exitStatus();
    void runsToTheEndWhenItsReaderGoes();
    void asksOnATerminal_data();
    void asksOnATerminal();

private:
    struct Result
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    static Result runCli(const QStringList& arguments);
};

void CliTest::initTestCase()
{
    setApplicationIdentity();
}

CliTest::Result CliTest::runCli(const QStringList& arguments)
{
    QProcess cli;
    cli.start(QStringLiteral(AMBREL_CLI_PATH), arguments);
    // Standard input is a closed pipe, not a terminal: questions are answered No.
    cli.closeWriteChannel();
    Result result;
    if (!cli.waitForFinished(60000) || cli.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = cli.exitCode();
    result.out = QString::fromLocal8Bit(cli.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(cli.readAllStandardError());
    return result;
}

static void addTakes(CardTree& card, const QString& kind)
{
    if (kind == "mixed") {
        QVERIFY(card.addFile("orla.vlv", CardTree::recordingHead(0x14)));
        QVERIFY(card.addFile("b/vesk.vlv", CardTree::recordingHead(0x80)));
        QVERIFY(card.addFile("b/audio.vla", "RIFF"));
        QVERIFY(card.addFile("C/old.nra", "x"));
        QVERIFY(card.addFile("C/short.vlv", "ab"));
    } else if (kind == "empty") {
        QVERIFY(card.addFolder("DCIM"));
    }
}

void CliTest::printsWhatThePaneShows_data()
{
    QTest::addColumn<bool>("finalize");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<bool>("dirty");

    QTest::newRow("scan only") << false << "mixed" << false;
    QTest::newRow("finalize") << true << "mixed" << false;
    QTest::newRow("empty card") << false << "empty" << false;
    QTest::newRow("missing path") << true << "missing" << false;
    QTest::newRow("dirty volume answered No") << true << "mixed" << true;
}

void CliTest::printsWhatThePaneShows()
{
    QFETCH(bool, finalize);
    QFETCH(QString, tree);
    QFETCH(bool, dirty);

    StandinTools tools;
    tools.setVolumeDirty(dirty);
    CardTree card;
    addTakes(card, tree);
    const QString path = tree == "missing" ? card.path("gone") : card.root();

    WindowDriver driver;
    DialogAnswerer user;
    const QStringList pane = driver.runFromStart(path, !finalize);
    QCOMPARE(user.shown.size(), dirty ? 1 : 0);
    if (finalize && tree == "mixed") {
        // The same card again: the window's run gave the Vesk takes their failure names.
        QVERIFY(QFile::rename(card.path("b/vesk.nrv"), card.path("b/vesk.vlv")));
        QVERIFY(QFile::rename(card.path("b/audio.nra"), card.path("b/audio.vla")));
    }

    const Result result = runCli(finalize ? QStringList{"--finalize", path} : QStringList{path});
    QVERIFY(result.out.endsWith('\n'));
    QCOMPARE(result.out.chopped(1).split('\n'), pane);
    QCOMPARE(result.err, QString());
}

void CliTest::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString usage = QStringLiteral("usage: ambrel-cli [--finalize] PATH | --dump FILE\n");
    // PATH stands for the card's root; "*" for any text.
    QTest::newRow("empty card") << QStringList{"PATH"} << "empty" << 0 << "*" << "";
    QTest::newRow("empty card, finalize") << QStringList{"--finalize", "PATH"} << "empty" << 0 << "*" << "";
    QTest::newRow("options after the path") << QStringList{"PATH", "--finalize"} << "empty" << 0 << "*" << "";
    QTest::newRow("takes to finalize") << QStringList{"PATH"} << "takes" << 0 << "*" << "";
    QTest::newRow("unrecoverable in scan only") << QStringList{"PATH"} << "mixed" << 1 << "*" << "";
    QTest::newRow("takes not finalized") << QStringList{"--finalize", "PATH"} << "takes" << 1 << "*" << "";
    QTest::newRow("missing path") << QStringList{"--finalize", "PATH/gone"} << "mixed" << 3 << "*" << "";
    QTest::newRow("path is a file") << QStringList{"PATH/orla.vlv"} << "mixed" << 3 << "*" << "";
    QTest::newRow("no path") << QStringList() << "empty" << 2 << "" << "ambrel-cli: no PATH given\n" + usage;
    QTest::newRow("only the option") << QStringList{"--finalize"} << "empty" << 2 << "" << "*";
    QTest::newRow("two paths") << QStringList{"PATH", "PATH"} << "empty" << 2 << ""
                               << "ambrel-cli: only one PATH can be scanned\n" + usage;
    QTest::newRow("unknown option") << QStringList{"--scan", "PATH"} << "empty" << 2 << ""
                                    << "ambrel-cli: unknown option --scan\n" + usage;
    QTest::newRow("empty path") << QStringList{""} << "empty" << 2 << "" << "*";
    QTest::newRow("help") << QStringList{"--help"} << "empty" << 0 << "*" << "";
    QTest::newRow("version") << QStringList{"--version"} << "empty" << 0 << "ambrel-cli 1.4.4\n" << "";
}

void CliTest::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, tree);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    StandinTools tools;
    CardTree card;
    if (tree == "takes")
        QVERIFY(card.addFile("take.vlv", CardTree::recordingHead(0x14)));
    else
        addTakes(card, tree);
    arguments.replaceInStrings(QRegularExpression("^PATH"), card.root());

    const Result result = runCli(arguments);
    QCOMPARE(result.exitCode, exitCode);
    if (out != "*")
        QCOMPARE(result.out, out);
    if (err != "*")
        QCOMPARE(result.err, err);
    if (exitCode == 2)
        QVERIFY(result.err.endsWith("usage: ambrel-cli [--finalize] PATH | --dump FILE\n"));
    if (arguments == QStringList{"--help"})
        QVERIFY(result.out.startsWith("usage: ambrel-cli [--finalize] PATH | --dump FILE\n"));
}

void CliTest::runsToTheEndWhenItsReaderGoes()
{
    StandinTools tools;
    CardTree card;
    addTakes(card, "mixed");

    // The reader ends at once; the console's status must still be that of a whole run.
    QProcess shell;
    shell.start("bash", {"-c", "\"$0\" --finalize \"$1\" | true; echo ${PIPESTATUS[0]}",
                         QStringLiteral(AMBREL_CLI_PATH), card.root()});
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.readAllStandardOutput(), QByteArray("1\n"));
}

void CliTest::asksOnATerminal_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("checker");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("scanned");

    QTest::newRow("no") << "n" << "fail" << 0 << true;
    QTest::newRow("yes, repaired") << "y" << "repair" << 0 << true;
    QTest::newRow("yes, still dirty") << "y" << "fail" << 1 << false;
}

void CliTest::asksOnATerminal()
{
    QFETCH(QString, answer);
    QFETCH(QString, checker);
    QFETCH(int, exitCode);
    QFETCH(bool, scanned);

    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty())
        QSKIP("no 'script' to give the console a terminal");

    StandinTools tools;
    tools.setVolumeDirty(true);
    tools.setChecker(checker);
    CardTree card;
    addTakes(card, "empty");
    const QString drive = MainWindow::driveOf(card.root());

    // script runs the console on a terminal of its own and passes our answer to it.
    QProcess terminal;
    terminal.start(script, {"-q", "-e", "-c", QStringLiteral(AMBREL_CLI_PATH) + " '" + card.root() + "'",
                            "/dev/null"});
    terminal.write((answer + "\n").toLocal8Bit());
    QVERIFY(terminal.waitForFinished(60000));
    QCOMPARE(terminal.exitCode(), exitCode);
    const QString screen = QString::fromLocal8Bit(terminal.readAll()).remove('\r');

    QVERIFY(screen.contains("Check Drive? The drive (" + drive
                            + ") needs to be checked for errors. Press okay to check? [y/N] "));
    QCOMPARE(screen.contains("Scanning folder: " + card.root() + "\n"), scanned);
    QCOMPARE(screen.contains("Warning: Skipping Drive Check on " + drive + "\n"), answer == "n");
    QCOMPARE(screen.contains("Check Drive Error: Drive " + drive
                             + " still reporting errors. Please check drive and try again.\n"),
             !scanned);
}

QTEST_MAIN(CliTest)
#include "tst_cli.moc"
