#ifndef CONSOLEFRONTEND_H
#define CONSOLEFRONTEND_H

#include "app/runfrontend.h"

// Shows a run on the terminal: every line the output pane would show goes to
// standard output; questions and error boxes go to standard error.
class ConsoleFrontEnd : public RunFrontEnd
{
public:
    // Debug messages become report lines, as in the window.
    static void installMessageHandler();
    static void printLine(const QString& text);

    void writeLine(const QString& text) override;
    void clearOutput() override;
    void lockInputs() override;
    void unlockInputs() override;
    // Yes only when someone at a terminal types it.
    bool askYesNo(const QString& title, const QString& text) override;
    void showInformation(const QString& title, const QString& text) override;

private:
    static bool inputIsTerminal();
};

#endif
