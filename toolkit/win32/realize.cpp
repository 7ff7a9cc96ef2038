#include <windows.h>

#include <commctrl.h>

#include "toolkit/win32/realize.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/text.h"
#include "platform/win32/wide.h"
#include "toolkit/win32/procs.h"
#include "toolkit/win32/tab_order.h"
#include "toolkit/win32/units.h"
#include "toolkit/win32/user_calls.h"

namespace vu::toolkit::win32 {

namespace {

// Control identifiers: the control's place in its form, past the dialog manager's IDOK/IDCANCEL.
constexpr int kFirstControlId = 1000;

// The edit control breaks lines only at CR LF.
std::string EditText(std::string_view utf8) {
  std::string text;
  for (char c : utf8) {
    if (c == '\n' && (text.empty() || text.back() != '\r')) text.push_back('\r');
    text.push_back(c);
  }
  return text;
}

// The system's arrow cursor (IDC_ARROW), by number so that it suits both families' calls.
HCURSOR ArrowCursor() {
  return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
}

HWND AsWindow(std::uintptr_t native) {
  return reinterpret_cast<HWND>(native);
}

int ControlId(const Form& form, const Control& control) {
  const auto& controls = form.controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].get() == &control) return kFirstControlId + static_cast<int>(i);
  }
  return 0;
}

WPARAM CheckState(const Control& control) {
  if (control.kind() == Kind::OptionButton) return control.value() != 0 ? BST_CHECKED : 0;
  if (control.value() == 1) return BST_CHECKED;
  return control.value() == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
}

int ProgressPosition(const Control& control) {
  return static_cast<int>(std::lround(std::clamp(control.value(), 0.0, 100.0)));
}

void ApplyValue(const Control& control) {
  HWND window = AsWindow(control.native);
  switch (control.kind()) {
    case Kind::CheckBox:
    case Kind::OptionButton:
      Send(window, BM_SETCHECK, CheckState(control), 0);
      break;
    case Kind::ProgressBar:
      Send(window, PBM_SETPOS, static_cast<WPARAM>(ProgressPosition(control)), 0);
      break;
    default:
      break;
  }
}

void ApplyText(const Control& control) {
  HWND window = AsWindow(control.native);
  if (control.kind() == Kind::TextBox) {
    SetText(window, EditText(control.caption()));
  } else if (IsContainer(control.kind())) {
    ::InvalidateRect(window, nullptr, FALSE);  // a frame paints its own caption
  } else {
    SetText(window, control.caption());
  }
}

