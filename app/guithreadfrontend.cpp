#include "app/guithreadfrontend.h"

#include "takeresult.h"

#include <QObject>

GuiThreadFrontEnd::GuiThreadFrontEnd(QObject& context, RunFrontEnd& target)
    : context(context),
      target(target)
{
}

// The calls capture the target, never this object: a queued call may run
// after the run that posted it has ended.
template <class Call> void GuiThreadFrontEnd::post(Call call)
{
    QMetaObject::invokeMethod(&context, std::move(call), Qt::QueuedConnection);
}

template <class Call> void GuiThreadFrontEnd::wait(Call call)
{
    QMetaObject::invokeMethod(&context, std::move(call), Qt::BlockingQueuedConnection);
}

void GuiThreadFrontEnd::writeLine(const QString& text)
{
    post([shown = &target, text] { shown->writeLine(text); });
}

void GuiThreadFrontEnd::clearOutput()
{
    post([shown = &target] { shown->clearOutput(); });
}

void GuiThreadFrontEnd::lockInputs()
{
    post([shown = &target] { shown->lockInputs(); });
}

void GuiThreadFrontEnd::unlockInputs()
{
    post([shown = &target] { shown->unlockInputs(); });
}

bool GuiThreadFrontEnd::askYesNo(const QString& title, const QString& text)
{
    bool yes = false;
    wait([&] { yes = target.askYesNo(title, text); });
    return yes;
}

void GuiThreadFrontEnd::showInformation(const QString& title, const QString& text)
{
    wait([&] { target.showInformation(title, text); });
}

bool GuiThreadFrontEnd::confirmFinalize(const QString& place, int takes)
{
    bool yes = false;
    wait([&] { yes = target.confirmFinalize(place, takes); });
    return yes;
}

void GuiThreadFrontEnd::takeStarting(int number, int total, const QString& path)
{
    // Waits, so a stop the user asks for on seeing a take ends the run after that take.
    wait([&] { target.takeStarting(number, total, path); });
}

void GuiThreadFrontEnd::takeFinished(const TakeResult& result)
{
    post([shown = &target, result] { shown->takeFinished(result); });
}
