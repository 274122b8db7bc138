#include "cli/commandline.h"

#include <QCoreApplication>

CommandLine::CommandLine(const QStringList& arguments)
{
    QStringList paths;
    bool optionsEnded = false;
    for (const QString& argument : arguments.mid(1)) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            paths.append(argument);
        else if (argument == QLatin1String("--"))
            optionsEnded = true;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            help = true;
        else if (argument == QLatin1String("--version"))
            version = true;
        else if (argument == QLatin1String("--finalize"))
            finalizeFiles = true;
        else if (argument == QLatin1String("--json"))
            jsonLines = true;
        else if (argument == QLatin1String("--dump"))
            dumpFile = true;
        else if (argument == QLatin1String("--check"))
            checkFile = true;
        else if (problem.isEmpty())
            problem = QCoreApplication::translate("CommandLine", "unknown option %1").arg(argument);
    }

    if (!problem.isEmpty())
        return;
    if (dumpFile || checkFile) {
        // Each reads one file and writes nothing.
        const QString option = QLatin1String(dumpFile ? "--dump" : "--check");
        if (dumpFile && checkFile)
            problem = QCoreApplication::translate("CommandLine", "--dump and --check cannot be combined");
        else if (finalizeFiles || jsonLines)
            problem = QCoreApplication::translate("CommandLine", "%1 and %2 cannot be combined")
                          .arg(option, QLatin1String(finalizeFiles ? "--finalize" : "--json"));
        else if (paths.size() != 1 || paths.first().isEmpty())
            problem = QCoreApplication::translate("CommandLine", "%1 takes one FILE").arg(option);
        else
            scanPath = paths.first();
        return;
    }
    if (paths.isEmpty())
        problem = QCoreApplication::translate("CommandLine", "no PATH given");
    else if (paths.size() > 1)
        problem = QCoreApplication::translate("CommandLine", "only one PATH can be scanned");
    else if (paths.first().isEmpty())
        problem = QCoreApplication::translate("CommandLine", "PATH is empty");
    else
        scanPath = paths.first();
}

QString CommandLine::usage()
{
    return QCoreApplication::translate("CommandLine", "usage: ambrel-cli [--json] [--finalize] PATH | --dump FILE | --check FILE");
}
