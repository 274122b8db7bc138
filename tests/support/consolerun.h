#ifndef CONSOLERUN_H
#define CONSOLERUN_H

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One run of ambrel-cli as a script starts it, its standard input closed (not
// a terminal: a question is answered No), behind `wrapper` when one is given
// (a program and its arguments that run it, e.g. strace).
struct ConsoleRun
{
    bool started = false;
    bool killed = false; // ended by a signal instead of exiting
    int exitCode = -1;   // -1 unless it exited
    QString out;
    QString err;
};

// The console program under test, for a test that starts it itself.
QString consolePath();

ConsoleRun runConsole(const QStringList& arguments, const QStringList& wrapper = {},
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

#endif
