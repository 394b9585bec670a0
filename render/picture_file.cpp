#include "render/picture_file.h"

#include "platform/regular_file.h"
#include "render/bmp_picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
#include <jerror.h>

namespace render {
namespace {

// Beyond this a "picture" is far more likely a damaged header than a page
// ornament, and the raster would not fit in memory anyway.
constexpr long kMaxPixels = 64L * 1024 * 1024;

// libjpeg reports fatal errors through error_exit, which must not return;
// we jump back to the decoder with the library's own message.
struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<JpegError*>(info->err);
  (*info->err->format_message)(info, err->message);
  std::longjmp(err->jump, 1);
}

// A file cut short decodes into grey padding with only a warning; that is a
// damaged picture, not one to put on a printed page.
void JpegEmitMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) JpegErrorExit(info);
}

std::unique_ptr<TMemoryRaster> DecodeJpeg(const std::string& bytes, const std::string& fileName) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegErrorExit;
  err.mgr.emit_message = JpegEmitMessage;
  err.message[0] = '\0';
  // Only trivially destructible locals live across setjmp; the raster is
  // held by a volatile pointer, so that the error path still sees it.
  TMemoryRaster* volatile raster = nullptr;
  std::vector<unsigned char>* volatile row = nullptr;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    delete raster;
    delete row;
    FailPicture(fileName, err.message);
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const long width = cinfo.output_width;
  const long height = cinfo.output_height;
  if (width <= 0 || height <= 0 || width > kMaxPixels / height) {
    std::snprintf(err.message, sizeof err.message, "%s",
                  width <= 0 || height <= 0 ? "nulový rozměr" : "příliš velký rozměr");
    std::longjmp(err.jump, 1);
  }
  raster = new TMemoryRaster(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
  row = new std::vector<unsigned char>(static_cast<std::size_t>(width) * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    const std::int32_t y = static_cast<std::int32_t>(cinfo.output_scanline);
    JSAMPROW rows[1] = {row->data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (std::int32_t x = 0; x < width; ++x) {
      const unsigned char* p = row->data() + static_cast<std::size_t>(x) * 3;
      raster->SetPixel(x, y, RGBColor(p[0], p[1], p[2]));
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  delete row;
  return std::unique_ptr<TMemoryRaster>(raster);
}

struct GifSource {
  const std::string* bytes;
  std::size_t pos = 0;
};

int GifRead(GifFileType* gif, GifByteType* buffer, int count) {
  auto* src = static_cast<GifSource*>(gif->UserData);
  const std::size_t left = src->bytes->size() - src->pos;
  const std::size_t n = std::min<std::size_t>(left, static_cast<std::size_t>(count));
  std::memcpy(buffer, src->bytes->data() + src->pos, n);
  src->pos += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};

std::unique_ptr<TMemoryRaster> DecodeGif(const std::string& bytes, const std::string& fileName) {
  GifSource src{&bytes};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&src, GifRead, &error));
  if (!gif) FailPicture(fileName, GifErrorString(error) ? GifErrorString(error) : "chybný soubor GIF");
  if (DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) {
    const char* text = GifErrorString(gif->Error);
    FailPicture(fileName, text ? text : "chybný soubor GIF");
  }
  // Only the first frame of an animation is a page picture.
  const SavedImage& image = gif->SavedImages[0];
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
  if (!map) FailPicture(fileName, "chybí paleta barev");
  long width = gif->SWidth;
  long height = gif->SHeight;
  // Some writers leave the screen size zero and rely on the frame's.
  if (width <= 0 || height <= 0) {
    width = image.ImageDesc.Left + image.ImageDesc.Width;
    height = image.ImageDesc.Top + image.ImageDesc.Height;
  }
  CheckPictureSize(width, height, fileName);
  int transparent = NO_TRANSPARENT_COLOR;
  GraphicsControlBlock gcb;
  if (DGifSavedExtensionToGCB(gif.get(), 0, &gcb) == GIF_OK) transparent = gcb.TransparentColor;

  // Transparent and uncovered parts stay white, the colour of paper.
  auto raster = std::make_unique<TMemoryRaster>(static_cast<std::int32_t>(width),
                                                static_cast<std::int32_t>(height));
  const GifImageDesc& d = image.ImageDesc;
  for (int y = 0; y < d.Height; ++y) {
    for (int x = 0; x < d.Width; ++x) {
      const int index = image.RasterBits[static_cast<std::size_t>(y) * d.Width + x];
      if (index == transparent || index >= map->ColorCount) continue;
      const GifColorType& c = map->Colors[index];
      // SetPixel clips a frame that reaches past the screen.
      raster->SetPixel(d.Left + x, d.Top + y, RGBColor(c.Red, c.Green, c.Blue));
    }
  }
  return raster;
}

}  // namespace

void FailPicture(const std::string& fileName, const std::string& reason) {
  throw EPictureFileError("Obrázek \"" + fileName + "\" nelze načíst: " + reason);
}

void CheckPictureSize(long width, long height, const std::string& fileName) {
  if (width <= 0 || height <= 0) FailPicture(fileName, "nulový rozměr");
  if (width > kMaxPixels / height) FailPicture(fileName, "příliš velký rozměr");
}

std::unique_ptr<TMemoryRaster> DecodePicture(const std::string& bytes, const std::string& fileName) {
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xD8)
    return DecodeJpeg(bytes, fileName);
  if (bytes.size() >= 6 && bytes.compare(0, 4, "GIF8") == 0) return DecodeGif(bytes, fileName);
  if (bytes.size() >= 2 && bytes.compare(0, 2, "BM") == 0) return DecodeBmp(bytes, fileName);
  if (bytes.empty()) FailPicture(fileName, "soubor je prázdný");
  FailPicture(fileName, "neznámý formát obrázku");
}

std::unique_ptr<TMemoryRaster> LoadPictureFile(const std::string& fileName) {
  platform::RegularFileStream in(fileName, std::ios::in);
  if (!in) FailPicture(fileName, platform::openFault(in.error(), "soubor neexistuje nebo jej nelze otevřít"));
  // Read by read(), which turns a read that fails (a share gone mid-way)
  // into badbit; the buffer would throw it past every caller.
  std::string bytes;
  char chunk[8192];
  do {
    in.read(chunk, sizeof chunk);
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  } while (in);
  if (in.bad()) FailPicture(fileName, "chyba čtení");
  return DecodePicture(bytes, fileName);
}

}  // namespace render
