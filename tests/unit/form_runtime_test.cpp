// The form runtime's rules that every window relies on, in memory.
#include <gtest/gtest.h>

#include "tests/fakes/fake_toolkit.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using fakes::FakeClock;
using fakes::FakeToolkit;

// A window with a little of everything; records its events.
class TestForm : public Form {
 public:
  using Form::Form;
  std::vector<std::string> events;
  int cancel_query = 0;
  int cancel_unload = 0;
  int last_mode = -1;
  Timer* fast = nullptr;
  Timer* slow = nullptr;
  CommandButton* ok = nullptr;

 protected:
  void BuildLayout() override {
    Add<Label>("lblTitle", -1, "Title", nullptr, 120, 120, 3000, 300);
    Frame& frame = Add<Frame>("fraMode", -1, "Mode", nullptr, 120, 500, 3000, 1200);
    for (int i = 0; i < 3; ++i) {
      Add<OptionButton>("optMode", i, "Mode " + std::to_string(i), &frame, 120, 240 + 300 * i, 2000,
                        255);
    }
    Add<OptionButton>("optOther", -1, "Other", nullptr, 120, 1800, 2000, 255);
    ok = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 120, 2200, 1200, 375);
    fast = &Add<Timer>("tmrFast");
    fast->SetInterval(250);
    slow = &Add<Timer>("tmrSlow");
    slow->SetInterval(500);
    slow->SetEnabled(false);
  }
  void Form_Load() override { events.push_back("load"); }
  void Form_QueryUnload(int& cancel, int mode) override {
    events.push_back("query");
    last_mode = mode;
    cancel = cancel_query;
  }
  void Form_Unload(int& cancel) override {
    events.push_back("unload");
    cancel = cancel_unload;
  }
};

class FormRuntimeTest : public ::testing::Test {
 protected:
  FakeClock clock{FakeClock::At(2026, 12, 4, 10, 0)};
  FakeToolkit kit{clock};
  TestForm form{kit, "frmTest"};
};

TEST_F(FormRuntimeTest, ControlsKeepLayoutOrderNamesAndArrayIndexes) {
  form.Load();
  std::vector<std::string> order;
  for (const auto& c : form.Controls()) {
    order.push_back(c->TypeName() + ":" + c->Name() +
                    (c->IsArrayMember() ? "(" + std::to_string(c->Index()) + ")" : ""));
  }
  EXPECT_EQ((std::vector<std::string>{"Label:lblTitle", "Frame:fraMode", "OptionButton:optMode(0)",
                                      "OptionButton:optMode(1)", "OptionButton:optMode(2)",
                                      "OptionButton:optOther", "CommandButton:cmdOK",
                                      "Timer:tmrFast", "Timer:tmrSlow"}),
            order);
  EXPECT_EQ("Mode 1", form.Find("optMode", 1)->Caption());
  EXPECT_EQ(nullptr, form.Find("optMode"));  // an array member needs its index
  EXPECT_EQ(nullptr, form.Find("optMode", 3));
  EXPECT_EQ(form.Find("fraMode"), form.Find("optMode", 2)->Container());
}

TEST_F(FormRuntimeTest, LoadHappensOnceAndShowLoadsFirst) {
  form.Show();
  form.Show();
  form.Load();
  EXPECT_EQ(std::vector<std::string>{"load"}, form.events);
  EXPECT_TRUE(form.Visible());
  form.Hide();
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(form.Loaded());
}

TEST_F(FormRuntimeTest, UnloadAsksQueryUnloadThenUnloadAndEitherMayCancel) {
  EXPECT_TRUE(form.Unload());  // not loaded: nothing happens
  EXPECT_TRUE(form.events.empty());

  form.Show();
  form.cancel_query = 1;
  EXPECT_FALSE(form.Unload(vbFormControlMenu));
  EXPECT_TRUE(form.Loaded());
  EXPECT_EQ(vbFormControlMenu, form.last_mode);

  form.cancel_query = 0;
  form.cancel_unload = 1;
  EXPECT_FALSE(form.Unload(vbAppWindows));
  EXPECT_TRUE(form.Visible());

  form.cancel_unload = 0;
  EXPECT_TRUE(form.Unload());
  EXPECT_FALSE(form.Loaded());
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(vbFormCode, form.last_mode);
  EXPECT_EQ((std::vector<std::string>{"load", "query", "query", "unload", "query", "unload"}),
            form.events);
}

