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
    std::vector<std::string> texts;
    for (const std::string& call : Calls)
      if (call.rfind(Name + " ", 0) == 0) texts.push_back(call.substr(Name.size() + 1));
    return texts;
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
    const std::string path = Dir / "test-pal.zip";
    EXPECT_TRUE(skwtest::WriteAll(path, skwtest::StoredZip(Entries)));
    return path;
  }
  RecordingWindow Window;
};

TEST_F(Form, CreditsAloneMakeTheWindowTallAndLeaveTheProgramFolderAlone) {
  ASSERT_TRUE(skwtest::WriteAll(Dir / "program/credits.txt", "mine"));
  skw::TForm1 form(Window, Line(Pack({{"credits.txt", "First line\r\nSecond line\r\n"}})));
  EXPECT_EQ(form.Window.Height(), skw::TForm1::kTallHeight);
  EXPECT_TRUE(form.Memo1.Visible());
  EXPECT_EQ(form.Memo1.Lines(), (std::vector<std::string>{"First line", "Second line"}));
  EXPECT_EQ(form.Image1.Picture(), nullptr);
  EXPECT_EQ(skwtest::ReadAll(Dir / "program/credits.txt"), "mine");
  EXPECT_FALSE(Window.Terminated());
  EXPECT_FALSE(form.UnZip1.ArchiveFile().empty());
  EXPECT_EQ(form.Kestrel1.ArchiveFile(), form.UnZip1.ArchiveFile());
  EXPECT_FALSE(form.UnZip1.ConfirmOverwrites);
}

TEST_F(Form, LogoIsShownOnlyWithCredits) {
  const std::string logo = skwtest::Picture24(16, 12);
  {
    skw::TForm1 form(Window, Line(Pack({{"logo.bmp", logo}, {"credits.txt", "Thanks"}})));
    EXPECT_EQ(form.Window.Height(), skw::TForm1::kTallHeight);
    ASSERT_NE(form.Image1.Picture(), nullptr);
    EXPECT_EQ(form.Image1.Picture()->Width(), 16);
    EXPECT_EQ(form.Image1.Picture()->Height(), 12);
  }
  for (const auto& entries :
       {std::vector<std::pair<std::string, std::string>>{{"logo.bmp", logo}},
        std::vector<std::pair<std::string, std::string>>{{"credits.txt", ""}, {"logo.bmp", logo}}}) {
    skw::TForm1 form(Window, Line(Pack(entries)));
    EXPECT_EQ(form.Window.Height(), skw::TForm1::kShortHeight);
    EXPECT_FALSE(form.Memo1.Visible());
    EXPECT_EQ(form.Memo1.Lines(), std::vector<std::string>{"Memo1"});
    EXPECT_EQ(form.Image1.Picture(), nullptr);
  }
}

TEST_F(Form, CreditsInAFolderOfTheArchiveAreFoundByName) {
  // The components match the bare name against the entry's file name.
  skw::TForm1 form(Window, Line(Pack({{"docs/credits.txt", "Nested"}})));
  EXPECT_EQ(form.Memo1.Lines(), std::vector<std::string>{"Nested"});
  EXPECT_EQ(form.Window.Height(), skw::TForm1::kTallHeight);
}

TEST_F(Form, InvalidLogoEndsSetUpWithTheBitmapError) {
  EXPECT_THROW(skw::TForm1(Window, Line(Pack({{"credits.txt", "x"}, {"logo.bmp", "BM not really"}}))),
               skw::EInvalidBitmap);
}

TEST_F(Form, FatalSetUpStopsBeforeTheArchiveStage) {
  skw::TForm1 form(Window, Line(Dir / "pack.zip"));
  EXPECT_TRUE(form.Fatal());
  EXPECT_TRUE(Window.Terminated());
  EXPECT_EQ(Window.Calls, std::vector<std::string>{"box Skinwright import module: No valid Zip file specified."});
  EXPECT_TRUE(form.Kestrel1.ArchiveFile().empty());
  form.FormActivate();
  EXPECT_EQ(Window.Calls.size(), 1u);
  EXPECT_EQ(form.ContainerStream, nullptr);
}

