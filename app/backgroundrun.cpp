#include "app/backgroundrun.h"

#include "app/scanrun.h"

#include <QThread>

BackgroundRun::BackgroundRun(RunFrontEnd& frontEnd, QObject* parent)
    : QObject(parent),
      forwarder(*this, frontEnd)
{
}

BackgroundRun::~BackgroundRun()
{
    if (!worker)
        return;
    requestStop();
    worker->wait();
    delete worker;
}

void BackgroundRun::start(const QString& path, bool scanOnly)
{
    if (worker)
        return;
    // A fresh run each time: a stop asked for before never carries over.
    scanRun = std::make_unique<ScanRun>(forwarder);
    worker = QThread::create([run = scanRun.get(), path, scanOnly] { run->run(path, scanOnly); });
    // Queued behind everything the run posted before it ended.
    connect(worker, &QThread::finished, this, [this] {
        worker->deleteLater();
        worker = nullptr;
        emit finished();
    });
    worker->start();
}

void BackgroundRun::requestStop()
{
    if (worker)
        scanRun->requestStop();
}