TEST_F(FormRuntimeTest, ReloadingGivesFreshControls) {
  form.Load();
  form.Find("lblTitle")->SetCaption("changed");
  form.Unload();
  EXPECT_EQ("changed", form.Find("lblTitle")->Caption());  // still readable after unload
  form.Load();
  EXPECT_EQ("Title", form.Find("lblTitle")->Caption());
}

TEST_F(FormRuntimeTest, UnloadFromInsideItsOwnClickIsSafe) {
  form.Show();
  form.ok->Click = [this] { form.Unload(); };
  form.ok->UserClick();
  EXPECT_FALSE(form.Loaded());
}

TEST_F(FormRuntimeTest, TimersFireInDueOrderAndRearm) {
  std::vector<std::string> ticks;
  form.Load();
  form.fast->Tick = [&] {
    ticks.push_back("fast@" + std::to_string((clock.TimeOfDay() / 1ms) % 10000));
  };
  form.slow->Tick = [&] {
    ticks.push_back("slow@" + std::to_string((clock.TimeOfDay() / 1ms) % 10000));
  };
  form.slow->SetEnabled(true);  // armed now, due in 500 ms
  kit.Advance(1000ms);
  EXPECT_EQ((std::vector<std::string>{"fast@250", "fast@500", "slow@500", "fast@750", "fast@1000",
                                      "slow@1000"}),
            ticks);
}

TEST_F(FormRuntimeTest, ATimerThatDisarmsItselfFiresOnceAndRestartsFromArming) {
  form.Load();
  int fast = 0, slow = 0;
  form.fast->SetEnabled(false);
  form.slow->Tick = [&] {
    ++slow;
    form.slow->SetEnabled(false);
  };
  form.fast->Tick = [&] { ++fast; };
  form.slow->SetEnabled(true);
  kit.Advance(2000ms);
  EXPECT_EQ(1, slow);
  EXPECT_EQ(0, fast);
  form.slow->SetEnabled(true);
  kit.Advance(499ms);
  EXPECT_EQ(1, slow);
  kit.Advance(1ms);
  EXPECT_EQ(2, slow);
  // A new interval counts from the moment it is set.
  form.fast->SetEnabled(true);
  kit.Advance(200ms);
  form.fast->SetInterval(300);
  kit.Advance(299ms);
  EXPECT_EQ(0, fast);
  kit.Advance(1ms);
  EXPECT_EQ(1, fast);
}

TEST_F(FormRuntimeTest, TimersStopWithTheirWindow) {
  form.Load();
  int ticks = 0;
  form.fast->Tick = [&] { ++ticks; };
  kit.Advance(250ms);
  form.Unload();
  kit.Advance(10s);
  EXPECT_EQ(1, ticks);
  form.Load();  // fresh controls, armed again by the layout
  form.fast->Tick = [&] { ++ticks; };
  kit.Advance(250ms);
  EXPECT_EQ(2, ticks);
}

TEST_F(FormRuntimeTest, ShowModalReturnsWhenTheWindowCloses) {
  TestForm dialog{kit, "frmDialog"};
  bool user_saw_it_visible = false;
  kit.OnModal("frmDialog", [&](Form& f) {
    user_saw_it_visible = f.Visible() && f.IsModal();
    f.Unload();
  });
  dialog.ShowModal();
  EXPECT_TRUE(user_saw_it_visible);
  EXPECT_FALSE(dialog.Loaded());
  EXPECT_FALSE(dialog.IsModal());
}

