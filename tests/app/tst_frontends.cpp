// The two front ends of one run: the window, worked as a user does (Start,
// the dialogs, the pane), and ambrel-cli as a script runs it. Every run row
// goes through both and must print the same lines; the volume check before
// the scan meets stand-in fsutil and chkdsk scripts (tests/support/standins).

#include "app/appidentity.h"
#include "app/mainwindow.h"
#include "consolerun.h"
#include "recordingwriter.h"
#include "testcard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

namespace {

// The stand-in tools first on PATH, in the state a row asks for: the volume
// clean or dirty, fsutil answering, refusing, hanging or missing (with every
// tool), chkdsk repairing, failing, silent, asking or missing.
class StandinTools
{
public:
    StandinTools() : savedPath(qgetenv("PATH")) {}
    ~StandinTools()
    {
        qputenv("PATH", savedPath);
        for (const char* name : { "AMBREL_STANDIN_VOLUME", "AMBREL_STANDIN_LOG", "AMBREL_STANDIN_FSUTIL", "AMBREL_STANDIN_CHKDSK" })
            qunsetenv(name);
    }

    void set(bool dirty, const QString& fsutil, const QString& chkdsk)
    {
        const QString standins = qEnvironmentVariable("AMBREL_SOURCE_DIR") + QStringLiteral("/tests/support/standins");
        QFile volume(dir.filePath("volume"));
        QVERIFY(volume.open(QIODevice::WriteOnly) && volume.write(dirty ? "dirty\n" : "clean\n") > 0);
        QFile::remove(dir.filePath("calls"));
        qputenv("AMBREL_STANDIN_VOLUME", dir.filePath("volume").toLocal8Bit());
        qputenv("AMBREL_STANDIN_LOG", dir.filePath("calls").toLocal8Bit());
        qputenv("AMBREL_STANDIN_FSUTIL", fsutil.toLocal8Bit());
        qputenv("AMBREL_STANDIN_CHKDSK", chkdsk.toLocal8Bit());
        QDir().mkpath(dir.filePath("fsutil-only"));
        QFile::link(standins + "/fsutil", dir.filePath("fsutil-only/fsutil"));
        if (fsutil == "missing")
            qputenv("PATH", dir.filePath("none").toLocal8Bit());
        else if (chkdsk == "missing")
            qputenv("PATH", dir.filePath("fsutil-only").toLocal8Bit());
        else
            qputenv("PATH", (standins + ':').toLocal8Bit() + savedPath);
    }

    // The calls the tools received, oldest first, e.g. "fsutil dirty query /t".
    QStringList calls() const { return QString::fromLocal8Bit(fileBytes(dir.filePath("calls"))).split('\n', Qt::SkipEmptyParts); }

private:
    QTemporaryDir dir;
    QByteArray savedPath;
};

// Stands in for the user in front of modal dialogs: answers questions with
// `answer` and the folder chooser with `folder` (empty: Cancel), and notes
// each dialog's title and text and, first, whatever `whileShown` returns.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(QMessageBox::StandardButton answer = QMessageBox::No, QMessageBox::StandardButton confirm = QMessageBox::Yes)
        : answer(answer), confirm(confirm)
    {
        connect(&poll, &QTimer::timeout, this, &DialogAnswerer::answerOpenDialog);
        poll.start(10);
    }

    QStringList shown;
    QString folder;
    std::function<QString()> whileShown;

private:
    void answerOpenDialog()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (whileShown)
            shown.append(whileShown());
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown.append(modal->windowTitle() + ": " + box->text());
            const QMessageBox::StandardButton reply = box->windowTitle() == "Finalize takes?" ? confirm : answer;
            QAbstractButton* button = box->button(reply) ? box->button(reply) : box->button(QMessageBox::Ok);
            button->click();
        } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            shown.append(modal->windowTitle());
            if (chooser->acceptMode() == QFileDialog::AcceptSave) {
                static_cast<QDialog*>(chooser)->accept(); // the name it offers
            } else if (folder.isEmpty()) {
                chooser->reject();
            } else {
                shown.append(chooser->directory().path());
                chooser->setDirectory(folder);
                static_cast<QDialog*>(chooser)->accept();
            }
        }
    }

    QTimer poll;
    QMessageBox::StandardButton answer;
    QMessageBox::StandardButton confirm;
};

template <class T>
T* widget(MainWindow& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

QStringList paneLines(MainWindow& window)
{
    const QString text = widget<QPlainTextEdit>(window, "outputWindow")->toPlainText();
    QStringList lines = text.isEmpty() ? QStringList() : text.split('\n');
    // Every window shown headless makes the platform plugin say this; a desktop never does.
    lines.removeAll(QStringLiteral("This plugin does not support propagateSizeHints()"));
    return lines;
}

// The five inputs a run locks and the progress bar's range, as one text.
QString inputState(MainWindow& window)
{
    QString state;
    for (const char* name : { "scanModeGroup", "drivePathEdit", "browseButton", "startButton", "exitButton" })
        state += widget<QWidget>(window, name)->isEnabled() ? '1' : '0';
    return state + " progress to " + QString::number(widget<QProgressBar>(window, "progressBar")->maximum());
}

void choose(MainWindow& window, const char* button)
{
    auto* radio = widget<QRadioButton>(window, button);
    QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, QPoint(5, radio->height() / 2));
}

