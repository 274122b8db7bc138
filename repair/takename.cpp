#include "takename.h"

namespace {

constexpr int extensionLength = 4;

QString extensionOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int nameStart = slash + 1;
    if (path.size() - nameStart <= extensionLength || path.at(path.size() - extensionLength) != QLatin1Char('.'))
        return QString();
    return path.right(extensionLength);
}

} // namespace

namespace TakeName {

Kind kind(const QString& path)
{
    const QString extension = extensionOf(path).toLower();
    if (extension == QLatin1String(".vlv"))
        return Kind::Video;
    if (extension == QLatin1String(".vla"))
        return Kind::Sound;
    if (extension == QLatin1String(".nrv"))
        return Kind::FailedVideo;
    if (extension == QLatin1String(".nra"))
        return Kind::FailedSound;
    return Kind::Other;
}

QString renamed(const QString& path, bool repaired)
{
    QString extension;
    switch (kind(path)) {
    case Kind::Video:
        extension = repaired ? QStringLiteral(".mov") : QStringLiteral(".nrv");
        break;
    case Kind::Sound:
        extension = repaired ? QStringLiteral(".wav") : QStringLiteral(".nra");
        break;
    default:
        return path;
    }
    const QString written = extensionOf(path);
    if (written == written.toUpper())
        extension = extension.toUpper();
    return path.left(path.size() - extensionLength) + extension;
}

} // namespace TakeName
