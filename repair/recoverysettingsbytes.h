#ifndef RECOVERYSETTINGSBYTES_H
#define RECOVERYSETTINGSBYTES_H

#include <QString>
#include <QtEndian>
#include <cstring>

// Decoding helpers shared by the two families' settings blocks.
namespace RecoverySettingsBytes {

inline quint16 u16(const quint8* bytes, int at) { return qFromLittleEndian<quint16>(bytes + at); }
inline quint32 u32(const quint8* bytes, int at) { return qFromLittleEndian<quint32>(bytes + at); }
inline quint64 u64(const quint8* bytes, int at) { return qFromLittleEndian<quint64>(bytes + at); }

// The characters up to the first zero byte, never beyond maxLength.
inline QString nameUpToZero(const quint8* bytes, int at, int maxLength)
{
    const char* name = reinterpret_cast<const char*>(bytes + at);
    const void* zero = std::memchr(name, 0, size_t(maxLength));
    const int length = zero ? int(static_cast<const char*>(zero) - name) : maxLength;
    return QString::fromLatin1(name, length);
}

} // namespace RecoverySettingsBytes

#endif