// Starts a run with Start, or Enter in the path field, and waits for its end.
QStringList runFromStart(MainWindow& window, const QString& path, bool finalize, bool enter = false)
{
    widget<QLineEdit>(window, "drivePathEdit")->setText(path);
    choose(window, finalize ? "scanAndFinalize" : "scanOnly");
    if (enter)
        QTest::keyClick(widget<QLineEdit>(window, "drivePathEdit"), Qt::Key_Return);
    else
        QTest::mouseClick(widget<QPushButton>(window, "startButton"), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return widget<QWidget>(window, "browseButton")->isEnabled(); }, 120000))
        return { "the run never ended" };
    return paneLines(window);
}

// "Save report..." as offered, into `folder` standing in for the home folder.
void saveReport(MainWindow& window, const QString& folder)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", folder.toLocal8Bit());
    DialogAnswerer user;
    QMetaObject::invokeMethod(&window, "on_saveReportButton_clicked");
    qputenv("HOME", home);
}

// The log saveReport wrote, without the headless platform's noise (see paneLines).
QString savedLog(const QString& folder)
{
    return QString(fileBytes(folder + "/report.log")).remove("This plugin does not support propagateSizeHints()\n");
}

// The console on a terminal of its own (script), typing `answer` to its question.
ConsoleRun runConsoleOnATerminal(const QStringList& arguments, const QString& answer)
{
    // Found before a row takes the tools off PATH.
    static const QString script = QStandardPaths::findExecutable("script");
    QProcess terminal;
    terminal.start(script,
        { "-q", "-e", "-c", QStringLiteral(AMBREL_CLI_PATH) + " '" + arguments.join("' '") + "'", "/dev/null" });
    terminal.write((answer + "\n").toLocal8Bit());
    ConsoleRun run;
    if (terminal.waitForFinished(60000))
        run.exitCode = terminal.exitCode();
    run.out = QString::fromLocal8Bit(terminal.readAll()).remove('\r');
    return run;
}

// Whether `text` holds each of `lines` in this order.
bool holdsInOrder(const QString& text, QStringList lines)
{
    std::transform(lines.begin(), lines.end(), lines.begin(), [](const QString& line) { return QRegularExpression::escape(line); });
    return QRegularExpression(lines.join(".*"), QRegularExpression::DotMatchesEverythingOption).match(text).hasMatch();
}

// The card's folder mounted read-only over itself, for the time of a run;
// only root can mount.
class ReadOnlyMount
{
public:
    explicit ReadOnlyMount(const QString& folder) : folder(folder)
    {
        bound = !folder.isEmpty() && QProcess::execute("mount", { "--bind", folder, folder }) == 0;
        readOnly = bound && QProcess::execute("mount", { "-o", "remount,bind,ro", folder }) == 0;
    }
    ~ReadOnlyMount()
    {
        if (bound)
            QProcess::execute("umount", { folder });
    }

    QString folder;
    bool bound = false;
    bool readOnly = false;
};

// The card of a row: "mixed" (a take of each family, a sound take, one too
// short for a family, one an earlier run gave up on, notes), "take" (one older
// family take that is repaired; "read-only" the same on a volume mounted
// read-only) or "empty".
void layCard(const TestCard& card, const QString& tree)
{
    if (tree == "mixed") {
        QVERIFY(card.add("orla.vlv", TestCard::head(0x14)));
        QVERIFY(card.add("short.vlv", "ab"));
        QVERIFY(card.add("b/vesk.vlv", TestCard::head(0x80)));
        QVERIFY(card.add("b/audio.vla", "RIFF"));
        QVERIFY(card.add("C/+old.nra", "x"));
        QVERIFY(card.add("notes.txt", "x"));
    } else if (tree == "take" || tree == "read-only") {
        TakeDescription take = TakeDescription::forFamily(RecorderFamily::Vesk);
        take.setStandInFrames(6, 700);
        take.setAudio(1, 3, 2);
        QVERIFY(RecordingWriter::write(take, card.path("B001.vlv")).ok);
    } else {
        QVERIFY(card.addFolder("DCIM"));
    }
}

QStringList filled(QStringList lines, const QString& root)
{
    return lines.replaceInStrings("%r", root).replaceInStrings("%d", MainWindow::driveOf(root));
}

} // namespace

class FrontEndsTest : public QObject
{
    Q_OBJECT

public slots:
    // Stands in for the file manager.
    void open(const QUrl& url) { opened.append(url); }

private slots:
    void initTestCase()
    {
        setApplicationIdentity();
        QVERIFY2(runConsoleOnATerminal({ "--version" }, "").out.contains("ambrel-cli 1.4.4\n"), "no 'script' to give the console a terminal");
    }
    void window_data();
    void window();
    void pane_data();
    void pane();
    void inputs();
    void run_data();
    void run();
    void windowRun_data();
    void windowRun();
    void consoleArguments_data();
    void consoleArguments();
    void consoleRunsOnWhenItsReaderGoes();

private:
    QList<QUrl> opened;
};

