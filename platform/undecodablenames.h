#ifndef UNDECODABLENAMES_H
#define UNDECODABLENAMES_H

#include <QList>
#include <QString>

// An entry of a folder whose name, in the bytes the card holds, has no text
// form on this system (a card written under another encoding): Qt's own
// listings leave such entries out without a word, and cannot open them.
struct UndecodableName
{
    QString shownAs; // the name with stand-ins for the bytes that do not decode
    bool folder = false;
};

// Those entries of `folder` (hidden ones aside), by name. None where the
// system's names are text already.
QList<UndecodableName> undecodableNames(const QString& folder);

#endif
