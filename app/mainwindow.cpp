#include "app/mainwindow.h"

#include "app/backgroundrun.h"
#include "app/drivecheck.h"
#include "app/outputline.h"
#include "app/taketablemodel.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSortFilterProxyModel>

#include <atomic>
#include <cstdlib>

// The icon lives in a static library, so its resource is registered by hand.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

// The window that shows every debug message; cleared before that window goes away.
std::atomic<MainWindow*> messageReceiver{nullptr};
// Whatever handled messages before the first window took them over.
QtMessageHandler handlerBeforeForwarding = nullptr;

void forwardDebugMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    MainWindow* receiver = messageReceiver.load();
    if (receiver)
        QMetaObject::invokeMethod(receiver, "output", Qt::AutoConnection, Q_ARG(QString, message));
}

}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::MainWindow),
      takes(new TakeTableModel(this)),
      sortedTakes(new QSortFilterProxyModel(this)),
      backgroundRun(new BackgroundRun(*this, this))
{
    initResources();
    ui->setupUi(this);
    sortedTakes->setSourceModel(takes);
    ui->resultsTable->setModel(sortedTakes);
    // In the order the run met the takes until a header is clicked.
    ui->resultsTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    // Each column as wide as a typical value in the window's font; a cell too
    // narrow shows its whole text when pointed at.
    const char* const typicalValues[] = {"A001C001.vlv", "/media/card", "Family", "Apple ProRes 422 HQ",
        "00:00:00.000", "3000 frame(s)", "Unrecoverable"};
    for (int column = 0; column < int(std::size(typicalValues)); ++column)
        ui->resultsTable->setColumnWidth(column, fontMetrics().horizontalAdvance(QLatin1String(typicalValues[column])) + 16);
    // One line of text a row, so a card of hundreds of takes reads at a glance.
    ui->resultsTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ui->resultsSplitter->setSizes({300, 200});
    setAcceptDrops(true);
    connect(backgroundRun, &BackgroundRun::finished, this, &MainWindow::runFinished);
    connect(ui->drivePathEdit, &QLineEdit::returnPressed, ui->startButton, &QPushButton::click);
    ui->progressBar->reset();
    ui->scanAndFinalize->setChecked(true);
    ui->startButton->setEnabled(false);
    ui->outputWindow->setMaximumBlockCount(4000);
    setWindowTitle(tr("%1 version %2")
                       .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
    ui->descriptionLabel->setText(
        tr("%1 will scan through a drive/path, rebuilding files that did not properly close.")
            .arg(QCoreApplication::applicationName()));
    connect(ui->drivePathEdit, &QLineEdit::textChanged, this, &MainWindow::drivePathTextChanged);
    connect(ui->scanAndFinalize, &QRadioButton::toggled, this, &MainWindow::scanModeChanged);

    messageReceiver.store(this);
    const QtMessageHandler previous = qInstallMessageHandler(forwardDebugMessage);
    if (previous != forwardDebugMessage)
        handlerBeforeForwarding = previous;
}

MainWindow::~MainWindow()
{
    // First of all, so that no message reaches a window that is half gone.
    MainWindow* self = this;
    if (messageReceiver.compare_exchange_strong(self, nullptr))
        qInstallMessageHandler(handlerBeforeForwarding);
    delete ui;
}

int MainWindow::queryDirty(QString drive)
{
    return DriveCheck(*this).queryDirty(drive);
}

int MainWindow::checkDrive(QString drive, bool repair)
{
    return DriveCheck(*this).checkDrive(drive, repair);
}

QString MainWindow::driveOf(QString path)
{
    return DriveCheck::driveOf(path);
}

void MainWindow::setDrivePath(const QString& path)
{
    ui->drivePathEdit->setText(path);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Never gone while a take is being written: the run stops first.
    if (backgroundRun->isRunning()) {
        event->ignore();
        stopRunThen(AfterRun::Close);
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (ui->drivePathEdit->isEnabled() && !urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    setDrivePath(event->mimeData()->urls().first().toLocalFile());
    event->acceptProposedAction();
}

// The run has its own thread: the window repaints on its own.
void MainWindow::output(QString text)
{
    const QString line = withoutTrailingNewline(text);
    ui->outputWindow->appendPlainText(line);
    report.addLine(line);
}

void MainWindow::drivePathTextChanged(QString text)
{
    ui->startButton->setEnabled(!text.isEmpty());
    ui->outputWindow->clear();
}

void MainWindow::scanModeChanged()
{
    ui->outputWindow->clear();
}

void MainWindow::on_exitButton_clicked()
{
    if (backgroundRun->isRunning())
        stopRunThen(AfterRun::Exit);
    else
        std::exit(0);
}

void MainWindow::on_startButton_clicked()
{
    // Locked at once, so no second press starts another run meanwhile.
    lockInputs();
    backgroundRun->start(ui->drivePathEdit->text(), !ui->scanAndFinalize->isChecked());
}

void MainWindow::on_browseButton_clicked()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Drive/path to scan."), ui->drivePathEdit->text(),
                                                             QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        ui->drivePathEdit->setText(folder);
}

void MainWindow::on_cancelButton_clicked()
{
    backgroundRun->requestStop();
    ui->cancelButton->setEnabled(false);
    statusBar()->showMessage(tr("Stopping after the current take..."));
}

void MainWindow::on_saveReportButton_clicked()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save report"), QDir::home().filePath(QStringLiteral("report.csv")),
                                                      tr("CSV table (*.csv)"));
    if (path.isEmpty())
        return;
    const QString error = report.save(path, *sortedTakes);
    if (error.isEmpty())
        statusBar()->showMessage(tr("Saved the table to %1 and the log to %2").arg(path, RunReport::logPathFor(path)));
    else
        QMessageBox::warning(this, tr("Save report"), tr("The report could not be saved: %1").arg(error));
}

