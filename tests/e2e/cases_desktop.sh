# shellcheck shell=bash
# Sourced by tests/e2e/run: the game's full screen, and what the desktop knows its windows by.
ALL_CASES+=(fullscreen_stays window_names)

# expect_geometry WHAT GEOMETRY: the window just waited for comes to have it.
expect_geometry() {
  wait_until 5 geometry_is "$2" || fail "$1 should be $2; it is $(geometry)"
}

# F11 holds for every window shown, new or hidden before (the aircraft sheet), until F11 again.
case_fullscreen_stays() {
  launch
  wait_window Skarvelin
  press Tab Return
  wait_window 機体説明
  expect_desktop_names "the aircraft sheet" 機体説明
  press F11 Return
  wait_window Skarvelin
  expect_geometry "the title opened from the full-screen aircraft sheet" 1280x1024+0+0
  press F11 Tab space
  wait_window 機体説明
  expect_geometry "the aircraft sheet shown again after F11 in the title" "$(centred_geometry)"
  press space
  wait_window Skarvelin
  press F11 Return
  wait_window 世界情勢
  expect_geometry "the story page opened from the full-screen title" 1280x1024+0+0
  shot fullscreen # doubled, as any window on this screen: the largest whole factor that fits
  SCALE=2 expect_picture "the full-screen story page" "$GOLDEN/${STORY_PAGES[0]}.png" 91 163
  press F11 Return
  wait_window 世界情勢 "$WIN"
  expect_shown "the second story page, after F11 in the first"
}

# expect_desktop_names WHAT NAME: the window's names, 48 x 48 icon and the launcher's class.
expect_desktop_names() {
  local class
  class=$(sed -n 's/^StartupWMClass=//p' "$PREFIX"/share/applications/*.desktop)
  [[ $(xprop -id "$WIN" WM_NAME) =~ \ =\ \".+\"$ ]] || fail "$1 has no WM_NAME"
  expect "$1" "$(xprop -id "$WIN" _NET_WM_NAME)" "_NET_WM_NAME(UTF8_STRING) = \"$2\""
  [[ $(xprop -id "$WIN" _NET_WM_ICON) == *"Icon (48 x 48)"* ]] || fail "$1 has no 48 x 48 icon"
  expect "$1" "$(xprop -id "$WIN" WM_CLASS)" "WM_CLASS(STRING) = \"$class\", \"$class\""
}

case_window_names() {
  launch
  wait_window Skarvelin
  expect_desktop_names "the title" Skarvelin
  press Return
  for name in 世界情勢 世界情勢 世界情勢 作戦説明; do
    wait_window "$name" "$WIN"
    expect_desktop_names "$name" "$name"
    press Return
  done
  wait_game_window
  expect_desktop_names "the game window" Skarvelin
}
