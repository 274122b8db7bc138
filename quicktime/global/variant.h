#ifndef QTLIB_VARIANT_H
#define QTLIB_VARIANT_H

// The older recorder family's variant of the atom library: global namespace.

#include <QIODevice>
#include "quicktimefourcc.h"
#include "quicktimevarianttypes.h"
#include "veskrecoverysettings.h"

#define QTLIB_VARIANT_TOLVAN 0
#define QTLIB_NAMESPACE
#define QTLIB_BEGIN_NAMESPACE
#define QTLIB_END_NAMESPACE
#define QTLIB_USE_NAMESPACE

using RecoverySettings = VeskRecoverySettings;

namespace Variant {

constexpr quint64 settingsOffset = 20;
constexpr quint64 settingsSize = VeskRecoverySettings::size;
// The recorder rounds (frame map offset + this lead) down to a block.
constexpr quint64 mediaDataRoundingLead = 5472528;
constexpr bool ownsFrameMap = false;
constexpr QIODevice::OpenMode movieOpenMode = QIODevice::ReadWrite;
constexpr bool logsChunkOffsetStreaming = false;
constexpr bool writesCleanAperture = true;

constexpr QuickTimeProResChoice proResChoices[] = {
    { 2, -1, fourCC("ap4h"), "Apple ProRes 4444" },
    { 1, 0, fourCC("apch"), "Apple ProRes 422 (HQ)" },
    { 1, 1, fourCC("apcn"), "Apple ProRes 422" },
    { 1, 2, fourCC("apcs"), "Apple ProRes 422 (LT)" },
    { 1, 3, fourCC("apco"), "Apple ProRes 422 (Proxy)" },
    { -1, -1, fourCC("apch"), "Apple ProRes 422" },
};

constexpr QuickTimePictureAspect pictureAspects[] = {
    { 720, 480, { 10, 11 }, { 704, 1, 480, 1, 0, 1, 0, 1 } },
    { 720, 486, { 10, 11 }, { 704, 1, 480, 1, 0, 1, 0, 1 } },
    { 720, 576, { 59, 54 }, { 41472, 59, 576, 1, 0, 1, 0, 1 } },
    { 960, 720, { 1, 1 }, { 936, 1, 702, 1, 0, 1, 0, 1 } },
    { 1280, 720, { 1, 1 }, { 1248, 1, 702, 1, 0, 1, 0, 1 } },
    { 1296, 720, { 1, 1 }, { 1248, 1, 702, 1, 0, 1, 0, 1 } },
    { 1280, 1080, { 1, 1 }, { 3776, 3, 1062, 1, 0, 1, 0, 1 } },
    { 1440, 1080, { 1, 1 }, { 1416, 1, 1062, 1, 0, 1, 0, 1 } },
    { 1920, 1080, { 1, 1 }, { 1888, 1, 1062, 1, 0, 1, 0, 1 } },
};

} // namespace Variant

#endif