void MainWindow::on_resultsTable_activated(const QModelIndex& index)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(takes->folderOf(sortedTakes->mapToSource(index).row())));
}

void MainWindow::runFinished()
{
    unlockInputs();
    const AfterRun after = afterRun;
    afterRun = AfterRun::Stay;
    if (after == AfterRun::Close)
        close();
    else if (after == AfterRun::Exit)
        on_exitButton_clicked();
}

void MainWindow::stopRunThen(AfterRun after)
{
    if (afterRun != AfterRun::Stay) {
        afterRun = after; // asked already; the run is stopping
        return;
    }
    const bool stop = askYesNo(tr("Stop the run?"),
                               tr("A run is busy. Stop it after the current take? Takes already handled stay as they are."));
    if (!stop)
        return;
    if (!backgroundRun->isRunning()) {
        afterRun = after;
        runFinished();
        return;
    }
    afterRun = after;
    on_cancelButton_clicked();
}

void MainWindow::writeLine(const QString& text)
{
    output(text);
}

void MainWindow::clearOutput()
{
    // A run starts: its table and log start afresh too.
    ui->outputWindow->clear();
    takes->clear();
    report.clear();
}

void MainWindow::lockInputs()
{
    setInputsEnabled(false);
    ui->progressBar->setRange(0, 0);
}

void MainWindow::unlockInputs()
{
    // Not before the run's thread has ended: a new run could not start yet.
    if (backgroundRun->isRunning())
        return;
    setInputsEnabled(true);
    ui->progressBar->setRange(0, 100);
    ui->progressBar->reset();
    statusBar()->clearMessage();
}

// Exit stays enabled during a run: it asks to stop the run first.
void MainWindow::setInputsEnabled(bool enabled)
{
    ui->scanModeGroup->setEnabled(enabled);
    ui->drivePathEdit->setEnabled(enabled);
    ui->browseButton->setEnabled(enabled);
    ui->startButton->setEnabled(enabled);
    ui->cancelButton->setEnabled(!enabled);
    ui->saveReportButton->setEnabled(enabled && !report.isEmpty());
}

bool MainWindow::askYesNo(const QString& title, const QString& text)
{
    return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        == QMessageBox::Yes;
}

void MainWindow::showInformation(const QString& title, const QString& text)
{
    QMessageBox::information(this, title, text, QMessageBox::Ok);
}

bool MainWindow::confirmFinalize(const QString& place, int takeCount)
{
    return QMessageBox::question(this, tr("Finalize takes?"),
                                 tr("Finalize %n take(s) in %1? Each is repaired in place and renamed.", nullptr, takeCount)
                                     .arg(place),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void MainWindow::takeStarting(int number, int total, const QString& path)
{
    ui->progressBar->setRange(0, total);
    ui->progressBar->setValue(number - 1);
    statusBar()->showMessage(tr("Take %1 of %2: %3").arg(number).arg(total).arg(QFileInfo(path).fileName()));
}

void MainWindow::takeFinished(const TakeResult& result)
{
    // The newest row stays in sight unless the user has scrolled away from it.
    const QScrollBar* rows = ui->resultsTable->verticalScrollBar();
    const bool followRun = rows->value() == rows->maximum();
    takes->append(result);
    if (followRun)
        ui->resultsTable->scrollToBottom();
    ui->progressBar->setValue(ui->progressBar->value() + 1);
}
