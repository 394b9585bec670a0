#include "render/bmp_picture.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/czech_count.h"
#include "gisblock/record_bytes.h"
#include "render/picture_file.h"

namespace render {
namespace {

using gisblock::bytes::getI32;
using gisblock::bytes::getU32;

std::uint16_t getU16(const std::uint8_t* r, int at) { return static_cast<std::uint16_t>(r[at] | r[at + 1] << 8); }

constexpr std::uint64_t kFileHeaderSize = 14;
// OS/2 1.x: 16-bit sizes, no compression, palette entries of 3 bytes.
constexpr std::uint32_t kCoreHeaderSize = 12;
// Windows: 40 bytes; the later headers only append colour masks (52, 56)
// and colour-space data (108, 124) that a page picture has no use for.
constexpr std::uint32_t kInfoHeaderSize = 40;

enum : std::uint32_t { kPlain = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

const char* const kShortHeader = "zkrácená hlavička BMP";
const char* const kShortPixels = "zkrácená obrazová data";

// The whole file, handing out only ranges that lie inside it.
class Bytes {
 public:
  Bytes(const std::string& bytes, const std::string& fileName)
      : data_(reinterpret_cast<const std::uint8_t*>(bytes.data())), size_(bytes.size()), fileName_(fileName) {}

  const std::uint8_t* At(std::uint64_t at, std::uint64_t count, const char* missing) const {
    if (at > size_ || count > size_ - at) Fail(missing);
    return data_ + at;
  }
  std::uint64_t SizeFrom(std::uint64_t at) const { return at < size_ ? size_ - at : 0; }
  [[noreturn]] void Fail(const std::string& reason) const { FailPicture(fileName_, reason); }
  const std::string& FileName() const { return fileName_; }

 private:
  const std::uint8_t* data_;
  std::uint64_t size_;
  const std::string& fileName_;
};

// One component of a 16- or 32-bit pixel: the bits its mask selects,
// widened to 0..255 (five bits of 31 become 255, not 248).
class Component {
 public:
  explicit Component(std::uint32_t mask) : mask_(mask) {
    if (mask_ == 0) return;
    while (!((mask_ >> shift_) & 1)) ++shift_;
    max_ = mask_ >> shift_;
  }
  bool Present() const { return max_ != 0; }
  int Of(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<int>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
  std::uint32_t max_ = 0;
};

struct BmpHeader {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kPlain;
  std::uint32_t masks[4] = {};  // red, green, blue, alpha of 16- and 32-bit pixels
  std::vector<TColor> palette;
  std::uint64_t pixelOffset = 0;

