#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include "app/mainwindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

// Works the window as a user does: types a path, picks a mode, clicks Start,
// reads the output pane.
class WindowDriver
{
public:
    WindowDriver();

    MainWindow& window() { return mainWindow; }
    template<typename T>
    T* widget(const char* name) { return mainWindow.findChild<T*>(QLatin1String(name)); }

    QPlainTextEdit* pane() { return widget<QPlainTextEdit>("outputWindow"); }
    QPushButton* startButton() { return widget<QPushButton>("startButton"); }
    QProgressBar* progressBar() { return widget<QProgressBar>("progressBar"); }

    void setPath(const QString& path);
    void chooseScanOnly(bool scanOnly);
    // One run, started by a click on Start; returns the pane's lines afterwards.
    QStringList runFromStart(const QString& path, bool scanOnly);
    QStringList paneLines();
    // The pane's own slot, as the debug handler and the scanner reach it.
    void output(const QString& text);

    // The five inputs a run locks, and whether the progress bar is busy.
    QList<bool> inputsEnabled();
    bool progressBusy();

private:
    MainWindow mainWindow;
};

#endif
