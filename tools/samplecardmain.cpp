#include "samplecard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ambrel-samplecard"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a demo card folder with unfinished recordings of both recorder families."));
    parser.addHelpOption();
    const QCommandLineOption framesOption(QStringLiteral("frames"),
                                          QStringLiteral("Video frames per take (default 24)."),
                                          QStringLiteral("count"), QStringLiteral("24"));
    parser.addOption(framesOption);
    const QCommandLineOption intoNonEmptyOption(QStringLiteral("into-non-empty"),
        QStringLiteral("Also write into a folder that already holds files (none of them is replaced)."));
    parser.addOption(intoNonEmptyOption);
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The card folder to write."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    bool framesOk = false;
    const int frames = parser.value(framesOption).toInt(&framesOk);
    if (!framesOk || frames < 1 || frames > 250) {
        err << "--frames takes a count from 1 to 250\n";
        return 2;
    }

    // The takes' video is encoded and read back by ffmpeg's programs; the package
    // only suggests them, so a missing one is named plainly, not as a failed command.
    for (const QString& tool : {QStringLiteral("ffmpeg"), QStringLiteral("ffprobe")}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            err << "ambrel-samplecard: " << tool <<  " was not found: the sample takes' video is made with ffmpeg's programs. "
                << "Install ffmpeg (Debian: apt install ffmpeg) and run again.\n";
            return 1;
        }
    }

    // A folder that holds anything may be someone's card: nothing goes in
    // unless asked for.
    const QString folder = parser.positionalArguments().first();
    const QDir target(folder);
    if (!parser.isSet(intoNonEmptyOption) && target.exists()
        && !target.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        err << "ambrel-samplecard: " << folder << " is not empty: a sample card goes into a new or empty folder "
            << "(--into-non-empty adds it here, replacing no file)\n";
        return 1;
    }

    SampleCard card(folder, frames);
    const bool ok = card.write();
    for (const QString& line : card.written())
        out << line << '\n';
    if (!ok) {
        err << "ambrel-samplecard: " << card.error() << '\n';
        return 1;
    }
    return 0;
}
