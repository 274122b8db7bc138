#ifndef VESKCARD_H
#define VESKCARD_H

#include "recordingwriter.h"
#include "scanrun.h"
#include "wavwriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One call of the Vesk flow on one path by a fresh scanner whose family
// flag and output name hold other values before: its result, its lines
// and what it left in the scanner.
struct VeskFlowCall
{
    int result = -1;
    QStringList lines;
    QString outputFileName;
    int isOrla = -1;

    static VeskFlowCall run(const QString& path);
};

// A card folder for one test: takes written as the older recorders leave
// them, and scanner runs over it.
class VeskCard
{
public:
    VeskCard();

    QString root() const { return rootPath; }
    QString path(const QString& relative) const { return rootPath + QLatin1Char('/') + relative; }

    // Writes a take (video or WAV) at `relative`, creating its folder.
    WrittenTake writeTake(const TakeDescription& take, const QString& relative) const;
    WrittenWav writeWav(const WavDescription& description, const QString& relative) const;

    ScanRun finalize() const;
    // The same run while no file of this process may grow beyond `bytes`,
    // as on a card that fills up.
    ScanRun finalizeWithFileSizeLimit(qint64 bytes) const;

    static QByteArray fileBytes(const QString& path);

private:
    QTemporaryDir dir;
    QString rootPath;
};

// Report lines as the scanner and the Vesk flow print them.
namespace VeskLines {
QString scanning(const QString& folder);
QString doing();
QString result(const QString& path, bool finalized);
QString failure(const QString& path, const QString& reason);
QString renameFailure(const QString& from, const QString& to);
QString leftOut(const QString& path, int items);
QString unusableEnd(const QString& path, quint64 recordedEnd);
} // namespace VeskLines

#endif
