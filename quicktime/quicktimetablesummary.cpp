#include "quicktimetablesummary.h"

#include "quicktimeentrysource.h"

#include <QStringList>
#include <QtEndian>

void QuickTimeTableSummary::add(quint64 value)
{
    if (count < shownEntries)
        first[count] = value;
    ++count;
    for (int shift = 0; shift < 64; shift += 8) {
        digest ^= (value >> shift) & 0xFF;
        digest *= 0x100000001b3ULL;
    }
}

QString QuickTimeTableSummary::text() const
{
    QStringList shown;
    for (quint64 i = 0; i < qMin<quint64>(count, shownEntries); ++i)
        shown.append(QString::number(first[i]));
    if (count > shownEntries)
        shown.append(QStringLiteral("..."));
    return QStringLiteral("%1 entries [%2] digest %3")
        .arg(count)
        .arg(shown.join(QLatin1Char(' ')))
        .arg(digest, 16, 16, QLatin1Char('0'));
}


QString QuickTimeTableSummary::of(quint64 count, QuickTimeEntrySource* source)
{
    QuickTimeTableSummary summary;
    if (source)
        source->rewind();
    char entries[8 * 1024];
    while (source && summary.count < count) {
        const quint32 drawn = source->write(entries, quint32(qMin<quint64>(count - summary.count, 1024)), 8);
        for (quint32 i = 0; i < drawn; ++i)
            summary.add(qFromBigEndian<quint64>(entries + 8 * i));
        if (drawn == 0)
            break;
    }
    return summary.text();
}
