// Controls of the form toolkit: a small retained model of the desktop toolkit the programs are
// written for. One Control type carries the properties every kind uses; the kind decides which
// of them mean something and the semantics of the setters (a check box's value raises click,
// option buttons are exclusive in their container, a timer restarts when its interval changes).
// Positions and sizes are in twips (1/1440 inch).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vu::toolkit {

class Form;

enum class Kind {
  Label,
  CommandButton,
  CheckBox,
  OptionButton,
  Frame,       // a group box; contains controls
  PictureBox,  // a picture and/or a container (the wizards' panels are borderless picture boxes)
  Image,       // a picture only
  Line,
  Shape,  // a rectangle outline or filled box
  TextBox,
  ProgressBar,
  Timer,
};

// What changed, for the host that realises the model (windows, or a transcript).
enum class Prop {
  Caption,
  Visible,
  Enabled,
  Font,  // bold, size, name
  ForeColor,
  BackColor,
  Value,
  Geometry,  // left, top, width, height, or a line's end points
  ZOrder,
  Picture,
  Timer,  // interval or enabled state of a timer
  Tag,
};

// An RGB colour as the toolkit stores it (0x00BBGGRR, like COLORREF), or a system colour.
using Color = std::uint32_t;
constexpr Color Rgb(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
// The grey of the standard scheme's button shadow, set explicitly: the darker line of every
// two-line separator, and the text of a step that was not performed.
constexpr Color kGrey = Rgb(128, 128, 128);
// System colours are flagged with the high bit and the COLOR_ index, as the toolkit does.
constexpr Color kSysScrollBar = 0x80000000u;     // COLOR_SCROLLBAR
constexpr Color kSysButtonFace = 0x8000000Fu;    // COLOR_BTNFACE
constexpr Color kSysWindowText = 0x80000008u;    // COLOR_WINDOWTEXT
constexpr Color kSysButtonText = 0x80000012u;    // COLOR_BTNTEXT
constexpr Color kSysWindow = 0x80000005u;        // COLOR_WINDOW
constexpr Color kSysButtonShadow = 0x80000010u;  // COLOR_BTNSHADOW
constexpr Color kSysHighlight = 0x80000014u;     // COLOR_3DHIGHLIGHT (button highlight)

enum class Align { Left, Center, Right };
enum class ShapeStyle { Rectangle, FilledRectangle };

// Everything a control can be created with. Fields a kind does not use are ignored.
struct Design {
  int left = 0, top = 0, width = 0, height = 0;  // twips; for a Line: x1, y1, x2, y2
  std::string caption{};                         // caption, or a text box's text
  bool visible = true;
  bool enabled = true;  // for a Timer: whether it runs
  bool bold = false;
  double fontSize = 8.25;
  std::string fontName = "Arial";
  Color foreColor = kSysButtonText;
  Color backColor = kSysButtonFace;
  Align align = Align::Left;
  bool wordWrap = true;
  // A label showing a path on one line: drawn shortened in the middle ("C:\...\Programs\Group")
  // when it does not fit, as the shell shows paths, instead of cut off at the edge.
  bool compactPath = false;
  double value = 0;       // check box 0/1, option button 0/-1 (False/True), progress bar 0..100
  int interval = 0;       // timer, milliseconds
  std::string tag{};      // timer or any control
  std::string picture{};  // artwork name (see art/), empty for none
  int tabIndex = -1;      // -1: in creation order
  bool tabStop = true;
  bool isDefault = false;  // the button Enter presses
  bool isCancel = false;   // the button Escape presses
  bool border = false;     // picture box / label border
  ShapeStyle shape = ShapeStyle::Rectangle;
  bool multiLine = false;   // text box
  bool handCursor = false;  // a label that acts as a link
  // A timer that only animates what is shown: a headless run on the virtual clock whose script
  // has ended does not wait for it (nothing it does can move the program on).
  bool animation = false;
};

class Control {
 public:
  Control(Form& form, Kind kind, std::string name, Control* container, const Design& design);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& form() const { return form_; }
  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  // The frame or picture box that holds this control; null when it sits on the form itself.
  Control* container() const { return container_; }

  // Geometry in twips. For a Line, left/top/width/height hold x1/y1/x2/y2.
  int left() const { return design_.left; }
  int top() const { return design_.top; }
  int width() const { return design_.width; }
  int height() const { return design_.height; }
  void Move(int left, int top);
  void Resize(int width, int height);
  void SetLine(int x1, int y1, int x2, int y2);

  const std::string& caption() const { return design_.caption; }
  void SetCaption(std::string caption);

  bool visible() const { return design_.visible; }
  void SetVisible(bool visible);
  bool enabled() const { return design_.enabled; }
  void SetEnabled(bool enabled);
  // The control and every container that holds it are visible (the form itself not counted).
  bool shown() const;
  // The control and every container that holds it are enabled.
  bool usable() const;

  bool bold() const { return design_.bold; }
  void SetBold(bool bold);
  double fontSize() const { return design_.fontSize; }
  const std::string& fontName() const { return design_.fontName; }
  Color foreColor() const { return design_.foreColor; }
  void SetForeColor(Color color);
  Color backColor() const { return design_.backColor; }
  void SetBackColor(Color color);
  Align align() const { return design_.align; }
  void SetAlign(Align align);
  bool wordWrap() const { return design_.wordWrap; }
  bool compactPath() const { return design_.compactPath; }

  // Check box: 0 cleared, 1 ticked. Option button: 0 or -1. Progress bar: 0..100 (a
  // single-precision value, stored as float so that comparisons behave as the programs expect).
  double value() const { return design_.value; }
  // Check box and option button: raises click (an option button only when it becomes selected
  // and then clears the other option buttons of its container without their click).
  void SetValue(double value);

  // Timer: the interval restarts the countdown; interval 0 never ticks.
  int interval() const { return design_.interval; }
  void SetInterval(int ms);
  const std::string& tag() const { return design_.tag; }
  void SetTag(std::string tag);

  const std::string& picture() const { return design_.picture; }
  bool animation() const { return design_.animation; }
  void SetPicture(std::string picture);

  // Brings the control to the front of its container (ZOrder 0).
  void ZOrderFront();
  // Position in its container's stacking order: higher is nearer the front.
  int zOrder() const { return zOrder_; }

  void SetFocus();

  int tabIndex() const { return design_.tabIndex; }
  bool tabStop() const { return design_.tabStop; }
  bool isDefault() const { return design_.isDefault; }
  bool isCancel() const { return design_.isCancel; }
  bool border() const { return design_.border; }
  ShapeStyle shape() const { return design_.shape; }
  bool multiLine() const { return design_.multiLine; }
  bool handCursor() const { return design_.handCursor; }

  // Events. Handlers run on the one UI thread; a timer's tick is never re-entered.
  std::function<void()> onClick;
  std::function<void()> onMouseUp;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;
  std::function<void()> onTick;

  // What the user does: the host calls these. Click honours visible/enabled and a modal form
  // elsewhere; false when the input was not possible.
  bool UserClick();
  // Whether user input can reach the control now (shown, usable, its form visible and not
  // blocked by a modal form).
  bool TakesInput() const;
  // Runs the tick handler unless a tick of this timer is already running.
  void DeliverTick();
  bool ticking() const { return ticking_; }

  // Host bookkeeping: an opaque handle of the host's realisation (a window), and the countdown.
  std::uintptr_t native = 0;
  std::int64_t dueAt = 0;  // host clock, ms, when the timer ticks next

 private:
  friend class Form;
  void Changed(Prop prop);
  void RaiseClick();

  Form& form_;
  Kind kind_;
  std::string name_;
  Control* container_;
  Design design_;
  int zOrder_ = 0;
  bool ticking_ = false;
};

}  // namespace vu::toolkit
