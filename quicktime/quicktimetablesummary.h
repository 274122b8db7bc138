#ifndef QUICKTIMETABLESUMMARY_H
#define QUICKTIMETABLESUMMARY_H

#include "quicktimefourcc.h"

#include <QString>

class QuickTimeEntrySource;

// The display value of a table that may hold millions of entries: its entry
// count, the first few entries and a 64-bit FNV-1a digest of all of them, so
// two tables read the same only when every entry is equal.
class QuickTimeTableSummary
{
public:
    void add(quint64 value);
    QString text() const;

    template <class Next>
    static QString of(quint64 count, Next&& next)
    {
        QuickTimeTableSummary summary;
        quint64 value = 0;
        for (quint64 i = 0; i < count && next(value); ++i)
            summary.add(value);
        return summary.text();
    }

    // The first `count` entries of a source (fewer when it runs dry).
    static QString of(quint64 count, QuickTimeEntrySource* source);

private:
    static constexpr int shownEntries = 4;

    quint64 count = 0;
    quint64 first[shownEntries] = {};
    quint64 digest = 0xcbf29ce484222325ULL;
};

#endif
