#include "veskaudiorepair.h"

#include "audiofile.h"
#include "filesync.h"
#include "veskreport.h"

#include <QIODevice>

int VeskAudioRepair::run(QIODevice* device)
{
    AudioFile audio(device);
    int result = audio.parse();
    if (result != AudioFile::Success)
        return result;
    bool sizesWritten = false;
    result = audio.repairSizes(&sizesWritten);
    if (sizesWritten && !syncToDevice(device)) {
        VeskReport::writeFailure(device);
        return AudioFile::IoFailure;
    }
    return result;
}