void FrontEndsTest::window_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");

    const QList<QStringList> rows{
        { "MainWindow", "MainWindow", "windowTitle", "Ambrel version 1.4.4" },
        { "descriptionLabel", "QLabel", "text", "Ambrel will scan through a drive/path, rebuilding files that did not properly close." },
        { "scanModeGroup", "QGroupBox", "title", "Scan Mode" },
        { "scanAndFinalize", "QRadioButton", "text", "Scan and finalize files." },
        { "scanAndFinalize", "QRadioButton", "toolTip", "Scans for unfinalized files and finalizes them." },
        { "scanAndFinalize", "QRadioButton", "checked", "true" },
        { "scanOnly", "QRadioButton", "text", "Scan only, do not finalize." },
        { "scanOnly", "QRadioButton", "toolTip", "Scans for unfinalized files, but does not finalize them." },
        { "scanOnly", "QRadioButton", "checked", "false" },
        { "label", "QLabel", "text", "Drive/ path to scan:" },
        { "browseButton", "QPushButton", "text", "Browse..." },
        { "outputWindow", "QPlainTextEdit", "maximumBlockCount", "4000" },
        { "outputWindow", "QPlainTextEdit", "readOnly", "true" },
        { "saveReportButton", "QPushButton", "text", "Save report..." },
        { "cancelButton", "QPushButton", "enabled", "false" },
        { "progressBar", "QProgressBar", "value", "-1" },
        { "progressBar", "QProgressBar", "maximum", "100" },
        { "startButton", "QPushButton", "text", "Start" },
        { "startButton", "QPushButton", "enabled", "false" },
        { "exitButton", "QPushButton", "text", "Exit" },
    };
    for (const QStringList& row : rows)
        QTest::newRow(qPrintable(row[0] + ' ' + row[2])) << row[0] << row[1] << row[2] << row[3];
}

// The window as it opens: the objects the form names, their texts and state.
void FrontEndsTest::window()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, property);
    QFETCH(QString, value);

    MainWindow window;
    QObject* object = name == "MainWindow" ? &window : window.findChild<QObject*>(name);
    QVERIFY(object);
    QCOMPARE(QString(object->metaObject()->className()), className);
    QCOMPARE(object->property(qPrintable(property)).toString(), value);
    QCOMPARE(window.windowIcon().availableSizes(), QList<QSize>{ QSize(32, 32) });
}

void FrontEndsTest::pane_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("pane");

    QTest::newRow("one newline dropped") << QStringList{ "abc\n" } << "abc";
    QTest::newRow("a carriage return stays") << QStringList{ "abc\r\n" } << "abc\n";
    QStringList many;
    for (int line = 1; line <= 4001; ++line)
        many.append(QString::number(line) + '\n');
    QTest::newRow("the newest 4000 lines") << many << many.mid(1).join("").chopped(1);
}

// What the pane shows of the lines it is given, and of Qt's own messages
// while the window lives.
void FrontEndsTest::pane()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, pane);

    {
        MainWindow window;
        for (const QString& text : std::as_const(texts))
            QMetaObject::invokeMethod(&window, "output", Q_ARG(QString, text));
        QCOMPARE(paneLines(window).join('\n'), pane);
        widget<QPlainTextEdit>(window, "outputWindow")->clear();
        QFile unnamed;
        QVERIFY(!unnamed.open(QIODevice::ReadOnly));
        qDebug("from anywhere\n");
        QCOMPARE(paneLines(window), (QStringList{ "QFSFileEngine::open: No file name specified", "from anywhere" }));
        // The log keeps every line, however many the pane has dropped.
        QTemporaryDir saved;
        saveReport(window, saved.path());
        const QStringList log = texts.replaceInStrings(QRegularExpression("\n$"), "") + QStringList{ "QFSFileEngine::open: No file name specified", "from anywhere" };
        QCOMPARE(savedLog(saved.path()), log.join('\n') + '\n');
    }
    // The handler that was there before the window takes messages again.
    QTest::ignoreMessage(QtWarningMsg, "after the window is gone");
    qWarning("after the window is gone");
}

