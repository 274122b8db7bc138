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
    if (!activeCatcher)
        return;
    if (type == QtDebugMsg || type == QtInfoMsg)
        activeCatcher->lines.append(message);
    else if (activeCatcher->firstWarning.isEmpty())
        activeCatcher->firstWarning = message;
}

QString MessageCatcher::brokenInvariant(QString (*check)(const QByteArray&), const QByteArray& input)
{
    MessageCatcher messages;
    const QString broken = check(input);
    if (!broken.isEmpty() || messages.firstWarning.isEmpty())
        return broken;
    return QStringLiteral("warning raised: ") + messages.firstWarning;
}
