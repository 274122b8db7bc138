#include "cli/moviedump.h"

#include "quicktimeatom.h"
#include "quicktimeatomreader.h"
#include "quicktimefieldlist.h"
#include "quicktimesampledescription.h"
#include "quicktimesampledescriptionatom.h"

#include <QFile>
#include <QTextStream>
#include <QtEndian>

#include <memory>

namespace {

bool printable(quint32 type)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((type >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

QString typeText(quint32 type)
{
    if (!printable(type))
        return QStringLiteral("0x%1").arg(type, 8, 16, QLatin1Char('0'));
    const char text[4] = { char(type >> 24), char(type >> 16), char(type >> 8), char(type) };
    return QString::fromLatin1(text, 4);
}

QString indent(int depth)
{
    return QString(2 * depth, QLatin1Char(' '));
}

template <class Item>
void printFields(const Item& item, int depth, QTextStream& out)
{
    QuickTimeFieldList fields;
    item.describeFields(fields);
    for (int i = 0; i < fields.count(); ++i)
        out << indent(depth) << fields.name(i) << ": " << fields.value(i) << '\n';
}

void printHeader(quint32 type, quint64 size, quint64 offset, int depth, QTextStream& out)
{
    out << indent(depth) << typeText(type) << ' ' << size << " @ " << offset << '\n';
}

void printAtom(const QuickTimeAtom& atom, int depth, QTextStream& out)
{
    printHeader(atom.type, atom.readSize, atom.readPosition, depth, out);
    printFields(atom, depth + 1, out);
    if (const auto* descriptions = dynamic_cast<const QuickTimeSampleDescriptionAtom*>(&atom)) {
        int number = 0;
        for (const QuickTimeSampleDescription* description : descriptions->descriptions) {
            out << indent(depth + 1) << "entry " << ++number << '\n';
            printFields(*description, depth + 2, out);
        }
    }
    for (const QuickTimeAtom* child : atom.children)
        printAtom(*child, depth + 1, out);
}

// The type and extent of the top-level atom at `offset` as its header gives
// them (a size of 0 runs to the end of the file); extent 0 when no atom fits
// there. A type that is not four printable characters is taken for media:
// the bytes behind an open movie data atom often read as a plausible size.
quint64 atomExtent(QIODevice& file, quint64 offset, quint64 fileSize, quint32* type)
{
    const quint64 left = fileSize - offset;
    if (left < 8 || !file.seek(qint64(offset)))
        return 0;
    const QByteArray header = file.read(16);
    if (header.size() < 8)
        return 0;
    quint64 size = qFromBigEndian<quint32>(header.constData());
    *type = qFromBigEndian<quint32>(header.constData() + 4);
    if (!printable(*type))
        return 0;
    quint64 headerSize = 8;
    if (size == 1) {
        if (header.size() < 16)
            return 0;
        size = qFromBigEndian<quint64>(header.constData() + 8);
        headerSize = 16;
    } else if (size == 0) {
        size = left;
    }
    return size >= headerSize && size <= left ? size : 0;
}

// Whether every byte from `offset` to the end is zero: the block a repair
// closes a movie with, or padding.
bool zeroToTheEnd(QIODevice& file, quint64 offset)
{
    if (!file.seek(qint64(offset)))
        return false;
    while (!file.atEnd()) {
        const QByteArray bytes = file.read(1 << 16);
        if (bytes.isEmpty() || bytes.count('\0') != bytes.size())
            return false;
    }
    return true;
}

} // namespace

MovieDump::Result MovieDump::print(const QString& path, QTextStream& out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result::Unreadable;
    return print(file, out);
}

MovieDump::Result MovieDump::print(QIODevice& file, QTextStream& out)
{
    if (!file.isReadable() || file.isSequential())
        return Result::Unreadable;
    const quint64 fileSize = quint64(file.size());
    // Top-level atoms one at a time, so an unfinished take still shows what
    // lies before its media, and an atom whose contents are no atoms (the
    // recorder's own data in a head) is skipped by its size.
    quint64 offset = 0;
    while (offset < fileSize) {
        quint32 type = 0;
        const quint64 extent = atomExtent(file, offset, fileSize, &type);
        if (extent == 0) {
            if (zeroToTheEnd(file, offset)) {
                out << fileSize - offset << " zero bytes @ " << offset << '\n';
                return Result::Whole;
            }
            out << "reading stopped at " << offset << " of " << fileSize << " bytes\n";
            return Result::Stopped;
        }
        const std::unique_ptr<QuickTimeAtom> tree(QuickTimeAtomReader::readTree(&file, offset, extent));
        if (tree) {
            for (const QuickTimeAtom* atom : tree->children)
                printAtom(*atom, 0, out);
        } else {
            printHeader(type, extent, offset, 0, out);
            out << indent(1) << "contents do not parse\n";
        }
        offset += extent;
    }
    return Result::Whole;
}
