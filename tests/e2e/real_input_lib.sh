# Driving the real Windows programs under Wine as a person does: xdotool moves the mouse and
# presses keys, nothing else. Sourced by tests/e2e/real_input.sh, tests/e2e/unattended.sh and
# scripts/shots/windows.sh.
#
# Where a control is comes from the form's own layout: the programs write it, in twips, to
# $VU_LAYOUT_DIR/<form>.txt (see toolkit/layout.h) whenever a form is shown or changes page. A
# click converts the twips at the screen's pixels per inch, as the programs do, and adds the
# place of the window's client area, found from the window's geometry.

# Set by the caller: $shots (where failure pictures go), $VU_LAYOUT_DIR.
step="starting"

# Names the step the journey is at: a failure names it and saves a picture under that name.
at() {
  step=$1
  echo "-- $step"
}

fail() {
  local picture
  picture="$shots/$(echo "$step" | tr -c 'A-Za-z0-9\n' '-' | tr -s '-').png"
  import -window root "$picture" 2>/dev/null || true
  echo "real-input journey FAILED at step \"$step\": $*" >&2
  echo "  the screen then: ${picture}" >&2
  exit 1
}

# The X window of the visible top-level window titled exactly TITLE (the newest, if several).
window_of() {
  { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | tail -1
}

# wait_window TITLE [SECONDS]: waits until a window with that title is shown and prints its id.
wait_window() {
  local title=$1 limit=${2:-30} id="" deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(window_of "$title")
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  fail "no window titled \"$title\" within ${limit}s"
}

# wait_gone TITLE [SECONDS]: waits until no window has that title.
wait_gone() {
  local title=$1 limit=${2:-30} deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    [ -z "$(window_of "$title")" ] && return 0
    sleep 0.2
  done
  fail "the window \"$title\" is still there after ${limit}s"
}

# wait_for WHAT SECONDS COMMAND...: until COMMAND succeeds (a program's effect, a file, a layout).
wait_for() {
  local what=$1 limit=$2 deadline
  shift 2
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" && return 0
    sleep 0.3
  done
  fail "$what: not within ${limit}s"
}

# Twips to pixels at DPI, rounded half away from zero (as the programs convert them).
px() {
  echo $((($1 * $2 + 720) / 1440))
}

# control_box FORM CONTROL: prints "X Y W H", the control's rectangle in pixels inside the form's
# client area, summed over its containers the way the windows nest.
control_box() {
  local file="$VU_LAYOUT_DIR/$1.txt"
  wait_for "the layout of $1" 10 test -f "$file"
  awk -v want="$2" '
    $1 == "dpi" { dx = $2; dy = $3 }
    $1 == "control" { parent[$2] = $3; l[$2] = $4; t[$2] = $5; w[$2] = $6; h[$2] = $7 }
    function p(twips, dpi) { return int((twips * dpi + 720) / 1440) }
    END {
      if (!(want in l)) exit 1
      x = 0; y = 0
      for (c = want; c != "-"; c = parent[c]) { x += p(l[c], dx); y += p(t[c], dy) }
      print x, y, p(w[want], dx), p(h[want], dy)
    }' "$file" || fail "no control $2 in the layout of $1"
}

# client_origin WINDOW FORM: the screen position of the form's client area. The window's X
# geometry holds the client area and whatever frame Wine draws inside it: the frame's sides are
# equal and the rest of the height is the caption.
client_origin() {
  local id=$1 form=$2 X Y WIDTH HEIGHT dpi cw ch border caption
  # The window can be on the screen a moment before its form's layout is written.
  wait_for "the layout of $form" 10 test -f "$VU_LAYOUT_DIR/$form.txt"
  eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  read -r dpi cw ch < <(awk '$1 == "dpi" { d = $2 } $1 == "form" { print d, $3, $4 }' \
    "$VU_LAYOUT_DIR/$form.txt")
  cw=$(px "$cw" "$dpi")
  ch=$(px "$ch" "$dpi")
  border=$(((WIDTH - cw) / 2))
  caption=$((HEIGHT - ch - 2 * border))
  [ "$border" -ge 0 ] && [ "$caption" -ge 0 ] ||
    fail "window $id ($WIDTH x $HEIGHT) is smaller than $form's client area ($cw x $ch)"
  echo $((X + border)) $((Y + border + caption))
}

# click TITLE FORM CONTROL [WHERE]: a left click on the control, in the middle or, with WHERE
# "box", on the box of a check box or option button (at the left, half its height in).
click() {
  local title=$1 form=$2 control=$3 where=${4:-middle} id ox oy x y w h cx cy
  id=$(wait_window "$title")
  read -r ox oy < <(client_origin "$id" "$form")
  read -r x y w h < <(control_box "$form" "$control")
  if [ "$where" = box ]; then cx=$((x + h / 2)); else cx=$((x + w / 2)); fi
  cy=$((y + h / 2))
  xdotool mousemove --sync $((ox + cx)) $((oy + cy)) click 1
  sleep 0.3
}

# focus TITLE: the window takes the keyboard, as when a user clicks its caption.
focus() {
  local id
  id=$(wait_window "$1")
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.2
}

# press TITLE KEY...: keys to the window titled TITLE, one at a time.
press() {
  local title=$1 key
  shift
  focus "$title"
  for key in "$@"; do
    xdotool key --clearmodifiers "$key"
    sleep 0.25
  done
}

# layout_has FORM CONTROL shown|enabled|value WANT: what the form's layout says of the control,
# given a moment to catch up with the click or key before it.
layout_has() {
  local i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    layout_now "$@" && return 0
    sleep 0.3
  done
  return 1
}
layout_now() {
  local column=9
  [ "$3" = shown ] && column=8
  [ "$3" = value ] && column=10
  awk -v c="$2" -v k="$column" -v want="$4" \
    '$1 == "control" && $2 == c { found = 1; ok = ($k == want) } END { exit !(found && ok) }' \
    "$VU_LAYOUT_DIR/$1.txt"
}
