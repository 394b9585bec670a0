#pragma once
// Windows and OS/2 bitmaps (BMP): 1, 4, 8, 16, 24 and 32 bits a pixel, rows
// stored bottom-up or top-down, plain, with colour masks, or run-length
// encoded (RLE8, RLE4). Decoded here rather than by a toolkit, since the
// headless renderers draw pages without one. Every size, offset and index
// the file gives is checked against the file and the palette before use.
#include <memory>
#include <string>

#include "render/memory_raster.h"

namespace render {

// bytes is a whole file starting with "BM"; throws EPictureFileError naming
// fileName when it is damaged or of a kind not listed above.
std::unique_ptr<TMemoryRaster> DecodeBmp(const std::string& bytes, const std::string& fileName);

}  // namespace render
