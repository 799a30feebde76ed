// The true-colour import extracts the next picture while the current one's
// level chain is made. What the run does must not show it: each picture is
// extracted as often as before, an extraction error belongs to the entry it
// came from and stops the run there, and a picture fetched ahead for an entry
// the run never reaches is dropped. The second thread's task hands back every
// result and error, also for work the waiting caller ends up doing itself.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/ContainerBuilder.h"
#include "tests/support/ContainerBuilder2.h"
#include "tests/support/MemoryPictureSource.h"
#include "textures/BackgroundTask.h"
#include "textures/ImportObserver.h"
#include "textures/TextureEngine.h"

namespace {

using skwtest::Texture;

auto Fill(uint32_t Value) {
  return [Value](int32_t, int32_t) { return Value; };
}

struct TRun {
  std::vector<std::string> Outcomes;  // entry and outcome words, in report order
  int Extractions = 0;
  std::string Error;
};

// Imports the pictures (name, side) into a true-colour container holding A,
// B, A and C, all 8 x 8, between the first and last records the scan
// expects; FailOn names the entry whose extraction fails.
TRun ImportTrueColour(const std::vector<std::pair<std::string, int32_t>>& Pictures, const std::string& FailOn) {
  skwtest::TContainerPlan Plan;
  Plan.BinContainer = true;
  Plan.Textures.push_back(Texture("5 ROUND ROCKET POD", 8, 8, 1));
  for (const char* Name : {"A", "B", "A", "C"}) Plan.Textures.push_back(Texture(Name, 8, 8, 1));
  Plan.Textures.push_back(skwtest::WoodPlank());
  kst::TMemoryStream Stream = skwtest::StreamOf(skwtest::BuildContainer(Plan).Bytes);
  kst::TStringList Index;
  skwtest::MemoryPictureSource Source;
  for (const auto& [Name, Side] : Pictures) Source.Add(Name, skwtest::TrueColourPicture(Side, Side, Fill(0x102030)));
  Source.OnExtract = [FailOn](const std::string& Name) {
    if (Name == FailOn) throw std::runtime_error("CRC error");
  };
  skw::TImportCollector Collector;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Stream;
  Engine.TextureList = &Index;
  Engine.BinContainer = true;
  Engine.Pictures = &Source;
  Engine.Observer = &Collector;
  Engine.ScanTextures("textures.bin");
  TRun Run;
  try {
    Engine.ImportBitmaps();
  } catch (const std::exception& Error) {
    Run.Error = Error.what();
  }
  for (const skw::TPictureReport& Report : Collector.Reports)
    Run.Outcomes.push_back(Report.EntryName + " " + skw::OutcomeWords(Report.Outcome));
  Run.Extractions = Source.Extractions;
  return Run;
}

TEST(ImportAhead, RunShowsNothingOfTheExtractionAhead) {
  struct TCase {
    std::string FailOn;
    std::vector<std::pair<std::string, int32_t>> Pictures;
    std::vector<std::string> Outcomes;
    int Extractions;
    std::string Error;
  };
  const std::vector<TCase> Cases = {
      // A is written into both its records (extracted for each), then B and C.
      {"",
       {{"A-BIN-8x8.bmp", 8}, {"B-BIN-8x8.bmp", 8}, {"C-BIN-8x8.bmp", 8}},
       {"A-BIN-8x8.bmp replaced", "B-BIN-8x8.bmp replaced", "C-BIN-8x8.bmp replaced"},
       4,
       ""},
      // B's extraction fails while A's second chain is made: B stops the run.
      {"B-BIN-8x8.bmp",
       {{"A-BIN-8x8.bmp", 8}, {"B-BIN-8x8.bmp", 8}, {"C-BIN-8x8.bmp", 8}},
       {"A-BIN-8x8.bmp replaced", "B-BIN-8x8.bmp stops the run", "C-BIN-8x8.bmp never reached"},
       3,
       "CRC error"},
      // A picture without a texture is passed over; C is the next one fetched.
      {"",
       {{"B-BIN-8x8.bmp", 8}, {"BB-BIN-8x8.bmp", 8}, {"C-BIN-8x8.bmp", 8}},
       {"B-BIN-8x8.bmp replaced", "BB-BIN-8x8.bmp no texture", "C-BIN-8x8.bmp replaced"},
       2,
       ""},
      // A bad kind token ends the import: what lies behind it is never fetched.
      {"C-BIN-8x8.bmp",
       {{"B-BIN-8x8.bmp", 8}, {"BX-XYZ-8x8.bmp", 8}, {"C-BIN-8x8.bmp", 8}},
       {"B-BIN-8x8.bmp replaced", "BX-XYZ-8x8.bmp ends the import", "C-BIN-8x8.bmp never reached"},
       1,
       ""},
      // A rejected picture stops nothing; the picture fetched behind it is used.
      {"",
       {{"A-BIN-8x8.bmp", 8}, {"B-BIN-8x8.bmp", 16}, {"C-BIN-8x8.bmp", 8}},
       {"A-BIN-8x8.bmp replaced", "B-BIN-8x8.bmp rejected", "C-BIN-8x8.bmp replaced"},
       4,
       ""},
  };
  for (const TCase& Case : Cases) {
    const TRun Run = ImportTrueColour(Case.Pictures, Case.FailOn);
    EXPECT_EQ(Run.Outcomes, Case.Outcomes) << Case.Pictures[1].first;
    EXPECT_EQ(Run.Extractions, Case.Extractions) << Case.Pictures[1].first;
    EXPECT_EQ(Run.Error, Case.Error) << Case.Pictures[1].first;
  }
}

}  // namespace

TEST(ImportAhead, BackgroundTaskHandsBackEveryResultAndError) {
  // Many short pieces of work, some raising: whether the thread or the
  // waiting caller runs a piece, Wait sees its result or its error, once.
  skw::TBackgroundTask Task;
  int Done = 0;
  int Raised = 0;
  for (int Round = 0; Round < 2000; ++Round) {
    Task.Start([&Done, Round] {
      if (Round % 7 == 0) throw std::runtime_error("piece failed");
      ++Done;
    });
    try {
      Task.Wait();
    } catch (const std::runtime_error&) {
      ++Raised;
    }
    Task.Wait();  // nothing left to hand back
  }
  EXPECT_EQ(Done, 2000 - 286);
  EXPECT_EQ(Raised, 286);
}
