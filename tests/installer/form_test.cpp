// Tests of the main window in this process, with a front-end that records what
// it is asked to draw: the credits and logo stage, the run's status lines and
// cursor, the countdown for each kind of argument 2 and its ticks, activation
// after the first, and the run-stopping error that leaves the hourglass and the
// container as they were.
#include <filesystem>

#include "installer/Messages.h"
#include "installer/Unit1.h"
#include "tests/installer/InstallerHarness.h"

namespace {

// Draws nothing; keeps the label texts, boxes, cursor changes and the end.
class RecordingWindow final : public skw::TFrontEnd {
 public:
  void LabelChanged(const skw::TLabel& Label) override { Calls.push_back(Label.Name() + " " + Label.Caption()); }
  void MessageBox(const std::string& Caption, const std::string& Text, skw::TMessageIcon) override {
    Calls.push_back("box " + Caption + ": " + Text);
  }
  void ProcessMessages() override { Calls.push_back("pump"); }
  void SetCursor(skw::TCursorKind Cursor) override {
    Calls.push_back(Cursor == skw::TCursorKind::Hourglass ? "hourglass" : "arrow");
  }
  void Run(const skw::TWindowEvents&) override {}
  void Terminate() override { FTerminated = true; }
  bool Terminated() const override { return FTerminated; }

  bool Has(const std::string& Call) const { return std::find(Calls.begin(), Calls.end(), Call) != Calls.end(); }
  std::vector<std::string> Labels(const std::string& Name) const {
    std::vector<std::string> Texts;
    for (const std::string& Call : Calls)
      if (Call.rfind(Name + " ", 0) == 0) Texts.push_back(Call.substr(Name.size() + 1));
    return Texts;
  }

  std::vector<std::string> Calls;

