// The standalone fuzzing driver: replays the saved inputs of each target, then runs the
// grammar-aware generator against it for a number of seconds. A broken invariant, a crash or a
// hang is a failure; the input that caused it is written to the failures folder.
//
// usage: vorpex-fuzz [--seconds S] [--seed K] [--inputs DIR] [--failures DIR] [--timeout T]
//                    [--longest CHARACTERS] [--units N] [--corpus DIR N] [TARGET...]
// --units N ends a target's generated run once it has counted N units (lines formatted, keys
// pressed, host inputs), or after S seconds, whichever comes first.
//        vorpex-fuzz --minimize FILE TARGET   (writes FILE.min: a smaller input that still fails)
//        vorpex-fuzz --run FILE TARGET        (runs one input and says what it broke)

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "progress.h"
#include "targets.h"

// The sanitizers' runtime is linked only into a sanitizer build; their header is there always.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define VORPEX_HAS_DEATH_CALLBACK 1
#endif

namespace fs = std::filesystem;

namespace {

// The input being run, for the watchdog and the sanitizers' last words.
struct Current {
  std::atomic<std::int64_t> startedMs{0};  // 0: nothing runs
  const std::string* bytes = nullptr;
  std::string target;
  std::string failures;
};
Current g_current;

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// FNV-1a: a stable name for an input.
std::string Hash(const std::string& bytes) {
  std::uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// Async-signal-safe enough for the last words of a dying process: open, write, close.
std::string SaveInput(const std::string& kind, const std::string& target, const std::string& bytes,
                      const std::string& folder) {
  mkdir(folder.c_str(), 0755);
  const std::string path = folder + "/" + target + "-" + kind + "-" + Hash(bytes);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

#ifdef VORPEX_HAS_DEATH_CALLBACK
void OnDeath() {
  if (g_current.bytes == nullptr || g_current.startedMs == 0) return;
  const std::string path =
      SaveInput("crash", g_current.target, *g_current.bytes, g_current.failures);
  std::fprintf(stderr, "fuzz: %s: the input that crashed is %s\n", g_current.target.c_str(),
               path.c_str());
}
#endif

void Watchdog(std::int64_t limitMs) {
  while (true) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::int64_t started = g_current.startedMs;
    if (started != 0 && NowMs() - started > limitMs) {
      const std::string path =
          SaveInput("hang", g_current.target, *g_current.bytes, g_current.failures);
      std::fprintf(stderr, "fuzz: %s: HANG: one input ran longer than %lld s; saved as %s\n",
                   g_current.target.c_str(), static_cast<long long>(limitMs / 1000), path.c_str());
      std::fflush(stderr);
      std::_Exit(3);
    }
  }
}

struct Options {
  double seconds = 10;
  std::uint64_t seed = 1;
  std::string inputs;
  std::string failures = "fuzz-failures";
  double timeout = 60;
  std::string corpus;
  int corpusCount = 0;
  std::vector<std::string> targets;
  std::string minimize;
  std::string run;
  std::uint64_t units = 0;  // 0: no goal
};

// The failure's kind: its text up to the first digit or bracket (the rest names places).
std::string Kind(const std::string& failure) {
  return failure.substr(0, failure.find_first_of("0123456789[(:"));
}

// Removes chunks, halving their size, as long as the input still fails the same way.
int Minimize(const fuzz::Target& target, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const fuzz::Outcome first =
      target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  if (first.failure.empty()) {
    std::fprintf(stderr, "vorpex-fuzz: %s does not fail\n", path.c_str());
    return 1;
  }
  const std::string kind = Kind(first.failure);
  std::string failure = first.failure;
  for (std::size_t chunk = bytes.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t at = 0; at < bytes.size();) {
      std::string smaller = bytes.substr(0, at) + bytes.substr(std::min(bytes.size(), at + chunk));
      const fuzz::Outcome outcome =
          target.run(reinterpret_cast<const std::uint8_t*>(smaller.data()), smaller.size());
      if (!outcome.failure.empty() && Kind(outcome.failure) == kind) {
        bytes = smaller;
        failure = outcome.failure;
      } else {
        at += chunk;
      }
    }
  }
  std::ofstream(path + ".min", std::ios::binary) << bytes;
  std::printf("%zu bytes: %s\n", bytes.size(), failure.c_str());
  return 0;
}

fuzz::Outcome RunOne(const fuzz::Target& target, const std::string& bytes) {
  g_current.bytes = &bytes;
  g_current.startedMs = NowMs();
  fuzz::Outcome outcome =
      target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  g_current.startedMs = 0;
  return outcome;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    auto value = [&](int extra = 1) -> const char* {
      return i + extra < argc ? argv[i + extra] : nullptr;
    };
    if (argument == "--seconds" && value()) {
      options->seconds = std::atof(argv[++i]);
    } else if (argument == "--seed" && value()) {
      options->seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (argument == "--inputs" && value()) {
      options->inputs = argv[++i];
    } else if (argument == "--failures" && value()) {
      options->failures = argv[++i];
    } else if (argument == "--timeout" && value()) {
      options->timeout = std::atof(argv[++i]);
    } else if (argument == "--corpus" && value() && value(2)) {
      options->corpus = argv[++i];
      options->corpusCount = std::atoi(argv[++i]);
    } else if (argument == "--longest" && value()) {
      fuzz::SetLongestLine(std::strtoull(argv[++i], nullptr, 10));
    } else if (argument == "--units" && value()) {
      options->units = std::strtoull(argv[++i], nullptr, 10);
    } else if (argument == "--run" && value()) {
      options->run = argv[++i];
    } else if (argument == "--minimize" && value()) {
      options->minimize = argv[++i];
    } else if (fuzz::FindTarget(argument) != nullptr) {
      options->targets.push_back(argument);
    } else {
      std::fprintf(stderr, "vorpex-fuzz: unknown argument '%s'\n", argument.c_str());
      return false;
    }
  }
  if (!options->minimize.empty() || !options->run.empty()) return options->targets.size() == 1;
  if (options->targets.empty())
    for (const fuzz::Target& target : fuzz::Targets()) options->targets.push_back(target.name);
  return true;
}

void ReportFailure(const fuzz::Target& target, const std::string& what, const std::string& bytes,
                   const fuzz::Outcome& outcome, const Options& options) {
  const std::string path = SaveInput("failure", target.name, bytes, options.failures);
  std::fprintf(stderr, "fuzz: %s: FAILURE on %s (saved as %s):\n  %s\n", target.name, what.c_str(),
               path.c_str(), outcome.failure.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return 2;
  if (!options.minimize.empty())
    return Minimize(*fuzz::FindTarget(options.targets[0]), options.minimize);
  if (!options.run.empty()) {
    const std::string bytes = ReadFile(options.run);
    const fuzz::Target& target = *fuzz::FindTarget(options.targets[0]);
    const fuzz::Outcome outcome =
        target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::printf("%llu %s; %s\n", static_cast<unsigned long long>(outcome.units), target.unit,
                outcome.failure.empty() ? "every invariant held" : outcome.failure.c_str());
    return outcome.failure.empty() ? 0 : 1;
  }
  g_current.failures = options.failures;
#ifdef VORPEX_HAS_DEATH_CALLBACK
  __sanitizer_set_death_callback(&OnDeath);
#endif
  std::thread(Watchdog, static_cast<std::int64_t>(options.timeout * 1000)).detach();

  std::vector<fuzz::Progress> done;
  for (const std::string& name : options.targets) {
    const fuzz::Target& target = *fuzz::FindTarget(name);
    g_current.target = name;
    fuzz::Random random(options.seed * 1000003u + std::hash<std::string>{}(name) % 1000003u);

    // A corpus for the coverage-guided engine, made by the generator.
    if (!options.corpus.empty()) {
      fs::create_directories(options.corpus);
      for (int i = 0; i < options.corpusCount; ++i) {
        const std::string bytes = target.generate(random);
        std::ofstream(options.corpus + "/gen-" + Hash(bytes), std::ios::binary) << bytes;
      }
      continue;
    }

    fuzz::Progress progress(target,
                            "saved inputs and generator, seed " + std::to_string(options.seed));
    if (!options.inputs.empty() && fs::is_directory(fs::path(options.inputs) / name)) {
      std::vector<fs::path> files;
      for (const auto& entry : fs::directory_iterator(fs::path(options.inputs) / name))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const fs::path& file : files) {
        const std::string bytes = ReadFile(file);
        const fuzz::Outcome outcome = RunOne(target, bytes);
        progress.Count(outcome);
        if (!outcome.failure.empty())
          ReportFailure(target, "saved input " + file.filename().string(), bytes, outcome, options);
      }
    }
    std::uint64_t generated = 0;
    while (progress.Seconds() < options.seconds &&
           (options.units == 0 || progress.units < options.units)) {
      const std::string bytes = target.generate(random);
      const fuzz::Outcome outcome = RunOne(target, bytes);
      progress.Count(outcome);
      ++generated;
      if (!outcome.failure.empty())
        ReportFailure(target, "generated input " + std::to_string(generated), bytes, outcome,
                      options);
      progress.Show();
    }
    std::fprintf(stderr, "%s\n", progress.Line().c_str());
    done.push_back(progress);
  }
  std::uint64_t failures = 0;
  if (!done.empty()) std::printf("summary:\n");
  for (const fuzz::Progress& progress : done) {
    std::printf("  %s\n", progress.Line().c_str());
    failures += progress.failures;
  }
  if (failures) std::printf("failed inputs are in %s\n", options.failures.c_str());
  return failures == 0 ? 0 : 1;
}
