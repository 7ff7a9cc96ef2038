// The model's own semantics: value setters that raise click, option groups, input refusal,
// stacking order, focus, forms created once, and the run time's random generator.
#include <gtest/gtest.h>

#include <vector>

#include "test_forms.h"

namespace vu::toolkit::testing {
namespace {

TEST(OptionButtons, AreExclusiveWithinTheirContainerOnly) {
  VirtualProgram v;
  std::string clicks;
  Form& form = v.program.form<TestForm<1>>("frmOptions", [&](Form& f) {
    Control& frame = f.Add(Kind::Frame, "Frame1", Box(0, 0, 2000, 2000));
    f.Add(Kind::OptionButton, "express", Design{.value = -1}, &frame).onClick = [&] {
      clicks += 'e';
    };
    f.Add(Kind::OptionButton, "custom", {}, &frame).onClick = [&] { clicks += 'c'; };
    f.Add(Kind::OptionButton, "outside", Design{.value = -1}).onClick = [&] { clicks += 'o'; };
  });
  Control& express = *form.Find("express");
  Control& custom = *form.Find("custom");
  Control& outside = *form.Find("outside");

  custom.SetValue(-1);
  EXPECT_EQ(custom.value(), -1);
  EXPECT_EQ(express.value(), 0);
  EXPECT_EQ(outside.value(), -1);  // another container, another group
  EXPECT_EQ(clicks, "c");          // the cleared button raises nothing

  custom.SetValue(-1);  // already selected: no second click
  EXPECT_EQ(clicks, "c");
  express.SetValue(1);  // any non-zero value selects, stored as True
  EXPECT_EQ(express.value(), -1);
  EXPECT_EQ(custom.value(), 0);
  EXPECT_EQ(clicks, "ce");
}

TEST(CheckBox, SettingADifferentValueRaisesClickTheSameValueDoesNot) {
  VirtualProgram v;
  std::vector<double> seen;
  Form& form = v.program.form<TestForm<1>>("frmCheck", [&](Form& f) {
    Control& box = f.Add(Kind::CheckBox, "checkLabel", Design{.value = 1});
    box.onClick = [&seen, &box] { seen.push_back(box.value()); };
  });
  Control& box = *form.Find("checkLabel");
  box.SetValue(1);
  EXPECT_TRUE(seen.empty());
  box.SetValue(0);
  box.SetValue(1);
  EXPECT_EQ(seen, (std::vector<double>{0, 1}));

  form.Show();
  EXPECT_TRUE(box.UserClick());  // a user's click toggles and raises click with the new value
  EXPECT_EQ(seen.back(), 0);
}

TEST(UserClick, IsRefusedForHiddenOrDisabledControlsContainersAndForms) {
  VirtualProgram v;
  int clicks = 0;
  Form& form = v.program.form<TestForm<1>>("frmClick", [&](Form& f) {
    Control& panel = f.Add(Kind::PictureBox, "panel", Box(0, 0, 100, 100));
    f.Add(Kind::CommandButton, "button", {}, &panel).onClick = [&] { ++clicks; };
  });
  Control& panel = *form.Find("panel");
  Control& button = *form.Find("button");
  EXPECT_FALSE(button.UserClick());  // form not shown yet
  form.Show();
  EXPECT_TRUE(button.UserClick());
  panel.SetVisible(false);
  EXPECT_FALSE(button.UserClick());
  panel.SetVisible(true);
  panel.SetEnabled(false);
  EXPECT_FALSE(button.UserClick());
  panel.SetEnabled(true);
  button.SetEnabled(false);
  EXPECT_FALSE(button.UserClick());
  EXPECT_EQ(clicks, 1);
}

TEST(ZOrder, BringsAPanelInFrontOfItsSiblingsOnly) {
  VirtualProgram v;
  Form& form = v.program.form<TestForm<1>>("frmPanels", [](Form& f) {
    f.Add(Kind::PictureBox, "startFrame", Box(0, 0, 100, 100));
    Control& custom = f.Add(Kind::PictureBox, "customFrame", Box(0, 0, 100, 100));
    f.Add(Kind::Label, "inner", {}, &custom);
    f.Add(Kind::PictureBox, "resultFrame", Box(0, 0, 100, 100));
  });
  Control& start = *form.Find("startFrame");
  Control& custom = *form.Find("customFrame");
  Control& result = *form.Find("resultFrame");
  EXPECT_GT(result.zOrder(), start.zOrder());  // later created lies in front
  start.ZOrderFront();
  EXPECT_GT(start.zOrder(), result.zOrder());
  EXPECT_GT(start.zOrder(), custom.zOrder());
  custom.ZOrderFront();
  EXPECT_GT(custom.zOrder(), start.zOrder());
  const int front = custom.zOrder();
  custom.ZOrderFront();  // already in front: stays where it is
  EXPECT_EQ(custom.zOrder(), front);
}

TEST(Focus, MovesWithLostAndGotFocusAndSkipsControlsThatCannotTakeIt) {
  VirtualProgram v;
  std::string events;
  Form& form = v.program.form<TestForm<1>>("frmFocus", [&](Form& f) {
    Control& next = f.Add(Kind::CommandButton, "nextButton", Design{.tabIndex = 0});
    Control& close = f.Add(Kind::CommandButton, "closeButton", Design{.tabIndex = 1});
    f.Add(Kind::CommandButton, "hidden", Design{.visible = false});
    f.Add(Kind::CommandButton, "disabled", Design{.enabled = false});
    next.onGotFocus = [&] { events += "+next "; };
    next.onLostFocus = [&] { events += "-next "; };
    close.onGotFocus = [&] { events += "+close "; };
  });
  Control& close = *form.Find("closeButton");
  close.SetFocus();  // the form is not shown: ignored
  EXPECT_EQ(form.focused(), nullptr);
  form.Show();  // the first in tab order takes the focus
  EXPECT_EQ(form.focused(), form.Find("nextButton"));
  form.Find("hidden")->SetFocus();
  form.Find("disabled")->SetFocus();
  EXPECT_EQ(form.focused(), form.Find("nextButton"));
  close.SetFocus();
  EXPECT_EQ(form.focused(), &close);
  EXPECT_EQ(events, "+next -next +close ");
}

TEST(Forms, AreCreatedAndLoadedOnceThenOnlyShownAndHidden) {
  VirtualProgram v;
  int loads = 0;
  auto build = [](Form& f) { f.Add(Kind::Label, "Label1", Design{.caption = "design"}); };
  auto& first = v.program.form<TestForm<1>>("frmConfirm", build, [&](Form&) { ++loads; });
  first.Find("Label1")->SetCaption("changed");
  first.Show();
  first.Hide();
  auto& second = v.program.form<TestForm<1>>("ignored", build, [&](Form&) { ++loads; });
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(second.Find("Label1")->caption(), "changed");
  EXPECT_EQ(v.program.FindForm("frmConfirm"), &first);
  EXPECT_EQ(v.program.forms().size(), 1u);
}

TEST(ProgressBar, KeepsASinglePrecisionValueWithinItsRange) {
  VirtualProgram v;
  Form& form = v.program.form<TestForm<1>>(
      "frmBar", [](Form& f) { f.Add(Kind::ProgressBar, "ProgressBar", {}); });
  Control& bar = *form.Find("ProgressBar");
  bar.SetValue(0.1);
  EXPECT_EQ(bar.value(), static_cast<double>(0.1f));
  bar.SetValue(99);
  bar.SetValue(102);  // out of range: refused, as the run time refuses it
  EXPECT_EQ(bar.value(), 99);
  bar.SetValue(-3);
  EXPECT_EQ(bar.value(), 99);
  bar.SetValue(100);
  EXPECT_EQ(bar.value(), 100);
}

TEST(Rnd, StartsWithTheSameSequenceOnEveryStart) {
  VirtualProgram one, two;
  const float expected[] = {0.7055475f, 0.533424f, 0.5795186f};
  for (float value : expected) {
    const float a = one.program.Rnd();
    EXPECT_NEAR(a, value, 1e-7);
    EXPECT_EQ(a, two.program.Rnd());
  }
  for (int i = 0; i < 10000; ++i) {
    const float r = one.program.Rnd();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
  }
}

TEST(Rnd, RandomizeReseedsFromTheNumberAndTheClock) {
  VirtualProgram fresh, seeded, again, clocked;
  seeded.program.Randomize(36000.25);
  again.program.Randomize(36000.25);
  clocked.program.Randomize();  // the virtual clock's time of day
  const float base = fresh.program.Rnd();
  const float a = seeded.program.Rnd();
  EXPECT_NE(a, base);
  EXPECT_EQ(a, again.program.Rnd());
  EXPECT_NE(clocked.program.Rnd(), base);
  seeded.program.Randomize(50000.5);
  EXPECT_NE(seeded.program.Rnd(), again.program.Rnd());
}

}  // namespace
}  // namespace vu::toolkit::testing
