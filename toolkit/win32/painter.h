// Painting of a form or of a frame or picture box: its background, the form's own paint
// commands, the frame's border and caption, the picture box's picture, and the windowless
// controls it holds (labels, images, lines, shapes) back to front. Double-buffered, so that a
// label whose text changes ten times a second does not flicker.
// Include <windows.h> before this header.
#pragma once

#include <windows.h>

#include "toolkit/win32/host_state.h"

namespace vu::toolkit::win32 {

// Handles WM_PAINT of |window|, the surface of |container| (null: the form itself).
void PaintSurface(HostState& state, HWND window, Form& form, Control* container);

// Draws the surface into |dc| (client coordinates); for printing and tests.
void DrawSurface(HostState& state, HDC dc, const RECT& client, Form& form, Control* container);

// The front-most visible label or image of the surface under |point|; null when none.
Control* WindowlessAt(const HostState& state, const Form& form, const Control* container,
                      POINT point);

}  // namespace vu::toolkit::win32
