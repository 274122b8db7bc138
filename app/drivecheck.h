#ifndef DRIVECHECK_H
#define DRIVECHECK_H

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QProcess;
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

    // The drive letter and colon of the folder holding path.
    static QString driveOf(const QString& path);

    int queryDirty(const QString& drive);
    int checkDrive(const QString& drive, bool repair);

    // The check before a scan: false when the volume stays dirty and the run must end.
    bool checkBeforeScan(const QString& path);

private:
    static void startTool(QProcess& process, const QString& program, const QStringList& arguments);
    void writeCheckerOutput(QProcess& checker);

    RunFrontEnd& frontEnd;
};

#endif
