#pragma once
// Reading area symbols from the hatch library "Srafy.txt": a section
// [PLOSNAZNACKA] opened by KOD=code, keys of the symbol, layers
// [VRSTVASRAF] with UHEL and hatches [SRAFA], each closed by [END]. Sizes
// are millimetres of the map at the projection's virtual scale and become
// device pixels here.
#include <cstdint>
#include <functional>
#include <string>

#include "render/parameter_reader.h"

class TDevice;
class TPageProjection;
class TPlosnaZnacka;
class TSrafa;
class TVrstvaSraf;

namespace render {

// One classified line of a parameter file.
struct HatchItem {
  bool IsKey = false;
  bool IsSection = false;
  bool AtEof = false;  // this was the file's last line
  std::string Text;    // section name or key value
  std::string Key;
};

class HatchSymbolParser {
 public:
  using NextFn = std::function<void(HatchItem&)>;
  using IntegerFn = std::function<std::int32_t()>;  // the last item's value
  using RealFn = std::function<double()>;

  HatchSymbolParser(NextFn next, IntegerFn asInteger, RealFn asReal, TPageProjection& projection);

  // The symbol of that code (above 999), read from the current position;
  // nil when the file has none or it breaks the validity rules. The caller
  // owns it.
  TPlosnaZnacka* ReadSymbol(std::int32_t code);

  // Diagonal stripes are measured across: widths and gaps along a row grow
  // by the square root of 2.
  static void WidenForDiagonal(TSrafa& hatch);
  static std::uint8_t AngleClassOf(double degrees);

 private:
  bool Next(HatchItem& item);
  void ReadLayer(TPlosnaZnacka& symbol);
  TSrafa* ReadHatch(std::uint8_t angleClass);
  std::int32_t Pixels(double millimetres, bool alongX);

  NextFn next_;
  IntegerFn asInteger_;
  RealFn asReal_;
  TPageProjection& projection_;
  bool eof_ = false;
  std::int32_t background_ = -1;
  bool allHatchesBackground_ = true;
};

}  // namespace render

// The reader of the hatch library file for one device, whose projection
// turns the sizes into pixels.
class TCteniPlosnychZnacek : public TCteniParametru {
 public:
  TCteniPlosnychZnacek(const std::string& fileName, TDevice& device, bool& ok);
  // The symbol of that code from the reader's position on; nil when missing
  // or invalid. The caller owns it.
  TPlosnaZnacka* ReadSymbol(std::int32_t code);

 private:
  TDevice& device_;
};
