#include "quicktimeatomreader.h"

#include "quicktimeavidresolutionatom.h"
#include "quicktimeavidvideosampledescription.h"
#include "quicktimebaseinformationheaderatom.h"
#include "quicktimebasemediainformationatom.h"
#include "quicktimechunkoffset64atom.h"
#include "quicktimechunkoffsetatom.h"
#include "quicktimedatainformationatom.h"
#include "quicktimedatareferenceatom.h"
#include "quicktimefieldatom.h"
#include "quicktimefieldreader.h"
#include "quicktimefileatom.h"
#include "quicktimehandlerreferenceatom.h"
#include "quicktimemediaatom.h"
#include "quicktimemediaheaderatom.h"
#include "quicktimemediainformationatom.h"
#include "quicktimemovieatom.h"
#include "quicktimemoviedataatom.h"
#include "quicktimemovieheaderatom.h"
#include "quicktimeproresvideosampledescription.h"
#include "quicktimesampledescriptionatom.h"
#include "quicktimesamplesizeatom.h"
#include "quicktimesampletableatom.h"
#include "quicktimesampletochunkatom.h"
#include "quicktimeskipatom.h"
#include "quicktimesoundinformationatom.h"
#include "quicktimesoundsampledescription.h"
#include "quicktimesourcereferenceatom.h"
#include "quicktimetimecodeheaderatom.h"
#include "quicktimetimecodeinformationatom.h"
#include "quicktimetimecodesampledescription.h"
#include "quicktimetimetosampleatom.h"
#include "quicktimetrackatom.h"
#include "quicktimetrackheaderatom.h"
#include "quicktimeunrecognizedatom.h"
#include "quicktimeuserdataatom.h"
#include "quicktimevelloranatom.h"
#include "quicktimevideoinformationatom.h"
#include "quicktimewideatom.h"
#if QTLIB_VARIANT_TOLVAN
#include "quicktimeeditatom.h"
#include "quicktimeeditlistatom.h"
#include "quicktimerecoverydataatom.h"
#endif

#include <QBuffer>
#include <QDataStream>

#include <memory>

QTLIB_BEGIN_NAMESPACE

QuickTimeAtom* QuickTimeAtomReader::create(quint32 type, QuickTimeFile* file)
{
    switch (type) {
    case fourCC("ftyp"): return new QuickTimeFileAtom(file);
    case fourCC("wide"): return new QuickTimeWideAtom(file);
    case fourCC("skip"): return new QuickTimeSkipAtom(file);
    case fourCC("mdat"): return new QuickTimeMovieDataAtom(0, file);
    case fourCC("moov"): return new QuickTimeMovieAtom(file);
    case fourCC("trak"): return new QuickTimeTrackAtom(file);
    case fourCC("mdia"): return new QuickTimeMediaAtom(file);
    case fourCC("minf"): return new QuickTimeMediaInformationAtom(file);
    case fourCC("gmhd"): return new QuickTimeBaseInformationHeaderAtom(file);
    case fourCC("tmcd"): return new QuickTimeTimecodeHeaderAtom(file);
    case fourCC("dinf"): return new QuickTimeDataInformationAtom(file);
    case fourCC("stbl"): return new QuickTimeSampleTableAtom(file);
    case fourCC("udta"): return new QuickTimeUserDataAtom(file);
    case fourCC("mvhd"): return new QuickTimeMovieHeaderAtom(file);
    case fourCC("tkhd"): return new QuickTimeTrackHeaderAtom(file);
    case fourCC("mdhd"): return new QuickTimeMediaHeaderAtom(file);
    case fourCC("hdlr"): return new QuickTimeHandlerReferenceAtom(0, 0, file);
    case fourCC("vmhd"): return new QuickTimeVideoInformationAtom(file);
    case fourCC("smhd"): return new QuickTimeSoundInformationAtom(file);
    case fourCC("gmin"): return new QuickTimeBaseMediaInformationAtom(file);
    case fourCC("tcmi"): return new QuickTimeTimecodeInformationAtom(file);
    case fourCC("dref"): return new QuickTimeDataReferenceAtom(file);
    case fourCC("name"): return new QuickTimeSourceReferenceAtom(nullptr, file);
    case fourCC("vrln"): return new QuickTimeVelloranAtom(file);
    case fourCC("stsd"): return new QuickTimeSampleDescriptionAtom(file);
    case fourCC("stts"): return new QuickTimeTimeToSampleAtom(file);
    case fourCC("stsc"): return new QuickTimeSampleToChunkAtom(file);
    case fourCC("stsz"): return new QuickTimeSampleSizeAtom(file);
    case fourCC("stco"): return new QuickTimeChunkOffsetAtom(file);
    case fourCC("co64"): return new QuickTimeChunkOffset64Atom(file);
    case fourCC("fiel"): return new QuickTimeFieldAtom(file);
    case fourCC("ARES"): return new QuickTimeAvidResolutionAtom(file);
#if QTLIB_VARIANT_TOLVAN
    case fourCC("edts"): return new QuickTimeEditAtom(file);
    case fourCC("elst"): return new QuickTimeEditListAtom(file);
    case fourCC("urec"): return new QuickTimeRecoveryDataAtom(file);
#endif
    default: return new QuickTimeUnrecognizedAtom(type, 8, file);
    }
}

QuickTimeSampleDescription* QuickTimeAtomReader::createDescription(quint32 format, QuickTimeFile* file)
{
    switch (format) {
    case fourCC("tmcd"): return new QuickTimeTimecodeSampleDescription(file);
    case fourCC("AVdn"): return new QuickTimeAvidVideoSampleDescription(file);
    case fourCC("ap4x"):
    case fourCC("ap4h"):
    case fourCC("apch"):
    case fourCC("apcn"):
    case fourCC("apcs"):
    case fourCC("apco"): return new QuickTimeProResVideoSampleDescription(file);
    case fourCC("twos"):
    case fourCC("sowt"):
    case fourCC("in24"):
    case fourCC("in32"):
    case fourCC("lpcm"): return new QuickTimeSoundSampleDescription(file);
    default: return new QuickTimeSampleDescription(file, format);
    }
}

QuickTimeAtom* QuickTimeAtomReader::readTree(QIODevice* device, quint64 start, quint64 length, QuickTimeFile* file)
{
    if (!device || !device->isReadable() || device->isSequential())
        return nullptr;
    const quint64 deviceSize = quint64(device->size());
    if (start > deviceSize || !device->seek(qint64(start)))
        return nullptr;
    const quint64 limit = qMin(length, deviceSize - start);

    auto root = std::make_unique<QuickTimeAtom>(0, file);
    root->size = quint32(qMin<quint64>(limit, 0xFFFFFFFF));
    root->readPosition = start;
    root->readSize = limit;
    QDataStream stream(device);
    quint64 remaining = limit;
    if (!readChildren(root.get(), stream, remaining))
        return nullptr;
    return root.release();
}

QuickTimeAtom* QuickTimeAtomReader::readTree(const QByteArray& bytes, QuickTimeFile* file)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return nullptr;
    return readTree(&buffer, 0, quint64(bytes.size()), file);
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

    QuickTimeAtom* atom = create(type, parent->file);
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

QTLIB_END_NAMESPACE
