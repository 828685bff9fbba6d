// Feeds arbitrary bytes to the WAV loader: it must fail cleanly or return a
// consistent result, without crashes, undefined behaviour, leaks or reads
// beyond the image.
#include "capture/WavReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WAVReader r;
    // A small limit as well as none, so that both the cut and the full read run.
    for (uint32_t limit : {uint32_t(64), UINT32_MAX}) {
        if (!r.LoadBytes(data, size, limit)) {
            if (r.Error().empty()) std::abort(); // every failure names its reason
            continue;
        }
        // What was read lies inside the image and inside what the chunk declares.
        if (r.data.size() > size || r.data.size() > r.nDataBytes || r.data.size() > limit)
            std::abort();
        if (r.nDataBytes > size) std::abort();
        // Touch every byte so that a bad buffer shows up under the sanitizers.
        unsigned sum = r.IsPcm() ? 1u : 0u;
        for (uint8_t b : r.data)
            sum += b;
        volatile unsigned sink = sum;
        (void)sink;
    }
    return 0;
}