TEST_F(Form, RunShowsEachStepThenCountsDown) {
  skw::TForm1 form(Window, Line(Dir / "demo-pack-pal.zip", "3"));
  EXPECT_FALSE(form.BinContainer);
  EXPECT_FALSE(form.TempArchive);
  Window.Calls.clear();
  form.FormActivate();
  EXPECT_EQ(Window.Labels("Label1"),
            (std::vector<std::string>{"Scanning textures.pal ...", "Processing BMP files, this may take a while ...",
                                      "Saving textures file ...", "All done."}));
  EXPECT_EQ(Window.Labels("Label2").back(), "Shutting down in 3 second(s).");
  EXPECT_EQ(Window.Calls.front(), "hourglass");
  EXPECT_EQ(Window.Calls.back(), "arrow");
  EXPECT_TRUE(Window.Has("box CRATE 01-PAL-16x16.bmp: Wrong color depth or texture size."));
  EXPECT_EQ(form.TextureList->size() % 7, 0u);
  EXPECT_EQ(form.ProgressBar1.Min(), 0);
  EXPECT_EQ(form.ProgressBar1.Max(), 3);
  EXPECT_EQ(form.ProgressBar1.Position(), 0);
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_FALSE(Window.Terminated());

  // A later activation does nothing; the ticks count down to the end.
  const size_t calls = Window.Calls.size();
  form.FormActivate();
  EXPECT_EQ(Window.Calls.size(), calls);
  for (int remaining = 2; remaining >= 0; --remaining) {
    EXPECT_FALSE(Window.Terminated());
    form.Timer1.Tick();
    EXPECT_EQ(form.Label2.Caption(), "Shutting down in " + std::to_string(remaining) + " second(s).");
    EXPECT_EQ(form.ProgressBar1.Position(), 3 - remaining);
  }
  EXPECT_TRUE(Window.Terminated());
  form.FormDestroy();
  EXPECT_EQ(form.TextureList, nullptr);
  EXPECT_EQ(form.ContainerStream, nullptr);
}

TEST_F(Form, CountdownArgument) {
  const std::string pack = Pack({{"credits.txt", "no pictures"}});
  const struct {
    const char* Argument;
    int Seconds;  // 0: no countdown
  } cases[] = {{"12", 12}, {"0", 0}, {"-3", 0}, {"abc", 5}, {"$A", 10}, {"0x10", 16}, {"", 5}, {"  7", 7}};
  for (const auto& test : cases) {
    RecordingWindow window;
    skw::TForm1 form(window, Line(pack, test.Argument));
    form.FormActivate();
    EXPECT_EQ(form.Label1.Caption(), "All done.") << test.Argument;
    if (test.Seconds == 0) {
      EXPECT_TRUE(window.Terminated()) << test.Argument;
      EXPECT_FALSE(form.Timer1.Enabled());
      EXPECT_EQ(window.Labels("Label2"), std::vector<std::string>{""}) << test.Argument;
    } else {
      EXPECT_FALSE(window.Terminated()) << test.Argument;
      EXPECT_EQ(form.Label2.Caption(), "Shutting down in " + std::to_string(test.Seconds) + " second(s).");
      EXPECT_EQ(form.ProgressBar1.Max(), test.Seconds);
      EXPECT_EQ(form.Timer1.Tag, test.Seconds);
    }
  }
}

TEST_F(Form, RunStoppingErrorLeavesHourglassAndContainer) {
  skw::TForm1 form(Window, Line(Pack({{"ROTOR-PAL-64x64.bmp", "not a bitmap"}})));
  EXPECT_THROW(form.FormActivate(), skw::EInvalidBitmap);
  EXPECT_EQ(Window.Labels("Label1").back(), "Processing BMP files, this may take a while ...");
  EXPECT_FALSE(Window.Has("arrow"));
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
}

TEST_F(Form, TrailerArchiveIsDeletedAfterTheSave) {
  const std::string program = Dir / "program/pack";
  std::string image = "program bytes" + skwtest::StoredZip({{"credits.txt", "from the trailer"}});
  const uint32_t length = static_cast<uint32_t>(image.size() - 13);
  image += std::string("SKW\0pal\0", 8);
  for (int shift = 0; shift < 32; shift += 8) image += static_cast<char>((length >> shift) & 0xFF);
  ASSERT_TRUE(skwtest::WriteAll(program, image));
  skw::TForm1 form(Window, skw::TCommandLine{program, Dir / "demo-pack-bin.zip", "0", Dir / "tmp/"});
  EXPECT_TRUE(form.TempArchive);
  EXPECT_FALSE(form.BinContainer);
  EXPECT_EQ(form.Memo1.Lines(), std::vector<std::string>{"from the trailer"});
  EXPECT_EQ(TempFiles().size(), 1u);
  form.FormActivate();
  EXPECT_TRUE(TempFiles().empty());
  EXPECT_TRUE(skwtest::ReadAll(Container("bin")) == BinBefore);
}

}  // namespace
