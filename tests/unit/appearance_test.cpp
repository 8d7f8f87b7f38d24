#include "appearance/info_windows.h"
#include "appearance/skins.h"
#include "platform/path.h"
#include "tests/unit/app_fixture.h"

namespace norvale {
namespace {

using namespace std::chrono_literals;
using testing_app::AppTest;

const char* kDark =
    "; test\r\nName=Dark\r\nControlBack=#2B2B2B\r\nControlText=#F0F0F0\r\nPictureBack=#202020\r\n"
    "Accent=#4CC2FF\r\nWindowBack=#202020\r\nWindowText=#F0F0F0\r\nDarkTitleBar=1\r\n";

class Painted : public Form {
 public:
  using Form::Form;

 protected:
  void BuildLayout() override {
    Add<CommandButton>("cmd");
    Add<TextBox>("txt");
    Add<ComboBox>("cbo");
    Add<ListBox>("lst");
    Add<ListView>("lv");
    Add<PictureBox>("pic");
    Add<Label>("lbl", -1, "Hello", nullptr, 10, 20, 300, 40);
    Add<CheckBox>("chk");
    Add<Frame>("fra");
    Add<Timer>("tmr");
  }
};

// A peer that refuses colours, to stand for a control that fails to paint.
class RefusingPeer final : public ControlPeer {
 public:
  void Changed(Prop what) override {
    if (what == Prop::Colors) throw std::runtime_error("cannot paint");
  }
};

TEST(Skins, ParseReadsColoursAsTheDesktopStoresThem) {
  const auto skin = ParseSkin(kDark);
  ASSERT_TRUE(skin);
  EXPECT_EQ("Dark", skin->Name);
  EXPECT_EQ(0x2B2B2Bu, skin->ControlBack);
  EXPECT_EQ(0xFFC24Cu, skin->Accent);  // #4CC2FF as 0xBBGGRR
  EXPECT_TRUE(skin->DarkTitleBar);
  EXPECT_EQ(std::nullopt, ParseSkin("Name=Broken\nControlBack=#12345\nControlText=#000000\n"));
  EXPECT_EQ(std::nullopt, ParseSkin("Name=Partial\nControlBack=#000000\n"));
  EXPECT_EQ(std::nullopt, ParseColor("#GG0000"));
  EXPECT_EQ(0x0000FFu, ParseColor("#ff0000"));
}

TEST_F(AppTest, EachKindOfControlGetsTheColoursOfItsKind) {
  Painted window(kit, "frmPainted");
  window.Load();
  ColorStandardControls(window, 0x111111, 0x222222, 0x333333, 0x444444);
  const auto look = [&](const char* name) {
    const Control* c = window.Find(name);
    return std::make_pair(c->ForeColor(), c->BackColor());
  };
  using P = std::pair<std::optional<Color>, std::optional<Color>>;
  EXPECT_EQ((P{std::nullopt, 0x111111}), look("cmd"));
  for (const char* name : {"txt", "cbo", "lst", "lv"})
    EXPECT_EQ((P{0x222222, 0x111111}), look(name));
  EXPECT_EQ((P{std::nullopt, 0x333333}), look("pic"));
  for (const char* name : {"lbl", "chk", "fra", "tmr"})
    EXPECT_EQ((P{std::nullopt, std::nullopt}), look(name));
}

TEST_F(AppTest, AFailingControlLeavesTheLaterOnesUncolouredButTheSkinIsApplied) {
  Painted window(kit, "frmPainted");
  window.Load();
  window.Find("cbo")->AttachPeer(std::make_unique<RefusingPeer>());
  ApplySkin(window, *ParseSkin(kDark), system);
  EXPECT_TRUE(window.Find("txt")->BackColor());
  EXPECT_FALSE(window.Find("lst")->BackColor());
  EXPECT_FALSE(window.Find("pic")->BackColor());
  EXPECT_TRUE(window.DarkTitleBar());
  EXPECT_EQ(0x202020u, window.BackColor());
}

TEST_F(AppTest, TheRegionIsResetOnlyFromVersionSixAndClipsNothingAtAnySize) {
  Painted window(kit, "frmPainted");
  window.Load();
  const TwipsRect earlier{0, 0, 600, 600};
  window.SetRegion(earlier);
  system.version = OsVersion{2, 5, 1};
  ApplySkin(window, *ParseSkin(kDark), system);
  ASSERT_TRUE(window.Region());  // left alone
  system.version = OsVersion{2, 6, 0};
  ApplySkin(window, *ParseSkin(kDark), system);
  EXPECT_FALSE(window.Region());  // the whole window, however it is resized later
}

TEST_F(AppTest, PlainLabelsGetSkinLabelOverlaysAndOthersNone) {
  Painted window(kit, "frmPainted");
  window.Load();
  window.Add<SkinLabel>("SkinLabel1", 0, "Windowed Label", nullptr, 0, 0, 0, 0);
  window.Find("lbl")->SetVisible(false);
  OverlaySkinLabels(window);
  const Control* overlay = window.Find("SkinLabel1", 1);
  ASSERT_NE(nullptr, overlay);
  EXPECT_EQ("Hello", overlay->Caption());
  EXPECT_EQ(20, overlay->Top());
  EXPECT_EQ(300, overlay->Width());
  EXPECT_FALSE(overlay->Visible());
  EXPECT_EQ(nullptr, window.Find("SkinLabel1", 2));

  Form empty(kit, "frmEmpty");
  empty.Load();
  empty.Add<CommandButton>("cmd");
  OverlaySkinLabels(empty);
  EXPECT_EQ(1u, empty.Controls().size());
}

TEST_F(AppTest, ThePreferencesWindowPutsEachOverlayInItsGroupsArray) {
  frmOptions options(app);
  options.Load();
  OverlaySkinLabelsByContainer(options);
  const Control* ftp = options.Find("SkinLabel4", 1);  // the first FTP label
  ASSERT_NE(nullptr, ftp);
  EXPECT_EQ(options.Find("lblInfo", 0)->Caption(), ftp->Caption());
  EXPECT_EQ(options.Find("SkinLabel4", 0)->Container(), ftp->Container());
  EXPECT_NE(nullptr, options.Find("SkinLabel3", 10));  // six field labels and four tips
  EXPECT_EQ(nullptr, options.Find("SkinLabel3", 11));
}

TEST_F(AppTest, SkinsComeFromTheSkinsFolderAndAreOptional) {
  fs.Put("C:\\Program Files\\Norvale\\Skins\\Dark.skin", kDark);
  EXPECT_TRUE(LoadSkin(fs, "Dark"));
  EXPECT_FALSE(LoadSkin(fs, "Missing"));
  EXPECT_FALSE(LoadSkin(fs, "..\\Dark"));
}

TEST(Website, SchemeIsAddedOnlyWhenNeitherIsPresent) {
  EXPECT_EQ("http://norvale.example", WebsiteAddress("norvale.example"));
  EXPECT_EQ("HTTPS://norvale.example", WebsiteAddress("HTTPS://norvale.example"));
  EXPECT_EQ("see http://x.example", WebsiteAddress("see http://x.example"));
  EXPECT_EQ("Http://x.example", WebsiteAddress("Http://x.example"));
}

TEST_F(AppTest, ASecondWebsiteRequestWithinTenSecondsOpensNothing) {
  std::string request;
  frmWebsite web(app, request);
  app.website = "norvale.example";
  request = "Website";
  web.Load();
  EXPECT_EQ(std::vector<std::string>{"http://norvale.example"}, shell.documents);
  EXPECT_EQ("", request);
  kit.Advance(5s);
  request = "Website";
  web.Load();  // still loaded: nothing runs
  EXPECT_EQ(1u, shell.documents.size());
  kit.Advance(5s);
  EXPECT_FALSE(web.Loaded());
  web.Load();
  EXPECT_EQ(2u, shell.documents.size());
  request = "Other";
  kit.Advance(10s);
  web.Load();
  EXPECT_EQ(2u, shell.documents.size());
  EXPECT_EQ("Other", request);
}

TEST_F(AppTest, TheHelpLauncherOpensAnExistingHelpFileOnly) {
  {
    Form8 help(app);
    help.Load();
    EXPECT_TRUE(shell.documents.empty());
    EXPECT_EQ("<none>", User("showHelp"));
  }
  fs.Put("C:\\Program Files\\Norvale\\Help.chm", "ITSF");
  Form8 help(app);
  help.Load();
  EXPECT_FALSE(help.Visible());
  EXPECT_EQ(std::vector<std::string>{JoinPath(fs.ProgramFolder(), "Help.chm")}, shell.documents);
  EXPECT_EQ("0", User("showHelp"));
  EXPECT_FALSE(reg.HasKey(RegRoot::LocalMachine, "SOFTWARE\\Norvale Labs\\Norvale\\Settings"));
}

TEST_F(AppTest, TheAboutWindowShowsProductVersionCompanyAndWebsite) {
  system.program.major = 1;
  system.program.minor = 3;
  frmAbout about(app);
  bool skinned = false;
  app.Skin = [&](Form& f, AppContext::Overlay o) {
    skinned = &f == &about && o == AppContext::Overlay::kLabels;
  };
  about.Show();
  EXPECT_EQ("Norvale", about.Label1->Caption());
  EXPECT_EQ("1.3", about.lblVersion->Caption());
  EXPECT_EQ("Norvale Labs", about.lblCompany->Caption());
  EXPECT_EQ("https://norvale.example/", about.lblWebsite->Caption());
  EXPECT_EQ("About Norvale", about.Caption());
  EXPECT_TRUE(skinned);
  EXPECT_TRUE(about.Dialog());
  EXPECT_TRUE(about.cmdOK->Default && about.cmdOK->Cancel);  // Enter and Esc
  about.cmdOK->UserClick();
  EXPECT_FALSE(about.Loaded());
}

}  // namespace
}  // namespace norvale
