#include "readbackmovie.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimesampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackheaderatom.h"
#include "tracklines.h"
#if QTLIB_VARIANT_TOLVAN
#include "quicktimeeditlistatom.h"
#endif

#include <QFile>
#include <QtEndian>

QTLIB_BEGIN_NAMESPACE

namespace {

template <class Atom>
void collect(Atom* atom, quint32 type, QList<Atom*>& found)
{
    if (atom->type == type)
        found.append(atom);
    for (Atom* child : std::as_const(atom->children))
        collect(child, type, found);
}

} // namespace

QList<QuickTimeAtom*> atomsOfType(QuickTimeAtom* root, quint32 type)
{
    QList<QuickTimeAtom*> found;
    if (root)
        collect(root, type, found);
    return found;
}

QList<const QuickTimeAtom*> atomsOfType(const QuickTimeAtom* root, quint32 type)
{
    QList<const QuickTimeAtom*> found;
    if (root)
        collect(root, type, found);
    return found;
}

QuickTimeAtom* atomAt(QuickTimeAtom* atom, const QString& path)
{
    for (const QString& type : path.split('/')) {
        if (!atom)
            return nullptr;
        const QByteArray code = type.toLatin1();
        QuickTimeAtom* next = nullptr;
        for (QuickTimeAtom* candidate : std::as_const(atom->children)) {
            if (candidate->type == qFromBigEndian<quint32>(code.constData()))
                next = candidate;
        }
        atom = next;
    }
    return atom;
}

const QByteArray ReadBackMovie::openHeader = QByteArray::fromHex("000000016d6461740000000000000010");

ReadBackMovie::ReadBackMovie(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(movieDataHeaderOffset))
        return;
    movieDataHeader = file.read(16);
    if (movieDataHeader.size() != 16 || headerIsOpen())
        return;
    movieStart = movieDataHeaderOffset + qint64(movieDataSize());
    if (!file.seek(movieStart - 512))
        return;
    blockBefore = file.read(512);
    const QByteArray header = file.read(8);
    if (header.size() != 8 || header.mid(4) != "moov")
        return;
    const qint64 size = qFromBigEndian<quint32>(header.constData());
    tree.reset(QuickTimeAtomReader::readTree(&file, quint64(movieStart), quint64(size)));
    if (!tree)
        return;
    movieEnd = movieStart + size;
    if (file.seek(movieEnd))
        blockAfter = file.read(512);
}

ReadBackMovie::~ReadBackMovie() = default;

quint64 ReadBackMovie::movieDataSize() const
{
    return movieDataHeader.size() == 16 ? qFromBigEndian<quint64>(movieDataHeader.constData() + 8) : 0;
}

QList<QuickTimeAtom*> ReadBackMovie::atomsOfType(const char (&type)[5]) const
{
    return QTLIB_NAMESPACE::atomsOfType(tree.get(), fourCC(type));
}

QString ReadBackMovie::positionLine() const
{
    return QStringLiteral("Recorded FILE Last Position Start:%1 End:%2 Size:%3")
        .arg(movieStart).arg(movieEnd).arg(movieEnd - movieStart);
}

namespace {

QString fourText(quint32 code)
{
    const char text[4] = { char(code >> 24), char(code >> 16), char(code >> 8), char(code) };
    return QString::fromLatin1(text, 4);
}

QString trackLine(QuickTimeAtom* track)
{
    auto* header = static_cast<QuickTimeTrackHeaderAtom*>(atomAt(track, "tkhd"));
    auto* media = static_cast<QuickTimeMediaHeaderAtom*>(atomAt(track, "mdia/mdhd"));
    auto* handler = static_cast<QuickTimeHandlerReferenceAtom*>(atomAt(track, "mdia/hdlr"));
    QuickTimeAtom* table = atomAt(track, "mdia/minf/stbl");
    auto* descriptions = static_cast<QuickTimeSampleDescriptionAtom*>(atomAt(table, "stsd"));
    auto* times = static_cast<QuickTimeTimeToSampleAtom*>(atomAt(table, "stts"));
    auto* chunks = static_cast<QuickTimeSampleToChunkAtom*>(atomAt(table, "stsc"));
    auto* sizes = static_cast<QuickTimeSampleSizeAtom*>(atomAt(table, "stsz"));
    auto* offsets = static_cast<QuickTimeChunkOffset64Atom*>(atomAt(table, "co64"));
    if (!header || !media || !handler || !descriptions || !times || !chunks || !sizes || !offsets)
        return QStringLiteral("incomplete track");

    QString edit;
#if QTLIB_VARIANT_TOLVAN
    if (auto* edits = static_cast<QuickTimeEditListAtom*>(atomAt(track, "edts/elst")))
        edit = QStringLiteral(" edit %1").arg(edits->entries.isEmpty() ? 0 : edits->entries.first().trackDuration);
#else
    if (atomAt(track, "edts"))
        edit = QStringLiteral(" edit ?");
#endif
    QStringList timeEntries;
    for (const auto& entry : times->entries)
        timeEntries.append(QStringLiteral("%1x%2").arg(entry.sampleCount).arg(entry.sampleDuration));
    QStringList chunkEntries;
    for (const auto& entry : chunks->entries)
        chunkEntries.append(QStringLiteral("%1:%2:%3").arg(entry.firstChunk).arg(entry.samplesPerChunk).arg(entry.sampleDescriptionId));
    const bool aligned = (sizes->readPosition + 20) % 512 == 0 && (offsets->readPosition + 16) % 512 == 0;
    const QString format = descriptions->descriptions.isEmpty() ? QStringLiteral("-") : fourText(descriptions->descriptions.first()->format);
    return QStringLiteral("track %1 %2 %3 duration %4%5 media %6/%7 stts %8 stsc %9 stsz %10x%11 [%12] co64 [%13]%14")
        .arg(header->trackId)
        .arg(fourText(handler->componentSubtype), format)
        .arg(header->duration)
        .arg(edit)
        .arg(media->duration)
        .arg(media->timeScale)
        .arg(timeEntries.join(' '), chunkEntries.join(' '))
        .arg(sizes->sampleCount)
        .arg(sizes->sampleSize)
        .arg(listText(sizes->readSizes), listText(offsets->readOffsets), aligned ? QStringLiteral(" aligned") : QString());
}

} // namespace

QStringList ReadBackMovie::trackLines() const
{
    QStringList lines;
    for (QuickTimeAtom* track : atomsOfType("trak"))
        lines.append(trackLine(track));
    return lines;
}

QTLIB_END_NAMESPACE
