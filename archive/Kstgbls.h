// Shared routines of the archive library: the library's exception class and the
// utilities every component uses (names, wildcards, dates, attributes, CRC).
#pragma once
#include <stdexcept>
#include <string>

namespace kst {

// The library's exception. Its message is the bare text of an error identifier.
class E_RAISE : public std::runtime_error {
 public:
  explicit E_RAISE(const std::string& Message) : std::runtime_error(Message) {}
};

}  // namespace kst
