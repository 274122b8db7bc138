#include "scan/finalize.h"

#include "veskaudiorepair.h"
#include "veskreport.h"
#include "vesktakerename.h"
#include "veskvideorepair.h"

#include <QFile>
#include <QtDebug>

int Finalize::finalizeVeskFile(QString path)
{
    isOrla = 0;
    QFile file(path);
    qDebug("doing veskone finalize");
    const QString lowerPath = path.toLower();
    const bool video = lowerPath.endsWith(QLatin1String(".vlv"));
    if (!video && !lowerPath.endsWith(QLatin1String(".vla")))
        return notFinalized;
    // Checked before the take is opened: a run short of memory must leave
    // the take under its name, to be repaired by a later run.
    if (video && !indexBuffer) {
        VeskReport::failure(path.toUtf8(), "not enough memory");
        return notFinalized;
    }
    // ExistingOnly: a take that vanished since the listing must not be created empty.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return notFinalized;

    int result = notFinalized;
    bool unfinished = false;
    if (video) {
        const VeskVideoRepair::Outcome outcome = VeskVideoRepair::run(*this, &file, reinterpret_cast<quint8*>(indexBuffer));
        result = outcome == VeskVideoRepair::Outcome::Repaired ? 0 : notFinalized;
        unfinished = outcome == VeskVideoRepair::Outcome::Unfinished;
    } else {
        result = VeskAudioRepair::run(&file, &unfinished);
    }
    // Both repairs leave their writes on the device; nothing is left to flush.
    file.close();

    // A take whose repair could not be written (a full card) keeps its name:
    // a later run redoes or finishes it.
    if (unfinished) {
        outputFileName = path;
        return result;
    }
    // Otherwise, once opened, a take leaves under its finished or its failure name.
    outputFileName = VeskTakeRename::rename(path, VeskTakeRename::target(path, video, result == 0));
    return result;
}
