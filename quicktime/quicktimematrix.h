#ifndef QUICKTIMEMATRIX_H
#define QUICKTIMEMATRIX_H

#include <QtGlobal>

// The identity transformation of movie and track headers (16.16 and 2.30).
inline constexpr quint32 quickTimeIdentityMatrix[9] = { 0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000 };

// QuickTime counts seconds from 1904; this is 1970-01-01 00:00:00.
inline constexpr quint32 quickTimeUnixEpoch = 2082844800;

#endif
