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
        else if (argument == QLatin1String("--dump"))
            dumpFile = true;
        else if (problem.isEmpty())
            problem = QCoreApplication::translate("CommandLine", "unknown option %1").arg(argument);
    }

    if (!problem.isEmpty())
        return;
    if (dumpFile) {
        if (finalizeFiles)
            problem = QCoreApplication::translate("CommandLine", "--dump and --finalize cannot be combined");
        else if (paths.size() != 1 || paths.first().isEmpty())
            problem = QCoreApplication::translate("CommandLine", "--dump takes one FILE");
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
    return QCoreApplication::translate("CommandLine", "usage: ambrel-cli [--finalize] PATH | --dump FILE");
}
