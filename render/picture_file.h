#pragma once
// Picture files that pages place by name: JPEG through libjpeg, GIF
// through giflib and BMP by render/bmp_picture.h, decoded into a memory
// raster that any canvas can draw.
// The format is told by the file's first bytes, not by its extension, since
// old pages often name a converted picture by its former extension.
#include <memory>
#include <string>

#include "framework/errors.h"
#include "render/memory_raster.h"

// A picture file that is missing, of an unknown kind or damaged; the text
// names the file and the reason.
class EPictureFileError : public EZeltoError {
 public:
  using EZeltoError::EZeltoError;
};

namespace render {

// Decodes the whole file; throws EPictureFileError when it cannot.
std::unique_ptr<TMemoryRaster> LoadPictureFile(const std::string& fileName);

// The same from bytes already in memory; fileName only names the source in
// error texts.
std::unique_ptr<TMemoryRaster> DecodePicture(const std::string& bytes, const std::string& fileName);

// For the decoder of each format: the error naming the file and the reason,
// and the size check every raster passes before it is made.
[[noreturn]] void FailPicture(const std::string& fileName, const std::string& reason);
void CheckPictureSize(long width, long height, const std::string& fileName);

}  // namespace render
