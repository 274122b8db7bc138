#include "fuzzentries.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// libFuzzer's side of one fuzz target, whose entry the build names in
// AMBREL_FUZZ_ENTRY. A broken invariant aborts, so the fuzzer keeps the
// input as a finding.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = AMBREL_FUZZ_ENTRY(input);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "Broken invariant: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
