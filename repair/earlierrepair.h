#ifndef EARLIERREPAIR_H
#define EARLIERREPAIR_H

#include "framemap.h"

#include <QByteArray>
#include <QList>

class QuickTimeFile;

// Finds where an interrupted repair of a recording began, so that the next
// repair decides as that one did. A repair writes from the end of the
// recorded media it chose: a lead (the older family's timecode block), then
// the movie atom, whose first bytes are its user data atom and vendor atom
// with the counts of the items that were whole in the file as it stood. Its
// first write carries all of that. Once written, those bytes can make the
// file longer and a torn last item look whole, so the file as it stands now
// no longer tells where the media ended; the earlier repair's own movie does.
class EarlierRepair
{
public:
    // One way a repair of this family begins its writes.
    struct Form
    {
        QByteArray lead;                  // bytes right before the movie atom
        quint32 appendedTimecodeSamples;  // timecode samples it adds to the map's
    };

    // Where the earlier repair began (the end of the recorded media as it then
    // stood; 0 when no movie of an earlier repair of this recording lies
    // behind the media) and the items that were whole up to there.
    struct Found
    {
        quint64 start = 0;
        FrameMap::Count whole;
    };

    // Looks at the recorded end first, then at the bytes an attempt that made
    // the file longer can have written. Needs the frame map read and the
    // settings applied to `file`; `listed` counts every item the map lists.
    static Found find(const QuickTimeFile& file, const QList<Form>& forms, const FrameMap::Count& listed);

    // Bytes of the movie atom read to recognise it: up to the vendor values.
    static constexpr int signatureBytes = 88;
};

#endif
