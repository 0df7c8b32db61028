#include "progress.h"

#include <cstdio>

namespace fuzz {

Progress::Progress(const Target& target, std::string engine)
    : target_(target),
      engine_(std::move(engine)),
      start_(std::chrono::steady_clock::now()),
      shown_(start_) {}

void Progress::Count(const Outcome& outcome) {
  ++inputs;
  units += outcome.units;
  if (!outcome.failure.empty()) ++failures;
}

double Progress::Seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

std::string Progress::Line() const {
  const double seconds = Seconds();
  char line[256];
  std::snprintf(line, sizeof line,
                "fuzz: %s (%s): %llu inputs, %.0f inputs/s, %llu %s, %llu failures, %.0f s",
                target_.name, engine_.c_str(), static_cast<unsigned long long>(inputs),
                seconds > 0 ? static_cast<double>(inputs) / seconds : 0.0,
                static_cast<unsigned long long>(units), target_.unit,
                static_cast<unsigned long long>(failures), seconds);
  return line;
}

void Progress::Show(double everySeconds) {
  const auto now = std::chrono::steady_clock::now();
  if (std::chrono::duration<double>(now - shown_).count() < everySeconds) return;
  shown_ = now;
  std::fprintf(stderr, "%s\n", Line().c_str());
}

}  // namespace fuzz
