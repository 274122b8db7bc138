#ifndef RUNFRONTEND_H
#define RUNFRONTEND_H

#include <QString>

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
};

#endif
