// Twips, font heights and the tab order: the arithmetic and the model-side rules of the host.
#include <windows.h>

#include <gtest/gtest.h>

#include "toolkit/program.h"
#include "toolkit/win32/host.h"
#include "toolkit/win32/tab_order.h"
#include "toolkit/win32/units.h"

namespace vu::toolkit::win32 {
namespace {

TEST(Units, TwipsConvertExactlyAsMulDivRounds) {
  for (int dpi : {72, 96, 120, 144, 192}) {
    for (int twips = -3000; twips <= 20000; twips += 7) {
      ASSERT_EQ(TwipsToPixels(twips, dpi), ::MulDiv(twips, dpi, kTwipsPerInch))
          << twips << " twips at " << dpi;
    }
  }
  EXPECT_EQ(TwipsToPixels(6870, 96), 458);
  EXPECT_EQ(TwipsToPixels(3720, 96), 248);
  EXPECT_EQ(TwipsToPixels(6870, 120), 573);  // 572.5 rounds up
}

TEST(Units, FontHeightsAndTwipsPerPixelFollowTheResolution) {
  EXPECT_EQ(FontPixelHeight(8.25, 96), 11);
  EXPECT_EQ(FontPixelHeight(8.25, 120), 14);
  EXPECT_EQ(FontPixelHeight(9.75, 96), 13);
  EXPECT_EQ(FontPixelHeight(9.75, 144), 20);
  EXPECT_EQ(TwipsPerPixel(96), 15);
  EXPECT_EQ(TwipsPerPixel(120), 12);
  EXPECT_EQ(TwipsPerPixel(144), 10);
}

class TabForm : public Form {
 public:
  explicit TabForm(Program& program) : Form(program, "frmTab", FormDesign{}) {}
  Control& Button(const std::string& name, int tabIndex = -1, Control* container = nullptr) {
    Design design;
    design.tabIndex = tabIndex;
    return Add(Kind::CommandButton, name, design, container);
  }
  Control& Option(const std::string& name, double value, Control* container) {
    Design design;
    design.value = value;
    return Add(Kind::OptionButton, name, design, container);
  }
};

class TabOrderTest : public ::testing::Test {
 protected:
  Win32Host host;
  Program program{host};
  TabForm& form = program.form<TabForm>();
};

TEST_F(TabOrderTest, TabIndexesComeFirstThenCreationOrder) {
  Control& a = form.Button("a");
  Control& b = form.Button("b", 1);
  Control& c = form.Button("c");
  Control& d = form.Button("d", 0);
  EXPECT_EQ(TabSequence(form), (std::vector<Control*>{&d, &b, &a, &c}));
}

TEST_F(TabOrderTest, SkipsWhatCannotTakeTheFocusNow) {
  Control& a = form.Button("a");
  Control& hidden = form.Button("hidden");
  Control& disabled = form.Button("disabled");
  Design frameDesign;
  frameDesign.visible = false;
  Control& frame = form.Add(Kind::Frame, "frame", frameDesign);
  form.Button("inHiddenFrame", -1, &frame);
  Design noStop;
  noStop.tabStop = false;
  form.Add(Kind::CommandButton, "noStop", noStop);
  form.Add(Kind::Label, "label", Design{});
  Control& z = form.Button("z");
  hidden.SetVisible(false);
  disabled.SetEnabled(false);
  EXPECT_EQ(TabSequence(form), (std::vector<Control*>{&a, &z}));
}

TEST_F(TabOrderTest, SkipsThePagesBehindTheOneInFront) {
  Design page;
  page.width = 1000;
  page.height = 1000;
  Control& back = form.Add(Kind::PictureBox, "back", page);
  Control& inner = form.Add(Kind::Frame, "inner", Design{}, &back);
  Control& deep = form.Button("deep", -1, &inner);
  Control& front = form.Add(Kind::PictureBox, "front", page);
  Control& shown = form.Button("shown", -1, &front);
  page.left = 2000;
  Control& aside = form.Add(Kind::PictureBox, "aside", page);  // overlaps nothing
  Control& beside = form.Button("beside", -1, &aside);
  Control& outside = form.Button("outside");
  EXPECT_EQ(TabSequence(form), (std::vector<Control*>{&shown, &beside, &outside}));
  back.ZOrderFront();
  EXPECT_EQ(TabSequence(form), (std::vector<Control*>{&deep, &beside, &outside}));
  back.SetVisible(false);
  EXPECT_EQ(TabSequence(form), (std::vector<Control*>{&shown, &beside, &outside}));
}

TEST_F(TabOrderTest, AGroupOfOptionButtonsIsOneStop) {
  Control& frame1 = form.Add(Kind::Frame, "frame1", Design{});
  Control& frame2 = form.Add(Kind::Frame, "frame2", Design{});
  form.Option("one", 0, &frame1);
  Control& two = form.Option("two", -1, &frame1);
  Control& three = form.Option("three", 0, &frame2);
  form.Option("four", 0, &frame2);
  Control& button = form.Button("button");
  // The selected one of the first group, the first of the second (none selected).
  EXPECT_EQ(TabSequence(form), (std::vector<Control*>{&two, &three, &button}));
}

TEST_F(TabOrderTest, NextStopWrapsBothWays) {
  Control& a = form.Button("a");
  Control& b = form.Button("b");
  Control& c = form.Button("c");
  EXPECT_EQ(NextTabStop(form, &a, true), &b);
  EXPECT_EQ(NextTabStop(form, &c, true), &a);
  EXPECT_EQ(NextTabStop(form, &a, false), &c);
  EXPECT_EQ(NextTabStop(form, nullptr, true), &a);
  EXPECT_EQ(NextTabStop(form, nullptr, false), &c);
  b.SetEnabled(false);
  EXPECT_EQ(NextTabStop(form, &a, true), &c);
}

TEST_F(TabOrderTest, EscapePressesTheFirstCancelButtonThatCanBePressed) {
  Control& plain = form.Button("plain");
  Design cancel;
  cancel.isCancel = true;
  Control& hidden = form.Add(Kind::CommandButton, "hidden", cancel);
  Control& off = form.Add(Kind::CommandButton, "off", cancel);
  Control& no = form.Add(Kind::CommandButton, "no", cancel);
  hidden.SetVisible(false);
  off.SetEnabled(false);
  // Only realised buttons can be pressed.
  EXPECT_EQ(CancelButton(form), nullptr);
  plain.native = hidden.native = off.native = no.native = 1;
  EXPECT_EQ(CancelButton(form), &no);
  plain.native = hidden.native = off.native = no.native = 0;
}

TEST_F(TabOrderTest, NoStopsGivesNoControl) {
  form.Add(Kind::Label, "label", Design{});
  EXPECT_EQ(NextTabStop(form, nullptr, true), nullptr);
}

}  // namespace
}  // namespace vu::toolkit::win32
