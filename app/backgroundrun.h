#ifndef BACKGROUNDRUN_H
#define BACKGROUNDRUN_H

#include "app/guithreadfrontend.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;
class ScanRun;

// The window's run on a thread of its own, so the window stays responsive
// while a large take is written to a slow card. One run at a time.
class BackgroundRun : public QObject
{
    Q_OBJECT

public:
    // `frontEnd` lives on this object's thread.
    explicit BackgroundRun(RunFrontEnd& frontEnd, QObject* parent = nullptr);
    // Waits for a run still busy, after asking it to stop.
    ~BackgroundRun() override;

    void start(const QString& path, bool scanOnly);
    bool isRunning() const { return worker != nullptr; }
    // The run ends after the take it is handling.
    void requestStop();

signals:
    // After every line and row of the run has reached the front end.
    void finished();

private:
    GuiThreadFrontEnd forwarder;
    std::unique_ptr<ScanRun> scanRun;
    QThread* worker = nullptr;
};

#endif
