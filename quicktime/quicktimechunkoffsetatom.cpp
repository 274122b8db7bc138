#include "quicktimechunkoffsetatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"
#include "quicktimetablestream.h"
#include "quicktimetablesummary.h"

#include <QDataStream>
#include <QtDebug>

QuickTimeChunkOffsetAtom::QuickTimeChunkOffsetAtom(bool wide, quint32 chunkCount, QuickTimeEntrySourcePointer offsets)
    : QuickTimeVersionFlagsAtom(wide ? fourCC("co64") : fourCC("stco"), 4, 0, 0)
    , chunkCount(chunkCount)
    , offsets(std::move(offsets))
{
    size += quint32(width()) * chunkCount;
}

void QuickTimeChunkOffsetAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << chunkCount;
    QuickTimeTableStream table(stream);
    if (announcesStreaming)
        qDebug("stream %d entries (%llx)", int(chunkCount), static_cast<unsigned long long>(table.position()));
    // An offset the 32-bit table cannot hold ends it, and fails the write.
    table.write(chunkCount, width(), offsets.get(), width() == 8 ? "co64" : "stco");
    if (announcesStreaming)
        qDebug("done streaming %d entries", int(chunkCount));
}

bool QuickTimeChunkOffsetAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    chunkCount = in.u32();
    auto read = std::make_unique<QuickTimeListSource>();
    if (!(width() == 8 ? in.table<quint64>(chunkCount, read->values) : in.table<quint32>(chunkCount, read->values)))
        return false;
    offsets = std::move(read);
    return true;
}

void QuickTimeChunkOffsetAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addNumber("Entry Count", chunkCount);
    fields.add(QStringLiteral("Offsets"), QuickTimeTableSummary::of(chunkCount, offsets.get()));
}
