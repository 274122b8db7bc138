#include "repairedmovie.h"

#include "quicktimechunkoffset64atom.h"

using namespace Tolvan;

QStringList RepairedMovie::repairLines(const QString& takePath, const QStringList& notes) const
{
    QStringList lines{ QStringLiteral("********************* %1 needs to be restored!\n").arg(takePath) };
    lines += notes;
    // The chunk offset writer names each table's entry count and where it starts.
    for (QuickTimeAtom* atom : atomsOfType("co64")) {
        const auto* offsets = static_cast<QuickTimeChunkOffset64Atom*>(atom);
        lines.append(QStringLiteral("stream %1 entries (%2)").arg(offsets->chunkCount).arg(offsets->readPosition + 16, 0, 16));
        lines.append(QStringLiteral("done streaming %1 entries").arg(offsets->chunkCount));
    }
    lines.append(positionLine());
    return lines;
}
