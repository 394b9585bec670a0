#pragma once
// The state derived map series: sheets at 1:50000, 1:25000, 1:10000, 1:5000
// and 1:2000, each a rectangle of the national grid, held as a tree of
// rectangles. A tree keeps its sub-sheets in a matrix of columns ordered by
// x, each column ordered by y, so that the sheet under a point is found by
// two short scans per level.
//
// World coordinates are the S-JTSK ones negated: a sheet's columns are
// counted westward from its east edge (MaxX) and its rows southward from its
// north edge (MaxY). Every lookup below the root uses strict bounds: a point
// on a border lies in no sheet.
#include <cstdint>
#include <string>

#include "framework/rect_entity.h"

class TWCS;
class TSMO;

// One column of a sheet matrix: sheets by ascending MinY.
class TSpaces : public TRectEntity {
  ZELTO_ELEMENT(TSpaces)
};

// The columns of a sheet tree by ascending MinX.
class TSpaceMatrix : public TRectEntity {
  ZELTO_ELEMENT(TSpaceMatrix)
 public:
  TSpaces* GetColumn(int index) const;
  int ColumnCount() const { return GetCount(); }
};

class TSpaceTree : public TRectEntity {
  ZELTO_ELEMENT(TSpaceTree)
 public:
  // Created empty and added as a child on first use.
  TSpaceMatrix* GetMatrix();
  TSpaceMatrix* PeekMatrix() const;
  // The old matrix is deleted; the new one becomes a child when it is not one.
  void SetMatrix(TSpaceMatrix* matrix);

  // The matrix takes the sheet into the column holding its centre (a new
  // column when none does); the rectangles grow by it.
  using TRectEntity::Insert;
  virtual void Insert(TRectEntity* element);
  // Deletes the sub-sheets that hold no finer sheets, then empty columns.
  virtual void Prune();
  TRectEntity* FindChildAt(double x, double y) const;
  TRectEntity* FindAtDepth(int depth, double x, double y) const;

  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

 private:
  TElementRef matrix_;
};

class TMapSpace : public TSpaceTree {
  ZELTO_ELEMENT(TMapSpace)
 public:
  std::int32_t Cislo = 0;
  bool Selected = false;

  const std::string& GetZkratka() const { return zkratka_; }
  // Cut to 4 characters.
  void SetZkratka(const std::string& value);

  double GetPageWidth() const;
  double GetPageHeight() const;
  virtual double GetScale() const { return 0; }
  virtual void SetScale(double) {}

  // Neighbours of the same scale; nil without the series root or a sheet there.
  TMapSpace* GetTopSheet() { return NeighbourSheet(0, 1); }
  TMapSpace* GetBottomSheet() { return NeighbourSheet(0, -1); }
  TMapSpace* GetLeftSheet() { return NeighbourSheet(-1, 0); }
  TMapSpace* GetRightSheet() { return NeighbourSheet(1, 0); }
  std::string GetTopMSName() { return NeighbourName(0, 1, false); }
  std::string GetBottomMSName() { return NeighbourName(0, -1, false); }
  std::string GetLeftMSName() { return NeighbourName(-1, 0, false); }
  std::string GetRightMSName() { return NeighbourName(1, 0, false); }
  std::string GetTopMSFullName() { return NeighbourName(0, 1, true); }
  std::string GetBottomMSFullName() { return NeighbourName(0, -1, true); }
  std::string GetLeftMSFullName() { return NeighbourName(-1, 0, true); }
  std::string GetRightMSFullName() { return NeighbourName(1, 0, true); }

  TSMO* GetSMORoot();
  // A copy with its finer sheets; the caller takes it.
  virtual TMapSpace* SelfCopyWithDetail();
  // The name of the 1:50000 sheet above, two spaces and the own ColRowText.
  std::string GetFullName();
  virtual std::string GetColRowText() { return {}; }
  virtual void CreateDetail() {}

  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

 protected:
  // A new sheet of the own class with the own rectangle and numbers.
  virtual TMapSpace* PlainCopy();
  // Whether the detail copy is renamed to a single space.
  virtual bool BlankCopyName() const { return false; }

 private:
  TMapSpace* NeighbourSheet(int dx, int dy);
  std::string NeighbourName(int dx, int dy, bool full);

  std::string zkratka_;
};

