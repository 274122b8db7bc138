#ifndef CONSOLERUN_H
#define CONSOLERUN_H

#include <QMap>
#include <QString>
#include <QStringList>

// One "ambrel-cli --finalize" run over a card, as a user starts it, plain
// or under a real fault: the process killed at the n-th call of one
// write-like system call that touches the take (strace), that call failing
// with an error, or a limit on the size of the files it may write.
struct ConsoleRun
{
    bool started = false;
    bool killed = false;  // ended by a signal instead of exiting
    int exitCode = -1;
    QStringList lines;    // what it printed, one entry per line

    // Whether it printed a line that contains `text`.
    bool printed(const QString& text) const;
};

class ConsoleRunner
{
public:
    // Every call a repair could change a file with, as strace names them.
    static const QStringList writeCalls;

    static ConsoleRun finalize(const QString& root);
    // `paths` are the take's names before and after its rename: only calls
    // that touch one of them are counted, none of the console's own output.
    static ConsoleRun killedAt(const QString& root, const QStringList& paths, const QString& call, int n);
    static ConsoleRun failingAt(const QString& root, const QStringList& paths, const QString& call, int n,
        const QString& error);
    // No file the run writes may grow beyond `bytes`, and a write past it
    // fails (SIGXFSZ ignored), as on a full card.
    static ConsoleRun withFileSizeLimit(const QString& root, qint64 bytes);

    // How often each write-like call touches `paths` in a run without faults.
    static QMap<QString, int> writeCallCounts(const QString& root, const QStringList& paths);

    // An error that fits the call: no room for a write, an I/O error for the rest.
    static QString errorFor(const QString& call);

private:
    static ConsoleRun run(const QString& program, const QStringList& arguments);
    static QStringList straceArguments(const QStringList& paths);
};

#endif
