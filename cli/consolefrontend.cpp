#include "cli/consolefrontend.h"

#include "app/outputline.h"

#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

void printDebugMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    ConsoleFrontEnd::printLine(message);
}

}

void ConsoleFrontEnd::installMessageHandler()
{
    qInstallMessageHandler(printDebugMessage);
}

void ConsoleFrontEnd::printLine(const QString& text)
{
    const QByteArray line = withoutTrailingNewline(text).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, line.size(), stdout);
    // Line by line, so a script or a pager sees the scan as it goes.
    std::fflush(stdout);
}

void ConsoleFrontEnd::writeLine(const QString& text)
{
    printLine(text);
}

void ConsoleFrontEnd::clearOutput()
{
    // Nothing was printed before a run starts.
}

void ConsoleFrontEnd::lockInputs()
{
}

void ConsoleFrontEnd::unlockInputs()
{
}

bool ConsoleFrontEnd::askYesNo(const QString& title, const QString& text)
{
    if (!inputIsTerminal())
        return false;
    QTextStream prompt(stderr);
    prompt << title << ' ' << text << " [y/N] " << Qt::flush;
    const QString answer = QTextStream(stdin).readLine().trimmed();
    return answer.compare(QLatin1String("y"), Qt::CaseInsensitive) == 0
        || answer.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

void ConsoleFrontEnd::showInformation(const QString& title, const QString& text)
{
    QTextStream(stderr) << title << ": " << text << Qt::endl;
}

bool ConsoleFrontEnd::inputIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}
