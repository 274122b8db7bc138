#ifndef LINERECORDER_H
#define LINERECORDER_H

#include <QStringList>
#include <QtGlobal>

class Finalize;

// Collects, in order, the scanner's report lines and every debug message raised
// meanwhile, as the output pane would receive them.
class LineRecorder
{
public:
    explicit LineRecorder(Finalize& scanner);
    ~LineRecorder();

    QStringList lines;

private:
    static void recordMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler previousHandler;
};

#endif
