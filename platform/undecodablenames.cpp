#include "undecodablenames.h"

#include <QFile>

#include <algorithm>

#ifdef Q_OS_WIN

QList<UndecodableName> undecodableNames(const QString&)
{
    return {};
}

#else

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

QList<UndecodableName> undecodableNames(const QString& folder)
{
    QList<UndecodableName> names;
    DIR* listing = opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return names;
    while (const dirent* entry = readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || QFile::encodeName(QFile::decodeName(name)) == name)
            continue;
        // Not by the entry's type: some file systems do not give it.
        struct stat status;
        const bool isFolder = fstatat(dirfd(listing), entry->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
        names.append({ QFile::decodeName(name), isFolder });
    }
    closedir(listing);
    std::sort(names.begin(), names.end(),
        [](const UndecodableName& a, const UndecodableName& b) { return a.shownAs < b.shownAs; });
    return names;
}

#endif
