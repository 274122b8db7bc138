#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one run of a command-line tool left behind.
struct ToolRun
{
    QString command;        // program and arguments, for messages
    bool ok = false;        // started, finished within its time and exited with 0
    bool timedOut = false;
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;

    // One line for a failure message: the command, how it ended, its last error text.
    QString describe() const;
};

// Runs ffmpeg, ffprobe and friends to completion under a time limit, so a
// hanging tool fails its caller instead of stalling it.
class ToolProcess
{
public:
    static constexpr int defaultTimeoutMs = 120000;

    static ToolRun run(const QString& program, const QStringList& arguments,
                       int timeoutMs = defaultTimeoutMs);
};
