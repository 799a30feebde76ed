// The decoders' view of an extraction run. A decoder pulls compressed bytes
// through ReadInput and pushes decoded bytes through WriteOutput; the run behind
// this interface decrypts, keeps the running CRC-32, reports progress and feeds
// the output target. Decoders report failures through RaiseError/RaiseErrorStr
// exactly where the component's own methods would be called.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kst {

class TDecoderIO {
 public:
  virtual ~TDecoderIO() = default;

  // Reads up to Size compressed bytes of the entry into Buffer (decrypted when
  // the entry is encrypted). Never more than the entry has left; 0 means the
  // input is exhausted (or the run was cancelled).
  virtual uint32_t ReadInput(uint8_t* Buffer, uint32_t Size) = 0;

  // Hands Size decoded bytes to the run: CRC, progress, output target.
  // A short write raises E_RAISE with the text of 25136.
  virtual void WriteOutput(const uint8_t* Data, uint32_t Size) = 0;

  // The component's RaiseError: reports through OnError, then raises E_RAISE
  // unless the run was cancelled (then it returns).
  virtual void RaiseError(int32_t ECode) = 0;
  // The component's RaiseErrorStr: reports through OnError only.
  virtual void RaiseErrorStr(int32_t ECode) = 0;

  // True once the run has been cancelled; decoders stop at their next test.
  virtual bool Cancelled() const = 0;

  // A target that keeps the entry's whole output in one growable buffer may
  // lend it: answers the address of the entry's first output byte with room
  // for Bytes bytes from there, or nullptr (the default: the decoder keeps its
  // own window). The decoder then decodes in place, reads its history there,
  // and passes every decoded byte to WriteOutput where it lies. A later call
  // may move the buffer. Raises std::bad_alloc when it cannot grow.
  virtual uint8_t* LendOutput(size_t /*Bytes*/) { return nullptr; }

  // Counts Bytes of output as done for progress although they will never be
  // written (a Deflate block of type 3 ends the entry this way).
  virtual void CountAsDone(uint32_t Bytes) = 0;
};

}  // namespace kst
