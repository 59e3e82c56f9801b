# shellcheck shell=bash
# The music's stops, sourced by tests/e2e/run: cut off in mid-sound, music clicks.

ALL_CASES+=(music_stops_softly)

# stops FROM TO [ENDED]: each place in that stretch of the output where sound gives way to
# 1000 frames of silence (or, ENDED, to the output's end), as "FRAME STEP": the largest step
# between samples over its last 22 frames and into the silence.
stops() {
  od -An -v -t d2 -w4 -j "$1" -N $(($2 - $1)) "$AUDIO" | awk -v first=$(($1 / 4)) -v ended="${3:-}" '
    function abs(v) { return v < 0 ? -v : v }
    function stop_step(  i, m) {
      m = abs(pl) > abs(pr) ? abs(pl) : abs(pr)
      for (i in steps) if (steps[i] > m) m = steps[i]
      return m
    }
    $1 == 0 && $2 == 0 && sound { at = first + NR - 1; worst = stop_step(); quiet = sound = 0; pending = 1 }
    $1 == 0 && $2 == 0 && pending && ++quiet >= 1000 { print at, worst; pending = 0 }
    $1 != 0 || $2 != 0 { pending = 0; sound = 1 }
    { l = abs($1 - pl); r = abs($2 - pr); steps[NR % 22] = l > r ? l : r; pl = $1; pr = $2 }
    END { if (pending) print at, worst; else if (sound && ended) print first + NR, stop_step() }'
}

# 戻る on the aircraft sheet, 出撃！ on the briefing and Esc in the game window each take the
# music down: no step over 1000 between samples where a cut drops from thousands to 0.
case_music_stops_softly() {
  launch
  wait_window Skarvelin
  local title=$WIN from found
  press Tab Return
  wait_window 機体説明
  hear 3
  from=$HEARD_FROM
  press Return
  wait_window Skarvelin "$title"
  hear 2
  press Return
  wait_window 世界情勢
  story_to_game_window
  wait_loaded
  hear 2
  press Escape
  expect_exit "Esc in the game window"
  found=$(stops "$from" "$(audio_size)" ended)
  note "stops at frame and largest step: $(tr '\n' ';' <<<"$found")"
  expect "the stops heard" "$(grep -c . <<<"$found")" 3
  awk '$2 > 1000 { exit 1 }' <<<"$found" || fail "a stop with a step of over 1000: $found"
}
