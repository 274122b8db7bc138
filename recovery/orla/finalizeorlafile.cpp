#include "scan/finalize.h"

#include "orlarepair.h"

#include <QFile>
#include <QtDebug>

int Finalize::finalizeOrlaFile(QString path)
{
    isOrla = 1;
    QFile file(path);
    qDebug("doing orla finalize");
    if (!path.toLower().endsWith(QLatin1String(".vlv")))
        return 0;

    const QByteArray name = path.toUtf8();
    OrlaRepair::Outcome outcome = OrlaRepair::Outcome::NotRepaired;
    // ExistingOnly: a take that vanished since the listing must not be created empty.
    if (file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        outcome = OrlaRepair::run(*this, &file, name);
    else
        qDebug("********************* %s recovery failed, can't open the file!\n", name.constData());
    // A repair is on the device before it is reported (the rebuild syncs it);
    // nothing is left to flush here.
    file.close();

    const bool repaired = outcome == OrlaRepair::Outcome::Repaired || outcome == OrlaRepair::Outcome::CompletedEarlier;
    const int result = repaired ? 0 : notFinalized;
    // A take that was not repaired keeps the recorder's name: it is no movie
    // yet, and it may be repairable later (a locked file, low memory, a full
    // card), so a later scan must still list it.
    if (outcome == OrlaRepair::Outcome::NotRepaired || outcome == OrlaRepair::Outcome::Unfinished) {
        outputFileName = path;
        return result;
    }

    outputFileName = QStringLiteral("Invalid output file.");
    if (!QFile::exists(path) || !path.endsWith(QLatin1String(".vlv")))
        return result;
    QString target = path;
    if (outcome == OrlaRepair::Outcome::RebuildFailed) {
        target.replace(QLatin1String(".vlv"), QLatin1String(".nrv"));
        if (QFile::exists(target))
            QFile::remove(target);
    } else {
        target.replace(QLatin1String(".vlv"), QLatin1String(".mov"));
    }
    // The report names the file where it stands: a take whose folder or
    // a file in the way kept it from its new name is still under its old one.
    if (QFile::rename(path, target)) {
        outputFileName = target;
    } else {
        qDebug() << "Failed to rename file: " << path << " -> " << target;
        outputFileName = path;
    }
    return result;
}
