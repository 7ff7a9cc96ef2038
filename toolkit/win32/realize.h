// Realising the model as windows: a top-level window per form, a child window per control that
// needs one (buttons, check boxes, option buttons, frames, picture boxes, text boxes, progress
// bars), and the property changes applied to them. Labels, images, lines and shapes have no
// window: their container paints them, below its child windows, as the toolkit does.
// Include <windows.h> before this header.
#pragma once

#include <windows.h>

#include "toolkit/win32/host_state.h"

namespace vu::toolkit::win32 {

bool IsWindowed(Kind kind);
bool IsContainer(Kind kind);

// The window a control sits in: its frame or picture box, else its form; null if not realised.
HWND SurfaceOf(const Control& control);
// The control's rectangle in pixels, in its surface's client coordinates (a line's bounding box).
RECT PixelRect(const HostState& state, const Control& control);

void RegisterWindowClasses(HINSTANCE instance);

// Creates the form's window (hidden) and the windows of all its controls.
void RealizeForm(HostState& state, Form& form);
// Creates the windows of controls added since the form was realised.
void RealizeNewControls(HostState& state, Form& form);

void ApplyChange(HostState& state, Control& control, Prop prop);
// Repaints the part of the surface a windowless control covers (all of it when |whole|).
void InvalidateWindowless(const HostState& state, const Control& control, bool whole);

}  // namespace vu::toolkit::win32
