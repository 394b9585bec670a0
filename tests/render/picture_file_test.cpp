#include "render/picture_file.h"

#include "render/graphic_file_element.h"
#include "files.h"
#include "temp_dir.h"
#include "tests/render/bmp_test_files.h"

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

// The whole raster, top row first.
void ExpectRows(const TMemoryRaster& raster, const std::vector<std::vector<TColor>>& rows) {
  ASSERT_EQ(raster.GetWidth(), static_cast<int>(rows[0].size()));
  ASSERT_EQ(raster.GetHeight(), static_cast<int>(rows.size()));
  for (int y = 0; y < raster.GetHeight(); ++y)
    for (int x = 0; x < raster.GetWidth(); ++x) EXPECT_EQ(raster.PixelAt(x, y), rows[y][x]) << x << "," << y;
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
  // A regular file whose read fails, as a share gone mid-way fails.
  expectError([] { render::LoadPictureFile("/proc/self/mem"); }, "\"/proc/self/mem\" nelze načíst: chyba čtení");
  expectError([] { render::DecodePicture("", "empty.gif"); }, "empty.gif");

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

TEST(PictureFile, BmpOfEveryDepthAndRowOrderKeepsItsColours) {
  const TColor red = RGBColor(255, 0, 0), green = RGBColor(0, 255, 0), blue = RGBColor(0, 0, 255);
  const std::vector<TColor> colours = {red, green, blue, clBlack};
  struct Case {
    const char* name;
    bmp_test::Layout layout;
  };
  const Case cases[] = {
      {"1 bit", {1}},
      {"1 bit top-down", {1, 40, true}},
      {"4 bits", {4}},
      {"8 bits top-down", {8, 40, true}},
      {"8 bits, OS/2 header", {8, 12}},
      {"16 bits 5-5-5", {16}},
      {"16 bits 5-6-5 masks", {16, 40, false, 3, {0xF800, 0x07E0, 0x001F}}},
      {"24 bits", {24}},
      {"24 bits top-down", {24, 40, true}},
      {"32 bits", {32}},
      {"32 bits masks and opaque alpha in a long header", {32, 124, true, 3, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // 3 pixels a row leave padding at every depth; colours rotate by row.
    std::vector<TColor> palette;
    if (c.layout.bits <= 8) palette.assign(colours.begin(), colours.begin() + std::min(4, 1 << c.layout.bits));
    const std::size_t n = palette.empty() ? colours.size() : palette.size();
    std::vector<std::vector<TColor>> rows(2);
    for (std::size_t y = 0; y < 2; ++y)
      for (std::size_t x = 0; x < 3; ++x) rows[y].push_back(colours[(x + y) % n]);
    const std::string file = bmp_test::File(c.layout, 3, 2, palette, bmp_test::Rows(c.layout, rows, palette));
    ExpectRows(*render::DecodePicture(file, "a.bmp"), rows);
  }
}

TEST(PictureFile, BmpBytesAsAWriterStoresThemReadBottomRowFirst) {
  const unsigned char bytes[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                   // file: size, offset of pixels
      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,    // 2 x 2, 24 bits, plain
      16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0xFF, 0, 0, 0, 0xFF, 0, 0, 0,                                     // bottom: blue, green, padding
      0, 0, 0xFF, 0, 0xFF, 0xFF, 0, 0};                                 // top: red, yellow, padding
  ExpectRows(*render::DecodePicture(std::string(reinterpret_cast<const char*>(bytes), sizeof bytes), "g.bmp"),
             {{RGBColor(255, 0, 0), RGBColor(255, 255, 0)}, {RGBColor(0, 0, 255), RGBColor(0, 255, 0)}});
}

TEST(PictureFile, BmpRunLengthsClipRunsToTheRowAndLeaveSkippedPixelsWhite) {
  const TColor R = RGBColor(255, 0, 0), G = RGBColor(0, 255, 0), B = RGBColor(0, 0, 255), K = clBlack, W = clWhite;
  const std::vector<TColor> palette = {R, G, B, K};
  auto decode = [&](int bits, int width, int height, std::string stream) {
    return render::DecodePicture(bmp_test::File({bits, 40, false, bits == 8 ? 1u : 2u}, width, height, palette, stream),
                                 "r.bmp");
  };
  // Bottom row: a run of 5 in a row of 4, end of row. Next: three literal
  // pixels padded to a whole word, a run of 1, end of row. Then a skip of 2
  // right and 1 up, a run of 1, end of picture.
  ExpectRows(*decode(8, 4, 4,
                     std::string("\x05\x00\x00\x00"
                                 "\x00\x03\x01\x02\x03\x00\x01\x00\x00\x00"
                                 "\x00\x02\x02\x01\x01\x02\x00\x01",
                                 22)),
             {{W, W, B, W}, {W, W, W, W}, {G, B, K, R}, {R, R, R, R}});
  // Four bits: a run alternates its two nibbles; a literal of three nibbles.
  ExpectRows(*decode(4, 4, 2, std::string("\x05\x12\x00\x00\x00\x03\x30\x10\x00\x01", 10)),
             {{K, R, G, W}, {G, B, G, B}});
}

TEST(PictureFile, BmpAlphaLaysPixelsOverPaperUnlessTheChannelIsEmpty) {
  const bmp_test::Layout v5{32, 124, false, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}};
  auto decode = [&](std::uint32_t first, std::uint32_t second) {
    std::string pixels;
    bmp_test::Put(pixels, first, 4), bmp_test::Put(pixels, second, 4);
    return render::DecodePicture(bmp_test::File(v5, 2, 1, {}, pixels), "t.bmp");
  };
  ExpectRows(*decode(0x00FF0000, 0x800000FF), {{clWhite, RGBColor(127, 127, 255)}});  // red clear, blue half
  ExpectRows(*decode(0x00FF0000, 0x000000FF), {{RGBColor(255, 0, 0), RGBColor(0, 0, 255)}});
}

TEST(PictureFile, DamagedBmpGivesAnErrorNamingTheFileAndTheFault) {
  const std::vector<TColor> palette = {clBlack, clWhite, RGBColor(255, 0, 0), RGBColor(0, 0, 255)};
  const bmp_test::Layout eight{8};
  const std::string pixels(16, '\x02');
  const std::string good = bmp_test::File(eight, 4, 4, palette, pixels);
  std::string huge = good;
  huge.replace(18, 8, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8));  // 100000 x 100000
  std::string jpegInside = good;
  jpegInside[30] = 4;
  const bmp_test::Layout rle{8, 40, false, 1};
  struct Case {
    const char* name;
    std::string bytes;
    const char* fault;
  } cases[] = {
      {"header.bmp", good.substr(0, 30), "hlavička"},
      {"pixels.bmp", good.substr(0, good.size() - 3), "obrazová data"},
      {"huge.bmp", huge, "rozměr"},
      {"kind.bmp", jpegInside, "komprese"},
      {"index.bmp", bmp_test::File(eight, 4, 4, {clBlack, clWhite}, pixels), "paletu"},
      {"overrun.bmp", bmp_test::File(rle, 2, 2, palette, std::string("\x02\x01\x00\x00\x02\x01\x00\x00\x02\x01", 10)),
       "přesahují"},
      {"cut.bmp", bmp_test::File(rle, 2, 2, palette, std::string("\x02\x01\x00\x00\x02", 5)), "obrazová data"},
  };
  EXPECT_EQ(render::DecodePicture(good, "good.bmp")->PixelAt(3, 3), RGBColor(255, 0, 0));
  for (const Case& c : cases) {
    try {
      render::DecodePicture(c.bytes, c.name);
      ADD_FAILURE() << "no error for " << c.name;
    } catch (const EPictureFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
    }
  }
}
