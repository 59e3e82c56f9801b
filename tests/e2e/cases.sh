# shellcheck shell=bash
# The cases of tests/e2e/run, sourced by it. Places are in a window's own pixels (before
# any magnification), as the screens lay out their controls.

# The buttons' middles.
START_BUTTON=(200 328)
PAGE_BUTTONS=("284 328" "284 320" "276 320")
SORTIE_BUTTON=(268 320)
# The game window: the playfield, the counters of the head-up display, and the title.
FIELD_X=19 FIELD_Y=34 FIELD_W=512 FIELD_H=300
MB_X=273 EN_X=319 EB_X=366 COUNTER_Y=8 COUNTER_W=45 COUNTER_H=19
# The fighter in the headless runner's frame: a box around its start place.
FIGHTER_BOX=(4 126 60 36)

STORY_PAGES=(screen-form2-world1 screen-form3-world2 screen-form4-world3)
LOADED=$GOLDEN/screen-frmmain-loaded.png

# ---------------------------------------------------------------- ways through the screens

# The three story pages and the briefing, each pictured; "mouse" clicks the buttons,
# "keyboard" presses Enter and space in turn. Leaves the briefing shown.
walk_story() {
  local page=0 previous=
  for page in 0 1 2; do
    wait_window 世界情勢 "$previous"
    expect_shown "story page $((page + 1))"
    [ "$page" -gt 0 ] || STORY_MUSIC_FROM=$(audio_size)
    shot "page$((page + 1))"
    expect_picture "story page $((page + 1))" "$GOLDEN/${STORY_PAGES[$page]}.png"
    previous=$WIN
    if [ "$1" = mouse ]; then
      # shellcheck disable=SC2086 # the place is two words
      click ${PAGE_BUTTONS[$page]}
    else
      press "$([ $((page % 2)) -eq 0 ] && echo Return || echo space)"
    fi
  done
  wait_window 作戦説明
  expect_shown "the briefing"
  shot briefing
  expect_picture "the briefing" "$GOLDEN/screen-form5-briefing.png"
}

# From the first story page, shown, to the game window by the keyboard, without looking.
story_to_game_window() {
  for _ in 1 2; do
    press Return
    wait_window 世界情勢 "$WIN"
  done
  press Return
  wait_window 作戦説明
  press Return
  wait_game_window
}

to_game_window() {
  wait_window Skarvelin
  press Return
  wait_window 世界情勢
  story_to_game_window
}

# shows REFERENCE: a new screenshot shows the picture at the window.
shows() {
  shot "$(basename "$1" .png)"
  "$PROBE" compare "$SHOT" "$WX" "$WY" "$1" "$SCALE" ${CUT_AWAY:+"$CUT_AWAY"} >/dev/null
}

differs_from() {
  ! shows "$1"
}

# The game window has loaded: it shows its picture of a loaded window exactly.
wait_loaded() {
  wait_until 5 shows "$LOADED" || expect_picture "the loaded game window" "$LOADED"
}

# The count of teal star pixels in the playfield of the last screenshot.
star_pixels() {
  "$PROBE" count "$SHOT" $((WX + FIELD_X)) $((WY + FIELD_Y)) "$FIELD_W" "$FIELD_H" 30B0B0
}

stars_shown() {
  shot stars
  [ "$(star_pixels)" -gt 0 ]
}

# S in the loaded game window; the sortie runs once stars drift in the playfield.
start_sortie() {
  wait_loaded
  expect "stars before the sortie" "$(star_pixels)" 0
  press s
  wait_until 5 stars_shown || fail "no star appeared in the playfield after S"
}

# fighter_search X Y W H: looks for the fighter in a rectangle of the playfield of a new
# screenshot; sets FX FY, where its box lies in the playfield, when it is there.
fighter_search() {
  local out
  shot fighter
  out=$("$PROBE" find-sprite "$SHOT" $((WX + FIELD_X + $1)) $((WY + FIELD_Y + $2)) "$3" "$4" \
    "$FIGHTER_FRAME" "${FIGHTER_BOX[@]}") || return 1
  read -r FX FY _ <<<"$out"
  FX=$((FX + $1)) FY=$((FY + $2))
}