// Start is there exactly with a path; a new path or mode clears the pane;
// Browse puts the chosen folder into the path and keeps it when cancelled.
void FrontEndsTest::inputs()
{
    MainWindow window;
    window.show();
    auto* path = widget<QLineEdit>(window, "drivePathEdit");
    auto* start = widget<QPushButton>(window, "startButton");
    const auto output = [&] { QMetaObject::invokeMethod(&window, "output", Q_ARG(QString, "old line\n")); };

    QTest::keyClicks(path, "E:");
    QVERIFY(start->isEnabled());
    QTest::keyClick(path, Qt::Key_Backspace);
    QVERIFY(start->isEnabled());
    output();
    QTest::keyClick(path, Qt::Key_Backspace);
    QVERIFY(!start->isEnabled() && paneLines(window).isEmpty());
    QTest::keyClicks(path, " ");
    QVERIFY(start->isEnabled());
    for (const char* mode : { "scanOnly", "scanAndFinalize" }) {
        output();
        choose(window, mode);
        QVERIFY(widget<QRadioButton>(window, mode)->isChecked() && paneLines(window).isEmpty());
    }

    QTemporaryDir folder;
    DialogAnswerer user;
    output();
    QTest::mouseClick(widget<QPushButton>(window, "browseButton"), Qt::LeftButton);
    QCOMPARE(path->text(), QStringLiteral(" "));
    QCOMPARE(paneLines(window), QStringList{ "old line" });
    // Browse opens at the typed path.
    path->setText(folder.path());
    user.folder = folder.filePath("sub");
    QVERIFY(QDir().mkpath(user.folder));
    QTest::mouseClick(widget<QPushButton>(window, "browseButton"), Qt::LeftButton);
    QCOMPARE(user.shown, (QStringList{ "Drive/path to scan.", "Drive/path to scan.", folder.path() }));
    QCOMPARE(path->text(), user.folder);
    QVERIFY(paneLines(window).isEmpty());

    // A folder dropped on the window fills the path.
    QMimeData dropped;
    dropped.setUrls({ QUrl::fromLocalFile(folder.path()) });
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(path->text(), folder.path());
}

void FrontEndsTest::run_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("path");     // %r stands for the card's root, %d for its drive
    QTest::addColumn<bool>("finalize");
    QTest::addColumn<QString>("volume");   // "clean", "dirty"
    QTest::addColumn<QString>("fsutil");   // answer, refuse, hang, missing
    QTest::addColumn<QString>("chkdsk");   // repair, fail, silent, ask, missing
    QTest::addColumn<bool>("answerYes");   // to the question whether to check the drive
    QTest::addColumn<QStringList>("lines"); // in the pane, and on the console's output
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<int>("exitCode");      // of the console

    const QString clean = QStringLiteral("fsutil:  \"Volume - %d is NOT Dirty\\n\"");
    const QString dirty = QStringLiteral("fsutil:  \"Volume - %d is Dirty\\n\"");
    const QString checking = QStringLiteral("Checking drive: %d");
    const QStringList scanOnly{ "Displaying files that require finalization.", "No files will be modifed." };
    const QString advice = QStringLiteral("Run again with Scan Mode set to 'Scan and Finalize'");
    const QStringList emptyScan{ "Scanning for unfinalized files.", "Scanning folder: %r", "Scanning folder: %r/DCIM",
        " ", "No unfinalized files found." };
    const QString question = QStringLiteral("Check Drive?: The drive (%d) needs to be checked for errors. Press okay to check?");
    const QString stillDirty = QStringLiteral("Check Drive Error: Drive %d still reporting errors. Please check drive and try again.");
    const QStringList checked{ checking, dirty, checking, dirty };
    const QString confirm = QStringLiteral("Finalize takes?: Finalize %1 take(s) in %r? Each is repaired in place and renamed.");

    QTest::newRow("scan only") << "mixed" << "%r" << false << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean } + scanOnly + QStringList{ "Scanning folder: %r",
               "     %r/orla.vlv (orla) Requires finalize", "     %r/short.vlv (vesk) Requires finalize",
               "Scanning folder: %r/b", "     %r/b/audio.vla (vesk) Requires finalize",
               "     %r/b/vesk.vlv (vesk) Requires finalize", "Scanning folder: %r/C", "     %r/C/+old.nra Unrecoverable",
               " ", "1 file(s) unrecoverable.", "Test Debug", "4 file(s) require finalizing.", advice }
        << QStringList() << 1;
    QTest::newRow("finalize, every take fails") << "mixed" << "%r" << true << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean, "Scanning for unfinalized files.", "Scanning folder: %r", "doing orla finalize",
               "********************* %r/orla.vlv recovery failed, corrupted file!", "     %r/orla.vlv (Orla) Unrecoverable",
               "     %r/short.vlv (Vesk) Unrecoverable", "Scanning folder: %r/b", "doing veskone finalize",
               "     %r/b/audio.nra (Vesk) Unrecoverable", "doing veskone finalize", "     %r/b/vesk.nrv (Vesk) Unrecoverable",
               "Scanning folder: %r/C", "     %r/C/+old.nra Unrecoverable", " ", "5 file(s) unrecoverable.",
               "No unfinalized files found." }
        << QStringList{ confirm.arg(4) } << 1;
    QTest::newRow("finalize, a take repaired") << "take" << "%r" << true << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean, "Scanning for unfinalized files.", "Scanning folder: %r", "doing veskone finalize",
               "Recorded FILE Last Position Start:5497344 End:5500432 Size:3088", "     %r/B001.mov (Vesk) Finalized", " ",
               "1 file(s) have been successfully finalized." }
        << QStringList{ confirm.arg(1) } << 0;
    QTest::newRow("missing path") << "empty" << "%r/gone" << true << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean, "Scanning for unfinalized files.", "ERROR: Specfied path does not exist: %r/gone",
               " ", "No unfinalized files found." }
        << QStringList() << 3;
    // A take given alone is handled alone.
    QTest::newRow("path of a take") << "mixed" << "%r/b/vesk.vlv" << false << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean } + scanOnly + QStringList{ "     %r/b/vesk.vlv (vesk) Requires finalize", " ",
               "Test Debug", "1 file(s) require finalizing.", advice }
        << QStringList() << 6;
    QTest::newRow("path of a file that is no take") << "mixed" << "%r/notes.txt" << true << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean, "Scanning for unfinalized files.", "ERROR: Specified file is not a recording: %r/notes.txt",
               " ", "No unfinalized files found." }
        << QStringList() << 3;

    QTest::newRow("read-only, scan only") << "read-only" << "%r" << false << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean, "Drive %d is mounted read-only." } + scanOnly + QStringList{ "Scanning folder: %r",
               "     %r/B001.vlv (vesk) Requires finalize", " ", "Test Debug", "1 file(s) require finalizing.", advice }
        << QStringList() << 6;
    QTest::newRow("read-only, finalize refused") << "read-only" << "%r" << true << "clean" << "answer" << "repair" << false
        << QStringList{ checking, clean, "Drive %d is mounted read-only: no file on it can be finalized." }
        << QStringList() << 1;

    QTest::newRow("dirty, not checked") << "empty" << "%r" << true << "dirty" << "answer" << "repair" << false
        << QStringList{ checking, dirty, "Warning: Skipping Drive Check on %d" } + emptyScan << QStringList{ question } << 0;
    QTest::newRow("dirty, repaired") << "empty" << "%r" << true << "dirty" << "answer" << "repair" << true
        << checked + QStringList{ "Checking %d", "Errors corrected.", clean } + emptyScan << QStringList{ question } << 0;
    QTest::newRow("dirty, errors remain") << "empty" << "%r" << true << "dirty" << "answer" << "fail" << true
        << checked + QStringList{ "Checking %d", "Errors found, not corrected.", dirty }
        << QStringList{ question, stillDirty } << 1;
    QTest::newRow("dirty, the checker says nothing") << "empty" << "%r" << true << "dirty" << "answer" << "silent" << true
        << checked + QStringList{ dirty } << QStringList{ question, stillDirty } << 1;
    // The checker's input is closed: its question meets its end at once.
    QTest::newRow("dirty, the checker asks") << "empty" << "%r" << true << "dirty" << "answer" << "ask" << true
        << checked + QStringList{ "Cannot lock %d. Force a dismount? (Y/N)", "Input closed.", dirty }
        << QStringList{ question, stillDirty } << 1;
    QTest::newRow("dirty, no checker") << "empty" << "%r" << true << "dirty" << "answer" << "missing" << true
        << checked + QStringList{ "Failed to start chkdsk process." } << QStringList{ question, stillDirty } << 1;
    QTest::newRow("an error text counts as dirty") << "empty" << "%r" << true << "clean" << "refuse" << "repair" << false
        << QStringList{ checking, "fsutil:  \"Error: Access is denied.\\n\"", "Warning: Skipping Drive Check on %d" } + emptyScan
        << QStringList{ question } << 0;
    QTest::newRow("no tools count as clean") << "empty" << "%r" << true << "dirty" << "missing" << "missing" << false
        << QStringList{ checking } + emptyScan << QStringList() << 0;
    QTest::newRow("a volume tool that never answers") << "empty" << "%r" << true << "dirty" << "hang" << "repair" << false
        << QStringList{ checking, "QProcess: Destroyed while process (\"fsutil\") is still running." } + emptyScan
        << QStringList() << 0;
}

