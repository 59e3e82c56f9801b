#pragma once

#include "dsp.h"
#include "score.h"

namespace musicgen {

// A room: parallel damped combs into series all-passes, tuned apart for left and right.
// Returns only the wet signal.
StereoBuffer reverberate(const StereoBuffer& send, const ReverbSettings& settings);

// Echoes that bounce between left and right, each darker than the last. Returns only the echoes.
StereoBuffer echo(const StereoBuffer& send, std::size_t delay_frames, const EchoSettings& settings);

// Scales the mix so no sample exceeds ceiling (linear), turning the gain down just ahead of
// peaks and letting it recover smoothly, so nothing clips and nothing clicks.
void limit(StereoBuffer& mix, double ceiling);

} // namespace musicgen
