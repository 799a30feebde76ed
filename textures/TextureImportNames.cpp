// Picture names: the order in which the import takes the listed entries and
// how one entry name is cut. The sort folds only A-Z to a-z and compares bytes,
// so every machine gives the same order; a stable sort keeps equal names in
// listing order. The cutting works on 1-based character positions exactly as
// the name rule reads: the first "-" (moved past a "D" mark), the last "-",
// the last lower-case "x" and the last "."; a position that does not exist is
// 0, and a piece whose end lies before its start is empty.
#include <algorithm>
#include <charconv>

#include "textures/TextureImport.h"

namespace skw {

namespace {

unsigned char Folded(char C) {
  const auto U = static_cast<unsigned char>(C);
  return (U >= 'A' && U <= 'Z') ? static_cast<unsigned char>(U + ('a' - 'A')) : U;
}

// Position (from 1) of the last Ch in Text, 0 when there is none.
size_t LastPosition(const std::string& Text, char Ch) {
  const size_t At = Text.rfind(Ch);
  return At == std::string::npos ? 0 : At + 1;
}

size_t FirstPosition(const std::string& Text, char Ch) {
  const size_t At = Text.find(Ch);
  return At == std::string::npos ? 0 : At + 1;
}

// Count characters from position Index (from 1; below 1 counts as 1); empty
// for a count of 0 or less or a start behind the text.
std::string Piece(const std::string& Text, int64_t Index, int64_t Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || Index > static_cast<int64_t>(Text.size())) return {};
  return Text.substr(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

}  // namespace

int32_t StrToInt(const std::string& Text) {
  const char* First = Text.data();
  const char* Last = Text.data() + Text.size();
  if (First != Last && *First == '+' && First + 1 != Last && First[1] != '-') ++First;
  int32_t Value = 0;
  const auto [End, Error] = std::from_chars(First, Last, Value);
  if (First == Last || Error != std::errc() || End != Last) throw EConvertError(Text);
  return Value;
}

bool PictureNameLess(const std::string& Left, const std::string& Right) {
  return std::lexicographical_compare(Left.begin(), Left.end(), Right.begin(), Right.end(),
                                      [](char A, char B) { return Folded(A) < Folded(B); });
}

void SortPictureNames(kst::TStringList& Names) { std::stable_sort(Names.begin(), Names.end(), PictureNameLess); }

TNameVerdict CutPictureName(const std::string& EntryName, TPictureName& Picture, std::string* KindToken) {
  const auto Pos = [](size_t P) { return static_cast<int64_t>(P); };
  const int64_t Dot = Pos(LastPosition(EntryName, '.'));
  if (Piece(EntryName, Dot, 4) != ".bmp" || EntryName == "logo.bmp") return TNameVerdict::nvSkip;

  int64_t P = Pos(FirstPosition(EntryName, '-'));
  if (P < Pos(EntryName.size()) && EntryName[static_cast<size_t>(P)] == 'D') P += 2;
  const std::string Kind = Piece(EntryName, P + 1, 3);
  if (KindToken != nullptr) *KindToken = Kind;
  if (Kind == "BIN")
    Picture.Kind = kTrueColourKind;
  else if (Kind == "PAL")
    Picture.Kind = kPalettisedKind;
  else
    return TNameVerdict::nvEndImport;
  Picture.TextureName = Piece(EntryName, 1, P - 1);

  const int64_t LastDash = Pos(LastPosition(EntryName, '-'));
  const int64_t LastX = Pos(LastPosition(EntryName, 'x'));
  Picture.Width = StrToInt(Piece(EntryName, LastDash + 1, LastX - LastDash - 1));
  Picture.Height = StrToInt(Piece(EntryName, LastX + 1, Dot - LastX - 1));
  return TNameVerdict::nvPicture;
}

}  // namespace skw
