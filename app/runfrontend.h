#ifndef RUNFRONTEND_H
#define RUNFRONTEND_H

#include <QString>

class TakeResult;

// What a run needs from the program that shows it: the window or the console.
class RunFrontEnd
{
public:
    virtual ~RunFrontEnd() = default;

    // One report line; one trailing newline is dropped.
    virtual void writeLine(const QString& text) = 0;
    virtual void clearOutput() = 0;
    // Locked while a run is busy, so no second run can start meanwhile.
    virtual void lockInputs() = 0;
    virtual void unlockInputs() = 0;
    // True when the user answers Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    virtual void showInformation(const QString& title, const QString& text) = 0;

    // Asked once before the first take of a finalize run is written; true
    // goes on. A console was told to finalize by its option already.
    virtual bool confirmFinalize(const QString& place, int takes)
    {
        Q_UNUSED(place);
        Q_UNUSED(takes);
        return true;
    }
    // Take `number` of `total` (counted before the first) is about to be handled.
    virtual void takeStarting(int number, int total, const QString& path)
    {
        Q_UNUSED(number);
        Q_UNUSED(total);
        Q_UNUSED(path);
    }
    // What became of a take, right after its report line.
    virtual void takeFinished(const TakeResult& result) { Q_UNUSED(result); }
};

#endif
