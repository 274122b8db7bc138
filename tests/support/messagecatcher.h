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
    MessageCatcher();
    ~MessageCatcher();
    Q_DISABLE_COPY(MessageCatcher)

    QStringList lines;
    QString firstWarning;

    // What `check` finds wrong with `input`, or else the first warning the
    // code under test raised meanwhile: empty when neither.
    static QString brokenInvariant(QString (*check)(const QByteArray&), const QByteArray& input);

private:
    static void catchMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler previousHandler;
};

#endif
