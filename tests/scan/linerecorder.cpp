#include "linerecorder.h"

#include "scan/finalize.h"

namespace {
LineRecorder* activeRecorder = nullptr;
}

LineRecorder::LineRecorder(Finalize& scanner)
{
    QObject::connect(&scanner, &Finalize::textOutput, [this](const QString& text) { lines.append(text); });
    activeRecorder = this;
    previousHandler = qInstallMessageHandler(recordMessage);
}

LineRecorder::~LineRecorder()
{
    qInstallMessageHandler(previousHandler);
    activeRecorder = nullptr;
}

void LineRecorder::recordMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (activeRecorder)
        activeRecorder->lines.append(message);
}