  static BmpHeader Read(const Bytes& in);
};

bool DepthFitsCompression(int bits, std::uint32_t compression, bool core) {
  switch (compression) {
    case kPlain:
      return bits == 1 || bits == 4 || bits == 8 || bits == 24 || (!core && (bits == 16 || bits == 32));
    case kRle8: return bits == 8;
    case kRle4: return bits == 4;
    default: return bits == 16 || bits == 32;  // kBitFields
  }
}

BmpHeader BmpHeader::Read(const Bytes& in) {
  BmpHeader h;
  const std::uint8_t* file = in.At(0, kFileHeaderSize + 4, kShortHeader);
  h.pixelOffset = getU32(file, 10);
  const std::uint32_t headerSize = getU32(file, 14);
  const bool core = headerSize == kCoreHeaderSize;
  if (!core && headerSize != kInfoHeaderSize && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
      headerSize != 124)
    in.Fail("neznámá hlavička BMP (" + framework::CzechCount(headerSize, "bajt", "bajty", "bajtů") + ")");
  const std::uint8_t* info = in.At(kFileHeaderSize, headerSize, kShortHeader);
  std::int64_t height = 0;
  std::uint32_t colorsUsed = 0;
  if (core) {
    h.width = getU16(info, 4);
    height = getU16(info, 6);
    h.bitCount = getU16(info, 10);
  } else {
    h.width = getI32(info, 4);
    height = getI32(info, 8);
    h.bitCount = getU16(info, 14);
    h.compression = getU32(info, 16);
    colorsUsed = getU32(info, 32);
  }
  h.topDown = height < 0;
  h.height = height < 0 ? -height : height;
  if (h.compression > kBitFields) in.Fail("nepodporovaná komprese BMP (" + std::to_string(h.compression) + ")");
  if (!DepthFitsCompression(h.bitCount, h.compression, core))
    in.Fail("nepodporovaná barevná hloubka BMP (" + framework::CzechCount(h.bitCount, "bit", "bity", "bitů") + ")");
  CheckPictureSize(static_cast<long>(h.width), static_cast<long>(h.height), in.FileName());

  std::uint64_t next = kFileHeaderSize + headerSize;
  if (h.bitCount == 16) {
    h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
  } else if (h.bitCount == 32) {
    h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
  }
  if (h.compression == kBitFields) {
    // The 40-byte header is followed by the three masks; later ones hold them.
    const std::uint8_t* m = headerSize == kInfoHeaderSize ? in.At(next, 12, kShortHeader) : info + 40;
    if (headerSize == kInfoHeaderSize) next += 12;
    for (int i = 0; i < 3; ++i) h.masks[i] = getU32(m, 4 * i);
  }
  if (headerSize >= 56 && h.bitCount >= 16) h.masks[3] = getU32(info, 52);

  if (h.pixelOffset < next) in.Fail("chybná poloha obrazových dat");
  if (h.bitCount <= 8) {
    const std::uint64_t entrySize = core ? 3 : 4;
    std::uint64_t entries = std::uint64_t{1} << h.bitCount;
    if (colorsUsed != 0 && colorsUsed < entries) entries = colorsUsed;
    // Some writers store fewer entries than the depth allows; the pixels
    // begin where the palette ends, and indices beyond it are caught later.
    entries = std::min(entries, (h.pixelOffset - next) / entrySize);
    const std::uint8_t* p = in.At(next, entries * entrySize, "zkrácená paleta barev");
    for (std::uint64_t i = 0; i < entries; ++i, p += entrySize) h.palette.push_back(RGBColor(p[2], p[1], p[0]));
  }
  return h;
}

class BmpDecoder {
 public:
  BmpDecoder(const Bytes& in, const BmpHeader& h)
      : in_(in),
        h_(h),
        raster_(std::make_unique<TMemoryRaster>(static_cast<std::int32_t>(h.width),
                                                static_cast<std::int32_t>(h.height))) {
    for (int i = 0; i < 4; ++i) components_.emplace_back(h.masks[i]);
    if (components_[3].Present()) alpha_.resize(static_cast<std::size_t>(h.width * h.height));
  }

  std::unique_ptr<TMemoryRaster> Decode() {
    if (h_.compression == kRle8 || h_.compression == kRle4)
      ReadRuns();
    else
      ReadRows();
    ApplyAlpha();
    return std::move(raster_);
  }

 private:
  std::int32_t RasterRow(std::int64_t fileRow) const {
    return static_cast<std::int32_t>(h_.topDown ? fileRow : h_.height - 1 - fileRow);
  }

  TColor PaletteColour(unsigned index) const {
    if (index >= h_.palette.size()) in_.Fail("index barvy mimo paletu");
    return h_.palette[index];
  }

  void PutMasked(std::int64_t x, std::int32_t y, std::uint32_t pixel) {
    raster_->SetPixel(static_cast<std::int32_t>(x), y,
                      RGBColor(components_[0].Of(pixel), components_[1].Of(pixel), components_[2].Of(pixel)));
    if (!alpha_.empty()) alpha_[static_cast<std::size_t>(y * h_.width + x)] =
        static_cast<std::uint8_t>(components_[3].Of(pixel));
  }