// A sheet of a free scale.
class TUserMapSpace : public TMapSpace {
  ZELTO_ELEMENT(TUserMapSpace)
 public:
  double GetScale() const override { return scale_; }
  void SetScale(double value) override { scale_ = value; }

 private:
  double scale_ = 0;
};

class TSMO_2 : public TMapSpace {
  ZELTO_ELEMENT(TSMO_2)
 public:
  // Position in the 1:5000 grid of the 1:50000 sheet (for a 1:2000 sheet:
  // within its 1:5000 sheet).
  std::int32_t Col = 0;
  std::int32_t Row = 0;

  double GetScale() const override { return 2000; }
  std::string GetColRowText() override;
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

 protected:
  TMapSpace* PlainCopy() override;
};

class TSMO_5 : public TSMO_2 {
  ZELTO_ELEMENT(TSMO_5)
 public:
  double GetScale() const override { return 5000; }
  std::string GetColRowText() override;
  void CreateDetail() override;
  // The 1:2000 quadrant sheet at c, r (0 or 1), made once.
  TSMO_2* NewSheet2(int c, int r);
  // Stored files carry the position a second time.
  void ReadData(zelto::ValueReader& reader, TQuickEntity& loaded) override;
  void WriteData(zelto::ValueWriter& writer) override;

 protected:
  bool BlankCopyName() const override { return true; }
};

class TSMO_10 : public TSMO_5 {
  ZELTO_ELEMENT(TSMO_10)
 public:
  double GetScale() const override { return 10000; }
  void CreateDetail() override;
  // The 1:5000 sheet at grid position c, r of the 1:50000 sheet, made once.
  TSMO_5* NewSheet5(int c, int r);
};

class TSMO_25 : public TSMO_5 {
  ZELTO_ELEMENT(TSMO_25)
 public:
  double GetScale() const override { return 25000; }
  std::string GetColRowText() override;
  void CreateDetail() override {}
  TMapSpace* SelfCopyWithDetail() override;
  // Adds the existing 1:5000 sheets it covers as further children.
  void CollectDetail();
};

class TSMO_50 : public TSMO_10 {
  ZELTO_ELEMENT(TSMO_50)
 public:
  double GetScale() const override { return 50000; }
  std::string GetColRowText() override { return {}; }
  void CreateDetail() override;
  TSMO_10* NewSheet10(int c, int r);
  // The quadrant 1..4 sheet; one that exists already is reused.
  TSMO_25* NewSheet25(int quadrant);
  void CreateDetail10();
  void CreateDetail25();
  TMapSpace* SelfCopyWithDetail10();
  TMapSpace* SelfCopyWithDetail25();
};

// The root of the series: its matrix holds the 1:50000 sheets.
class TSMO : public TSMO_50 {
  ZELTO_ELEMENT(TSMO)
 public:
  enum Level { k50, k25, k10, k5, k2 };

  TSMO();
  // Not owned; the world's S-JTSK system, or nil outside a world.
  TWCS* GetWCS() const { return wcs_; }

  TSMO_50* FindSheet50(double x, double y) const;
  TSMO_25* FindSheet25(double x, double y) const;
  TSMO_10* FindSheet10(double x, double y) const;
  TSMO_5* FindSheet5(double x, double y) const;
  TSMO_2* FindSheet2(double x, double y) const;
  TMapSpace* FindSheet(Level level, double x, double y) const;
  // Computed from the 1:50000 sheet at the point without looking for the
  // finer sheet; empty when no 1:50000 sheet holds the point.
  std::string SheetName(Level level, double x, double y) const;
  std::string SheetFullName(Level level, double x, double y) const;

  // The sheet of S-JTSK Y col*25000..+25000, X row*20000..+20000.
  TSMO_50* AddSheet50(int col, int row, const std::string& name, const std::string& abbreviation);

 private:
  TWCS* wcs_ = nullptr;
};

namespace render {
// The series level of a sheet class; -1 for sheets outside the series.
int SheetLevel(const TMapSpace& sheet);
// Quadrant 1..4 of column c and row r (0 or 1) counted from the east and
// north edges.
int Quadrant2(int c, int r);
// Quadrant 1..4 of the 1:25000 sheet that holds 1:5000 grid cell c, r.
int Quadrant25(int c, int r);
}  // namespace render

void RegisterMapSheetClasses();
