// Attribute strings of entry listings; see AttrStrings.h. Each position starts as
// the fill character and is overwritten by the letter of its attribute.
#include "archive/list/AttrStrings.h"

#include "archive/identify/ArcTypeInfo.h"

namespace kst {

std::string WinAttrToString(uint32_t Attr, char Fill) {
  std::string Text(4, Fill);
  if (Attr & 0x20) Text[0] = 'a';
  if (Attr & 0x10) Text[0] = 'd';
  if (Attr & 0x08) Text[0] = 'v';
  if (Attr & 0x01) Text[1] = 'r';
  if (Attr & 0x04) Text[2] = 's';
  if (Attr & 0x02) Text[3] = 'h';
  return Text;
}

namespace {

// The execute position of one class: x, or s/S when the special bit is set with
// or without execute permission.
void SetExecute(std::string& Text, size_t Pos, uint32_t Mode, uint32_t ExecBit, uint32_t SpecialBit) {
  const bool Exec = (Mode & ExecBit) != 0;
  const bool Special = (Mode & SpecialBit) != 0;
  if (Special) {
    Text[Pos] = Exec ? 's' : 'S';
  } else if (Exec) {
    Text[Pos] = 'x';
  }
}

}  // namespace

std::string UnixAttrToString(uint32_t Mode, char Fill) {
  std::string Text(10, Fill);
  if (Mode & 0x4000) Text[0] = 'd';
  if (Mode & 0x100) Text[1] = 'r';
  if (Mode & 0x80) Text[2] = 'w';
  SetExecute(Text, 3, Mode, 0x40, 0x800);
  if (Mode & 0x20) Text[4] = 'r';
  if (Mode & 0x10) Text[5] = 'w';
  SetExecute(Text, 6, Mode, 0x08, 0x400);
  if (Mode & 0x04) Text[7] = 'r';
  if (Mode & 0x02) Text[8] = 'w';
  if (Mode & 0x01) Text[9] = 'x';
  return Text;
}

std::string FileAttrToString(TArcType ArcType, uint32_t Attr, char Fill, uint8_t HostOS) {
  if (!IsArcValid(ArcType)) return {};
  const bool UnixForm = ArcType == atAce || ((ArcType == atRar || ArcType == atRarExe) && HostOS == RarHostUnix);
  return UnixForm ? UnixAttrToString(Attr, Fill) : WinAttrToString(Attr, Fill);
}

bool IsGZipSignAttr(uint16_t Word) {
  return Word == 0x1E1F || Word == 0x8B1F || Word == 0x9D1F || Word == 0x9E1F || Word == 0xA01F;
}

}  // namespace kst
