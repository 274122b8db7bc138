#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>
#include <QStringList>

// The arguments of ambrel-cli: [--json] [--finalize] PATH, --dump FILE, --check FILE, --help or --version.
class CommandLine
{
public:
    explicit CommandLine(const QStringList& arguments);

    static QString usage();

    bool wantsHelp() const { return help; }
    bool wantsVersion() const { return version; }
    // Empty when the arguments are usable.
    QString error() const { return problem; }
    bool finalize() const { return finalizeFiles; }
    // Each take's result as a line of JSON on standard output.
    bool json() const { return jsonLines; }
    // PATH to scan, or FILE to dump or check.
    QString path() const { return scanPath; }
    bool dump() const { return dumpFile; }
    bool check() const { return checkFile; }

private:
    bool help = false;
    bool version = false;
    bool finalizeFiles = false;
    bool jsonLines = false;
    bool dumpFile = false;
    bool checkFile = false;
    QString scanPath;
    QString problem;
};

#endif
