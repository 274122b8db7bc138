#ifndef FINALIZE_H
#define FINALIZE_H

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class TakeFamily;

// The scanner of one run: walks the folder trees, reports every recording it
// finds and, unless scanOnly is set, hands each one to its family's finalize flow.
class Finalize : public QObject
{
    Q_OBJECT

public:
    // Size of the frame map work buffer lent to the family flows.
    static constexpr int indexBufferSize = 5472000;
    // Result of a flow for a file that was not finalized (also a failed seek, read or write).
    static constexpr int notFinalized = 31;
    // Results of detectFamily.
    static constexpr int familyVesk = 0;
    static constexpr int familyOrla = 1;
    static constexpr int familyUnreadable = 2;

    Finalize();
    ~Finalize() override;

    bool start(const QStringList& paths);
    bool scanPaths(const QStringList& paths);
    bool walkFolder(QDir& folder);
    bool scanFolder(QDir& folder);
    bool isSkippedFolder(const QDir& folder);
    int finalizeFile(QString path);
    int detectFamily(QString path);

    // Family flows: 0 when the file was finalized, any other value when not.
    int finalizeOrlaFile(QString path);
    int finalizeVeskFile(QString path);

    char* indexBuffer; // null when the buffer could not be allocated; zero at first, as the frame map read wants it
    QString outputFileName;
    QStringList skipFolders;
    QStringList nameFilters;
    bool scanOnly;
    int finalizedCount;
    int unrecoverableCount;
    // Set when a root is not a folder; its line is the only trace of it otherwise.
    bool pathMissing;
    int isOrla;

signals:
    void textOutput(QString text);

private:
    int finalizeVideo(const TakeFamily& family, const QString& path);
    int finalizeAudio(const QString& path);
    bool walkFolder(QDir& folder, QSet<QString>& enteredFolders);
    bool enterSubfolder(QDir& folder, const QString& name, QSet<QString>& enteredFolders);
    void reportFile(const QDir& folder, const QFileInfo& entry);
};

#endif
