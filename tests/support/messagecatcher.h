#ifndef MESSAGECATCHER_H
#define MESSAGECATCHER_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// While it lives, keeps every message the code under test raises instead
// of printing it: the debug lines a repair reports with, in order, and the
// first warning (which a fuzz target counts as a broken invariant). One at
// a time.
class MessageCatcher
{
public:
    MessageCatcher() : previousHandler(qInstallMessageHandler(catchMessage)) { active = this; }
    ~MessageCatcher()
    {
        qInstallMessageHandler(previousHandler);
        active = nullptr;
    }
    Q_DISABLE_COPY(MessageCatcher)

    QStringList lines;
    QString firstWarning;

    // What `check` finds wrong with `input` (and the lines it raised), or
    // else the first warning the code under test raised meanwhile: empty
    // when neither.
    static QString brokenInvariant(QString (*check)(const QByteArray&, const MessageCatcher&), const QByteArray& input)
    {
        MessageCatcher messages;
        const QString broken = check(input, messages);
        if (!broken.isEmpty() || messages.firstWarning.isEmpty())
            return broken;
        return QStringLiteral("warning raised: ") + messages.firstWarning;
    }

private:
    static void catchMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (active && (type == QtDebugMsg || type == QtInfoMsg))
            active->lines.append(message);
        else if (active && active->firstWarning.isEmpty())
            active->firstWarning = message;
    }

    static inline MessageCatcher* active = nullptr;
    QtMessageHandler previousHandler;
};

#endif
