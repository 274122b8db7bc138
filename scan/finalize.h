#ifndef FINALIZE_H
#define FINALIZE_H

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include "takeresult.h"

#include <atomic>

// The scanner of one run: walks the folder trees, reports every recording it
// finds and, unless scanOnly is set, hands each one to its family's finalize flow.
class Finalize : public QObject
{
    Q_OBJECT

public:
    // Size of the frame map work buffer lent to the family flows.
    static constexpr int indexBufferSize = 5472000;
    // Results of detectFamily.
    static constexpr int familyVesk = 0;
    static constexpr int familyOrla = 1;
    static constexpr int familyUnreadable = 2;

    Finalize();
    ~Finalize() override;

    bool start(const QStringList& paths);
    // What start would meet, found by listing the trees alone (nothing is
    // opened, no line written): every take, and those a finalize run writes.
    struct Count
    {
        int takes = 0;
        int unfinished = 0;
    };
    Count countTakes(const QStringList& paths);
    bool scanPaths(const QStringList& paths);
    bool walkFolder(QDir& folder);
    bool scanFolder(QDir& folder);
    bool isSkippedFolder(const QDir& folder);
    TakeResult finalizeFile(QString path);
    int detectFamily(QString path);

    // Family flows: what became of the take.
    TakeResult finalizeOrlaFile(QString path);
    TakeResult finalizeVeskFile(QString path);

    char* indexBuffer; // null when the buffer could not be allocated; zero at first, as the frame map read wants it
    QStringList skipFolders;
    QStringList nameFilters;
    bool scanOnly;
    int finalizedCount;
    int unrecoverableCount;
    // Takes left unfinished for their surroundings, or repaired and not renamed.
    int leftUnfinishedCount;
    // Folders that could not be read or entered: their takes were not scanned.
    int skippedFolderCount;
    // Set when a root is neither a folder nor a take; its line is the only trace of it otherwise.
    bool pathMissing;
    // Set by the run, from any thread: the walk ends before the next take
    // once it holds true, and stopped tells it did.
    const std::atomic_bool* stopRequested = nullptr;
    bool stopped = false;

signals:
    void textOutput(QString text);
    void takeStarting(QString path);
    void takeFinished(TakeResult result);

private:
    // What a take's head says was recorded, for a scan that writes nothing.
    static RecordedFormat recordedAsSet(const QString& path, bool orla);
    // Counts the take and writes its report line.
    void report(const TakeResult& result);
    void skipFolder(const QString& path);
    bool walkFolder(QDir& folder, QSet<QString>& enteredFolders);
    bool enterSubfolder(QDir& folder, const QString& name, QSet<QString>& enteredFolders);
    // Counts the take while counting; otherwise handles it, unless a stop
    // was asked for: false then.
    bool handleTake(const QFileInfo& entry);
    void reportFile(const QFileInfo& entry);
    void writeReportLine(const TakeResult& result);

    Count* counting = nullptr; // set while countTakes lists the trees
};

#endif
