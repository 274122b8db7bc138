#ifndef AUDIOINFO_H
#define AUDIOINFO_H

#include <QtGlobal>

// The format of an audio take as its fmt chunk describes it. The defaults
// stand until a fmt chunk that is understood replaces them.
struct AudioInfo
{
    // Values of formatKind.
    static constexpr quint16 Pcm = 0;
    static constexpr quint16 MpegLayer3 = 1;
    static constexpr quint16 MpegLayer2 = 2;
    static constexpr quint16 Unrecognised = 3;

    quint32 sampleRate = 48000;
    quint16 formatKind = Pcm;
    quint16 channels = 2;
    quint16 bitsPerSample = 16;
};

#endif
