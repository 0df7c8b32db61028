// The coverage-guided engine's entry: one target (chosen when building) under libFuzzer. A broken
// invariant aborts, so that libFuzzer keeps the input as a crash. The progress line comes every
// ten seconds and once more when libFuzzer ends.

#include <cstdio>
#include <cstdlib>

#include "progress.h"
#include "targets.h"

namespace {

fuzz::Progress& TheProgress() {
  static fuzz::Progress* progress = [] {
    auto* made = new fuzz::Progress(*fuzz::FindTarget(VORPEX_FUZZ_TARGET), "libFuzzer");
    std::atexit([] { std::fprintf(stderr, "%s\n", TheProgress().Line().c_str()); });
    return made;
  }();
  return *progress;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::Target& target = *fuzz::FindTarget(VORPEX_FUZZ_TARGET);
  fuzz::Progress& progress = TheProgress();
  const fuzz::Outcome outcome = target.run(data, size);
  progress.Count(outcome);
  progress.Show();
  if (!outcome.failure.empty()) {
    std::fprintf(stderr, "fuzz: %s: FAILURE: %s\n%s\n", target.name, outcome.failure.c_str(),
                 progress.Line().c_str());
    std::abort();
  }
  return 0;
}
