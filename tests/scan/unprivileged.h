#ifndef UNPRIVILEGED_H
#define UNPRIVILEGED_H

#include <QString>
#include <QStringList>

#include <functional>

// Root passes every permission check, so a locked file or folder is locked
// only for somebody else. CI runs the tests as root: there the work runs in
// a child process as the user "nobody"; for anyone else it runs right here.
namespace Unprivileged {

// Makes `path` and everything below it belong to that user, so the owner's
// permission bits are the ones that bind. Nothing to do when not root.
bool handOver(const QString& path);

// Runs `work` and returns the strings it returned, or a single line saying
// that the child failed.
QStringList run(const std::function<QStringList()>& work);

}

#endif