void FrontEndsTest::run()
{
    QFETCH(QString, tree);
    QFETCH(QString, path);
    QFETCH(bool, finalize);
    QFETCH(QString, volume);
    QFETCH(QString, fsutil);
    QFETCH(QString, chkdsk);
    QFETCH(bool, answerYes);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, dialogs);
    QFETCH(int, exitCode);

    StandinTools tools;
    QStringList expectedCalls;
    {
        TestCard card;
        layCard(card, tree);
        const ReadOnlyMount mount(tree == "read-only" ? card.root : QString());
        if (tree == "read-only" && !mount.readOnly)
            QSKIP("only root can mount the card read-only");
        tools.set(volume == "dirty", fsutil, chkdsk);
        MainWindow window;
        window.show();
        DialogAnswerer user(answerYes ? QMessageBox::Yes : QMessageBox::No);
        user.whileShown = [&] { return inputState(window); };
        QStringList unlockedLines;
        connect(widget<QPlainTextEdit>(window, "outputWindow"), &QPlainTextEdit::textChanged, this, [&] {
            if (!inputState(window).startsWith("0000") && !paneLines(window).isEmpty())
                unlockedLines.append(paneLines(window).last());
        });
        const QString root = QString(path).replace("%r", card.root);
        QCOMPARE(runFromStart(window, root, finalize), filled(lines, card.root));
        // Locked while busy, dialogs included (Exit stays: it asks to stop); unlocked after.
        QCOMPARE(unlockedLines, QStringList());
        QStringList shown = filled(dialogs, card.root);
        for (qsizetype i = shown.size(); i > 0; --i)
            shown.insert(i - 1, "00001 progress to 0");
        QCOMPARE(user.shown, shown);
        QCOMPARE(inputState(window), QStringLiteral("11111 progress to 100"));
        expectedCalls = tools.calls().replaceInStrings(card.root, "%r");
        // A second run counts afresh.
        if (!finalize)
            QCOMPARE(runFromStart(window, root, finalize), filled(lines, card.root));
    }
    QCOMPARE(expectedCalls.filter("chkdsk /F /X /").size(), answerYes && chkdsk != "missing" ? 1 : 0);

    // The console, on a card of its own, with the tools as they were.
    TestCard card;
    layCard(card, tree);
    const ReadOnlyMount mount(tree == "read-only" ? card.root : QString());
    tools.set(volume == "dirty", fsutil, chkdsk);
    const QStringList command = QStringList{ "--finalize", QString(path).replace("%r", card.root) }.mid(finalize ? 0 : 1);
    if (answerYes) {
        // Its question and the checker's verdict go to its terminal, between the lines.
        const ConsoleRun run = runConsoleOnATerminal(command, "y");
        QCOMPARE(run.exitCode, exitCode);
        QStringList screen = filled(lines, card.root);
        screen.insert(2, filled(dialogs, card.root).first().replace("?: ", "? ") + " [y/N] ");
        if (dialogs.size() > 1)
            screen.append(filled(dialogs, card.root).last());
        QVERIFY2(holdsInOrder(run.out, screen), qPrintable(run.out));
    } else {
        const ConsoleRun run = runConsole(command);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out.split('\n'), filled(lines, card.root) + QStringList{ "" });
        QCOMPARE(run.err, QString());
    }
    QCOMPARE(tools.calls().replaceInStrings(card.root, "%r"), expectedCalls);
}

