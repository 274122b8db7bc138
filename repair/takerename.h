#ifndef TAKERENAME_H
#define TAKERENAME_H

#include <QString>

namespace TakeRename {

// Renames `path` to `target` and returns the name the file stands under
// afterwards: the target, or `path` when the rename failed (a folder or a
// file in the way), which is then reported as a line and, when `problem`
// is given, in plain words there. A file already named `target` is never
// replaced.
QString rename(const QString& path, const QString& target, QString* problem = nullptr);

} // namespace TakeRename

#endif
