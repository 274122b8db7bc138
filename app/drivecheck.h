#ifndef DRIVECHECK_H
#define DRIVECHECK_H

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QProcess;
class QStorageInfo;
class RunFrontEnd;

// Asks the system whether a volume is marked dirty and runs the disk checker on it.
class DriveCheck
{
    Q_DECLARE_TR_FUNCTIONS(DriveCheck)

public:
    // Results of queryDirty and checkDrive.
    static constexpr int queryFailed = 0;
    static constexpr int dirty = 1;
    static constexpr int clean = 2;

    explicit DriveCheck(RunFrontEnd& frontEnd);

    // The volume of path: on Windows the drive letter and colon of the folder
    // holding it, elsewhere where it is mounted.
    static QString driveOf(const QString& path);
    // Whether the volume of path is mounted read-only.
    static bool mountedReadOnly(const QString& path);

    int queryDirty(const QString& drive);
    int checkDrive(const QString& drive, bool repair);

    // The check before a scan: false when the volume stays dirty and the run must end.
    bool checkBeforeScan(const QString& path);

private:
    static QStorageInfo volumeOf(const QString& path);
    // False when the program is not on the search path: then it is not started.
    static bool startTool(QProcess& process, const QString& program, const QStringList& arguments);
    void writeCheckerOutput(QProcess& checker);

    RunFrontEnd& frontEnd;
};

#endif
