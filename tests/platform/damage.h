#pragma once
// Seeded damage to the bytes of an input file, for the tests that read
// damaged files: whatever the bytes, a reader must return and say what is
// wrong. ZELTO_DAMAGE_ITERATIONS raises the number of cases for a long run.
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "files.h"

namespace damage {

inline int iterations(int normal) {
  const char* env = std::getenv("ZELTO_DAMAGE_ITERATIONS");
  return env && std::atoi(env) > 0 ? std::atoi(env) : normal;
}

inline std::string read(const std::filesystem::path& file) { return test_support::ReadFile(file); }

inline void write(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::remove_all(file);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::size_t offsetIn(const std::string& b, std::mt19937& rng, std::size_t width) {
  return b.size() <= width ? 0 : rng() % (b.size() - width + 1);
}

inline void put(std::string& b, std::size_t at, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size() && at + i < b.size(); ++i) b[at + i] = static_cast<char>(bytes[i]);
}

struct Kind {
  const char* name;
  void (*apply)(std::string& bytes, std::mt19937& rng);
};

// Truncation anywhere, flipped bits, huge and negative counts, the largest
// and smallest 6-byte reals, runs of 0xFF and of zeros.
inline const std::vector<Kind>& kinds() {
  static const std::vector<Kind> all{
      {"truncated", [](std::string& b, std::mt19937& rng) { b.resize(rng() % (b.size() + 1)); }},
      {"bits flipped",
       [](std::string& b, std::mt19937& rng) {
         for (unsigned n = 1 + rng() % 8; n > 0 && !b.empty(); --n) b[rng() % b.size()] ^= static_cast<char>(1u << rng() % 8);
       }},
      {"huge 32-bit number",
       [](std::string& b, std::mt19937& rng) {
         static const std::uint32_t values[] = {0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x00FFFFFF, 0x40000000, 0xFFFFFFFE};
         const std::uint32_t v = values[rng() % std::size(values)];
         put(b, offsetIn(b, rng, 4), {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
       }},
      {"extreme 16-bit number",
       [](std::string& b, std::mt19937& rng) {
         static const std::uint16_t values[] = {0x7FFF, 0x8000, 0xFFFF};
         const std::uint16_t v = values[rng() % std::size(values)];
         put(b, offsetIn(b, rng, 2), {std::uint8_t(v), std::uint8_t(v >> 8)});
       }},
      {"extreme 6-byte real",
       [](std::string& b, std::mt19937& rng) {
         const std::uint8_t sign = rng() % 2 ? 0x80 : 0;
         put(b, offsetIn(b, rng, 6),
             rng() % 2 ? std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, std::uint8_t(0x7F | sign)}
                       : std::vector<std::uint8_t>{0x01, 0, 0, 0, 0, sign});
       }},
      {"run of 0xFF",
       [](std::string& b, std::mt19937& rng) {
         const std::size_t at = offsetIn(b, rng, 1);
         put(b, at, std::vector<std::uint8_t>(1 + rng() % 64, 0xFF));
       }},
      {"run of zeros",
       [](std::string& b, std::mt19937& rng) {
         const std::size_t at = offsetIn(b, rng, 1);
         put(b, at, std::vector<std::uint8_t>(1 + rng() % 64, 0));
       }},
  };
  return all;
}

// Ends a case that hangs, naming it, rather than letting the run time out.
class Watchdog {
 public:
  explicit Watchdog(unsigned seconds) : seconds_(seconds) {
    std::signal(SIGALRM, [](int) {
      const char text[] = "\nhung in damage case: ";
      (void)!::write(2, text, sizeof text - 1);
      (void)!::write(2, current(), std::strlen(current()));
      std::abort();
    });
  }
  ~Watchdog() { ::alarm(0); }
  void start(const std::string& name) {
    std::strncpy(current(), name.c_str(), 511);
    ::alarm(seconds_);
  }

 private:
  static char* current() {
    static char text[512];
    return text;
  }
  unsigned seconds_;
};

}  // namespace damage