# The fighter anywhere in the playfield; its box may reach a few pixels beyond.
fighter_found() {
  fighter_search -8 -8 $((FIELD_W + 8)) $((FIELD_H + 8))
}

# fighter_gone_from X Y: the fighter, as it looks in level flight, no longer lies there.
fighter_gone_from() {
  local x=$1 y=$2
  ! fighter_search "$x" "$y" 1 1
}

# fly KEY SIGN_X SIGN_Y: holds the key until the fighter has left its place, lets go, and
# expects it in level flight again, moved in the direction given (-1, 0 or 1 on each axis).
fly() {
  local x=$FX y=$FY dx dy
  wait_until 5 focused || fail "the game window lost the keyboard focus"
  xdotool keydown "$1"
  wait_until 5 fighter_gone_from "$x" "$y" || {
    xdotool keyup "$1"
    fail "holding $1, the fighter stays at ($x,$y) of the playfield"
  }
  xdotool keyup "$1"
  wait_until 5 fighter_found ||
    fail "after $1 the fighter, at ($x,$y) before, is nowhere in the playfield in level flight"
  note "$1 moved the fighter from ($x,$y) to ($FX,$FY)"
  dx=$(((FX > x) - (FX < x))) dy=$(((FY > y) - (FY < y)))
  expect "$1 moved the fighter from ($x,$y) to ($FX,$FY): the direction" "$dx,$dy" "$2,$3"
}

# counter_changed X: the counter at X of the head-up display differs from its "0000" look.
counter_changed() {
  shot counters
  [ "$("$PROBE" differ "$SHOT" $((WX + $1)) $((WY + COUNTER_Y)) "$COUNTER_W" "$COUNTER_H" \
    "$LOADED" "$1" "$COUNTER_Y")" -gt 0 ]
}

# ---------------------------------------------------------------- the title

case_title_alone() {
  launch
  wait_window Skarvelin
  expect_shown "the title"
  shot title
  # The screens are plain rectangles: the picture's corners show (cases_frame.sh).
  expect_frame_corners "the title" "$GOLDEN/screen-form1-title.png"
  expect_picture "the title" "$GOLDEN/screen-form1-title.png"
}

# ---------------------------------------------------------------- the way to the game window

# By mouse, with the sound: the briefing music from the first story page until the
# briefing's button, the game music after; and the loading chatter.
case_story_by_mouse() {
  launch
  wait_window Skarvelin
  click "${START_BUTTON[@]}"
  walk_story mouse
  wait_until 5 audio_beyond $((STORY_MUSIC_FROM + 8 * QUARTER))
  expect_music "from the first story page to the briefing's button" briefing \
    "$STORY_MUSIC_FROM" "$(audio_size)"

  # The chatter lasts milliseconds: the probe watches the screen's memory, not screenshots.
  "$PROBE" watch-lines "$FRAME_BUFFER" $((WX + FIELD_X)) $((WY + FIELD_Y)) "$FIELD_W" \
    "$FIELD_H" 8000 >"$WORK/chatter" &
  WATCH_PID=$!
  click "${SORTIE_BUTTON[@]}"
  wait_game_window
  expect_shown "the game window"
  local game_from
  game_from=$(audio_size)
  wait "$WATCH_PID" || true
  WATCH_PID=
  local lines most
  lines=$(cat "$WORK/chatter")
  note "the playfield's text lines while loading: $lines"
  most=$(tr ' ' '\n' <<<"$lines" | sort -n | tail -1)
  if [ "${most:-0}" -lt 1 ] || [ "$most" -gt 5 ] || [ "${lines##* }" != 0 ]; then
    fail "loading chatter: the playfield's text lines went \"$lines\"; expected 1 to 5 lines, then none"
  fi
  wait_loaded
  hear 4
  expect_music "in the game window" risinghigh "$game_from" "$HEARD_TO"
}

