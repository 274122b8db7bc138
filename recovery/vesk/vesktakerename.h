#ifndef VESKTAKERENAME_H
#define VESKTAKERENAME_H

#include <QString>

// The name a Vesk take leaves the flow under: every occurrence of its
// temporary extension (".vlv", ".vla", as written in lower case) becomes the
// finished one (".mov", ".wav") or the failure one (".nrv", ".nra").
class VeskTakeRename
{
public:
    static QString target(const QString& path, bool video, bool repaired);

    // Renames `path` to `target` and returns the name the file stands under
    // afterwards: the target, or `path` when the rename failed, which is then
    // reported as a debug line.
    static QString rename(const QString& path, const QString& target);
};

#endif
