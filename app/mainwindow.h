#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "app/runfrontend.h"
#include "app/runreport.h"

#include <QMainWindow>
#include <QString>

namespace Ui { class MainWindow; }
class BackgroundRun;
class QModelIndex;
class QSortFilterProxyModel;
class TakeTableModel;

// The program's one window. Its slots are thin entry points: the run itself is
// ScanRun, shared with the console front end, on a thread of its own.
class MainWindow : public QMainWindow, private RunFrontEnd
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    int queryDirty(QString drive);
    int checkDrive(QString drive, bool repair);
    static QString driveOf(QString path);
    // The path to scan, as given on the command line or dropped on the window.
    void setDrivePath(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void output(QString text);
    void drivePathTextChanged(QString text);
    void scanModeChanged();
    void on_exitButton_clicked();
    void on_startButton_clicked();
    void on_browseButton_clicked();
    void on_cancelButton_clicked();
    void on_saveReportButton_clicked();
    void on_resultsTable_activated(const QModelIndex& index);
    void runFinished();

private:
    // What the window does once the run it is waiting for has ended.
    enum class AfterRun { Stay, Close, Exit };

    void writeLine(const QString& text) override;
    void clearOutput() override;
    void lockInputs() override;
    void unlockInputs() override;
    bool askYesNo(const QString& title, const QString& text) override;
    void showInformation(const QString& title, const QString& text) override;
    bool confirmFinalize(const QString& place, int takes) override;
    void takeStarting(int number, int total, const QString& path) override;
    void takeFinished(const TakeResult& result) override;
    void setInputsEnabled(bool enabled);
    // During a run: asks whether to stop after the current take, and then
    // does `after` once the run has ended.
    void stopRunThen(AfterRun after);

    Ui::MainWindow* ui;
    TakeTableModel* takes;
    QSortFilterProxyModel* sortedTakes;
    BackgroundRun* backgroundRun;
    RunReport report;
    AfterRun afterRun = AfterRun::Stay;
};

#endif
