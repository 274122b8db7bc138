#ifndef ORLAFAMILY_H
#define ORLAFAMILY_H

#include "takefamily.h"

// The newer recorder family: settings block of 120 bytes at 36, chunking
// from the block, its own timecode sample in the media, an edit list per
// track and a zero block after the movie. Its repair reports every step.
class OrlaFamily : public TakeFamily
{
public:
    static const OrlaFamily& instance();

    const RecorderProfile& profile() const override;
    bool reportsEveryStep() const override { return true; }
    QList<EarlierRepair::Form> repairForms(const QuickTimeFile& file) const override;
    quint32 minimumItems() const override { return 30; }
    QByteArray closingBlock() const override;
    void reportWriteFailure(const QIODevice* device, WriteStep step) const override;
    Ending endingAfter(VideoRepair::Outcome outcome) const override;
};

#endif