void CreateControlWindow(HostState& state, Control& control) {
  HWND parent = SurfaceOf(control);
  if (parent == nullptr) return;
  const RECT rect = PixelRect(state, control);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  if (control.visible()) style |= WS_VISIBLE;
  if (!control.enabled()) style |= WS_DISABLED;
  if (control.tabStop() && TakesFocus(control.kind())) style |= WS_TABSTOP;
  const char* windowClass = "BUTTON";
  std::string text = control.caption();
  void* createParam = nullptr;
  switch (control.kind()) {
    case Kind::CommandButton:
      style |= (control.isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_MULTILINE;
      break;
    case Kind::CheckBox:
      // The model owns the value: a click asks it, and its answer sets the check mark.
      style |= BS_CHECKBOX | BS_MULTILINE;
      break;
    case Kind::OptionButton:
      style |= BS_RADIOBUTTON | BS_MULTILINE;
      break;
    case Kind::Frame:
    case Kind::PictureBox:
      windowClass = kPanelClass;
      text.clear();
      style |= WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      if (control.kind() == Kind::PictureBox && control.border()) exStyle |= WS_EX_CLIENTEDGE;
      createParam = &state;
      break;
    case Kind::TextBox:
      windowClass = "EDIT";
      text = EditText(control.caption());
      exStyle |= WS_EX_CLIENTEDGE;
      style |= ES_READONLY | ES_LEFT;
      style |= control.multiLine() ? ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL : ES_AUTOHSCROLL;
      break;
    case Kind::ProgressBar:
      windowClass = "msctls_progress32";  // PROGRESS_CLASS
      text.clear();
      break;
    default:
      return;
  }
  const int id = ControlId(control.form(), control);
  HWND window =
      MakeWindow(exStyle, windowClass, text, style, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, parent, id, state.instance, createParam);
  if (window == nullptr) return;
  control.native = reinterpret_cast<std::uintptr_t>(window);
  state.controlOf[window] = &control;
  if (windowClass != kPanelClass) {
    Subclass(window, ControlProc, &state);
    Send(window, WM_SETFONT, reinterpret_cast<WPARAM>(state.gdi.FontOf(control)), FALSE);
  }
  if (control.kind() == Kind::ProgressBar) Send(window, PBM_SETRANGE32, 0, 100);
  ApplyValue(control);
}

// Stacks the windowed children of |container| (null: the form) by the model's z-order, the
// highest on top. Tab order does not depend on it: the host follows the model's tab indexes.
void Restack(const Form& form, const Control* container) {
  std::vector<const Control*> children;
  for (const auto& control : form.controls()) {
    if (control->container() == container && control->native != 0)
      children.push_back(control.get());
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const Control* a, const Control* b) { return a->zOrder() < b->zOrder(); });
  for (const Control* child : children) {
    ::SetWindowPos(AsWindow(child->native), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void RestackAll(const Form& form) {
  Restack(form, nullptr);
  for (const auto& control : form.controls()) {
    if (IsContainer(control->kind()) && control->native != 0) Restack(form, control.get());
  }
}

DWORD FormStyle(const FormDesign& design) {
  switch (design.border) {
    case BorderStyle::FixedSingle:
    case BorderStyle::FixedDialog:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case BorderStyle::None:
      break;
  }
  return WS_POPUP | WS_CLIPCHILDREN;
}

DWORD FormExStyle(const FormDesign& design) {
  DWORD exStyle = WS_EX_CONTROLPARENT;
  // The dialog frame is the one without an icon in its caption.
  if (design.border == BorderStyle::FixedDialog ||
      (design.border == BorderStyle::FixedSingle && !design.showIcon)) {
    exStyle |= WS_EX_DLGMODALFRAME;
  }
  return exStyle;
}

}  // namespace

bool IsWindowed(Kind kind) {
  switch (kind) {
    case Kind::CommandButton:
    case Kind::CheckBox:
    case Kind::OptionButton:
    case Kind::Frame:
    case Kind::PictureBox:
    case Kind::TextBox:
    case Kind::ProgressBar:
      return true;
    default:
      return false;
  }
}

bool IsContainer(Kind kind) {
  return kind == Kind::Frame || kind == Kind::PictureBox;
}

HWND SurfaceOf(const Control& control) {
  return AsWindow(control.container() != nullptr ? control.container()->native
                                                 : control.form().native);
}

RECT PixelRect(const HostState& state, const Control& control) {
  const auto x = [&](int twips) { return TwipsToPixels(twips, state.dpiX); };
  const auto y = [&](int twips) { return TwipsToPixels(twips, state.dpiY); };
  if (control.kind() == Kind::Line) {
    const int x1 = x(control.left()), y1 = y(control.top());
    const int x2 = x(control.width()), y2 = y(control.height());
    return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
  }
  // Sizes are converted on their own so that a control keeps its size wherever it stands.
  const int left = x(control.left()), top = y(control.top());
  return RECT{left, top, left + x(control.width()), top + y(control.height())};
}

void RegisterWindowClasses(HINSTANCE instance) {
  RegisterClassOf(instance, kFormClass, FormProc, ArrowCursor(),
                  ::LoadIconA(instance, MAKEINTRESOURCEA(1)));
  RegisterClassOf(instance, kPanelClass, PanelProc, ArrowCursor(), nullptr);
  RegisterClassOf(instance, kSchedulerClass, SchedulerProc, nullptr, nullptr);
}

void RealizeForm(HostState& state, Form& form) {
  if (form.native != 0) return;
  const FormDesign& design = form.design();
  const DWORD style = FormStyle(design);
  const DWORD exStyle = FormExStyle(design);
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = screenWidth, height = screenHeight;
  if (design.maximized) {
    x = 0;
    y = 0;
  } else {
    RECT frame{0, 0, TwipsToPixels(design.clientWidth, state.dpiX),
               TwipsToPixels(design.clientHeight, state.dpiY)};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    width = frame.right - frame.left;
    height = frame.bottom - frame.top;
    if (design.centred) {
      x = (screenWidth - width) / 2;
      y = (screenHeight - height) / 2;
    }
  }
  HWND window = MakeWindow(exStyle, kFormClass, design.caption, style, x, y, width, height, nullptr,
                           0, state.instance, &state);
  if (window == nullptr) return;
  state.forms.emplace_back(window);
  state.formOf[window] = &form;
  form.native = reinterpret_cast<std::uintptr_t>(window);
  if (design.border != BorderStyle::None) {
    const int big = ::GetSystemMetrics(SM_CXICON), small = ::GetSystemMetrics(SM_CXSMICON);
    Send(window, WM_SETICON, ICON_BIG,
         reinterpret_cast<LPARAM>(state.gdi.FindIcon(design.icon, big)));
    Send(window, WM_SETICON, ICON_SMALL,
         reinterpret_cast<LPARAM>(state.gdi.FindIcon(design.icon, small)));
  }
  RealizeNewControls(state, form);
}

void RealizeNewControls(HostState& state, Form& form) {
  if (form.native == 0) return;
  bool created = false;
  // Creation order puts every container before what it holds.
  for (const auto& control : form.controls()) {
    if (control->native != 0 || !IsWindowed(control->kind())) continue;
    if (control->container() != nullptr && control->container()->native == 0) continue;
    CreateControlWindow(state, *control);
    created = true;
  }
  if (created) RestackAll(form);
}

void InvalidateWindowless(const HostState& state, const Control& control, bool whole) {
  HWND surface = SurfaceOf(control);
  if (surface == nullptr) return;
  if (whole) {
    ::InvalidateRect(surface, nullptr, FALSE);
    return;
  }
  RECT rect = PixelRect(state, control);
  ::InflateRect(&rect, 2, 2);  // a border or a line's last pixel
  ::InvalidateRect(surface, &rect, FALSE);
}

void ApplyChange(HostState& state, Control& control, Prop prop) {
  if (control.form().native == 0 || prop == Prop::Tag || prop == Prop::Timer) return;
  if (!IsWindowed(control.kind())) {
    InvalidateWindowless(state, control, prop == Prop::Geometry || prop == Prop::ZOrder);
    return;
  }
  if (control.native == 0) {
    RealizeNewControls(state, control.form());
    return;
  }
  HWND window = AsWindow(control.native);
  switch (prop) {
    case Prop::Caption:
      ApplyText(control);
      break;
    case Prop::Visible:
      ::ShowWindow(window, control.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Prop::Enabled:
      ::EnableWindow(window, control.enabled() ? TRUE : FALSE);
      break;
    case Prop::Font:
      if (IsContainer(control.kind())) {
        ::InvalidateRect(window, nullptr, FALSE);
      } else {
        Send(window, WM_SETFONT, reinterpret_cast<WPARAM>(state.gdi.FontOf(control)), TRUE);
      }
      break;
    case Prop::ForeColor:
    case Prop::BackColor:
    case Prop::Picture:
      ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case Prop::Value:
      ApplyValue(control);
      break;
    case Prop::Geometry: {
      const RECT rect = PixelRect(state, control);
      ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case Prop::ZOrder:
      ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case Prop::Tag:
    case Prop::Timer:
      break;
  }
}

}  // namespace vu::toolkit::win32
