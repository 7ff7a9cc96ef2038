// The Win32 host on real windows (under Wine in the build): geometry at the screen's resolution,
// texts, the model owning values, keyboard handling, painting, modal shows, timers, scripts and
// End unwinding out of window procedures.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/win32host/demo_form.h"
#include "toolkit/script.h"
#include "toolkit/win32/entry.h"
#include "toolkit/win32/host.h"
#include "toolkit/win32/units.h"

namespace vu::toolkit::win32 {
namespace {

using demo::DemoDialog;
using demo::DemoForm;

HWND W(const Control& control) {
  return reinterpret_cast<HWND>(control.native);
}
HWND W(const Form& form) {
  return reinterpret_cast<HWND>(form.native);
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  ::GetWindowTextW(window, buffer, 512);
  return buffer;
}

// A child window's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What a window paints in its client area, through WM_PRINTCLIENT into a bitmap.
class Snapshot {
 public:
  explicit Snapshot(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    screen_ = ::GetDC(nullptr);
    dc_ = ::CreateCompatibleDC(screen_);
    bitmap_ = ::CreateCompatibleBitmap(screen_, client.right, client.bottom);
    previous_ = ::SelectObject(dc_, bitmap_);
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  ~Snapshot() {
    ::SelectObject(dc_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
    ::ReleaseDC(nullptr, screen_);
  }
  COLORREF Pixel(int x, int y) const { return ::GetPixel(dc_, x, y); }
  // How many pixels of |rect| differ from |background|.
  int CountOtherThan(const RECT& rect, COLORREF background) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x)
        count += Pixel(x, y) != background;
    }
    return count;
  }

 private:
  HDC screen_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

std::int64_t ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return (ticks(kernel) + ticks(user)) / 10000;
}

class Win32HostTest : public ::testing::Test {
 protected:
  DemoForm& ShowDemo() {
    DemoForm& form = program.form<DemoForm>();
    form.Show();
    Pump(50);
    return form;
  }
  // Lets messages, timers and the script run for about |ms|.
  void Pump(int ms) {
    const DWORD end = ::GetTickCount() + ms;
    do {
      host.DoEvents();
      ::Sleep(5);
    } while (static_cast<int>(end - ::GetTickCount()) > 0);
  }
  int Px(int twips) const { return TwipsToPixels(twips, host.dpiX()); }
  int Py(int twips) const { return TwipsToPixels(twips, host.dpiY()); }

