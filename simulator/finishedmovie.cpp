#include "finishedmovie.h"

#include "sourcevideo.h"
#include "toolprocess.h"

#include <QFile>
#include <QTemporaryDir>

QString FinishedMovie::write(const FinishedMovieContent& content, const QString& path)
{
    if (content.bytesPerSample < 2 || content.bytesPerSample > 4)
        return QStringLiteral("PCM is muxed at 2, 3 or 4 bytes per sample");
    if (!content.video && content.channelPcm.isEmpty())
        return QStringLiteral("nothing to mux");
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return QStringLiteral("no scratch folder");

    const QString rawFormat = QStringLiteral("s%1le").arg(content.bytesPerSample * 8);
    QStringList args = { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"), QStringLiteral("-y") };
    QStringList maps;
    int input = 0;
    if (content.video) {
        args << QStringLiteral("-i") << content.video->moviePath;
        maps << QStringLiteral("-map") << QStringLiteral("%1:v").arg(input++);
    }
    for (int channel = 0; channel < content.channelPcm.size(); ++channel) {
        const QString raw = scratch.filePath(QStringLiteral("channel%1.raw").arg(channel));
        QFile file(raw);
        if (!file.open(QIODevice::WriteOnly) || file.write(content.channelPcm.at(channel)) != content.channelPcm.at(channel).size())
            return QStringLiteral("cannot write ") + raw;
        file.close();
        args << QStringLiteral("-f") << rawFormat << QStringLiteral("-ar") << QString::number(content.sampleRate)
             << QStringLiteral("-ac") << QStringLiteral("1") << QStringLiteral("-i") << raw;
        maps << QStringLiteral("-map") << QStringLiteral("%1:a").arg(input++);
    }
    args << maps << QStringLiteral("-c:v") << QStringLiteral("copy")
         << QStringLiteral("-c:a") << QStringLiteral("pcm_") + rawFormat;
    if (!content.timecode.isEmpty())
        args << QStringLiteral("-timecode") << content.timecode;
    args << QStringLiteral("-f") << QStringLiteral("mov") << path;

    const ToolRun mux = ToolProcess::run(QStringLiteral("ffmpeg"), args);
    return mux.ok ? QString() : mux.describe();
}
