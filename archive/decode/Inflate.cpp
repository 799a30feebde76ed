// The Deflate decoder's entry point and error protocol: whatever ends the
// decoding (the final block, the end of input, a reported error, cancellation,
// lack of memory), the bytes decoded so far are written before returning.
#include "archive/decode/Inflate.h"

#include <memory>
#include <new>

#include "archive/core/Err_msgs.h"
#include "archive/decode/InflateState.h"

namespace kst {

namespace {

// Reports an error whose exception only ends the decoding.
void ReportQuietly(TDecoderIO& IO, int32_t Code) {
  try {
    IO.RaiseError(Code);
  } catch (const E_RAISE&) {
  }
}

}  // namespace

TInflateEnd Inflate(TDecoderIO& IO, const TInflateRec& Rec) {
  std::unique_ptr<TInflateState> State;
  try {
    State = std::make_unique<TInflateState>(IO, Rec);
  } catch (const std::bad_alloc&) {
    ReportQuietly(IO, ErrOutOfMemory);
    return {};
  }
  try {
    State->Run();
  } catch (const E_RAISE&) {
  } catch (const std::bad_alloc&) {
    ReportQuietly(IO, ErrOutOfMemory);
  }
  State->WriteRest();
  return {State->Finished(), State->InputUsed()};
}

}  // namespace kst