void FrontEndsTest::windowRun_data()
{
    QTest::addColumn<QString>("tree");
    QTest::addColumn<bool>("confirm");     // the answer to the question before the first write
    QTest::addColumn<QString>("action");   // done on seeing take 1 of 5: "cancel", "close", "exit"
    QTest::addColumn<bool>("stop");        // the answer to the question whether to stop
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QStringList>("table"); // the saved report's rows, after its header

    const QStringList start{ "Checking drive: %d", "fsutil:  \"Volume - %d is NOT Dirty\\n\"", "Scanning for unfinalized files.",
        "Scanning folder: %r", "doing orla finalize", "********************* %r/orla.vlv recovery failed, corrupted file!",
        "     %r/orla.vlv (Orla) Unrecoverable" };
    const QStringList stopped{ " ", "Stopped on request: 4 take(s) left as they were.", "1 file(s) unrecoverable." };
    const QString confirm = QStringLiteral("Finalize takes?: Finalize 4 take(s) in %r? Each is repaired in place and renamed.");
    const QString ask = QStringLiteral("Stop the run?: A run is busy. Stop it after the current take? Takes already handled stay as they are.");
    const QStringList rows{ "orla.vlv,%r,Orla,,,,Unrecoverable,", "short.vlv,%r,Vesk,,,,Unrecoverable,",
        "audio.vla,%r/b,Vesk,,,,Unrecoverable,audio.nra", "vesk.vlv,%r/b,Vesk,,,,Unrecoverable,vesk.nrv", "'+old.nra,%r/C,,,,,Unrecoverable," };

    QTest::newRow("declined") << "mixed" << false << "" << false
        << QStringList{ start.mid(0, 2) + QStringList{ "Nothing was finalized: the run was stopped before its first take." } }
        << QStringList{ confirm } << QStringList();
    QTest::newRow("cancel after the first take") << "mixed" << true << "cancel" << false << start + stopped
        << QStringList{ confirm } << rows.mid(0, 1);
    QTest::newRow("exit, not stopped") << "mixed" << true << "exit" << false
        << start + QStringList{ "     %r/short.vlv (Vesk) Unrecoverable", "Scanning folder: %r/b", "doing veskone finalize",
               "     %r/b/audio.nra (Vesk) Unrecoverable", "doing veskone finalize", "     %r/b/vesk.nrv (Vesk) Unrecoverable",
               "Scanning folder: %r/C", "     %r/C/+old.nra Unrecoverable", " ", "5 file(s) unrecoverable.",
               "No unfinalized files found." }
        << QStringList{ confirm, ask } << rows;
    QTest::newRow("closed during a run") << "mixed" << true << "close" << true << start + stopped
        << QStringList{ confirm, ask } << rows.mid(0, 1);
    // What was recorded and recovered, in the table.
    QTest::newRow("a take repaired") << "take" << true << "" << false
        << start.mid(0, 4) + QStringList{ "doing veskone finalize", "Recorded FILE Last Position Start:5497344 End:5500432 Size:3088",
               "     %r/B001.mov (Vesk) Finalized", " ", "1 file(s) have been successfully finalized." }
        << QStringList{ QString(confirm).replace("4 take(s)", "1 take(s)") } << QStringList{
               "B001.vlv,%r,Vesk,\"Apple ProRes 422 1920x1080 25 fps, 1 ch 48000 Hz 24-bit\",00:00:00.240,\"6 frame(s), 2 sound chunk(s)\",Finalized,B001.mov" };
}

