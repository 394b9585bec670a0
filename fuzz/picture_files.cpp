// Picture files that pages place: the input decoded by its first bytes
// (JPEG, GIF, BMP) and drawn stretched onto a small raster, as a page does.
#include "fuzz/fuzz_support.h"
#include "render/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Harness::Get().Begin();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    const std::unique_ptr<TMemoryRaster> picture = render::DecodePicture(bytes, "OBRAZEK.JPG");
    TMemoryRaster page(48, 32);
    page.StretchDraw({-3, 2, 40, 30}, *picture);
  } catch (const EPictureFileError&) {
    // A damaged picture is reported by name and drawn as nothing.
  }
  return 0;
}
