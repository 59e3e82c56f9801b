#pragma once

#include "dsp.h"
#include "score.h"

#include <cstdint>
#include <vector>

namespace musicgen {

// Every note played through its instrument, panned, sent to the echo and the reverb, then
// mastered: brought to the score's loudness, limited below its ceiling, faded out at the end.
StereoBuffer mix_score(const Score& score);

// Interleaved left/right 16-bit samples of a mastered mix.
std::vector<std::int16_t> to_pcm16(const StereoBuffer& mix);

} // namespace musicgen