// A run in the window as a user follows it (a name that starts like a
// spreadsheet formula is saved as text): the question before the first
// write, a stop asked for on seeing the first take, the table saved.
void FrontEndsTest::windowRun()
{
    QFETCH(QString, tree);
    QFETCH(bool, confirm);
    QFETCH(QString, action);
    QFETCH(bool, stop);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, dialogs);
    QFETCH(QStringList, table);

    StandinTools tools;
    tools.set(false, "answer", "repair");
    TestCard card;
    layCard(card, tree);
    MainWindow window;
    window.show();
    DialogAnswerer user(stop ? QMessageBox::Yes : QMessageBox::No, confirm ? QMessageBox::Yes : QMessageBox::No);
    QStringList progress;
    connect(window.statusBar(), &QStatusBar::messageChanged, this, [&](const QString& message) {
        progress.append(message + " at " + QString::number(widget<QProgressBar>(window, "progressBar")->value()));
        if (!message.startsWith("Take 1 of 5: ") || action.isEmpty())
            return;
        if (action == "cancel")
            widget<QPushButton>(window, "cancelButton")->click();
        else if (action == "close")
            window.close();
        else
            widget<QPushButton>(window, "exitButton")->click();
    });
    QList<bool> shownWhileRowsCame;
    connect(widget<QTableView>(window, "resultsTable")->model(), &QAbstractItemModel::rowsInserted, this,
            [&] { shownWhileRowsCame.append(window.isVisible()); });

    QCOMPARE(runFromStart(window, card.root, true, true), filled(lines, card.root));
    QCOMPARE(user.shown, filled(dialogs, card.root));
    QCOMPARE(shownWhileRowsCame, QList<bool>(table.size(), true));
    QCOMPARE(window.isVisible(), action != "close");
    QStringList takesShown;
    for (qsizetype take = 0; take < table.size(); ++take)
        takesShown.append(QString("Take %1 of %2: %3 at %4").arg(take + 1).arg(tree == "mixed" ? 5 : 1)
                              .arg(table[take].section(',', 0, 0).remove('\'')).arg(take));
    if (action == "cancel" || stop)
        takesShown.append("Stopping after the current take... at 0");
    // Cleared, and the bar reset, when the run ends.
    if (!takesShown.isEmpty())
        takesShown.append(" at -1");
    QCOMPARE(progress, takesShown);
    QCOMPARE(QFile::exists(card.path("b/vesk.vlv")), tree == "mixed" && table.size() < 4);

    QTemporaryDir saved;
    QVERIFY(widget<QPushButton>(window, "saveReportButton")->isEnabled());
    saveReport(window, saved.path());
    QCOMPARE(fileBytes(saved.filePath("report.csv")),
             filled(QStringList{ "Name,Folder,Family,Format,Duration,Recovered,Status,New name" } + table, card.root).join("\r\n").toUtf8() + "\r\n");
    QCOMPARE(savedLog(saved.path()), paneLines(window).join('\n') + '\n');

    // A row, in the order the user sorted the table, opens its take's folder.
    auto* view = widget<QTableView>(window, "resultsTable");
    view->sortByColumn(0, Qt::AscendingOrder);
    opened.clear();
    QDesktopServices::setUrlHandler("file", this, "open");
    if (!table.isEmpty())
        emit view->activated(view->model()->index(0, 0));
    QDesktopServices::unsetUrlHandler("file");
    table.sort();
    QCOMPARE(opened, table.isEmpty() ? QList<QUrl>() : QList<QUrl>{ QUrl::fromLocalFile(filled({ table.first().section(',', 1, 1) }, card.root).first()) });
}

