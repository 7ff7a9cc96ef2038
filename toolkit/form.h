// A form: a top-level window of the toolkit holding controls. Programs derive one class per form
// (frmMain, frmConfirm, ...), create their controls in the constructor with Add() and wire the
// event handlers; the Program creates each form on first use and afterwards only shows and
// hides it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/control.h"

namespace vu::toolkit {

class Program;

enum class BorderStyle { FixedSingle, FixedDialog, None };

struct FormDesign {
  std::string caption{};
  int clientWidth = 0, clientHeight = 0;  // twips
  BorderStyle border = BorderStyle::FixedSingle;
  bool centred = true;
  bool maximized = false;  // fills the screen (a background form)
  bool showIcon = true;
  std::string icon{};  // artwork name
  Color backColor = kSysButtonFace;
  double fontSize = 8.25;
  std::string fontName = "Arial";
};

// One drawing command of a form's paint handler (the only drawing the programs do themselves).
struct FillRect {
  int left, top, right, bottom;  // twips
  Color color;
};

class Form {
 public:
  Form(Program& program, std::string name, const FormDesign& design);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  Program& program() const { return program_; }
  const std::string& name() const { return name_; }
  const FormDesign& design() const { return design_; }

  const std::string& caption() const { return design_.caption; }
  void SetCaption(std::string caption);
  bool visible() const { return visible_; }
  bool modal() const { return modal_; }
  bool enabled() const { return enabled_; }  // false while another form is shown modally

  // Shows the form (loading it first if needed). Modal: returns when the form is hidden again,
  // while every form's timers go on ticking and input to other forms is blocked.
  void Show();
  void ShowModal();
  void Hide();

  // Creates a control; |container| null puts it on the form itself. Forms create their
  // controls in the constructor: the host realises the controls it finds at FormCreated.
  Control& Add(Kind kind, std::string name, const Design& design, Control* container = nullptr);
  // A control by name; null when there is none (automation scripts look controls up by name).
  Control* Find(std::string_view name) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  Control* focused() const { return focused_; }
  void SetFocus(Control& control);

  // Paint handler (a background form paints bands); the host calls Paint() when the form needs
  // repainting and draws what the handler emitted.
  std::function<void(Form&)> onPaint;
  std::function<void()> onLostFocus;  // the form as a whole lost the activation
  // The user closed the window through its frame (close box, Alt+F4); without a handler the
  // request is ignored.
  std::function<void()> onClose;
  // The help context number of what the form shows now, for F1 (the run time's HelpContextID);
  // 0, or no handler, opens the help file's contents.
  std::function<std::uint32_t()> helpContext;
  std::uint32_t HelpContext() const { return helpContext ? helpContext() : 0; }
  void Fill(const FillRect& rect) { paint_.push_back(rect); }
  const std::vector<FillRect>& Paint();

  // Client size in twips (a maximized form reports the screen's).
  int clientWidth() const;
  int clientHeight() const;

  std::uintptr_t native = 0;  // the host's realisation

 protected:
  // Runs once, when the form is first created, after the constructor (the form's load event).
  virtual void Load() {}

 private:
  friend class Program;
  friend class Control;
  void Changed(Control& control, Prop prop);
  // Gives the focus to the first control in tab order that can take it, if none has it yet.
  void FocusFirst();

  Program& program_;
  std::string name_;
  FormDesign design_;
  bool visible_ = false;
  bool modal_ = false;
  bool enabled_ = true;
  bool loaded_ = false;
  Control* focused_ = nullptr;
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<std::string, Control*, std::less<>> byName_;
  std::vector<FillRect> paint_;
};

}  // namespace vu::toolkit