TEST_F(FormRuntimeTest, OptionButtonsExcludeEachOtherWithinTheirContainer) {
  form.Load();
  auto* a = static_cast<OptionButton*>(form.Find("optMode", 0));
  auto* b = static_cast<OptionButton*>(form.Find("optMode", 1));
  auto* other = static_cast<OptionButton*>(form.Find("optOther"));
  int clicks = 0;
  b->Click = [&] { ++clicks; };
  other->UserClick();
  a->UserClick();
  b->UserClick();
  b->UserClick();
  EXPECT_FALSE(a->Value());
  EXPECT_TRUE(b->Value());
  EXPECT_TRUE(other->Value());  // another container
  EXPECT_EQ(1, clicks);
}

TEST_F(FormRuntimeTest, CheckBoxAndListChangesFireClickOnlyWhenTheValueChanges) {
  form.Load();
  CheckBox& check = form.Add<CheckBox>("chkMin");
  ComboBox& combo = form.Add<ComboBox>("cbShutdown");
  int check_clicks = 0, combo_clicks = 0;
  check.Click = [&] { ++check_clicks; };
  combo.Click = [&] { ++combo_clicks; };
  check.SetValue(1);
  check.SetValue(1);
  check.UserClick();
  EXPECT_EQ(0, check.Value());
  EXPECT_EQ(2, check_clicks);
  combo.AddItem("Shut Down");
  combo.AddItem("Reboot");
  combo.SetListIndex(1);
  combo.SetListIndex(1);
  EXPECT_EQ("Reboot", combo.Text());
  EXPECT_EQ(1, combo_clicks);
  EXPECT_THROW(combo.SetListIndex(2), std::out_of_range);
  combo.RemoveItem(0);
  EXPECT_EQ(0, combo.ListIndex());
  combo.Clear();
  EXPECT_EQ(-1, combo.ListIndex());
}

TEST_F(FormRuntimeTest, ListViewRowsSelectionAndItemClick) {
  form.Load();
  ListView& list = form.Add<ListView>("lstSchedules");
  list.AddColumn("Schedule Name", 2000);
  std::optional<size_t> clicked;
  list.ItemClick = [&](size_t row) { clicked = row; };
  list.SetItems({{"a", {"Reboot"}}, {"b", {"Log Off"}}});
  list.UserClickItem(1);
  EXPECT_EQ(1u, clicked);
  EXPECT_EQ(1u, list.SelectedItem());
  list.RemoveItem(0);
  EXPECT_EQ(0u, list.SelectedItem());
  list.SetSubItem(0, 3, "next");
  EXPECT_EQ("next", list.Items()[0].SubItem(3));
  list.SetItems({});
  EXPECT_EQ(std::nullopt, list.SelectedItem());
}

TEST_F(FormRuntimeTest, TreeNodeChecksFireNodeCheck) {
  form.Load();
  TreeView& tree = form.Add<TreeView>("tvScheduleWeek");
  tree.AddNode("mon", "Monday");
  tree.AddNode("tue", "Tuesday");
  std::vector<size_t> checked;
  tree.NodeCheck = [&](size_t i) { checked.push_back(i); };
  tree.UserCheckNode(1, true);
  tree.SetChecked(0, true);  // the program's own change fires nothing
  EXPECT_EQ(std::vector<size_t>{1}, checked);
  EXPECT_TRUE(tree.Nodes()[0].Checked);
  EXPECT_EQ(1u, tree.FindKey("tue"));
  EXPECT_EQ(std::nullopt, tree.FindKey("Tue"));
}

TEST_F(FormRuntimeTest, MenusFireOnlyWhenTheyCanBeChosen) {
  form.Load();
  Menu& file = form.Add<Menu>("mnuFile");
  std::vector<int> chosen;
  for (int i = 0; i < 3; ++i) {
    Menu& item = form.Add<Menu>("mnuFileItem", i, i == 1 ? "-" : "Item", &file, 0, 0, 0, 0);
    item.Click = [&chosen, i] { chosen.push_back(i); };
  }
  static_cast<Menu*>(form.Find("mnuFileItem", 2))->SetEnabled(false);
  for (int i = 0; i < 3; ++i) form.Find("mnuFileItem", i)->UserClick();
  EXPECT_EQ(std::vector<int>{0}, chosen);
  kit.ChooseFromPopup("mnuFileItem", 0);
  kit.PopupMenu(form, file);
  EXPECT_EQ((std::vector<int>{0, 0}), chosen);
  EXPECT_EQ(std::vector<std::string>{"mnuFile"}, kit.PopupsShown());
}

