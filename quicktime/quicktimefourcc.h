#ifndef QUICKTIMEFOURCC_H
#define QUICKTIMEFOURCC_H

#include <QtGlobal>

// A four-character code as the big-endian integer whose first byte is the
// first character, so writing it as a 32-bit value yields the characters.
constexpr quint32 fourCC(const char (&code)[5])
{
    return (quint32(quint8(code[0])) << 24) | (quint32(quint8(code[1])) << 16)
        | (quint32(quint8(code[2])) << 8) | quint32(quint8(code[3]));
}

#endif
