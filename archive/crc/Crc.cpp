// The public checksum routines: Crc32_buf picks its path by buffer length and
// processor (carry-less multiplication for long buffers where available, the
// two-lane form where the processor has it, table slicing otherwise; every path gives the byte step's result) and
// Crc16_buf runs the CRC-16 byte step.
#include "archive/crc/Crc.h"

namespace kst {

namespace {

// The folding path needs one 64-byte block to start; measured, it is already
// about twice as fast as slicing there, despite its 16-byte final reduction.
constexpr int64_t kClmulMinLength = 64;

// The two-lane path needs one 128-byte block to start.
constexpr int64_t kWideClmulMinLength = 128;

bool UseClmul() {
  static const bool Available = crc_paths::ClmulAvailable();
  return Available;
}

bool UseWideClmul() {
  static const bool Available = crc_paths::WideClmulAvailable();
  return Available;
}

}  // namespace

void Crc32_buf(const void* Buffer, int64_t Length, uint32_t& Crc) {
  if (Buffer == nullptr || Length <= 0) return;
  const auto* Data = static_cast<const uint8_t*>(Buffer);
  const auto Count = static_cast<size_t>(Length);
  if (Length >= kWideClmulMinLength && UseWideClmul())
    Crc = crc_paths::Crc32ClmulWide(Crc, Data, Count);
  else if (Length >= kClmulMinLength && UseClmul())
    Crc = crc_paths::Crc32Clmul(Crc, Data, Count);
  else
    Crc = crc_paths::Crc32Slicing(Crc, Data, Count);
}

void Crc16_buf(const void* Buffer, int64_t Length, uint16_t& Crc) {
  if (Buffer == nullptr || Length <= 0) return;
  const auto* Data = static_cast<const uint8_t*>(Buffer);
  uint16_t Value = Crc;
  for (int64_t I = 0; I < Length; ++I) Value = UpdC16(Data[I], Value);
  Crc = Value;
}

}  // namespace kst
