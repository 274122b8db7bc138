#include "quicktimehandlerreferenceatom.h"

#include "quicktimefieldlist.h"
#include "quicktimefieldreader.h"

#include <QDataStream>

namespace {

QByteArray handlerName(quint32 componentType, quint32 componentSubtype)
{
    if (componentType != fourCC("mhlr"))
        return QByteArrayLiteral("DataHandler");
    switch (componentSubtype) {
    case fourCC("vide"): return QByteArrayLiteral("VideoHandler");
    case fourCC("soun"): return QByteArrayLiteral("SoundHandler");
    case fourCC("tmcd"): return QByteArrayLiteral("TimecodeHandler");
    default: return QByteArray();
    }
}

} // namespace

QuickTimeHandlerReferenceAtom::QuickTimeHandlerReferenceAtom(quint32 componentType,
    quint32 componentSubtype)
    : QuickTimeVersionFlagsAtom(fourCC("hdlr"), 20, 0, 0)
    , componentType(componentType)
    , componentSubtype(componentSubtype)
    , componentManufacturer(0)
    , componentFlags(0)
    , componentFlagsMask(0)
    , componentName(handlerName(componentType, componentSubtype))
{
    size += quint32(componentName.size()) + 1;
}

void QuickTimeHandlerReferenceAtom::write(QDataStream& stream)
{
    QuickTimeVersionFlagsAtom::write(stream);
    stream << componentType << componentSubtype << componentManufacturer << componentFlags
           << componentFlagsMask << quint8(componentName.size());
    stream.writeRawData(componentName.constData(), int(componentName.size()));
}

bool QuickTimeHandlerReferenceAtom::read(QDataStream& stream, quint64& remaining)
{
    if (!QuickTimeVersionFlagsAtom::read(stream, remaining))
        return false;
    QuickTimeFieldReader in(stream, remaining);
    componentType = in.u32();
    componentSubtype = in.u32();
    componentManufacturer = in.u32();
    componentFlags = in.u32();
    componentFlagsMask = in.u32();
    // Some writers end the atom without a name at all.
    componentName.clear();
    if (in.ok() && in.left() > 0)
        componentName = in.bytes(in.u8());
    return in.ok();
}

void QuickTimeHandlerReferenceAtom::describeFields(QuickTimeFieldList& fields) const
{
    QuickTimeVersionFlagsAtom::describeFields(fields);
    fields.addFourCC("Component Type", componentType);
    fields.addFourCC("Component Subtype", componentSubtype);
    fields.addFourCC("Component Manufacturer", componentManufacturer);
    fields.addHex("Component Flags", componentFlags, 8);
    fields.addHex("Component Flags Mask", componentFlagsMask, 8);
    fields.addPascalString("Component Name", componentName);
}

