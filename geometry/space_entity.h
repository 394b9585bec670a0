#pragma once
// Spatial entities: the map objects of the model (points, texts, lines,
// areas with holes) and the collections holding them. Vertices are
// T2DCoordinate children in metres; the bounding rectangle is the
// TRectEntity rectangle; named properties the entity cannot answer fall
// through to its attribute record (Properties).
#include <cstdint>
#include <string>

#include "framework/coordinate.h"
#include "framework/rect_entity.h"

class TSpaceEntityProps;

class TSpaceEntity : public TRectEntity {
  ZELTO_ELEMENT(TSpaceEntity)
 public:
  ~TSpaceEntity() override;

  TElement* GetProperties() const { return properties_; }
  // Owned: frees the previous record unless it is the same object.
  void SetProperties(TElement* properties);

  virtual std::int32_t GetSpaceID();
  virtual void SetSpaceID(std::int32_t value);
  virtual std::int32_t GetGroup();
  // The element's ID doubles as the done mark: -1 is not done.
  bool GetIsDone() const { return ID != -1; }
  void SetIsDone(bool done) { ID = done ? 0 : -1; }

  bool HasProperty(const std::string& name) override;
  void GetPropertyText(const std::string& name, std::string& text) override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

  // The inherited rectangle and a clone of a TSpaceEntityProps record.
  virtual void AssignSpace(TSpaceEntity& source);
  virtual bool HitTest(T2DCoordinate* point, double tolerance);
  // False as soon as a spatial child has the element among its owners.
  bool NoChildHasOwner(const TElement* element) const;

  double Angle = 0.0;  // of a label or symbol placed on the entity

 protected:
  bool IsPublished(const std::string& name) const;

 private:
  TElement* properties_ = nullptr;
};

// A collection of spatial entities; names that are no published property
// are kept in dynamic properties, and split pieces of members join it.
class TSpaceEntityString : public TSpaceEntity {
  ZELTO_ELEMENT(TSpaceEntityString)
 public:
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
  void SetPropertyText(const std::string& name, const std::string& text) override;
};

class TPointElement : public TSpaceEntity {
  ZELTO_ELEMENT(TPointElement)
};

class TPointString : public TSpaceEntityString {
  ZELTO_ELEMENT(TPointString)
};

class TTextElement : public TSpaceEntity {
  ZELTO_ELEMENT(TTextElement)
 public:
  const std::string& GetText() const { return Text; }
  void SetText(const std::string& text) { Text = text; }
  std::string Text;
};

class TTextString : public TSpaceEntityString {
  ZELTO_ELEMENT(TTextString)
};
