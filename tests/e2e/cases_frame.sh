# shellcheck shell=bash
# The rectangular screens' frame, sourced by tests/e2e/run: the picture's corners, which only
# the game window's rounded region cuts away, show the frame's metal there, not black.

ALL_CASES+=(square_corners)

# expect_frame_corners WHAT REFERENCE: each corner pixel of the window just waited for is the
# reviewed picture's there, the frame's metal: neither black nor the screen's background.
expect_frame_corners() {
  local x y got
  for x in 0 $((WW - 1)); do
    for y in 0 $((WH - 1)); do
      got=$(pixel $((WX + x)) $((WY + y)))
      if [ "$got" = 000000 ] || [ "$got" = "$BACKDROP" ]; then
        fail "$1: pixel ($x,$y), a corner of the window, is $got, not the frame's metal"
      fi
      expect "$1: pixel ($x,$y), a corner of the window" "$got" \
        "$("$PROBE" pixel "$2" $((x / SCALE)) $((y / SCALE)))"
    done
  done
}

# The title, which shares its picture with the game window, and the aircraft sheet.
case_square_corners() {
  launch
  wait_window Skarvelin
  shot title
  expect_frame_corners "the title" "$GOLDEN/screen-form1-title.png"
  press Tab Return
  wait_window 機体説明
  shot aircraft
  expect_frame_corners "the aircraft sheet" "$GOLDEN/screen-form6-aircraft.png"
}
