#include "messagecatcher.h"

namespace {
MessageCatcher* activeCatcher = nullptr;
}

MessageCatcher::MessageCatcher()
{
    activeCatcher = this;
    previousHandler = qInstallMessageHandler(catchMessage);
}

MessageCatcher::~MessageCatcher()
{
    qInstallMessageHandler(previousHandler);
    activeCatcher = nullptr;
}

void MessageCatcher::catchMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || !activeCatcher)
        return;
    if (activeCatcher->warning.isEmpty())
        activeCatcher->warning = message;
}

QString MessageCatcher::brokenInvariant(QString (*check)(const QByteArray&), const QByteArray& input)
{
    MessageCatcher messages;
    const QString broken = check(input);
    if (!broken.isEmpty())
        return broken;
    if (!messages.firstWarning().isEmpty())
        return QStringLiteral("warning raised: ") + messages.firstWarning();
    return {};
}
