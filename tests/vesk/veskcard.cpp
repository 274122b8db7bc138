#include "veskcard.h"

#include "filesizelimit.h"
#include "linerecorder.h"
#include "scan/finalize.h"
#include "testcard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

VeskFlowCall VeskFlowCall::run(const QString& path)
{
    VeskFlowCall call;
    Finalize scanner;
    scanner.isOrla = 1;
    scanner.outputFileName = QStringLiteral("before");
    {
        LineRecorder recorder(scanner);
        call.result = scanner.finalizeVeskFile(path);
        call.lines = recorder.lines;
    }
    call.outputFileName = scanner.outputFileName;
    call.isOrla = scanner.isOrla;
    return call;
}

VeskCard::VeskCard()
    : rootPath(QFileInfo(dir.path()).canonicalFilePath())
{
}

WrittenTake VeskCard::writeTake(const TakeDescription& take, const QString& relative) const
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    return RecordingWriter::write(take, path(relative));
}

WrittenWav VeskCard::writeWav(const WavDescription& description, const QString& relative) const
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    return WavWriter::write(description, path(relative));
}

ScanRun VeskCard::finalize() const
{
    return ScanRun::finalize(rootPath);
}

ScanRun VeskCard::finalizeWithFileSizeLimit(qint64 bytes) const
{
    const FileSizeLimit limit(bytes);
    if (!limit.active)
        qFatal("cannot limit the file size");
    return finalize();
}

QByteArray VeskCard::fileBytes(const QString& path)
{
    return ::fileBytes(path);
}

QString VeskLines::scanning(const QString& folder)
{
    return QStringLiteral("Scanning folder: %1\n").arg(folder);
}

QString VeskLines::doing()
{
    return QStringLiteral("doing veskone finalize");
}

QString VeskLines::result(const QString& path, bool finalized)
{
    return QStringLiteral("     %1 (Vesk) %2\n").arg(path, finalized ? QStringLiteral("Finalized") : QStringLiteral("Unrecoverable"));
}

QString VeskLines::failure(const QString& path, const QString& reason)
{
    return QStringLiteral("********************* %1 recovery failed, %2!\n").arg(path, reason);
}

QString VeskLines::renameFailure(const QString& from, const QString& to)
{
    return QStringLiteral("Failed to rename file:  \"%1\"  ->  \"%2\"").arg(from, to);
}

QString VeskLines::leftOut(const QString& path, int items)
{
    return QStringLiteral("********************* %1 %2 listed items never reached the disk whole, the take is repaired without them!\n")
        .arg(path).arg(items);
}

QString VeskLines::unusableEnd(const QString& path, quint64 recordedEnd)
{
    return QStringLiteral("********************* %1 recorded end %2 does not fit the recorded media, the movie goes at the end of the file!\n")
        .arg(path).arg(recordedEnd);
}
