#include "takeresult.h"

#include "takename.h"

#include <QStringList>

TakeResult::TakeResult(const QString& path, Family family, Status status)
    : path(path),
      finalPath(path),
      family(family),
      status(status)
{
}

QString TakeResult::statusText() const
{
    QString word;
    switch (status) {
    case Status::RequiresFinalize: word = tr("Requires finalize"); break;
    case Status::Finalized: word = tr("Finalized"); break;
    case Status::Unrecoverable: word = tr("Unrecoverable"); break;
    case Status::LeftUnfinished: word = tr("Not finalized"); break;
    case Status::RepairedNotRenamed: word = tr("Repaired, not renamed"); break;
    }
    return reason.isEmpty() ? word : word + QStringLiteral(": ") + reason;
}

QString TakeResult::statusWord() const
{
    switch (status) {
    case Status::RequiresFinalize: return QStringLiteral("requires-finalize");
    case Status::Finalized: return QStringLiteral("finalized");
    case Status::Unrecoverable: return QStringLiteral("unrecoverable");
    case Status::LeftUnfinished: return QStringLiteral("not-finalized");
    case Status::RepairedNotRenamed: return QStringLiteral("repaired-not-renamed");
    }
    return QString();
}

QString TakeResult::recoveredText() const
{
    if (status != Status::Finalized && status != Status::RepairedNotRenamed)
        return QString();
    // A sound take keeps every sample on the card.
    if (TakeName::kind(path) == TakeName::Kind::Sound)
        return tr("all samples");
    if (!items.counted)
        return QString();
    QStringList kept;
    if (items.kept.frames != 0)
        kept.append(tr("%n frame(s)", nullptr, int(items.kept.frames)));
    if (items.kept.soundChunks != 0)
        kept.append(tr("%n sound chunk(s)", nullptr, int(items.kept.soundChunks)));
    // A movie of the timecode alone.
    QString text = kept.isEmpty() ? tr("no frames or sound chunks") : kept.join(QStringLiteral(", "));
    const quint32 found = items.found.frames + items.found.soundChunks + items.found.timecodeSamples;
    if (found != 0)
        text += QStringLiteral("; ") + tr("%n found after the map", nullptr, int(found));
    if (items.torn != 0)
        text += QStringLiteral("; ") + tr("%n torn item(s) left out", nullptr, int(items.torn));
    return text;
}
