#ifndef TRACKLINES_H
#define TRACKLINES_H

#include <QString>
#include <QStringList>

// The movie tests compare a rebuilt movie's tracks as one line of text each:
//   track <id> <handler> <format> duration <d>[ edit <e>] media <d>/<scale>
//     stts <n>x<duration> ... stsc <first>:<samples>:1 ... stsz <n>x<size>
//     [<sizes>] co64 [<offsets>][ aligned]
// (" edit" only for a track with an edit list, " aligned" when its size and
// offset tables start on 512-byte boundaries), read from a movie by the atom
// library's side.

// Values joined by commas.
template <class List>
QString listText(const List& values)
{
    QStringList parts;
    for (auto value : values)
        parts.append(QString::number(value));
    return parts.join(',');
}

#endif
