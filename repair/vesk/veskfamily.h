#ifndef VESKFAMILY_H
#define VESKFAMILY_H

#include "takefamily.h"

// The older recorder family: settings block of 108 bytes at 20, fixed
// chunking, no timecode sample of its own (the repair appends one right
// before the movie), and clean apertures. Its repair reports only refusals
// and failed writes, and every take it opened leaves under a finished or a
// failure name.
class VeskFamily : public TakeFamily
{
public:
    static const VeskFamily& instance();

    const RecorderProfile& profile() const override;
    bool reportsEveryStep() const override { return false; }
    QList<EarlierRepair::Form> repairForms(const QuickTimeFile& file) const override;
    quint32 minimumItems() const override { return 0; }
    bool placeLead(QuickTimeFile& file, const QByteArray& name) const override;
    void reportWriteFailure(const QIODevice* device, WriteStep step) const override;
    Ending endingAfter(VideoRepair::Outcome outcome) const override;

    // The 512-byte block of a timecode sample: the frame number, big-endian, then zeros.
    static QByteArray timecodeSampleBlock(quint32 frameNumber);
};

#endif
