#include "app/mainwindow.h"

#include "app/drivecheck.h"
#include "app/outputline.h"
#include "app/scanrun.h"
#include "ui_mainwindow.h"

#include <QFileDialog>
#include <QMessageBox>

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
      ui(new Ui::MainWindow)
{
    initResources();
    ui->setupUi(this);
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

void MainWindow::output(QString text)
{
    ui->outputWindow->appendPlainText(withoutTrailingNewline(text));
    // The scan runs on this thread: let the pane repaint line by line.
    QCoreApplication::processEvents();
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
    std::exit(0);
}

void MainWindow::on_startButton_clicked()
{
    ScanRun(*this).run(ui->drivePathEdit->text(), !ui->scanAndFinalize->isChecked());
}

void MainWindow::on_browseButton_clicked()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Drive/path to scan."), QString(),
                                                             QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        ui->drivePathEdit->setText(folder);
}

void MainWindow::writeLine(const QString& text)
{
    output(text);
}

void MainWindow::clearOutput()
{
    ui->outputWindow->clear();
}

void MainWindow::lockInputs()
{
    setInputsEnabled(false);
    ui->progressBar->setRange(0, 0);
}

void MainWindow::unlockInputs()
{
    setInputsEnabled(true);
    ui->progressBar->setRange(0, 100);
}

void MainWindow::setInputsEnabled(bool enabled)
{
    ui->scanModeGroup->setEnabled(enabled);
    ui->drivePathEdit->setEnabled(enabled);
    ui->browseButton->setEnabled(enabled);
    ui->startButton->setEnabled(enabled);
    ui->exitButton->setEnabled(enabled);
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