void FrontEndsTest::consoleArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // "*": the help, "~": any atoms that all parse
    QTest::addColumn<QString>("err");

    const QString usage = QStringLiteral("usage: ambrel-cli [--json] [--finalize] PATH | --dump FILE | --check FILE\n");
    QTest::newRow("version") << QStringList{ "--version" } << 0 << "ambrel-cli 1.4.4\n" << "";
    QTest::newRow("help") << QStringList{ "--help" } << 0 << "*" << "";
    QTest::newRow("no path") << QStringList() << 2 << "" << "ambrel-cli: no PATH given\n" + usage;
    QTest::newRow("only the option") << QStringList{ "--finalize" } << 2 << "" << "ambrel-cli: no PATH given\n" + usage;
    QTest::newRow("two paths") << QStringList{ "a", "b" } << 2 << ""
                               << "ambrel-cli: only one PATH can be scanned\n" + usage;
    QTest::newRow("empty path") << QStringList{ "" } << 2 << "" << "ambrel-cli: PATH is empty\n" + usage;
    QTest::newRow("unknown option") << QStringList{ "--scan", "a" } << 2 << ""
                                    << "ambrel-cli: unknown option --scan\n" + usage;
    QTest::newRow("dump without a file") << QStringList{ "--dump" } << 2 << "" << "ambrel-cli: --dump takes one FILE\n" + usage;
    QTest::newRow("dump and finalize") << QStringList{ "--dump", "--finalize", "a" } << 2 << ""
                                       << "ambrel-cli: --dump and --finalize cannot be combined\n" + usage;
    QTest::newRow("check without a file") << QStringList{ "--check" } << 2 << "" << "ambrel-cli: --check takes one FILE\n" + usage;
    QTest::newRow("check and dump") << QStringList{ "--check", "--dump", "a" } << 2 << ""
                                    << "ambrel-cli: --dump and --check cannot be combined\n" + usage;
    QTest::newRow("check and json") << QStringList{ "--json", "--check", "a" } << 2 << ""
                                    << "ambrel-cli: --check and --json cannot be combined\n" + usage;
    QTest::newRow("check of a missing file") << QStringList{ "--check", "/no/such/file" } << 1 << ""
                                             << "ambrel-cli: cannot open /no/such/file\n";
    // "ffmpeg:" stands for a movie made elsewhere, with a timecode track.
    QTest::newRow("dump of a movie made elsewhere") << QStringList{ "--dump", "ffmpeg:" } << 0 << "~" << "";
    QTest::newRow("check of a movie made elsewhere") << QStringList{ "--check", "ffmpeg:" } << 0
        << "File: %f\nFamily: QuickTime movie\nState: complete\nCodec: Lavc prores_ks (ap4h)\nPicture: 320x240\n"
           "Rate: 25 frames/s\nFrames: 25\nDuration: 1.000 s\nSound: 1 track, 2 channels, 48000 Hz, 16 bits\n"
           "Start timecode: 01:00:00:00\nReel: R042\n" << "";
    QTest::newRow("dump of a missing file") << QStringList{ "--dump", "/no/such/file" } << 1 << ""
                                            << "ambrel-cli: cannot open /no/such/file\n";
    // "hex:" stands for a file of those bytes; the last atom ends at the end of the file.
    QTest::newRow("dump of atoms to the end") << QStringList{ "--dump", "hex:00000010736b6970" "3132333435363738" "0000000866726565" }
                                              << 0 << "skip 16 @ 0\nfree 8 @ 16\n" << "";
    // Flags of all three bytes; a type that is not four letters is no atom.
    QTest::newRow("dump of flags, then no atom") << QStringList{ "--dump", "hex:000000147374737a0000ff000000000000000000" "0000000c6162630177787a79" }
        << 1 << "stsz 20 @ 0\n  Version: 0\n  Flags: 0x00ff00\n  Sample Size: 0\n  Sample Count: 0\n"
                "  Sizes: 0 entries [] digest cbf29ce484222325\nreading stopped at 20 of 32 bytes\n" << "";
    QTest::newRow("dump of a timecode description whose rest is no atom")
        << QStringList{ "--dump", "hex:0000003673747364000000000000000100000026746d6364000000000000000100000000"
                                  "00000000000009c40000006419006a756e6b" } << 0 << "stsd 54 @ 0\n  contents do not parse\n" << "";
}

void FrontEndsTest::consoleArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    TestCard card;
    if (arguments.value(1).startsWith("hex:")) {
        QVERIFY(card.add("file", QByteArray::fromHex(arguments[1].mid(4).toLatin1())));
        arguments[1] = card.path("file");
    } else if (arguments.value(1) == "ffmpeg:") {
        arguments[1] = card.path("elsewhere.mov");
        QCOMPARE(QProcess::execute("ffmpeg", { "-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-f", "lavfi",
                     "-i", "sine=sample_rate=48000", "-t", "1", "-c:v", "prores_ks", "-c:a", "pcm_s16le", "-ac", "2",
                     "-timecode", "01:00:00:00", "-metadata:s:v:0", "reel_name=R042", arguments[1] }), 0);
    }
    const ConsoleRun run = runConsole(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (out == "*")
        QVERIFY(run.out.startsWith("usage: ambrel-cli [--json] [--finalize] PATH | --dump FILE | --check FILE\n"));
    else if (out == "~")
        QVERIFY2(run.out.contains("tmcd") && !run.out.contains("contents do not parse"), qPrintable(run.out));
    else
        QCOMPARE(QString(run.out).replace(QRegularExpression("Lavc[0-9.]+"), "Lavc"), QString(out).replace("%f", arguments.value(1)));
    QCOMPARE(run.err, err);
}

// A reader that goes at once must not cost the run its status.
void FrontEndsTest::consoleRunsOnWhenItsReaderGoes()
{
    StandinTools tools;
    tools.set(false, "answer", "repair");
    TestCard card;
    layCard(card, "mixed");
    QProcess shell;
    shell.start("bash", { "-c", "\"$0\" --finalize \"$1\" | true; echo ${PIPESTATUS[0]}", AMBREL_CLI_PATH, card.root });
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.readAllStandardOutput(), QByteArray("1\n"));
    QVERIFY(QFile::exists(card.path("b/vesk.nrv")));
}

QTEST_MAIN(FrontEndsTest)
#include "tst_frontends.moc"
