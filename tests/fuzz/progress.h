// The progress line and the summary that both engines print for a target.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "targets.h"

namespace fuzz {

class Progress {
 public:
  Progress(const Target& target, std::string engine);
  void Count(const Outcome& outcome);
  // At most every `everySeconds`: "fuzz: TARGET (ENGINE): N inputs, R inputs/s, U units, F
  // failures".
  void Show(double everySeconds = 10);
  std::string Line() const;
  double Seconds() const;
  std::uint64_t inputs = 0, units = 0, failures = 0;

 private:
  const Target& target_;
  std::string engine_;
  std::chrono::steady_clock::time_point start_, shown_;
};

}  // namespace fuzz