TEST_F(FormRuntimeTest, TheMessageHookAnswersWhileInstalled) {
  form.Load();
  constexpr uint32_t kPowerBroadcast = 0x0218;
  form.SetMessageHook([](const WindowMessage& m) -> std::optional<intptr_t> {
    if (m.message == kPowerBroadcast) return 0x424D5144;
    return std::nullopt;
  });
  EXPECT_EQ(0x424D5144, kit.SendMessage(form, {kPowerBroadcast, 0, 0}));
  EXPECT_EQ(std::nullopt, kit.SendMessage(form, {0x0010, 0, 0}));
  form.ClearMessageHook();
  EXPECT_EQ(std::nullopt, kit.SendMessage(form, {kPowerBroadcast, 0, 0}));
}

TEST_F(FormRuntimeTest, ScriptedBoxesAnswerInOrder) {
  kit.Script().Expect("Sure?", MsgBoxResult::Yes);
  kit.Script().Expect("", MsgBoxResult::Cancel);
  EXPECT_EQ(MsgBoxResult::Yes,
            kit.Boxes().MsgBox("Sure?", MsgBoxButtons::YesNo, MsgBoxIcon::Question, "Norvale"));
  EXPECT_EQ(MsgBoxResult::Cancel,
            kit.Boxes().MsgBox("anything", MsgBoxButtons::OKCancel, MsgBoxIcon::None, "Norvale"));
  EXPECT_TRUE(kit.Script().AllAnswered());
}

TEST_F(FormRuntimeTest, TrayAddCanFailUntilToldOtherwise) {
  form.Load();
  auto& tray = kit.FakeTrayIcon();
  tray.FailAdds(true);
  EXPECT_FALSE(kit.Tray().Add(form, "Norvale"));
  EXPECT_FALSE(kit.Tray().Modify("Norvale"));
  tray.FailAdds(false);
  EXPECT_FALSE(kit.Tray().Modify("Norvale"));  // nothing to modify yet
  EXPECT_TRUE(kit.Tray().Add(form, "Norvale"));
  EXPECT_TRUE(kit.Tray().Modify("Norvale 2"));
  EXPECT_EQ("Norvale 2", tray.Tip());
  EXPECT_TRUE(kit.Tray().Delete());
  EXPECT_FALSE(tray.Shown());
  std::vector<TrayEvent> seen;
  kit.Tray().OnEvent = [&](TrayEvent e) { seen.push_back(e); };
  tray.Send(TrayEvent::RightUp);
  EXPECT_EQ(std::vector<TrayEvent>{TrayEvent::RightUp}, seen);
}

// The tip is set every 15 seconds: a run of years keeps the latest calls only.
TEST_F(FormRuntimeTest, TheTrayKeepsItsLatestCallsOnly) {
  form.Load();
  auto& tray = kit.FakeTrayIcon();
  ASSERT_TRUE(kit.Tray().Add(form, "Norvale"));
  for (int i = 0; i < 10000; ++i) kit.Tray().Modify("Norvale " + std::to_string(i));
  ASSERT_EQ(headless::HeadlessTray::kKeptCalls, tray.Calls().size());
  EXPECT_EQ("Norvale 9999", tray.Calls().back().tip);
  EXPECT_EQ("Norvale 9900", tray.Calls().front().tip);
  EXPECT_EQ("modify", tray.Calls().front().op);
}

TEST_F(FormRuntimeTest, ActivationFindsLoadedWindowsByExactTitle) {
  form.Load();
  form.SetCaption("Norvale");
  EXPECT_TRUE(kit.ActivateByTitle("Norvale"));
  EXPECT_FALSE(kit.ActivateByTitle("norvale"));
  form.Unload();
  EXPECT_FALSE(kit.ActivateByTitle("Norvale"));
}

}  // namespace
}  // namespace norvale

