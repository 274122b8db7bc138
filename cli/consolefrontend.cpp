#include "cli/consolefrontend.h"

#include "app/outputline.h"
#include "cli/takejson.h"

#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

std::FILE* debugStream = stdout;

void print(std::FILE* stream, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    // Line by line, so a script or a pager sees the scan as it goes.
    std::fflush(stream);
}

QByteArray lineOf(const QString& text)
{
    return withoutTrailingNewline(text).toLocal8Bit() + '\n';
}

void printDebugMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    print(debugStream, lineOf(message));
}

}

ConsoleFrontEnd::ConsoleFrontEnd(Output output)
    : json(output == Output::Json),
      lines(json ? stderr : stdout)
{
}

void ConsoleFrontEnd::installMessageHandler() const
{
    debugStream = lines;
    qInstallMessageHandler(printDebugMessage);
}

void ConsoleFrontEnd::writeSummary(const QByteArray& summary) const
{
    if (json)
        print(stdout, summary);
}

void ConsoleFrontEnd::writeLine(const QString& text)
{
    print(lines, lineOf(text));
}

void ConsoleFrontEnd::takeFinished(const TakeResult& result)
{
    if (json)
        print(stdout, TakeJson::take(result));
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
