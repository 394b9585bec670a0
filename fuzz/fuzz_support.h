#pragma once
// What every fuzz driver shares: a scratch directory that is the current
// directory, the Windows directory and drive C: of the process, user
// interaction that answers every box with its default, and inputs that
// carry several files at once.
//
// A driver defines LLVMFuzzerTestOneInput; built for libFuzzer it is run by
// the fuzzing engine, built plainly it is run by replay_main.cpp over the
// files and directories named on its command line.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Set up once per process; every input starts from a clean state.
class Harness {
 public:
  // Registers every element class and makes the scratch directory.
  static Harness& Get();
  // Empties the scratch directory and forgets the texts shown and posted
  // for the previous input.
  void Begin();
  const std::filesystem::path& Scratch() const { return scratch_; }
  // Writes the bytes as a file below the scratch directory, creating its
  // directory.
  std::filesystem::path Write(const std::string& relative, std::string_view bytes) const;
  // The field definitions and transfer scripts of the kinds ("P1300") in
  // GIS/, as the jobs find them in the GIS root.
  void WriteControlFiles(std::initializer_list<const char*> kinds, std::string_view fields,
                         std::string_view transfer) const;
  // The jobs work in the world's object model: the process gets one world.
  static void EnsureWorld();

 private:
  Harness();
  std::filesystem::path scratch_;
};

// Several files in one input: each is its length as four bytes (least
// significant first) and then its bytes; a length beyond the input takes
// what is left, and files missing at the end are empty.
std::vector<std::string_view> SplitFiles(const std::uint8_t* data, std::size_t size, std::size_t count);
std::string JoinFiles(const std::vector<std::string_view>& files);

// The libFuzzer mutator of several files: one file, chosen by the seed,
// is changed per step, so that the others stay well-formed.
std::size_t MutateOneFile(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned int seed,
                          std::size_t count);

// A cheap limit for inputs that would only make a driver slow: a value taken
// from the input, bounded.
inline std::size_t Bounded(std::size_t value, std::size_t limit) { return value < limit ? value : limit; }

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);
