#ifndef GUITHREADFRONTEND_H
#define GUITHREADFRONTEND_H

#include "app/runfrontend.h"

class QObject;

// A run on a worker thread shown by a front end that lives on the window's
// thread. Lines, rows and the inputs' state are queued, so they arrive in
// the order they were made, and behind the debug lines raised before them;
// questions and the start of each take wait for the window, so what the
// user answers or sees is what the run does next.
class GuiThreadFrontEnd : public RunFrontEnd
{
public:
    // `target` is called on the thread of `context` only.
    GuiThreadFrontEnd(QObject& context, RunFrontEnd& target);

    void writeLine(const QString& text) override;
    void clearOutput() override;
    void lockInputs() override;
    void unlockInputs() override;
    bool askYesNo(const QString& title, const QString& text) override;
    void showInformation(const QString& title, const QString& text) override;
    bool confirmFinalize(const QString& place, int takes) override;
    void takeStarting(int number, int total, const QString& path) override;
    void takeFinished(const TakeResult& result) override;

private:
    template <class Call> void post(Call call);
    template <class Call> void wait(Call call);

    QObject& context;
    RunFrontEnd& target;
};

#endif