namespace norvale {
namespace {

// Two frames in a column beside a third, as a preferences window has them.
class Columns : public Form {
 public:
  using Form::Form;
  Label* label = nullptr;
  SkinLabel* overlay = nullptr;  // a skin's copy laid over the label
  ComboBox* combo = nullptr;
  Label* label2 = nullptr;
  ComboBox* combo2 = nullptr;
  CheckBox* below = nullptr;
  Frame* upper = nullptr;
  Frame* lower = nullptr;
  Frame* right = nullptr;

 protected:
  void BuildLayout() override {
    Move(0, 0, 8000, 4000);
    upper = &Add<Frame>("fraUpper", -1, "Upper", nullptr, 120, 120, 3600, 1500);
    label = &Add<Label>("lblWarn", -1, "&Warn:", upper, 120, 300, 1000, 255);
    overlay = &Add<SkinLabel>("SkinLabel1", 0);
    label->LayOver(*overlay);
    combo = &Add<ComboBox>("cmbWarn", -1, "", upper, 1200, 260, 2000, 315);
    label2 = &Add<Label>("lblSkin", -1, "&Skin:", upper, 120, 660, 1000, 255);
    combo2 = &Add<ComboBox>("cmbSkin", -1, "", upper, 1200, 620, 2000, 315);
    below = &Add<CheckBox>("chkBelow", -1, "Below", upper, 120, 1000, 2000, 285);
    lower = &Add<Frame>("fraLower", -1, "Lower", nullptr, 120, 1740, 3600, 1500);
    right = &Add<Frame>("fraRight", -1, "Right", nullptr, 3840, 120, 4000, 3120);
  }
};

// A longer translation: the label grows, what stands beside it moves along, the
// frames of its column and the window grow, and nothing else moves.
TEST(FitTexts, ALongerTextWidensItsControlAndMakesRoomAroundIt) {
  FakeClock clock;
  FakeToolkit kit(clock);
  Columns form(kit, "frmColumns");
  form.Load();  // nothing measured: the layout stays as designed
  EXPECT_EQ(1000, form.label->Width());
  form.Unload();
  kit.MeasureTexts(100);
  form.Load();
  EXPECT_EQ(1000, form.label->Width());  // "Warn:" fits
  form.label->SetCaption("&Warnung vor dem Ausführen (Sekunden):");
  form.FitTexts();
  EXPECT_EQ(3745, form.label->Width());  // 37 characters and the label's own margin
  EXPECT_EQ(3745, form.overlay->Width());
  EXPECT_EQ(1200 + 2745, form.combo->Left());
  EXPECT_EQ(2000, form.combo->Width());
  // The label under it keeps the column's width: both boxes stay aligned.
  EXPECT_EQ(3745, form.label2->Width());
  EXPECT_EQ(form.combo->Left(), form.combo2->Left());
  EXPECT_EQ(120, form.below->Left());  // another row
  const int frame = form.combo->Left() + form.combo->Width() + 120;
  EXPECT_EQ(frame, form.upper->Width());
  EXPECT_EQ(frame, form.lower->Width());  // one column, one width
  EXPECT_EQ(form.upper->Left() + frame + (3840 - 3720), form.right->Left());
  EXPECT_GE(form.ScaleWidth(), form.right->Left() + form.right->Width());
  // A frame's caption widens its frame.
  form.right->SetCaption(std::string(45, 'r'));
  form.FitTexts();
  EXPECT_EQ(4500 + 300, form.right->Width());
  EXPECT_GE(form.ScaleWidth(), form.right->Left() + form.right->Width());
}

// Laid out again for shorter texts, the window starts from its design: what a
// longer text widened, moved and grew goes back, and the copy over the label
// follows; what the program placed since keeps its place.
TEST(FitTexts, ShorterTextsGiveTheDesignedLayoutBack) {
  FakeClock clock;
  FakeToolkit kit(clock);
  kit.MeasureTexts(100);
  Columns form(kit, "frmColumns");
  form.Load();
  const int designed_width = form.ScaleWidth();
  form.label->SetCaption(std::string(50, 'r'));  // Russian-long
  form.FitTexts();
  ASSERT_EQ(5045, form.label->Width());
  ASSERT_GT(form.ScaleWidth(), designed_width);
  form.combo2->Move(form.combo2->Left(), 700, form.combo2->Width(), form.combo2->Height());
  form.label->SetCaption(std::string(30, 'g'));  // German-long: narrower than before
  form.FitTexts();
  EXPECT_EQ(3045, form.label->Width());
  EXPECT_EQ(3045, form.label2->Width());
  EXPECT_EQ(1200 + 2045, form.combo->Left());
  EXPECT_EQ(1200 + 2045, form.combo2->Left());
  EXPECT_EQ(700, form.combo2->Top());  // placed by the program: kept
  EXPECT_EQ(form.combo->Left() + 2000 + 120, form.upper->Width());
  EXPECT_EQ(form.upper->Width(), form.lower->Width());
  EXPECT_EQ(form.upper->Left() + form.upper->Width() + 120, form.right->Left());
  EXPECT_EQ(form.right->Left() + form.right->Width() + 120, form.ScaleWidth());
  form.label->SetCaption("&Warn:");
  form.FitTexts();
  EXPECT_EQ(1000, form.label->Width());
  EXPECT_EQ(1200, form.combo->Left());
  EXPECT_EQ(3600, form.upper->Width());
  EXPECT_EQ(3600, form.lower->Width());
  EXPECT_EQ(3840, form.right->Left());
  EXPECT_EQ(designed_width, form.ScaleWidth());
  // The skin's copy shows the label's text where the label stands.
  EXPECT_EQ("&Warn:", form.overlay->Caption());
  EXPECT_EQ(form.label->Left(), form.overlay->Left());
  EXPECT_EQ(form.label->Width(), form.overlay->Width());
  EXPECT_EQ(form.upper, form.overlay->Container());
  form.label->SetVisible(false);
  EXPECT_FALSE(form.overlay->Visible());
}

}  // namespace
}  // namespace norvale