  ProcessSetup setup;
  Win32Host host;
  Program program{host};
};

TEST_F(Win32HostTest, FormsAndControlsAreSizedInTwipsAtTheScreensResolution) {
  DemoForm& form = ShowDemo();
  RECT client{};
  ASSERT_TRUE(::GetClientRect(W(form), &client));
  EXPECT_EQ(client.right, Px(6870));
  EXPECT_EQ(client.bottom, Py(3720));
  if (host.dpiX() == 96 && host.dpiY() == 96) {
    EXPECT_EQ(client.right, 458);
    EXPECT_EQ(client.bottom, 248);
  }
  const RECT next = ChildRect(W(form.nextButton));
  EXPECT_EQ(next.left, Px(4035));
  EXPECT_EQ(next.top, Py(3240));
  EXPECT_EQ(next.right - next.left, Px(1215));
  EXPECT_EQ(next.bottom - next.top, Py(375));
  // A control in a frame is placed relative to the frame.
  EXPECT_EQ(::GetParent(W(form.customOption)), W(form.modeFrame));
  const RECT option = ChildRect(W(form.customOption));
  EXPECT_EQ(option.left, Px(120));
  EXPECT_EQ(option.top, Py(600));
  EXPECT_EQ(option.right - option.left, Px(2280));

  // Centred on the screen, fixed size with an icon.
  RECT window{};
  ::GetWindowRect(W(form), &window);
  EXPECT_NEAR((window.left + window.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((window.top + window.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  const LONG_PTR style = ::GetWindowLongPtrW(W(form), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(::GetWindowLongPtrW(W(form), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_NE(::SendMessageW(W(form), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(Win32HostTest, WindowsShowTheModelsTextsFontsAndStates) {
  DemoForm& form = ShowDemo();
  EXPECT_EQ(TextOf(W(form)), L"Welcome");
  EXPECT_EQ(TextOf(W(form.nextButton)), L"&Next");
  EXPECT_EQ(TextOf(W(form.expressOption)), L"Express (Velloria\u2122)");
  EXPECT_EQ(form.titleLabel.native, 0u);  // painted by its panel

  form.SetCaption("Custom Settings");
  form.nextButton.SetCaption("&Finish");
  form.closeButton.SetVisible(false);
  form.backButton.SetEnabled(true);
  EXPECT_EQ(TextOf(W(form)), L"Custom Settings");
  EXPECT_EQ(TextOf(W(form.nextButton)), L"&Finish");
  EXPECT_FALSE(::IsWindowVisible(W(form.closeButton)));
  EXPECT_TRUE(::IsWindowEnabled(W(form.backButton)));

  const auto fontOf = [](HWND window) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
  };
  const LOGFONTW next = fontOf(W(form.nextButton));
  EXPECT_EQ(next.lfWeight, FW_BOLD);
  EXPECT_EQ(next.lfHeight, -FontPixelHeight(8.25, host.dpiY()));
  EXPECT_STREQ(next.lfFaceName, L"Arial");
  EXPECT_EQ(fontOf(W(form.helpButton)).lfWeight, FW_NORMAL);
  form.helpButton.SetBold(true);
  EXPECT_EQ(fontOf(W(form.helpButton)).lfWeight, FW_BOLD);
}

TEST_F(Win32HostTest, ClicksReachTheModelOnceAndTheModelOwnsTheMarks) {
  DemoForm& form = ShowDemo();
  HWND check = W(form.restartCheck);
  ASSERT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  ::SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(form.restartCheck.value(), 0);
  EXPECT_EQ(form.checkClicks, 1);
  EXPECT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(form.focused(), &form.restartCheck);
  ::SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(form.restartCheck.value(), 1);
  EXPECT_EQ(form.checkClicks, 2);
  EXPECT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);

  // A value set by the program shows too (and raises click, as the model does).
  form.restartCheck.SetValue(0);
  EXPECT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(form.checkClicks, 3);

  ::SendMessageW(W(form.customOption), BM_CLICK, 0, 0);
  EXPECT_EQ(form.customOption.value(), -1);
  EXPECT_EQ(form.expressOption.value(), 0);
  EXPECT_EQ(::SendMessageW(W(form.customOption), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendMessageW(W(form.expressOption), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // A disabled button is refused by the system, a hidden one by the model.
  form.helpButton.SetVisible(false);
  const int before = form.nextClicks;
  form.nextButton.SetEnabled(false);
  ::SendMessageW(W(form.nextButton), BM_CLICK, 0, 0);
  EXPECT_EQ(form.nextClicks, before);
}

TEST_F(Win32HostTest, ProgressBarShowsTheValueRounded) {
  DemoForm& form = ShowDemo();
  HWND bar = W(form.progressBar);
  EXPECT_EQ(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(::SendMessageW(bar, PBM_GETRANGE, TRUE, 0), 0);
  form.progressBar.SetValue(37.6);
  EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 38);
  form.progressBar.SetValue(100);
  EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
}

TEST_F(Win32HostTest, KeyboardFollowsTheModel) {
  DemoForm& form = ShowDemo();
  // The first stop of the tab order has the focus, in the model and on the screen.
  ASSERT_EQ(form.focused(), &form.nextButton);
  ASSERT_EQ(::GetFocus(), W(form.nextButton));

  ::PostMessageW(W(form.nextButton), WM_KEYDOWN, VK_TAB, 0);
  Pump(30);
  EXPECT_EQ(form.focused(), &form.expressOption);
  EXPECT_EQ(::GetFocus(), W(form.expressOption));

  // Enter on a check box presses the default button and leaves the box alone.
  form.restartCheck.SetFocus();
  EXPECT_EQ(::GetFocus(), W(form.restartCheck));
  ::PostMessageW(W(form.restartCheck), WM_KEYDOWN, VK_RETURN, 0);
  Pump(30);
  EXPECT_EQ(form.nextClicks, 1);
  EXPECT_EQ(form.restartCheck.value(), 1);

  // Esc means nothing; Alt+N is the access key of "&Next".
  ::PostMessageW(W(form.restartCheck), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump(30);
  EXPECT_EQ(form.nextClicks, 1);
  EXPECT_TRUE(form.visible());
  ::PostMessageW(W(form.restartCheck), WM_SYSCHAR, L'n', 1 << 29);
  Pump(30);
  EXPECT_EQ(form.nextClicks, 2);
}

TEST_F(Win32HostTest, ContainersPaintTheirLabelsPicturesAndLines) {
  DemoForm& form = ShowDemo();
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  {
    Snapshot panel(W(form.panel));
    // The tick: magenta corners let the panel show through, the check mark is drawn.
    const int tickX = Px(2640), tickY = Py(1500);
    EXPECT_EQ(panel.Pixel(tickX, tickY), face);
    EXPECT_EQ(panel.Pixel(tickX + 1, tickY + 7), RGB(0xA8, 0xF4, 0xA0));
    // The grey line under the title.
    EXPECT_EQ(panel.Pixel(Px(2000), Py(330)), RGB(128, 128, 128));
    // The title's text.
    const RECT title{0, 0, Px(4680), Py(255)};
    EXPECT_GT(panel.CountOtherThan(title, face), 50);
  }
  form.titleLabel.SetVisible(false);
  {
    Snapshot panel(W(form.panel));
    EXPECT_EQ(panel.CountOtherThan(RECT{0, 0, Px(4680), Py(255)}, face), 0);
  }

  // The side picture is the bitmap resource, pixel for pixel.
  HBITMAP bitmap = static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), L"side_small", IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ::GetObjectW(bitmap, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 120);
  EXPECT_EQ(info.bmHeight, 200);
  HDC memory = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  Snapshot side(W(form.sidePicture));
  for (POINT p : {POINT{60, 60}, POINT{10, 190}, POINT{100, 140}}) {
    EXPECT_EQ(side.Pixel(p.x, p.y), ::GetPixel(memory, p.x, p.y)) << p.x << "," << p.y;
  }
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
  ::DeleteObject(bitmap);
}

class PaintedForm : public Form {
 public:
  explicit PaintedForm(Program& program) : Form(program, "frmStart", Layout()) {
    Design back;
    back.left = 0;
    back.top = 0;
    back.width = 3000;
    back.height = 3000;
    back.backColor = Rgb(255, 255, 255);
    panelA = &Add(Kind::PictureBox, "panelA", back);
    back.left = 1500;
    panelB = &Add(Kind::PictureBox, "panelB", back);
    onPaint = [](Form& form) {
      form.Fill({0, 0, 1500, 1500, Rgb(0, 0, 255)});
      form.Fill({0, 1500, 1500, 3000, Rgb(0, 0, 251)});
    };
  }
  static FormDesign Layout() {
    FormDesign design;
    design.clientWidth = 6000;
    design.clientHeight = 4500;
    design.border = BorderStyle::None;
    return design;
  }
  Control* panelA;
  Control* panelB;
};

TEST_F(Win32HostTest, PaintHandlerBandsAndPanelStacking) {
  PaintedForm& form = program.form<PaintedForm>();
  form.panelA->SetVisible(false);
  form.panelB->SetVisible(false);
  form.Show();
  Pump(30);
  {
    Snapshot painted(W(form));
    EXPECT_EQ(painted.Pixel(Px(700), Py(700)), RGB(0, 0, 255));
    EXPECT_EQ(painted.Pixel(Px(700), Py(2000)), RGB(0, 0, 251));
    EXPECT_EQ(painted.Pixel(Px(2000), Py(700)), ::GetSysColor(COLOR_BTNFACE));
  }
  EXPECT_FALSE(::GetWindowLongPtrW(W(form), GWL_STYLE) & WS_CAPTION);

  // Both panels cover the middle; the one brought to the front wins.
  form.panelA->SetVisible(true);
  form.panelB->SetVisible(true);
  const POINT middle{Px(2250), Py(1000)};
  EXPECT_EQ(::ChildWindowFromPointEx(W(form), middle, CWP_SKIPINVISIBLE), W(*form.panelB));
  form.panelA->ZOrderFront();
  EXPECT_EQ(::ChildWindowFromPointEx(W(form), middle, CWP_SKIPINVISIBLE), W(*form.panelA));
}

TEST_F(Win32HostTest, LinkLabelsClickAndShowTheHand) {
  DemoForm& form = ShowDemo();
  HWND panel = W(form.panel);
  const POINT inside{Px(2880) + 5, Py(1500) + 5};
  const LPARAM at = MAKELPARAM(inside.x, inside.y);
  ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(panel, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(form.linkClicks, 1);
  // Pressed on the link, released elsewhere: no click.
  ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(form.linkClicks, 1);

  POINT screen = inside;
  ::ClientToScreen(panel, &screen);
  ::SetCursorPos(screen.x, screen.y);
  ::SendMessageW(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(panel), MAKELPARAM(HTCLIENT, 0));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(Win32HostTest, CloseBoxGoesToTheFormsHandler) {
  DemoForm& form = ShowDemo();
  ::SendMessageW(W(form), WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindowVisible(W(form)));
  int closes = 0;
  form.onClose = [&] { ++closes; };
  ::SendMessageW(W(form), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(::IsWindow(W(form)));
}

TEST_F(Win32HostTest, EndInsideAWindowProcedureUnwindsToRun) {
  HWND window = nullptr;
  const int code = program.Run([&] {
    DemoForm& form = program.form<DemoForm>();
    form.Show();
    window = W(form);
    form.closeButton.onClick = [&] { program.End(7); };
    ::PostMessageW(W(form.closeButton), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(code, 7);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(program.form<DemoForm>().native, 0u);
}

TEST_F(Win32HostTest, EndFromATimerTickEndsRunWithItsCode) {
  const int code = program.Run([&] {
    DemoForm& form = program.form<DemoForm>();
    form.Show();
    form.progressTimer.onTick = [&] { program.End(5); };
    form.progressTimer.SetEnabled(true);
  });
  EXPECT_EQ(code, 5);
}

TEST_F(Win32HostTest, WaitingForATimerSpendsNoProcessorTime) {
  DemoForm& form = ShowDemo();
  int ticks = 0;
  form.progressTimer.onTick = [&] { ++ticks; };
  form.progressTimer.SetInterval(300);
  const std::int64_t cpuBefore = ProcessCpuMs();
  const std::int64_t start = host.NowMs();
  form.progressTimer.SetEnabled(true);
  while (ticks == 0)
    host.WaitForEvent();
  const std::int64_t waited = host.NowMs() - start;
  const std::int64_t cpu = ProcessCpuMs() - cpuBefore;
  EXPECT_GE(waited, 290);
  EXPECT_LT(waited, 1000);
  EXPECT_LT(cpu, 60) << "waited " << waited << " ms";
}

TEST_F(Win32HostTest, ScriptDrivesTheWindowsThroughAModalDialog) {
  std::string error;
  auto script = Script::Parse(
      "click frmDemo.nextButton\n"
      "until frmDemo.ProgressBar.value = \"100\" within 5000\n"
      "set frmDemo.bootCheck 0\n"
      "expect frmDemo.bootCheck.value = \"0\"\n"
      "click frmDemo.nextButton\n"
      "click frmDemo.helpButton\n"
      "expect frmDialog.visible = \"True\"\n"
      "wait 300\n"
      "click frmDialog.Command2\n"
      "expect frmDialog.visible = \"False\"\n"
      "click frmDemo.closeButton\n",
      &error);
  ASSERT_TRUE(script) << error;
  program.SetScript(std::move(script));

  std::vector<LRESULT> positions;
  int ticksWhileModal = 0;
  bool mainDisabledWhileModal = false;
  bool mainEnabledAfter = false;
  const int code = program.Run([&] {
    DemoForm& form = program.form<DemoForm>();
    DemoDialog& dialog = program.form<DemoDialog>();
    form.progressTimer.onTick = [&, tick = form.progressTimer.onTick] {
      tick();
      if (dialog.visible()) ++ticksWhileModal;
      if (form.nextClicks == 1) {
        positions.push_back(::SendMessageW(W(form.progressBar), PBM_GETPOS, 0, 0));
      }
    };
    dialog.resumeButton.onClick = [&, resume = dialog.resumeButton.onClick] {
      mainDisabledWhileModal = !::IsWindowEnabled(W(form)) && ::IsWindowVisible(W(dialog));
      resume();
    };
    form.closeButton.onClick = [&, close = form.closeButton.onClick] {
      mainEnabledAfter = ::IsWindowEnabled(W(form)) && !::IsWindowVisible(W(dialog));
      close();
    };
    form.Show();
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(positions, (std::vector<LRESULT>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(program.form<DemoForm>().checkClicks, 1);
  EXPECT_GT(ticksWhileModal, 0);  // the second run's timer went on under the dialog
  EXPECT_TRUE(mainDisabledWhileModal);
  EXPECT_TRUE(mainEnabledAfter);
}

}  // namespace
}  // namespace vu::toolkit::win32
