#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "app/runfrontend.h"

#include <QMainWindow>
#include <QString>

namespace Ui { class MainWindow; }

// The program's one window. Its slots are thin entry points: the run itself is
// ScanRun, shared with the console front end.
class MainWindow : public QMainWindow, private RunFrontEnd
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    int queryDirty(QString drive);
    int checkDrive(QString drive, bool repair);
    static QString driveOf(QString path);

private slots:
    void output(QString text);
    void drivePathTextChanged(QString text);
    void scanModeChanged();
    void on_exitButton_clicked();
    void on_startButton_clicked();
    void on_browseButton_clicked();

private:
    void writeLine(const QString& text) override;
    void clearOutput() override;
    void lockInputs() override;
    void unlockInputs() override;
    bool askYesNo(const QString& title, const QString& text) override;
    void showInformation(const QString& title, const QString& text) override;
    void setInputsEnabled(bool enabled);

    Ui::MainWindow* ui;
};

#endif
