// The running program: its forms, its timers, its random generator and its end, and the Host
// interface through which a host (real Win32 windows, or headless with a real or virtual clock)
// realises the model and drives its events.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "toolkit/form.h"

namespace vu::toolkit {

class Script;

// Thrown by Program::End to unwind every handler and nested loop at once; the host's main loop
// catches it. Nothing else may catch it.
struct EndProgram {
  int exitCode = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // Milliseconds on the host's clock (virtual or real), counted from the program's start.
  virtual std::int64_t NowMs() = 0;
  // Seconds since midnight, for Randomize and the run time's Timer.
  virtual double SecondsSinceMidnight() = 0;

  // Lets pending input, due timer ticks and repaints run, then returns (on a virtual clock one
  // millisecond passes).
  virtual void DoEvents() = 0;
  // Waits until something happens (a timer falls due, input arrives) and lets it run, without
  // spending processor time while waiting. Loops that wait for a timer to change state call
  // this instead of spinning on DoEvents.
  virtual void WaitForEvent() = 0;
  // Runs events until |form| is hidden (a modal show).
  virtual void RunModal(Form& form) = 0;
  // The main event loop: runs until the program ends; returns the exit code.
  virtual int Run() = 0;

  // Saves a picture of the screen as a .bmp file, for the screenshots of the documentation;
  // hosts without a screen save nothing and succeed.
  virtual bool Screenshot(const std::string& /*path*/) { return true; }

  // The screen, for the run time's Screen object (twips per pixel at the real resolution).
  virtual int ScreenWidthPixels() = 0;
  virtual int ScreenHeightPixels() = 0;
  virtual int TwipsPerPixelX() = 0;
  virtual int TwipsPerPixelY() = 0;

  // Notifications from the model, for realising it (windows) or reporting it (transcript).
  virtual void FormCreated(Form&) {}
  virtual void FormShown(Form&) {}
  virtual void FormHidden(Form&) {}
  virtual void FormCaptionChanged(Form&) {}
  virtual void ControlChanged(Control&, Prop) {}
  virtual void FocusChanged(Form&, Control*) {}

  // The program this host runs (set by Program's constructor; null before and after).
  Program* program() const { return program_; }

 private:
  friend class Program;
  Program* program_ = nullptr;
};

class Program {
 public:
  explicit Program(Host& host);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  Host& host() const { return host_; }

  // The form of type F, created (and loaded) on first use; the same instance afterwards.
  // F is constructed as F(Program&, Args...) — the arguments only count on first use.
  template <typename F, typename... Args>
  F& form(Args&&... args) {
    auto it = forms_.find(std::type_index(typeid(F)));
    if (it != forms_.end()) return static_cast<F&>(*it->second);
    auto created = std::make_unique<F>(*this, std::forward<Args>(args)...);
    F& ref = *created;
    Adopt(std::type_index(typeid(F)), std::move(created));
    return ref;
  }
  // Every form created so far, in creation order.
  const std::vector<Form*>& forms() const { return order_; }
  Form* FindForm(std::string_view name) const;

  // Runs |startup| (the program's entry procedure) and then the host's event loop until the
  // program ends; returns the exit code. An End inside |startup| ends here too.
  int Run(const std::function<void()>& startup);
  // True once End has been called: no handler runs any more.
  bool ended() const { return ended_; }

  void DoEvents() { host_.DoEvents(); }
  void WaitForEvent() { host_.WaitForEvent(); }
  // Ends the program at once: no further handler runs.
  [[noreturn]] void End(int exitCode = 0);

  // The run time's uniform generator: the same sequence on every start until Randomize.
  float Rnd();
  void Randomize();
  // Randomize with an explicit number (the run time's Randomize n).
  void Randomize(double number);
  // Seconds since midnight (the run time's Timer).
  double Timer() { return host_.SecondsSinceMidnight(); }

  // The form currently shown modally (the innermost), or null.
  Form* modalForm() const { return modal_.empty() ? nullptr : modal_.back(); }

  // Timer scheduling shared by the hosts: every enabled timer with an interval above 0 of every
  // created form, with its due time.
  std::int64_t NextTimerDue() const;  // INT64_MAX when no timer runs
  // The same, passing over timers that only animate (Design::animation).
  std::int64_t NextWorkTimerDue() const;
  // Delivers the ticks due at |now|, earliest first; returns whether any ran.
  bool RunDueTimers(std::int64_t now);
  // Called by Control when a timer is enabled or its interval changes.
  void RestartTimer(Control& timer);

  // The program's help file (the run time's App.HelpFile): what F1 opens for the program's
  // windows; empty when it has none. The Win32 host reads it.
  void SetHelpFile(std::string path) { helpFile_ = std::move(path); }
  const std::string& helpFile() const { return helpFile_; }

  // The automation script, if the program was started with one. The hosts call PollScript at
  // every pass of their event loops; it returns whether it did something.
  void SetScript(std::unique_ptr<Script> script);
  Script* script() const { return script_.get(); }
  bool PollScript();
  // The time the script next needs attention (INT64_MAX when never).
  std::int64_t NextScriptDue() const;

 private:
  friend class Form;
  friend class Control;
  void Adopt(std::type_index type, std::unique_ptr<Form> form);
  // Every form but the innermost modal one refuses input while a modal form is shown.
  void UpdateInputBlocking();
  // Called by Control's constructor for every timer, so that scheduling scans timers only.
  void RegisterTimer(Control& timer) { timers_.push_back(&timer); }

  Host& host_;
  std::unordered_map<std::type_index, std::unique_ptr<Form>> forms_;
  std::vector<Form*> order_;
  std::vector<Form*> modal_;
  std::vector<Control*> timers_;  // every timer of every form, in creation order
  std::uint32_t rndSeed_ = 0x50000;
  std::unique_ptr<Script> script_;
  bool ended_ = false;
  std::string helpFile_;
};

}  // namespace vu::toolkit
