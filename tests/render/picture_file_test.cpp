#include "render/picture_file.h"

#include "render/graphic_file_element.h"
#include "files.h"
#include "temp_dir.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// Pixels as R, G, B bytes, row by row.
std::string MakeJpeg(int width, int height, const std::vector<unsigned char>& rgb, bool grey = false) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const int stride = width * cinfo.input_components;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(rgb.data()) + cinfo.next_scanline * stride;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  std::free(out);
  return bytes;
}

int GifWrite(GifFileType* gif, const GifByteType* data, int count) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), count);
  return count;
}

// A 4-colour GIF: index 0 black, 1 red, 2 green, 3 blue; the frame may sit
// inside a larger screen and name a transparent index.
std::string MakeGif(int screenW, int screenH, int left, int top, int width, int height,
                    const std::vector<GifByteType>& indices, int transparent = NO_TRANSPARENT_COLOR) {
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, GifWrite, &error);
  GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(4, colors);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, screenW, screenH, 2, 0, map);
  if (transparent != NO_TRANSPARENT_COLOR) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = transparent;
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
  }
  EGifPutImageDesc(gif, left, top, width, height, false, nullptr);
  for (int y = 0; y < height; ++y)
    EGifPutLine(gif, const_cast<GifByteType*>(indices.data()) + y * width, width);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return bytes;
}

void ExpectNear(TColor actual, int r, int g, int b) {
  EXPECT_NEAR(RedOf(actual), r, 12);
  EXPECT_NEAR(GreenOf(actual), g, 12);
  EXPECT_NEAR(BlueOf(actual), b, 12);
}

std::string TempFile(const std::string& name, const std::string& bytes) {
  const auto path = test_support::ProcessDirectory() / name;
  test_support::WriteFile(path, bytes);
  return path.string();
}

}  // namespace

TEST(PictureFile, JpegDecodesColourAndGreyPictures) {
  // 16x8: left half red, right half blue (whole 8x8 blocks keep colours clean).
  std::vector<unsigned char> rgb;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) {
      rgb.push_back(x < 8 ? 255 : 0);
      rgb.push_back(0);
      rgb.push_back(x < 8 ? 0 : 255);
    }
  const std::string file = TempFile("a.jpg", MakeJpeg(16, 8, rgb));
  auto raster = render::LoadPictureFile(file);
  std::filesystem::remove(file);
  ASSERT_EQ(raster->GetWidth(), 16);
  ASSERT_EQ(raster->GetHeight(), 8);
  ExpectNear(raster->PixelAt(2, 3), 255, 0, 0);
  ExpectNear(raster->PixelAt(13, 5), 0, 0, 255);

  std::vector<unsigned char> grey(8 * 8, 128);
  auto g = render::DecodePicture(MakeJpeg(8, 8, grey, true), "g.jpg");
  ExpectNear(g->PixelAt(4, 4), 128, 128, 128);
}

TEST(PictureFile, GifKeepsPaletteColoursFrameOffsetAndTransparency) {
  // 3x2 frame at (1,1) of a 5x4 screen; index 3 is transparent.
  const std::vector<GifByteType> idx = {1, 2, 3, 0, 1, 2};
  const std::string file = TempFile("b.gif", MakeGif(5, 4, 1, 1, 3, 2, idx, 3));
  auto raster = render::LoadPictureFile(file);
  std::filesystem::remove(file);
  ASSERT_EQ(raster->GetWidth(), 5);
  ASSERT_EQ(raster->GetHeight(), 4);
  EXPECT_EQ(raster->PixelAt(1, 1), RGBColor(255, 0, 0));
  EXPECT_EQ(raster->PixelAt(2, 1), RGBColor(0, 255, 0));
  EXPECT_EQ(raster->PixelAt(3, 1), clWhite);  // transparent
  EXPECT_EQ(raster->PixelAt(1, 2), RGBColor(0, 0, 0));
  EXPECT_EQ(raster->PixelAt(3, 2), RGBColor(0, 255, 0));
  EXPECT_EQ(raster->PixelAt(0, 0), clWhite);  // outside the frame
  EXPECT_EQ(raster->PixelAt(4, 3), clWhite);
}

TEST(PictureFile, MissingUnknownOrDamagedFilesGiveAnErrorNamingTheFile) {
  auto expectError = [](auto&& load, const std::string& name) {
    try {
      load();
      ADD_FAILURE() << "no error for " << name;
    } catch (const EPictureFileError& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  };
  expectError([] { render::LoadPictureFile("/nonexistent/dir/x.jpg"); }, "x.jpg");
  expectError([] { render::DecodePicture("", "empty.gif"); }, "empty.gif");
  expectError([] { render::DecodePicture("BM not a picture we read", "c.bmp"); }, "c.bmp");

  std::vector<unsigned char> rgb(64 * 64 * 3, 200);
  const std::string jpeg = MakeJpeg(64, 64, rgb);
  expectError([&] { render::DecodePicture(jpeg.substr(0, jpeg.size() / 2), "cut.jpg"); }, "cut.jpg");
  expectError([&] { render::DecodePicture(jpeg.substr(0, 20), "head.jpg"); }, "head.jpg");

  const std::vector<GifByteType> idx(16 * 16, 1);
  const std::string gif = MakeGif(16, 16, 0, 0, 16, 16, idx);
  expectError([&] { render::DecodePicture(gif.substr(0, gif.size() - 8), "cut.gif"); }, "cut.gif");
  expectError([&] { render::DecodePicture(gif.substr(0, 8), "head.gif"); }, "head.gif");
}

TEST(PictureFile, PagePictureLoadsByItsStoredName) {
  const std::vector<GifByteType> idx = {2, 2, 2, 2};
  const std::string file = TempFile("c.gif", MakeGif(2, 2, 0, 0, 2, 2, idx));
  TBMPFileElement picture;
  picture.SetFileName(file);
  auto raster = picture.LoadPicture();
  std::filesystem::remove(file);
  EXPECT_EQ(raster->PixelAt(1, 1), RGBColor(0, 255, 0));
  EXPECT_THROW(picture.LoadPicture(), EPictureFileError);
  picture.SetFileName("Q:\\NIKDE\\X.GIF");
  try {
    picture.LoadPicture();
    ADD_FAILURE();
  } catch (const EPictureFileError& e) {
    EXPECT_NE(std::string(e.what()).find("Q:\\NIKDE\\X.GIF"), std::string::npos) << e.what();
  }
}
