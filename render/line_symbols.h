#pragma once
// Line symbols of "linzn.txt": a polyline drawn as chains laid along it,
// each chain repeating links (a short stroke or a glyph of a symbol font,
// then a gap), optionally at a sideways offset from the line.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/entity.h"
#include "geometry/page_projection.h"
#include "render/parameter_reader.h"
#include "render/stroke_font.h"

class TDevice;

// One link; lengths in world units, angles in radians.
class TLinZnacka : public TElement {
  ZELTO_ELEMENT(TLinZnacka)
 public:
  enum Flag : std::uint16_t {
    NATACET = 1,
    LAMATZNACKU = 2,
    KRESLITPRVNI = 4,
    LAMATMEZERU = 8,  // HARMONIKA on a chain
    CENTROVAT = 16,
    KRESLITPOSLEDNI = 32,
    KRESLITZBYTEK = 64,
    PRVNIBOD = 256,
    POSLEDNIBOD = 512,
    LOMBOD = 1024,
    LOMBOD0 = 2048,
    LOMBOD1 = 4096,
  };
  struct Node {
    bool Down = false;
    double X = 0, Y = 0;    // relative to the link's start, unturned
    double TX = 0, TY = 0;  // turned to the current direction
  };

  std::int32_t TrueColor = 0;
  bool ByTrueColor = false;
  std::int32_t Color = -1;
  double Sila = 1.0;
  double Uhel = 0;
  double Vzdalenost = 0;
  double PosunX = 0, PosunY = 0;
  std::uint16_t Priznaky = NATACET | LAMATZNACKU | LAMATMEZERU | KRESLITZBYTEK;
  std::vector<Node> Body;
  bool MalaNaZarizeni = false;

  double GetVelikost() const { return velikost_; }
  void SetVelikost(double v) {
    velikost_ = v;
    Zanedbatelna = v < 0.001;
  }
  bool Zanedbatelna = true;
  bool Has(std::uint16_t flag) const { return (Priznaky & flag) != 0; }

  virtual void Rotate(double angle);
  // With omitStroke only the second part is made (the gap less d).
  virtual void Split(std::unique_ptr<TLinZnacka>& first, std::unique_ptr<TLinZnacka>& second,
                     bool omitStroke, double d) const;
  virtual void Prepare();
  virtual std::unique_ptr<TLinZnacka> CloneLink() const;
  virtual void DrawAt(TDevice& device, double x, double y, double& endX, double& endY);
  // Only the gap, with the link's flags: what is carried when the stroke
  // is spent.
  std::unique_ptr<TLinZnacka> GapPiece(double gap) const;

 protected:
  void CopyInto(TLinZnacka& to) const;
  double velikost_ = 0;
};

// A link whose stroke is a glyph of a symbol font.
class TPetrklicZn : public TLinZnacka {
  ZELTO_ELEMENT(TPetrklicZn)
 public:
  TPetrklicZn() { Priznaky = NATACET | LAMATZNACKU | KRESLITPRVNI | LAMATMEZERU; }
  std::string Soubor;
  std::uint8_t Kod = 0;
  // The glyph's strokes scaled to Velikost and turned by Uhel.
  void SetGlyph(const render::StrokeFontData& font);
  void Prepare() override;
  void Rotate(double angle) override;
  // The points go to the part their place along the link falls in; a
  // stroke crossing d is cut there.
  void Split(std::unique_ptr<TLinZnacka>& first, std::unique_ptr<TLinZnacka>& second, bool omitStroke,
             double d) const override;
  std::unique_ptr<TLinZnacka> CloneLink() const override;
  void DrawAt(TDevice& device, double x, double y, double& endX, double& endY) override;

 private:
  std::vector<render::StrokeFontData::Stroke> glyph_;
  int glyphWidth_ = 0;
  // A split part keeps its own points instead of the glyph's.
  bool ownPoints_ = false;
};

// The glyph font of one symbol read, loaded by path.
class TPaklicNaPetrklic : public TBGIFont {
  ZELTO_ELEMENT(TPaklicNaPetrklic)
 public:
  void LoadFont(const std::string& path);
};

class TRetezovaZnacka : public TLinZnacka {
  ZELTO_ELEMENT(TRetezovaZnacka)
 public:
  TRetezovaZnacka() { Priznaky = KRESLITPRVNI; }
  bool Strana = true;
  std::int32_t ZakladniZnacka = 0;
  bool KreslitCarou = false;
  std::vector<std::unique_ptr<TLinZnacka>> Clanky;

  void AddLink(std::unique_ptr<TLinZnacka> link) { Clanky.push_back(std::move(link)); }
  void Rotate(double angle) override;
  void CheckSizes(TDevice& device);
  void DrawAlong(TDevice& device, std::int32_t color, const geometry::WorldRect& visible, bool clip,
                 TElement& line);
};

class TLiniovaZnacka : public TElement {
  ZELTO_ELEMENT(TLiniovaZnacka)
 public:
  bool ByTrueColor = false;
  std::int32_t NahradniZnacka = 0;
  std::int32_t Kod = -1;
  std::string Nazev;
  // Drawn from the head: the chain read last first.
  std::vector<std::unique_ptr<TRetezovaZnacka>> Retezy;

  void SetNazev(const std::string& name) { Nazev = name.substr(0, 30); }
  void AddChain(std::unique_ptr<TRetezovaZnacka> chain) { Retezy.insert(Retezy.begin(), std::move(chain)); }
  // color: RGB, or -1 for the symbol's own colours.
  void Draw(TDevice& device, std::int32_t color, const geometry::WorldRect& visible, bool clip, TElement& line);
};

class TCteniLiniovychZnacek : public TCteniParametru {
 public:
  TCteniLiniovychZnacek(const std::string& fileName, TDevice& device, bool& ok);
  ~TCteniLiniovychZnacek() override;
  // The first valid symbol of that code in the file; nil when none.
  std::unique_ptr<TLiniovaZnacka> ReadSymbol(std::int32_t code);

 private:
  struct Item {
    bool isKey = false, isSection = false, atEof = false;
    std::string text, key;
  };
  bool Next(Item& item);
  std::unique_ptr<TLiniovaZnacka> ReadBody();
  std::unique_ptr<TRetezovaZnacka> ReadChain(bool& atEof);
  std::unique_ptr<TLinZnacka> ReadLink(bool glyph, bool& atEof);
  double Size() const;

  TDevice& device_;
  TPaklicNaPetrklic glyphFont_;
  bool eof_ = false;
};

class TLinioveZnacky : public TNameEntity {
  ZELTO_ELEMENT(TLinioveZnacky)
 public:
  TLinioveZnacky() = default;
  // The library file's path is the library's name.
  explicit TLinioveZnacky(const std::string& filePath) { SetName(filePath); }
  void SetDevice(TDevice* device) { device_ = device; }
  TLiniovaZnacka* FindSymbol(std::int32_t code);
  TLiniovaZnacka* LoadSymbol(std::int32_t code);

 private:
  TDevice* device_ = nullptr;
  // Codes the file does not hold: line after line would read the whole
  // file again for each.
  std::set<std::int32_t> missing_;
};

void RegisterLineSymbolClasses();
