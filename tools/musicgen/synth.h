#pragma once

#include "dsp.h"
#include "score.h"

namespace musicgen {

// What one note sounds like, starting at its onset, before the instrument's pan, gain and
// effect sends are applied. Lasts the held part plus the release (or a drum's decay).
struct NoteSound {
    double hold_seconds = 0.0;
    double frequency = 0.0;            // 0: a drum's own pitch
    double glide_from_frequency = 0.0; // 0: no glide
    double velocity = 1.0;
    std::uint32_t seed = 1; // noise and unison phases, so that renders repeat exactly
};

StereoBuffer render_note(const Instrument& instrument, const NoteSound& note);

} // namespace musicgen