 private:
  bool FTerminated = false;
};

class Form : public skwtest::DemoGame {
 protected:
  skw::TCommandLine Line(const std::string& Archive, const std::string& Countdown = "0") {
    return skw::TCommandLine{Dir / "program/skinwright", Archive, Countdown, Dir / "tmp/"};
  }
  void SetUp() override {
    skwtest::DemoGame::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(std::filesystem::create_directory(Dir / "program"));
    ASSERT_TRUE(skwtest::WriteAll(Dir / "program/skinwright", "a program without pack"));
  }
  // A pack for the palettised container holding Entries.
  std::string Pack(const std::vector<std::pair<std::string, std::string>>& Entries) {
    const std::string Path = Dir / "test-pal.zip";
    EXPECT_TRUE(skwtest::WriteAll(Path, skwtest::StoredZip(Entries)));
    return Path;
  }
  RecordingWindow Window;
};

TEST_F(Form, CreditsAloneMakeTheWindowTallAndLeaveTheProgramFolderAlone) {
  ASSERT_TRUE(skwtest::WriteAll(Dir / "program/credits.txt", "mine"));
  skw::TForm1 Form1(Window, Line(Pack({{"credits.txt", "First line\r\nSecond line\r\n"}})));
  EXPECT_EQ(Form1.Window.Height(), skw::TForm1::kTallHeight);
  EXPECT_TRUE(Form1.Memo1.Visible());
  EXPECT_EQ(Form1.Memo1.Lines(), (std::vector<std::string>{"First line", "Second line"}));
  EXPECT_EQ(Form1.Image1.Picture(), nullptr);
  EXPECT_EQ(skwtest::ReadAll(Dir / "program/credits.txt"), "mine");
  EXPECT_FALSE(Window.Terminated());
  EXPECT_FALSE(Form1.UnZip1.ArchiveFile().empty());
  EXPECT_EQ(Form1.Kestrel1.ArchiveFile(), Form1.UnZip1.ArchiveFile());
  EXPECT_FALSE(Form1.UnZip1.ConfirmOverwrites);
}

TEST_F(Form, LogoIsShownOnlyWithCredits) {
  const std::string Logo = skwtest::Picture24(16, 12);
  {
    skw::TForm1 Form1(Window, Line(Pack({{"logo.bmp", Logo}, {"credits.txt", "Thanks"}})));
    EXPECT_EQ(Form1.Window.Height(), skw::TForm1::kTallHeight);
    ASSERT_NE(Form1.Image1.Picture(), nullptr);
    EXPECT_EQ(Form1.Image1.Picture()->Width(), 16);
    EXPECT_EQ(Form1.Image1.Picture()->Height(), 12);
  }
  for (const auto& Entries :
       {std::vector<std::pair<std::string, std::string>>{{"logo.bmp", Logo}},
        std::vector<std::pair<std::string, std::string>>{{"credits.txt", ""}, {"logo.bmp", Logo}}}) {
    skw::TForm1 Form1(Window, Line(Pack(Entries)));
    EXPECT_EQ(Form1.Window.Height(), skw::TForm1::kShortHeight);
    EXPECT_FALSE(Form1.Memo1.Visible());
    EXPECT_EQ(Form1.Memo1.Lines(), std::vector<std::string>{"Memo1"});
    EXPECT_EQ(Form1.Image1.Picture(), nullptr);
  }
}

TEST_F(Form, CreditsInAFolderOfTheArchiveAreFoundByName) {
  // The components match the bare name against the entry's file name.
  skw::TForm1 Form1(Window, Line(Pack({{"docs/credits.txt", "Nested"}})));
  EXPECT_EQ(Form1.Memo1.Lines(), std::vector<std::string>{"Nested"});
  EXPECT_EQ(Form1.Window.Height(), skw::TForm1::kTallHeight);
}

TEST_F(Form, InvalidLogoEndsSetUpWithTheBitmapError) {
  EXPECT_THROW(skw::TForm1(Window, Line(Pack({{"credits.txt", "x"}, {"logo.bmp", "BM not really"}}))),
               skw::EInvalidBitmap);
}

TEST_F(Form, FatalSetUpStopsBeforeTheArchiveStage) {
  skw::TForm1 Form1(Window, Line(Dir / "pack.zip"));
  EXPECT_TRUE(Form1.Fatal());
  EXPECT_TRUE(Window.Terminated());
  EXPECT_EQ(Window.Calls, std::vector<std::string>{"box Skinwright import module: No valid Zip file specified."});
  EXPECT_TRUE(Form1.Kestrel1.ArchiveFile().empty());
  Form1.FormActivate();
  EXPECT_EQ(Window.Calls.size(), 1u);
  EXPECT_EQ(Form1.ContainerStream, nullptr);
}

TEST_F(Form, RunShowsEachStepThenCountsDown) {
  skw::TForm1 Form1(Window, Line(Dir / "demo-pack-pal.zip", "3"));
  EXPECT_FALSE(Form1.BinContainer);
  EXPECT_FALSE(Form1.TempArchive);
  Window.Calls.clear();
  Form1.FormActivate();
  EXPECT_EQ(Window.Labels("Label1"),
            (std::vector<std::string>{"Scanning textures.pal ...", "Processing BMP files, this may take a while ...",
                                      "Saving textures file ...", "All done."}));
  EXPECT_EQ(Window.Labels("Label2").back(), "Shutting down in 3 second(s).");
  EXPECT_EQ(Window.Calls.front(), "hourglass");
  EXPECT_EQ(Window.Calls.back(), "arrow");
  EXPECT_TRUE(Window.Has("box CRATE 01-PAL-16x16.bmp: Wrong color depth or texture size."));
  EXPECT_EQ(Form1.TextureList->size() % 7, 0u);
  EXPECT_EQ(Form1.ProgressBar1.Min(), 0);
  EXPECT_EQ(Form1.ProgressBar1.Max(), 3);
  EXPECT_EQ(Form1.ProgressBar1.Position(), 0);
  EXPECT_TRUE(Form1.Timer1.Enabled());
  EXPECT_FALSE(Window.Terminated());

  // A later activation does nothing; the ticks count down to the end.
  const size_t Calls = Window.Calls.size();
  Form1.FormActivate();
  EXPECT_EQ(Window.Calls.size(), Calls);
  for (int Remaining = 2; Remaining >= 0; --Remaining) {
    EXPECT_FALSE(Window.Terminated());
    Form1.Timer1.Tick();
    EXPECT_EQ(Form1.Label2.Caption(), "Shutting down in " + std::to_string(Remaining) + " second(s).");
    EXPECT_EQ(Form1.ProgressBar1.Position(), 3 - Remaining);
  }
  EXPECT_TRUE(Window.Terminated());
  Form1.FormDestroy();
  EXPECT_EQ(Form1.TextureList, nullptr);
  EXPECT_EQ(Form1.ContainerStream, nullptr);
}

TEST_F(Form, CountdownArgument) {
  const std::string PackPath = Pack({{"credits.txt", "no pictures"}});
  const struct {
    const char* Argument;
    int Seconds;  // 0: no countdown
  } Cases[] = {{"12", 12}, {"0", 0}, {"-3", 0}, {"abc", 5}, {"$A", 10}, {"0x10", 16}, {"", 5}, {"  7", 7}};
  for (const auto& Case : Cases) {
    RecordingWindow CaseWindow;
    skw::TForm1 Form1(CaseWindow, Line(PackPath, Case.Argument));
    Form1.FormActivate();
    EXPECT_EQ(Form1.Label1.Caption(), "All done.") << Case.Argument;
    if (Case.Seconds == 0) {
      EXPECT_TRUE(CaseWindow.Terminated()) << Case.Argument;
      EXPECT_FALSE(Form1.Timer1.Enabled());
      EXPECT_EQ(CaseWindow.Labels("Label2"), std::vector<std::string>{""}) << Case.Argument;
    } else {
      EXPECT_FALSE(CaseWindow.Terminated()) << Case.Argument;
      EXPECT_EQ(Form1.Label2.Caption(), "Shutting down in " + std::to_string(Case.Seconds) + " second(s).");
      EXPECT_EQ(Form1.ProgressBar1.Max(), Case.Seconds);
      EXPECT_EQ(Form1.Timer1.Tag, Case.Seconds);
    }
  }
}

TEST_F(Form, RunStoppingErrorLeavesHourglassAndContainer) {
  skw::TForm1 Form1(Window, Line(Pack({{"ROTOR-PAL-64x64.bmp", "not a bitmap"}})));
  EXPECT_THROW(Form1.FormActivate(), skw::EInvalidBitmap);
  EXPECT_EQ(Window.Labels("Label1").back(), "Processing BMP files, this may take a while ...");
  EXPECT_FALSE(Window.Has("arrow"));
  EXPECT_FALSE(Form1.Timer1.Enabled());
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
}

TEST_F(Form, TrailerArchiveIsDeletedAfterTheSave) {
  const std::string ProgramPath = Dir / "program/pack";
  std::string Image = "program bytes" + skwtest::StoredZip({{"credits.txt", "from the trailer"}});
  const uint32_t Length = static_cast<uint32_t>(Image.size() - 13);
  Image += std::string("SKW\0pal\0", 8);
  for (int Shift = 0; Shift < 32; Shift += 8) Image += static_cast<char>((Length >> Shift) & 0xFF);
  ASSERT_TRUE(skwtest::WriteAll(ProgramPath, Image));
  skw::TForm1 Form1(Window, skw::TCommandLine{ProgramPath, Dir / "demo-pack-bin.zip", "0", Dir / "tmp/"});
  EXPECT_TRUE(Form1.TempArchive);
  EXPECT_FALSE(Form1.BinContainer);
  EXPECT_EQ(Form1.Memo1.Lines(), std::vector<std::string>{"from the trailer"});
  EXPECT_EQ(TempFiles().size(), 1u);
  Form1.FormActivate();
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(skwtest::ReadAll(Container("bin")) == BinBefore);
}

}  // namespace
