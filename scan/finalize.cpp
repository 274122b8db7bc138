#include "scan/finalize.h"

#include "opentake.h"
#include "orlafamily.h"
#include "takename.h"
#include "takerepair.h"
#include "undecodablenames.h"
#include "veskaudiorepair.h"
#include "veskfamily.h"

#include <QFile>
#include <QtDebug>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QtEndian>

#include <new>

namespace {

// A take an earlier attempt could not save: listed, never opened again.
bool isFailureName(const QString& path)
{
    const TakeName::Kind kind = TakeName::kind(path);
    return kind == TakeName::Kind::FailedVideo || kind == TakeName::Kind::FailedSound;
}

}

Finalize::Finalize()
    : indexBuffer(new (std::nothrow) char[indexBufferSize]()),
      nameFilters({QStringLiteral("*.vlv"), QStringLiteral("*.vla"), QStringLiteral("*.nrv"),
                   QStringLiteral("*.nra")}),
      scanOnly(false),
      finalizedCount(0),
      unrecoverableCount(0),
      leftUnfinishedCount(0),
      skippedFolderCount(0),
      pathMissing(false)
{
}

Finalize::~Finalize()
{
    delete[] indexBuffer;
}

bool Finalize::start(const QStringList& paths)
{
    finalizedCount = 0;
    unrecoverableCount = 0;
    leftUnfinishedCount = 0;
    skippedFolderCount = 0;
    pathMissing = false;
    stopped = false;
    return scanPaths(paths);
}

Finalize::Count Finalize::countTakes(const QStringList& paths)
{
    Count count;
    const QSignalBlocker silent(this);
    counting = &count;
    scanPaths(paths);
    counting = nullptr;
    pathMissing = false;
    return count;
}

bool Finalize::scanPaths(const QStringList& paths)
{
    for (const QString& path : paths) {
        QDir folder(QDir::toNativeSeparators(path));
        // Absolute before the current directory moves, or a relative root would
        // then name a different folder.
        folder.setPath(folder.absolutePath());
        const QFileInfo given(folder.absolutePath());
        if (given.isFile()) {
            if (TakeName::kind(given.absoluteFilePath()) == TakeName::Kind::Other) {
                emit textOutput(tr("ERROR: Specified file is not a recording: %1\n").arg(given.absoluteFilePath()));
                pathMissing = true;
                break;
            }
            handleTake(given);
            continue;
        }
        if (!folder.exists()) {
            emit textOutput(tr("ERROR: Specfied path does not exist: %1\n").arg(folder.absolutePath()));
            pathMissing = true;
            break;
        }
        // The walk runs inside the card, but leaves the process where it was:
        // a current directory on the card would keep it from being ejected.
        const QString previousCurrent = QDir::currentPath();
        QDir::setCurrent(folder.absolutePath());
        walkFolder(folder);
        QDir::setCurrent(previousCurrent);
        if (stopped)
            break;
    }
    return true;
}

bool Finalize::walkFolder(QDir& folder)
{
    QSet<QString> enteredFolders{QFileInfo(folder.absolutePath()).canonicalFilePath()};
    return walkFolder(folder, enteredFolders);
}

// enteredFolders holds the real (link-resolved) path of every folder this walk has
// entered, so a folder link that leads back into the tree is not followed again.
bool Finalize::walkFolder(QDir& folder, QSet<QString>& enteredFolders)
{
    if (isSkippedFolder(folder)) {
        emit textOutput(tr("Skipping folder: %1\n").arg(folder.absolutePath()));
        return true;
    }
    // A folder that cannot be read lists as empty, and its takes cannot be
    // opened if it cannot be entered: it is said to be skipped instead.
    const QFileInfo here(folder.absolutePath());
    if (!here.isReadable() || !here.isExecutable()) {
        skipFolder(folder.absolutePath());
        return true;
    }
    scanFolder(folder);

    QStringList subfolders = folder.entryList(QDir::AllDirs);
    subfolders.removeAll(QStringLiteral("."));
    subfolders.removeAll(QStringLiteral(".."));

    const QString current = folder.path();
    for (const QString& name : std::as_const(subfolders)) {
        if (stopped)
            break;
        if (!enterSubfolder(folder, name, enteredFolders))
            continue;
        walkFolder(folder, enteredFolders);
        // Back to exactly where we were, even if the subfolder vanished meanwhile.
        folder.setPath(current);
    }
    return true;
}

