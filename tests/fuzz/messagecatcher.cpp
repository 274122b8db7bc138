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
