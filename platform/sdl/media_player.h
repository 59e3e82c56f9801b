#pragma once
// The media commands played through SDL_mixer.

#include "platform/legacy/media.h"

namespace platform {

// Plays through SDL_mixer, streaming each piece from its file. The mixer plays one piece
// at a time, so playing one alias stops any other that is playing. Music that stops is
// taken down over its last 8 milliseconds, which the stop waits for. Without a sound
// device it switches to SDL's silent dummy driver so that every command still works.
class SdlMediaPlayer : public MediaInterpreter {
  public:
    SdlMediaPlayer();
};

} // namespace platform
