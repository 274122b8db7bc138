#ifndef TAKENAME_H
#define TAKENAME_H

#include <QString>

// The names recorders and repairs give takes. Only the last extension of the
// file name counts, in any case: a card written elsewhere may carry its names
// in capitals, and a folder's name may hold a dot and an extension too.
namespace TakeName {

enum class Kind {
    Other,
    Video,       // ".vlv": a video take the recorder left unfinished
    Sound,       // ".vla": a sound take the recorder left unfinished
    FailedVideo, // ".nrv": a video take an earlier run could not save
    FailedSound  // ".nra"
};

Kind kind(const QString& path);

// `path` with the temporary extension of its file name changed to the
// finished one (".mov", ".wav") or the failure one (".nrv", ".nra"), in
// capitals when the extension was written in capitals; `path` itself for
// a name without a temporary extension.
QString renamed(const QString& path, bool repaired);

} // namespace TakeName

#endif
