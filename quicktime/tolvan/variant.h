#ifndef QTLIB_VARIANT_H
#define QTLIB_VARIANT_H

// The newer recorder family's variant of the atom library: namespace Tolvan.

#include <QIODevice>
#include "orlarecoverysettings.h"
#include "quicktimefourcc.h"
#include "quicktimevarianttypes.h"

#define QTLIB_VARIANT_TOLVAN 1
#define QTLIB_NAMESPACE Tolvan
#define QTLIB_BEGIN_NAMESPACE namespace Tolvan {
#define QTLIB_END_NAMESPACE }
#define QTLIB_USE_NAMESPACE using namespace Tolvan;

namespace Tolvan {

using RecoverySettings = ::OrlaRecoverySettings;

namespace Variant {

constexpr quint64 settingsOffset = 36;
constexpr quint64 settingsSize = OrlaRecoverySettings::size;
// The recorder rounds (frame map offset + this lead) down to a block.
constexpr quint64 mediaDataRoundingLead = 5472527;
constexpr bool ownsFrameMap = true;
constexpr QIODevice::OpenMode movieOpenMode = QIODevice::ReadWrite | QIODevice::Unbuffered;
constexpr bool logsChunkOffsetStreaming = true;
constexpr bool writesCleanAperture = false;

constexpr QuickTimeProResChoice proResChoices[] = {
    { 2, 0, fourCC("ap4x"), "Apple ProRes 4444 XQ" },
    { 2, -1, fourCC("ap4h"), "Apple ProRes 4444" },
    { 1, 0, fourCC("apch"), "Apple ProRes 422" },
    { 1, 1, fourCC("apch"), "Apple ProRes 422 HQ" },
    { 1, 2, fourCC("apcn"), "Apple ProRes 422" },
    { 1, 3, fourCC("apcs"), "Apple ProRes 422 LT" },
    { 1, 4, fourCC("apco"), "Apple ProRes 422 Proxy" },
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
    { 3840, 2160, { 1, 1 }, { 0, 0, 0, 0, 0, 0, 0, 0 } },
    { 4096, 2160, { 1, 1 }, { 0, 0, 0, 0, 0, 0, 0, 0 } },
};

} // namespace Variant
} // namespace Tolvan

#endif
