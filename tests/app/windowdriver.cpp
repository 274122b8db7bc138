#include "windowdriver.h"

#include <QGroupBox>
#include <QtTest>

WindowDriver::WindowDriver()
{
    mainWindow.show();
}

void WindowDriver::setPath(const QString& path)
{
    widget<QLineEdit>("drivePathEdit")->setText(path);
}

void WindowDriver::chooseScanOnly(bool scanOnly)
{
    QRadioButton* button = widget<QRadioButton>(scanOnly ? "scanOnly" : "scanAndFinalize");
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, button->height() / 2));
}

QStringList WindowDriver::runFromStart(const QString& path, bool scanOnly)
{
    setPath(path);
    chooseScanOnly(scanOnly);
    QTest::mouseClick(startButton(), Qt::LeftButton);
    return paneLines();
}

QStringList WindowDriver::paneLines()
{
    const QString text = pane()->toPlainText();
    QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    // Every window or dialog shown headless makes the platform plugin warn that it
    // cannot pass on size hints; a desktop never shows that line.
    lines.removeAll(QStringLiteral("This plugin does not support propagateSizeHints()"));
    return lines;
}

void WindowDriver::output(const QString& text)
{
    QMetaObject::invokeMethod(&mainWindow, "output", Q_ARG(QString, text));
}

QList<bool> WindowDriver::inputsEnabled()
{
    return {widget<QGroupBox>("scanModeGroup")->isEnabled(), widget<QLineEdit>("drivePathEdit")->isEnabled(),
            widget<QPushButton>("browseButton")->isEnabled(), startButton()->isEnabled(),
            widget<QPushButton>("exitButton")->isEnabled()};
}

bool WindowDriver::progressBusy()
{
    return progressBar()->minimum() == 0 && progressBar()->maximum() == 0;
}
