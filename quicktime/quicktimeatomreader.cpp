#include "quicktimeatomreader.h"

#include "quicktimeatom64.h"
#include "quicktimeavidvideosampledescription.h"
#include "quicktimebasemediainformationatom.h"
#include "quicktimechunkoffsetatom.h"
#include "quicktimedatareferenceatom.h"
#include "quicktimeeditlistatom.h"
#include "quicktimefieldreader.h"
#include "quicktimefileatom.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimeproresvideosampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimeskipatom.h"
#include "quicktimesoundinformationatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetimecodeinformationatom.h"
#include "quicktimetimecodesampledescription.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackheaderatom.h"
#include "quicktimeunrecognizedatom.h"
#include "quicktimevelloranatom.h"
#include "quicktimevideoinformationatom.h"

#include <QBuffer>
#include <QDataStream>

#include <memory>

QuickTimeAtom* QuickTimeAtomReader::create(quint32 type)
{
    switch (type) {
    // Containers that hold only children.
    case fourCC("moov"):
    case fourCC("trak"):
    case fourCC("mdia"):
    case fourCC("minf"):
    case fourCC("gmhd"):
    case fourCC("tmcd"):
    case fourCC("dinf"):
    case fourCC("stbl"):
    case fourCC("udta"):
    case fourCC("edts"):
    case fourCC("urec"): return new QuickTimeAtom(type);
    case fourCC("ftyp"): return new QuickTimeFileAtom();
    case fourCC("skip"): return new QuickTimeSkipAtom();
    case fourCC("mdat"): return new QuickTimeAtom64(type, 16);
    case fourCC("mvhd"): return new QuickTimeMovieHeaderAtom();
    case fourCC("tkhd"): return new QuickTimeTrackHeaderAtom();
    case fourCC("elst"): return new QuickTimeEditListAtom();
    case fourCC("mdhd"): return new QuickTimeMediaHeaderAtom();
    case fourCC("hdlr"): return new QuickTimeHandlerReferenceAtom();
    case fourCC("vmhd"): return new QuickTimeVideoInformationAtom();
    case fourCC("smhd"): return new QuickTimeSoundInformationAtom();
    case fourCC("gmin"): return new QuickTimeBaseMediaInformationAtom();
    case fourCC("tcmi"): return new QuickTimeTimecodeInformationAtom();
    case fourCC("dref"): return new QuickTimeDataReferenceAtom();
    case fourCC("name"): return new QuickTimeSourceReferenceAtom();
    case fourCC("vrln"): return new QuickTimeVelloranAtom();
    case fourCC("stsd"): return new QuickTimeSampleDescriptionAtom();
    case fourCC("stts"): return new QuickTimeTimeToSampleAtom();
    case fourCC("stsc"): return new QuickTimeSampleToChunkAtom();
    case fourCC("stsz"): return new QuickTimeSampleSizeAtom();
    case fourCC("stco"): return new QuickTimeChunkOffsetAtom(false);
    case fourCC("co64"): return new QuickTimeChunkOffsetAtom(true);
    default: return new QuickTimeUnrecognizedAtom(type);
    }
}

QuickTimeSampleDescription* QuickTimeAtomReader::createDescription(quint32 format)
{
    switch (format) {
    case fourCC("tmcd"): return new QuickTimeTimecodeSampleDescription();
    case fourCC("AVdn"): return new QuickTimeAvidVideoSampleDescription();
    case fourCC("ap4x"):
    case fourCC("ap4h"):
    case fourCC("apch"):
    case fourCC("apcn"):
    case fourCC("apcs"):
    case fourCC("apco"): return new QuickTimeProResVideoSampleDescription();
    case fourCC("twos"):
    case fourCC("sowt"):
    case fourCC("in24"):
    case fourCC("in32"):
    case fourCC("lpcm"): return new QuickTimeSoundSampleDescription();
    default: return new QuickTimeSampleDescription(format);
    }
}

QuickTimeAtom* QuickTimeAtomReader::readTree(QIODevice* device, quint64 start, quint64 length)
{
    if (!device || !device->isReadable() || device->isSequential())
        return nullptr;
    const quint64 deviceSize = quint64(device->size());
    if (start > deviceSize || !device->seek(qint64(start)))
        return nullptr;
    const quint64 limit = qMin(length, deviceSize - start);

    auto root = std::make_unique<QuickTimeAtom>(0);
    root->size = quint32(qMin<quint64>(limit, 0xFFFFFFFF));
    root->readPosition = start;
    root->readSize = limit;
    QDataStream stream(device);
    quint64 remaining = limit;
    if (!readChildren(root.get(), stream, remaining))
        return nullptr;
    return root.release();
}

QuickTimeAtom* QuickTimeAtomReader::readTree(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return nullptr;
    return readTree(&buffer, 0, quint64(bytes.size()));
}

bool QuickTimeAtomReader::readChildren(QuickTimeAtom* parent, QDataStream& stream, quint64& remaining)
{
    int depth = 0;
    for (const QuickTimeAtom* atom = parent; atom; atom = atom->parent)
        ++depth;
    if (depth > deepestNesting)
        return false;
    while (remaining >= 8) {
        if (!readAtom(parent, stream, remaining))
            return false;
    }
    if (remaining == 0)
        return true;
    QuickTimeFieldReader in(stream, remaining);
    return remaining == 4 && in.u32() == 0 && in.ok();
}

bool QuickTimeAtomReader::readAtom(QuickTimeAtom* parent, QDataStream& stream, quint64& remaining)
{
    QIODevice* device = stream.device();
    const qint64 start = device ? device->pos() : -1;
    if (start < 0)
        return false;
    QuickTimeFieldReader in(stream, remaining);
    quint64 atomSize = in.u32();
    const quint32 type = in.u32();
    quint64 headerBytes = 8;
    if (atomSize == 1) {
        atomSize = in.u64();
        headerBytes = 16;
    } else if (atomSize == 0 && parent->type == 0 && !parent->parent) {
        // At the top level a zero size means "up to the end".
        atomSize = remaining + headerBytes;
    }
    if (!in.ok() || atomSize < headerBytes || atomSize - headerBytes > remaining)
        return false;

    QuickTimeAtom* atom = create(type);
    atom->readPosition = quint64(start);
    atom->readSize = atomSize;
    atom->size = quint32(qMin<quint64>(atomSize, 0xFFFFFFFF));
    // Attached as found: the sizes were read, not built.
    parent->children.append(atom);
    atom->parent = parent;

    quint64 payload = atomSize - headerBytes;
    remaining -= payload;
    if (!atom->read(stream, payload))
        return false;
    QuickTimeFieldReader rest(stream, payload);
    return rest.skip(payload) && stream.status() == QDataStream::Ok;
}