namespace norvale {
namespace {

// A wrapped tip in a frame, a box under it, a button under the frame and a
// list beside it.
class Stacked : public Form {
 public:
  using Form::Form;
  Frame* frame = nullptr;
  Label* tip = nullptr;
  CheckBox* under = nullptr;
  CommandButton* ok = nullptr;
  ListBox* beside = nullptr;

 protected:
  void BuildLayout() override {
    Move(0, 0, 6000, 3000);
    frame = &Add<Frame>("fraTips", -1, "Tips", nullptr, 120, 120, 3000, 1500);
    tip = &Add<Label>("lblTip", -1, "Tip: short.", frame, 120, 240, 2760, 480);
    under = &Add<CheckBox>("chkUnder", -1, "Under", frame, 120, 900, 2000, 285);
    ok = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 1800, 1740, 1320, 375);
    beside = &Add<ListBox>("lstBeside", -1, "", nullptr, 3240, 900, 2600, 1200);
  }
};

// A longer translation of a wrapped text: it grows downwards, what stands below it
// in its column moves down, its frame and the window grow, and nothing beside moves.
TEST(FitTexts, ALongerWrappedTextGrowsDownAndPushesItsColumnDown) {
  FakeClock clock;
  FakeToolkit kit(clock);
  kit.MeasureTexts(100);
  Stacked form(kit, "frmStacked");
  form.Load();
  EXPECT_EQ(480, form.tip->Height());          // 11 characters: one line of two
  EXPECT_EQ(2000, form.under->Width());        // a one-line box keeps its width
  form.tip->SetCaption(std::string(80, 'x'));  // 8000 twips: three lines of 2760
  form.FitTexts();
  EXPECT_EQ(2760, form.tip->Width());
  EXPECT_EQ(720, form.tip->Height());
  EXPECT_EQ(900 + 240, form.under->Top());
  // The frame had 75 twips to spare below its margin: it grows by the rest.
  EXPECT_EQ(1140 + 285 + 120, form.frame->Height());
  EXPECT_EQ(1740 + 45, form.ok->Top());
  EXPECT_EQ(900, form.beside->Top());
  EXPECT_GE(form.ScaleHeight(), form.ok->Top() + form.ok->Height());
}

}  // namespace
}  // namespace norvale
