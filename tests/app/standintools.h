#ifndef STANDINTOOLS_H
#define STANDINTOOLS_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Puts the stand-in volume tool and disk checker first on PATH for as long as
// it lives, with a volume that starts clean.
class StandinTools
{
public:
    StandinTools();
    ~StandinTools();

    void setVolumeDirty(bool dirty);
    // How the disk checker behaves: repair, fail, silent or ask.
    void setChecker(const QString& mode);
    // How the volume tool behaves: answer, refuse or hang.
    void setVolumeTool(const QString& mode);
    // Neither tool can be found.
    void removeTools();
    // Only the volume tool can be found.
    void removeChecker();

    // The calls the tools received, oldest first, e.g. "fsutil dirty query /t".
    QStringList calls() const;

    // The debug line the window shows for the volume tool's answer on a drive.
    static QString volumeToolLine(const QString& drive, bool dirty);

private:
    QString standinFolder() const;
    QString file(const QString& name) const;

    QTemporaryDir dir;
    QByteArray savedPath;
};

#endif
