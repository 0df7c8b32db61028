// The fuzzing targets. Each is a plain function over bytes: the coverage-guided engine calls it
// from LLVMFuzzerTestOneInput, the standalone driver with saved inputs and with the inputs that
// the grammar-aware generator makes. A target checks its invariants on every input and returns
// what broke, if anything; a crash or a hang is the engine's to catch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialect.h"
#include "host/fragment_defaults.h"

namespace fuzz {

struct Outcome {
  std::string failure;      // empty when every invariant held
  std::uint64_t units = 0;  // lines formatted, keys pressed, host inputs read
};

struct Target {
  const char* name;
  const char* unit;  // what `units` counts
  Outcome (*run)(const std::uint8_t* data, std::size_t size);
  std::string (*generate)(Random& random);  // an input made by the dialect's generator
};

Outcome RunFormatter(const std::uint8_t* data, std::size_t size);
std::string GenerateFormatterInput(Random& random);

Outcome RunSession(const std::uint8_t* data, std::size_t size);
std::string GenerateSessionInput(Random& random);

Outcome RunHostInput(const std::uint8_t* data, std::size_t size);
std::string GenerateHostInput(Random& random);

const std::vector<Target>& Targets();
// Every setting of the plugin's catalogue at the value a first-run host publishes.
const std::vector<DefaultSetting>& CatalogueSettings();
const Target* FindTarget(std::string_view name);

// Reads an input from its start; past the end every read gives zeros and empty texts.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t Word() {
    const std::uint8_t low = Byte();  // two statements: the order of the reads is fixed
    return static_cast<std::uint16_t>(low | Byte() << 8);
  }
  std::string Bytes(std::size_t count) {
    const std::size_t taken = count < size_ - at_ ? count : size_ - at_;
    std::string bytes(reinterpret_cast<const char*>(data_) + at_, AtEnd() ? 0 : taken);
    at_ += AtEnd() ? 0 : taken;
    return bytes;
  }
  std::string Rest() { return Bytes(size_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// The two-byte length and the bytes, as ByteReader::Word and Bytes read them back.
void AppendWord(std::string& out, std::size_t value);
void AppendText(std::string& out, const std::string& text);

}  // namespace fuzz
