#ifndef CONSOLEFRONTEND_H
#define CONSOLEFRONTEND_H

#include "app/runfrontend.h"

#include <cstdio>

// Shows a run on the terminal: every line the output pane would show goes to
// standard output; questions and error boxes go to standard error. With
// JSON, standard output carries only each take's result as data, and the
// lines go to standard error.
class ConsoleFrontEnd : public RunFrontEnd
{
public:
    enum class Output { Lines, Json };

    explicit ConsoleFrontEnd(Output output = Output::Lines);

    // Debug messages become report lines, as in the window, on the stream
    // the lines go to.
    void installMessageHandler() const;
    // The run's counts as the last line of data; nothing without JSON.
    void writeSummary(const QByteArray& json) const;

    void writeLine(const QString& text) override;
    void clearOutput() override;
    void lockInputs() override;
    void unlockInputs() override;
    // Yes only when someone at a terminal types it.
    bool askYesNo(const QString& title, const QString& text) override;
    void showInformation(const QString& title, const QString& text) override;
    void takeFinished(const TakeResult& result) override;

private:
    static bool inputIsTerminal();

    const bool json;
    std::FILE* const lines;
};

#endif