# By keyboard: Tab moves the focus to "機体説明", whose music plays on the first visit only;
# Enter and space click the focused buttons all the way to the game window.
case_story_by_keyboard() {
  launch
  wait_window Skarvelin
  local title=$WIN
  press Tab Return
  wait_window 機体説明
  expect_shown "the aircraft sheet"
  shot aircraft
  expect_picture "the aircraft sheet" "$GOLDEN/screen-form6-aircraft.png"
  hear 3
  expect_music "the aircraft sheet's first visit" lodestone "$HEARD_FROM" "$HEARD_TO"

  press Return
  wait_window Skarvelin "$title"
  expect_shown "the title after 戻る"
  title=$WIN
  hear 1
  hear 2
  expect_silence "the title after 戻る" "$HEARD_FROM" "$HEARD_TO"

  press Tab space
  wait_window 機体説明
  expect_shown "the aircraft sheet again"
  hear 3
  expect_silence "the aircraft sheet's second visit" "$HEARD_FROM" "$HEARD_TO"

  press space
  wait_window Skarvelin "$title"
  press space
  walk_story keyboard
  press space
  wait_game_window
  expect_shown "the game window"
  wait_loaded
}

# ---------------------------------------------------------------- the game window

# The head-up display, N's mark in the title, and dragging by the background and the title.
case_game_window() {
  launch
  to_game_window
  expect_shown "the game window"
  wait_loaded
  expect_corners "the game window" "$BACKDROP"

  press n
  wait_until 5 differs_from "$LOADED" || fail "N changed nothing in the game window"
  local out
  out=$("$PROBE" compare "$SHOT" "$WX" "$WY" "$LOADED" "$SCALE" "$CUT_AWAY") || true
  if ! [[ $out =~ within\ x\ ([0-9]+)\.\.([0-9]+),\ y\ ([0-9]+)\.\.([0-9]+) ]] ||
    ((BASH_REMATCH[1] < 100 || BASH_REMATCH[2] >= 270 || BASH_REMATCH[3] < 5 ||
      BASH_REMATCH[4] >= 30)); then
    fail "N should add \" N\" after the title and change nothing else: $out"
  fi
  press n
  wait_until 5 shows "$LOADED" || expect_picture "the game window after N twice" "$LOADED"

  # A drag is paced like a hand's: the window manager takes over the pointer after the press.
  local x0=$WX y0=$WY
  xdotool mousemove $((WX + 270)) $((WY + 340)) mousedown 1 sleep 0.1 \
    mousemove $((WX + 300)) $((WY + 360)) sleep 0.1 mousemove $((WX + 370)) $((WY + 390)) \
    sleep 0.1 mouseup 1
  wait_until 5 geometry_is "549x349+$((x0 + 100))+$((y0 + 50))" ||
    fail "dragging the background by (100,50) moved the window from ($x0,$y0) to ($WX,$WY)"
  xdotool mousemove $((WX + 60)) $((WY + 12)) mousedown 1 sleep 0.1 \
    mousemove $((WX + 40)) $((WY + 2)) sleep 0.1 mousemove $((WX - 40)) $((WY - 38)) \
    sleep 0.1 mouseup 1
  wait_until 5 geometry_is "549x349+$x0+$y0" ||
    fail "dragging the title by (-100,-50) moved the window to ($WX,$WY), not back to ($x0,$y0)"
  wait_until 5 shows "$LOADED" || expect_picture "the game window after the drags" "$LOADED"
}

# A sortie: the stars, the fighter at its start and in flight, fire and enemies counted, the
# game music, and Esc.
case_sortie() {
  launch
  to_game_window
  start_sortie
  wait_until 5 fighter_found ||
    fail "the fighter is nowhere in the playfield"
  expect "the fighter's place at the start" "$FX,$FY" "${FIGHTER_BOX[0]},${FIGHTER_BOX[1]}"
  fly Right 1 0
  fly Down 0 1
  fly Left -1 0
  fly Up 0 -1

  wait_until 5 focused
  xdotool keydown space
  wait_until 5 counter_changed "$MB_X" || {
    xdotool keyup space
    fail "holding space, the bullets' count MB stays at 0"
  }
  xdotool keyup space
  wait_until 5 counter_changed "$EN_X" || fail "the enemies' count EN stays at 0"
  ! counter_changed "$EB_X" || fail "the enemy bullets' count EB changed: enemies do not fire"
  hear 4
  expect_music "during the sortie" risinghigh "$HEARD_FROM" "$HEARD_TO"

  press Escape
  expect_exit "Esc in the sortie"
  local size
  size=$(audio_size)
  ! wait_until 1 audio_beyond "$size" || fail "the audio output still grows after the end"
}

