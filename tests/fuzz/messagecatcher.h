#ifndef MESSAGECATCHER_H
#define MESSAGECATCHER_H

#include <QString>
#include <QtGlobal>

// While it lives, keeps the warnings raised by the code under test (a device
// refusing a seek, say) and swallows its debug lines, so a fuzz run stays
// readable and a warning can count as a broken invariant. One at a time.
class MessageCatcher
{
public:
    MessageCatcher();
    ~MessageCatcher();
    Q_DISABLE_COPY(MessageCatcher)

    // The first warning raised, empty when none.
    QString firstWarning() const { return warning; }

    // What `check` finds wrong with `input`, or else the first warning the
    // code under test raised meanwhile: empty when neither.
    static QString brokenInvariant(QString (*check)(const QByteArray&), const QByteArray& input);

private:
    static void catchMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler previousHandler;
    QString warning;
};

#endif
