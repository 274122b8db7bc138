#ifndef FUZZENTRIES_H
#define FUZZENTRIES_H

#include <QByteArray>
#include <QString>

// The entry of every fuzz target. Each feeds one input to the code under test
// on in-memory devices and returns what went wrong: empty when every
// invariant held, otherwise one line naming the broken one. The same entry
// serves libFuzzer (a broken invariant becomes a crash) and the corpus replay
// of the ordinary test suite.

// The movie rebuild of an unfinished video take of each family (the flow's
// repair steps on the open device: header check, settings, frame map,
// rebuilt movie), on a take made from the input by RecordingInput.
QString fuzzOrlaMovieRebuild(const QByteArray& input);
QString fuzzVeskMovieRebuild(const QByteArray& input);

// The chunk walk and size repair of an audio take (AudioFile::parse, then
// repairSizes), on a file holding the input.
QString fuzzWavChunkWalk(const QByteArray& input);

#endif
