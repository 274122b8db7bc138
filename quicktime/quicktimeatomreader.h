#ifndef QUICKTIMEATOMREADER_H
#define QUICKTIMEATOMREADER_H

#include "quicktimefourcc.h"

#include <QByteArray>

class QDataStream;
class QIODevice;

class QuickTimeAtom;
class QuickTimeSampleDescription;

// Parses atoms from a stream into a tree of the library's classes. Every
// size is checked against what the parent and the stream hold before it is
// used: an atom that runs past either, or nesting deeper than any movie
// needs, makes the whole read fail instead of being trusted.
class QuickTimeAtomReader
{
public:
    static constexpr int deepestNesting = 32;

    // The atoms in bytes [start, start + length) of the device (clipped to
    // the device's end), as the children of a new headerless root atom that
    // the caller owns; null when the range does not parse.
    static QuickTimeAtom* readTree(QIODevice* device, quint64 start, quint64 length);
    static QuickTimeAtom* readTree(const QByteArray& bytes);

    // Reads atoms into parent until `remaining` bytes are used up; a final
    // 32-bit zero (a list terminator) is accepted.
    static bool readChildren(QuickTimeAtom* parent, QDataStream& stream, quint64& remaining);

    // An empty atom of the class that models `type`, or an unrecognized atom.
    static QuickTimeAtom* create(quint32 type);
    // An empty description of the class that models `format`, or a generic one.
    static QuickTimeSampleDescription* createDescription(quint32 format);

private:
    static bool readAtom(QuickTimeAtom* parent, QDataStream& stream, quint64& remaining);
};

#endif