# ---------------------------------------------------------------- magnified

# SKARVELIN_SCALE=2: every window twice as large, crisp and centred, the game window rounded,
# clicks mapped back; F11 makes a window fullscreen with its picture centred on black, and back.
case_scaled() {
  SCALE=2
  launch SKARVELIN_SCALE=2
  wait_window Skarvelin
  expect_shown "the title at scale 2"
  shot title
  expect_frame_corners "the title at scale 2" "$GOLDEN/screen-form1-title.png"
  expect_picture "the title at scale 2" "$GOLDEN/screen-form1-title.png"
  local out
  out=$("$PROBE" crisp "$SHOT" $((WX + 16)) $((WY + 240)) 800 200 2) ||
    fail "the title at scale 2 is not made of 2 x 2 blocks: $out"

  click "${START_BUTTON[@]}"
  wait_window 世界情勢
  expect_shown "the first story page at scale 2"
  local home
  home=$(geometry)
  press F11
  wait_until 5 geometry_is 1280x1024+0+0 ||
    fail "F11 should make the window fullscreen (1280x1024+0+0); it is $(geometry)"
  shot fullscreen
  local cx=$(((1280 - 1098) / 2)) cy=$(((1024 - 698) / 2)) x y
  expect_picture "the fullscreen story page" "$GOLDEN/${STORY_PAGES[0]}.png" "$cx" "$cy"
  for x in 0 $((cx - 1)) $((cx + 1098)) 1279; do
    for y in 0 511 1023; do
      expect "the fullscreen window's pixel ($x,$y), beside the picture" "$(pixel "$x" "$y")" 000000
    done
  done
  press F11
  wait_until 5 geometry_is "$home" || fail "F11 again should restore $home; the window is $(geometry)"
  wait_until 5 shows "$GOLDEN/${STORY_PAGES[0]}.png" ||
    expect_picture "the story page after fullscreen" "$GOLDEN/${STORY_PAGES[0]}.png"

  story_to_game_window
  expect_shown "the game window at scale 2"
  wait_loaded
  expect_corners "the game window at scale 2" "$BACKDROP"
}

# ---------------------------------------------------------------- ending

# A close request from the window manager (Alt+F4) or a signal ends the game with status 0,
# on the title and during a sortie.
case_close_requests() {
  launch
  wait_window Skarvelin
  press alt+F4
  expect_exit "Alt+F4 on the title"

  launch
  wait_window Skarvelin
  kill -TERM "$GAME_PID"
  expect_exit "SIGTERM on the title"

  launch
  to_game_window
  start_sortie
  press alt+F4
  expect_exit "Alt+F4 during a sortie"

  launch
  to_game_window
  start_sortie
  kill -TERM "$GAME_PID"
  expect_exit "SIGTERM during a sortie"

  # As the first story page opens, SDL's last wake-up may still be answered while it closes
  # its connections: that once ended a few runs in thirty with status 1 and an X error.
  local run signal
  for run in $(seq 12); do
    signal=$([ $((run % 2)) -eq 0 ] && echo TERM || echo INT)
    launch
    wait_window Skarvelin
    click "${START_BUTTON[@]}"
    wait_window 世界情勢
    kill -"$signal" "$GAME_PID"
    expect_exit "SIG$signal on the first story page (run $run)"
    ! grep -q 'X Error' "$GAME_LOG" || fail "run $run: $(grep -m1 -A2 'X Error' "$GAME_LOG" | tr '\n' ' ')"
  done
}
