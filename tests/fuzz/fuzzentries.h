#ifndef FUZZENTRIES_H
#define FUZZENTRIES_H

#include <QByteArray>
#include <QString>

// The entry of every fuzz target. Each feeds one input to the code under test
// on in-memory devices and returns what went wrong: empty when every
// invariant held, otherwise one line naming the broken one. The same entry
// serves libFuzzer (a broken invariant becomes a crash) and the corpus replay
// of the ordinary test suite.

// The movie rebuild of an unfinished video take of either family through
// VideoRepair::run, and ambrel-cli --dump and --check over the take before
// and after.
QString fuzzMovieRebuild(const QByteArray& input);

// The chunk walk and size repair of an audio take (AudioFile::parse, then
// repairSizes), on a file holding the input.
QString fuzzWavChunkWalk(const QByteArray& input);

#endif