bool Finalize::enterSubfolder(QDir& folder, const QString& name, QSet<QString>& enteredFolders)
{
    const QString realPath = QFileInfo(folder.absoluteFilePath(name)).canonicalFilePath();
    // A link back to a folder already walked hides nothing.
    if (enteredFolders.contains(realPath)) {
        emit textOutput(tr("Skipping folder: %1\n").arg(folder.absoluteFilePath(name)));
        return false;
    }
    if (realPath.isEmpty() || !folder.cd(name)) {
        skipFolder(folder.absoluteFilePath(name));
        return false;
    }
    enteredFolders.insert(realPath);
    return true;
}

void Finalize::skipFolder(const QString& path)
{
    emit textOutput(tr("Skipping folder: %1\n").arg(path));
    ++skippedFolderCount;
}

bool Finalize::scanFolder(QDir& folder)
{
    emit textOutput(tr("Scanning folder: %1\n").arg(folder.absolutePath()));
    // Files only: a folder named like a take is walked as a folder.
    const QFileInfoList entries = folder.entryInfoList(nameFilters, QDir::Files);
    for (const QFileInfo& entry : entries) {
        if (!handleTake(entry))
            return true;
    }
    // Names nothing can open are reported, never handled: not counted as takes.
    if (counting)
        return true;
    // Names the listing above leaves out: said, since nothing can open them.
    for (const UndecodableName& entry : undecodableNames(folder.absolutePath())) {
        const QString path = folder.absoluteFilePath(entry.shownAs);
        const TakeName::Kind kind = TakeName::kind(path);
        if (entry.folder) {
            skipFolder(path);
        } else if (isFailureName(path)) {
            report(TakeResult(path, TakeResult::Family::Unknown, TakeResult::Status::Unrecoverable));
        } else if (kind != TakeName::Kind::Other) {
            TakeResult result(path, TakeResult::Family::Vesk, TakeResult::Status::LeftUnfinished);
            result.reason = OpenTake::accessProblem(path, false);
            report(result);
        }
    }
    return true;
}

bool Finalize::handleTake(const QFileInfo& entry)
{
    if (counting) {
        ++counting->takes;
        if (!isFailureName(entry.absoluteFilePath()))
            ++counting->unfinished;
        return true;
    }
    // Each take commits on its own: stopping between two leaves none half done.
    if (stopRequested && stopRequested->load()) {
        stopped = true;
        return false;
    }
    emit takeStarting(entry.absoluteFilePath());
    reportFile(entry);
    return true;
}

void Finalize::reportFile(const QFileInfo& entry)
{
    const QString path = entry.absoluteFilePath();

    // Takes an earlier attempt could not save are listed, never opened again.
    if (isFailureName(path)) {
        report(TakeResult(path, TakeResult::Family::Unknown, TakeResult::Status::Unrecoverable));
        return;
    }

    if (scanOnly) {
        const bool orla = detectFamily(path) == familyOrla;
        TakeResult listed(path, orla ? TakeResult::Family::Orla : TakeResult::Family::Vesk, TakeResult::Status::RequiresFinalize);
        listed.recorded = recordedAsSet(path, orla);
        report(listed);
        return;
    }
    report(finalizeFile(path));
}

void Finalize::report(const TakeResult& result)
{
    writeReportLine(result);
    emit takeFinished(result);
}

