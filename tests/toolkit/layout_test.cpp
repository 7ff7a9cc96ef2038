// The layout text that outside tools read to find the controls on the screen.
#include "toolkit/layout.h"

#include <gtest/gtest.h>

#include "test_forms.h"

namespace vu::toolkit::testing {
namespace {

TEST(Layout, ListsPlacedControlsRelativeToTheirContainersWithWhatAUserSees) {
  VirtualProgram v;
  Form& form = v.program.form<TestForm<1>>("frmLayout", [](Form& f) {
    Control& panel = f.Add(Kind::PictureBox, "panel", Box(100, 200, 3000, 2000));
    f.Add(Kind::CommandButton, "okButton",
          Design{.left = 50, .top = 60, .width = 700, .height = 300, .caption = "&OK"}, &panel);
    f.Add(Kind::Label, "quote",
          Design{.left = 1, .top = 2, .width = 3, .height = 4, .caption = "say \"C:\\\"\nnow"});
    f.Add(Kind::CheckBox, "box", Design{.value = 1});
    f.Add(Kind::OptionButton, "option", Design{.value = -1}, &panel);
    f.Add(Kind::Timer, "tick", TimerDesign(100));
  });
  form.Find("panel")->SetEnabled(false);
  form.Find("quote")->SetVisible(false);
  EXPECT_EQ(DescribeLayout(form),
            "form frmLayout 4800 3600 \"frmLayout\"\n"
            "control panel - 100 200 3000 2000 1 0 - \"\"\n"
            "control okButton panel 50 60 700 300 1 0 - \"&OK\"\n"
            "control quote - 1 2 3 4 0 1 - \"say \\\"C:\\\\\\\" now\"\n"
            "control box - 0 0 0 0 1 1 1 \"\"\n"
            "control option panel 0 0 0 0 1 0 True \"\"\n");
  form.Find("panel")->Move(10, 20);
  form.SetCaption("Next page");
  EXPECT_NE(DescribeLayout(form).find("form frmLayout 4800 3600 \"Next page\"\n"
                                      "control panel - 10 20 3000 2000"),
            std::string::npos);
}

}  // namespace
}  // namespace vu::toolkit::testing
