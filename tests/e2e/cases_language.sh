# shellcheck shell=bash
# Sourced by tests/e2e/run: the installed game in English on a system set to another language.
ALL_CASES+=(english)

case_english() {
  launch LANG=fr_FR.UTF-8
  wait_window Skarvelin
  shot title-en
  expect_picture "the English title" "$GOLDEN/screen-form1-title-en.png"
  press Tab Return
  wait_window Aircraft
  expect_desktop_names "the English aircraft sheet" Aircraft
  shot aircraft-en
  expect_picture "the English aircraft sheet" "$GOLDEN/screen-form6-aircraft-en.png"
}