void Finalize::writeReportLine(const TakeResult& result)
{
    using Status = TakeResult::Status;
    if (result.family == TakeResult::Family::Unknown) {
        emit textOutput(tr("     %1 Unrecoverable\n").arg(result.finalPath));
        ++unrecoverableCount;
        return;
    }
    const bool orla = result.family == TakeResult::Family::Orla;
    if (result.status == Status::RequiresFinalize) {
        emit textOutput(tr("     %1 %2 Requires finalize\n").arg(result.finalPath, orla ? tr("(orla)") : tr("(vesk)")));
        ++finalizedCount;
        return;
    }
    switch (result.status) {
    case Status::Finalized:
        ++finalizedCount;
        break;
    case Status::LeftUnfinished:
    case Status::RepairedNotRenamed:
        ++leftUnfinishedCount;
        break;
    default:
        ++unrecoverableCount;
        break;
    }
    emit textOutput(tr("     %1 %2 %3\n").arg(result.finalPath, orla ? tr("(Orla)") : tr("(Vesk)"), result.statusText()));
}

bool Finalize::isSkippedFolder(const QDir& folder)
{
    for (const QString& skipFolder : std::as_const(skipFolders)) {
        if (QDir(skipFolder) == folder)
            return true;
    }
    return false;
}

RecordedFormat Finalize::recordedAsSet(const QString& path, bool orla)
{
    // Only what is cheap to read: the settings block or the chunks before
    // the samples, never the frame map. Only a plain file, for reading.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly))
        return RecordedFormat();
    if (TakeName::kind(path) == TakeName::Kind::Sound)
        return VeskAudioRepair::recordedFormat(&file);
    return RecordedFormat::fromSettingsBlock(&file, orla ? OrlaFamily::instance().profile() : VeskFamily::instance().profile());
}

TakeResult Finalize::finalizeFile(QString path)
{
    const int family = detectFamily(path);
    if (family == familyUnreadable) {
        // Unreadable for its surroundings, or too short to be a take.
        TakeResult result(path, TakeResult::Family::Vesk, TakeResult::Status::Unrecoverable);
        result.reason = OpenTake::accessProblem(path, false);
        if (!result.reason.isEmpty())
            result.status = TakeResult::Status::LeftUnfinished;
        return result;
    }
    if (family == familyOrla)
        return finalizeOrlaFile(path);
    return finalizeVeskFile(path);
}

int Finalize::detectFamily(QString path)
{
    // Audio takes exist only in the Vesk family.
    if (TakeName::kind(path) != TakeName::Kind::Video)
        return familyVesk;

    // Only a plain file is opened: reading a pipe or a device that took a
    // take's name would wait for ever. Reading is all the test needs, so a
    // write-protected card shows its takes' families all the same;
    // ExistingOnly keeps a file that vanished since the listing from being
    // created here.
    if (!QFileInfo(path).isFile())
        return familyUnreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly))
        return familyUnreadable;
    uchar head[4];
    if (file.read(reinterpret_cast<char*>(head), sizeof head) != sizeof head)
        return familyUnreadable;
    file.close();

    // The size of the first atom: the Orla file type atom is small, the Vesk head is not.
    const quint32 firstAtomSize = qFromBigEndian<quint32>(head);
    return firstAtomSize < 0x80 ? familyOrla : familyVesk;
}

TakeResult Finalize::finalizeOrlaFile(QString path)
{
    qDebug("doing orla finalize");
    return TakeRepair::video(OrlaFamily::instance(), TakeResult::Family::Orla, path, indexBuffer);
}

TakeResult Finalize::finalizeVeskFile(QString path)
{
    qDebug("doing veskone finalize");
    const TakeName::Kind kind = TakeName::kind(path);
    if (kind == TakeName::Kind::Sound)
        return TakeRepair::audio(path);
    if (kind != TakeName::Kind::Video)
        return TakeResult(path, TakeResult::Family::Vesk, TakeResult::Status::Unrecoverable);
    return TakeRepair::video(VeskFamily::instance(), TakeResult::Family::Vesk, path, indexBuffer);
}