  void ReadRows() {
    const int bits = h_.bitCount;
    const std::uint64_t rowBits = static_cast<std::uint64_t>(h_.width) * bits;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t rowBytes = (rowBits + 7) / 8;
    // Writers often leave out the padding of the last row; its pixels suffice.
    const std::uint8_t* data =
        in_.At(h_.pixelOffset, stride * static_cast<std::uint64_t>(h_.height - 1) + rowBytes, kShortPixels);
    for (std::int64_t r = 0; r < h_.height; ++r) {
      const std::uint8_t* row = data + r * stride;
      const std::int32_t y = RasterRow(r);
      for (std::int64_t x = 0; x < h_.width; ++x) {
        const auto xi = static_cast<std::int32_t>(x);
        if (bits <= 8) {
          const std::int64_t bit = x * bits;
          const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
          raster_->SetPixel(xi, y, PaletteColour(index));
        } else if (bits == 24) {
          const std::uint8_t* p = row + 3 * x;
          raster_->SetPixel(xi, y, RGBColor(p[2], p[1], p[0]));
        } else if (bits == 16) {
          PutMasked(x, y, getU16(row, static_cast<int>(2 * x)));
        } else {
          PutMasked(x, y, getU32(row + 4 * x, 0));
        }
      }
    }
  }

  // Runs of one index, literal stretches, skips, ends of rows and of the
  // picture. A run reaching past its row is clipped to the row; pixels after
  // the last row are damage. Skipped pixels stay paper white.
  void ReadRuns() {
    const bool nibbles = h_.compression == kRle4;
    const std::uint64_t size = in_.SizeFrom(h_.pixelOffset);
    const std::uint8_t* d = in_.At(h_.pixelOffset, size, kShortPixels);
    std::uint64_t pos = 0;
    std::int64_t x = 0;
    std::int64_t r = 0;
    auto put = [&](unsigned index) {
      if (r >= h_.height) in_.Fail("data RLE přesahují obrázek");
      if (x < h_.width) raster_->SetPixel(static_cast<std::int32_t>(x), RasterRow(r), PaletteColour(index));
      ++x;
    };
    auto need = [&](std::uint64_t count) {
      if (size - pos < count) in_.Fail(kShortPixels);
    };
    for (;;) {
      if (size - pos < 2) {
        // A stream that ends after its last row without the end mark is whole.
        if (r >= h_.height) return;
        in_.Fail(kShortPixels);
      }
      const unsigned count = d[pos];
      const unsigned value = d[pos + 1];
      pos += 2;
      if (count > 0) {
        for (unsigned i = 0; i < count; ++i) put(nibbles ? (i & 1 ? value & 15 : value >> 4) : value);
      } else if (value == 0) {
        x = 0;
        ++r;
      } else if (value == 1) {
        return;
      } else if (value == 2) {
        need(2);
        x += d[pos];
        r += d[pos + 1];
        pos += 2;
      } else {
        const std::uint64_t length = nibbles ? (value + 1) / 2 : value;
        need(length);
        for (unsigned i = 0; i < value; ++i)
          put(nibbles ? (i & 1 ? d[pos + i / 2] & 15 : d[pos + i / 2] >> 4) : d[pos + i]);
        // Literal stretches are padded to whole 16-bit words.
        pos = std::min(size, pos + length + (length & 1));
      }
    }
  }

  // Pixels with an alpha channel are laid over paper white, as transparent
  // parts of other pictures are; a channel that is zero throughout was never
  // filled in by the writer and leaves the picture opaque.
  void ApplyAlpha() {
    bool any = false;
    for (std::uint8_t a : alpha_) any = any || a != 0;
    if (!any) return;
    for (std::int32_t y = 0; y < raster_->GetHeight(); ++y)
      for (std::int32_t x = 0; x < raster_->GetWidth(); ++x) {
        const int a = alpha_[static_cast<std::size_t>(y) * raster_->GetWidth() + x];
        const TColor c = raster_->GetPixel(x, y);
        auto over = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
        raster_->SetPixel(x, y, RGBColor(over(RedOf(c)), over(GreenOf(c)), over(BlueOf(c))));
      }
  }

  const Bytes& in_;
  const BmpHeader& h_;
  std::unique_ptr<TMemoryRaster> raster_;
  std::vector<Component> components_;
  std::vector<std::uint8_t> alpha_;
};

}  // namespace

std::unique_ptr<TMemoryRaster> DecodeBmp(const std::string& bytes, const std::string& fileName) {
  const Bytes in(bytes, fileName);
  const BmpHeader header = BmpHeader::Read(in);
  return BmpDecoder(in, header).Decode();
}

}  // namespace render
