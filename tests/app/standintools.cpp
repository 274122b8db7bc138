#include "standintools.h"

#include <QDir>
#include <QFile>

namespace {
const char* const variables[] = {"AMBREL_STANDIN_VOLUME", "AMBREL_STANDIN_LOG", "AMBREL_STANDIN_CHKDSK",
                                 "AMBREL_STANDIN_FSUTIL"};
}

StandinTools::StandinTools()
    : savedPath(qgetenv("PATH"))
{
    qputenv("PATH", (standinFolder() + QLatin1Char(':')).toLocal8Bit() + savedPath);
    qputenv("AMBREL_STANDIN_VOLUME", file("volume").toLocal8Bit());
    qputenv("AMBREL_STANDIN_LOG", file("calls").toLocal8Bit());
    setVolumeDirty(false);
}

StandinTools::~StandinTools()
{
    qputenv("PATH", savedPath);
    for (const char* variable : variables)
        qunsetenv(variable);
}

QString StandinTools::standinFolder() const
{
    return qEnvironmentVariable("AMBREL_SOURCE_DIR") + QStringLiteral("/tests/support/standins");
}

QString StandinTools::file(const QString& name) const
{
    return dir.filePath(name);
}

void StandinTools::setVolumeDirty(bool dirty)
{
    QFile volume(file("volume"));
    if (volume.open(QIODevice::WriteOnly | QIODevice::Truncate))
        volume.write(dirty ? "dirty\n" : "clean\n");
}

void StandinTools::setChecker(const QString& mode)
{
    qputenv("AMBREL_STANDIN_CHKDSK", mode.toLocal8Bit());
}

void StandinTools::setVolumeTool(const QString& mode)
{
    qputenv("AMBREL_STANDIN_FSUTIL", mode.toLocal8Bit());
}

void StandinTools::removeTools()
{
    QDir().mkpath(file("empty"));
    qputenv("PATH", file("empty").toLocal8Bit());
}

void StandinTools::removeChecker()
{
    QDir().mkpath(file("fsutil-only"));
    QFile::link(standinFolder() + QStringLiteral("/fsutil"), file("fsutil-only/fsutil"));
    qputenv("PATH", file("fsutil-only").toLocal8Bit());
}

QStringList StandinTools::calls() const
{
    QFile log(file("calls"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString StandinTools::volumeToolLine(const QString& drive, bool dirty)
{
    return QStringLiteral("fsutil:  \"Volume - %1 is %2\\n\"").arg(drive, dirty ? "Dirty" : "NOT Dirty");
}
