#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>
#include <QStringList>

// The arguments of ambrel-cli: [--finalize] PATH, or --help.
class CommandLine
{
public:
    explicit CommandLine(const QStringList& arguments);

    static QString usage();

    bool wantsHelp() const { return help; }
    // Empty when the arguments are usable.
    QString error() const { return problem; }
    bool finalize() const { return finalizeFiles; }
    QString path() const { return scanPath; }

private:
    bool help = false;
    bool finalizeFiles = false;
    QString scanPath;
    QString problem;
};

#endif
