#include "app/appidentity.h"
#include "app/scanrun.h"
#include "cli/commandline.h"
#include "cli/consolefrontend.h"
#include "cli/moviedump.h"
#include "cli/takejson.h"
#include "cli/takecheck.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

namespace {

const int exitCompleted = 0;
const int exitUnrecoverableOrEnded = 1;
const int exitUsage = 2;
// Distinct from 1, so a script can tell a mistyped or unmounted card from one
// with takes that could not be saved.
const int exitPathMissing = 3;
// Takes a later run can still finish once what kept them is mended.
const int exitLeftUnfinished = 4;
const int exitFolderSkipped = 5;
// Scan only: takes wait for a run with --finalize.
const int exitRequiresFinalize = 6;

// The first that applies, the most urgent first.
int exitStatus(const ScanRun::Outcome& outcome, bool scanOnly)
{
    if (outcome.pathMissing)
        return exitPathMissing;
    if (!outcome.completed || outcome.unrecoverableCount != 0)
        return exitUnrecoverableOrEnded;
    if (outcome.leftUnfinishedCount != 0)
        return exitLeftUnfinished;
    if (outcome.skippedFolderCount != 0)
        return exitFolderSkipped;
    if (scanOnly && outcome.finalizedCount != 0)
        return exitRequiresFinalize;
    return exitCompleted;
}

// A reader that goes away early (ambrel-cli ... | head) must not end the process
// in the middle of a repair: the lines are then lost, the run goes on.
void keepRunningWhenOutputCloses()
{
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

QString helpText()
{
    return CommandLine::usage() + QLatin1Char('\n')
        + QCoreApplication::translate(
            "main",
            "Scans PATH for recordings a recorder left unfinished and lists them.\n"
            "  --finalize  also repair them in place (Scan and finalize)\n"
            "  --json      print each take's result as one JSON object a line, then one\n"
            "              object with the run's counts; the report lines then go to\n"
            "              standard error. A take's keys, in this order, null where a\n"
            "              value is not known:\n"
            "                type (\"take\"), name, folder, family (orla, vesk), format,\n"
            "                duration, recovered, status (requires-finalize, finalized,\n"
            "                unrecoverable, not-finalized, repaired-not-renamed),\n"
            "                statusText, newName: the window's table;\n"
            "                path, finalPath, reason: where it was and stands, and why;\n"
            "                codec, codecName, width, height, interlaced, frameRate,\n"
            "                timeScale, frameDuration, frames, durationSeconds,\n"
            "                soundTracks, channels, sampleRate, bitsPerSample,\n"
            "                startTimecode, reel: what was recorded;\n"
            "                listedFrames, listedSoundChunks, listedTimecodeSamples,\n"
            "                foundFrames, foundSoundChunks, foundTimecodeSamples,\n"
            "                tornItems, keptFrames, keptSoundChunks,\n"
            "                keptTimecodeSamples: the items a repair counted.\n"
            "              The last object's keys: type (\"summary\"), mode (scan,\n"
            "              finalize), completed, requiresFinalize, finalized,\n"
            "              unrecoverable, notFinalized, foldersSkipped, leftByStop,\n"
            "              pathMissing, volumeReadOnly, exitStatus.\n"
            "  --dump      print the atom tree of the movie FILE with every field and value\n"
            "  --check     describe the take or movie FILE in a few lines: family, state\n"
            "              (unfinished, repaired, complete, unrecoverable), codec, picture,\n"
            "              rate, duration, frames, sound, start timecode and, for an\n"
            "              unfinished take, what a repair would recover; writes nothing\n"
            "  --help      show this text\n"
            "  --version   show the version\n"
            "PATH is a folder to walk, or one recording.\n"
            "Exit status, the first that applies: 2 usage error; 3 PATH does not exist\n"
            "or is neither a folder nor a recording; 1 files unrecoverable, or the run\n"
            "ended because the drive still reports errors; 4 files not finalized for\n"
            "their surroundings (permissions, a full card, memory, another run), a later\n"
            "run can finish them; 5 a folder could not be scanned; 6 scan only: files\n"
            "require finalizing; 0 everything finalized, or nothing to do.\n"
            "--dump: 0 the file is atoms (or zero bytes) to its end; 1 reading stopped\n"
            "where no atom fits (the atoms before are printed) or the file cannot be opened.\n"
            "--check: 0 the file was described; 1 it cannot be opened.\n");
}

}

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    setApplicationIdentity();

    const CommandLine commandLine(QCoreApplication::arguments());
    if (commandLine.wantsHelp()) {
        QTextStream(stdout) << helpText();
        return exitCompleted;
    }
    if (commandLine.wantsVersion()) {
        QTextStream(stdout) << "ambrel-cli " << QCoreApplication::applicationVersion() << '\n';
        return exitCompleted;
    }
    if (!commandLine.error().isEmpty()) {
        QTextStream(stderr) << "ambrel-cli: " << commandLine.error() << '\n' << CommandLine::usage() << '\n';
        return exitUsage;
    }

    keepRunningWhenOutputCloses();
    if (commandLine.dump()) {
        QTextStream out(stdout);
        const MovieDump::Result result = MovieDump::print(commandLine.path(), out);
        if (result == MovieDump::Result::Unreadable)
            QTextStream(stderr) << "ambrel-cli: cannot open " << commandLine.path() << '\n';
        return result == MovieDump::Result::Whole ? exitCompleted : exitUnrecoverableOrEnded;
    }
    if (commandLine.check()) {
        QTextStream out(stdout);
        if (TakeCheck::print(commandLine.path(), out) == TakeCheck::Result::Described)
            return exitCompleted;
        QTextStream(stderr) << "ambrel-cli: cannot open " << commandLine.path() << '\n';
        return exitUnrecoverableOrEnded;
    }
    ConsoleFrontEnd console(commandLine.json() ? ConsoleFrontEnd::Output::Json : ConsoleFrontEnd::Output::Lines);
    console.installMessageHandler();
    const bool scanOnly = !commandLine.finalize();
    const ScanRun::Outcome outcome = ScanRun(console).run(commandLine.path(), scanOnly);
    const int status = exitStatus(outcome, scanOnly);
    console.writeSummary(TakeJson::summary(outcome, scanOnly, status));
    return status;
}
