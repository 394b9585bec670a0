// A Gelix block directory: the seven files of one block in one input, read
// as every kind of object, areas both as areas and as boundaries.
#include <memory>

#include "framework/entity.h"
#include "fuzz/fuzz_support.h"
#include "gisblock/gelix_blok_reader.h"

namespace {
constexpr const char* kFiles[] = {"TN.ARE", "TN.LIN", "TN.CRD", "TN.PNT", "TN.TBX", "TN.TTX", "INFO.TXT"};
constexpr std::size_t kCount = std::size(kFiles);
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness& harness = fuzz::Harness::Get();
  harness.Begin();
  const auto files = fuzz::SplitFiles(data, size, kCount);
  for (std::size_t i = 0; i < kCount; ++i) harness.Write(std::string("TEST.BLK/") + kFiles[i], files[i]);
  const std::string block = (harness.Scratch() / "TEST.BLK").string();
  for (bool asBoundary : {false, true}) {
    TEntity model;
    std::unique_ptr<TGeliXBlokReader> reader(TGeliXBlokReader::CreateForBlock(block));
    reader->SetObjectModel(&model);
    reader->ReadAreaAsBoundary = asBoundary;
    reader->UseMemory = asBoundary;
    std::unique_ptr<TAreaString> areas(reader->ReadAreas());
    std::unique_ptr<TPolyLineString> lines(reader->ReadLines());
    std::unique_ptr<TPointString> symbols(reader->ReadLineSymbols());
    std::unique_ptr<TPointString> points(reader->ReadPoints());
    std::unique_ptr<TTextString> texts(reader->ReadTexts());
  }
  return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                              unsigned int seed) {
  return fuzz::MutateOneFile(data, size, maxSize, seed, kCount);
}
