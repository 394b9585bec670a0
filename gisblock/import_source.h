#pragma once
// Lists of named data sources to load (block directories, symbol
// libraries, rasters), filled by model files and scripts through
// write-only published properties.
#include <string>

#include "framework/entity.h"

class TImportSourceNode : public TOwnerElement {
  ZELTO_ELEMENT(TImportSourceNode)
 public:
  const std::string& GetSourceName() const { return sourceName_; }
  void SetSourceName(const std::string& name) { sourceName_ = name; }

 private:
  std::string sourceName_;
};

class TImportSource : public TOwnerEntity {
  ZELTO_ELEMENT(TImportSource)
 public:
  // An empty text adds nothing.
  virtual void AddSourceName(const std::string& text);
};

class TGeliXImportBlocks : public TImportSource {
  ZELTO_ELEMENT(TGeliXImportBlocks)
};

class TGeliXImportLibraries : public TImportSource {
  ZELTO_ELEMENT(TGeliXImportLibraries)
};

class TGeliXImportRasters : public TImportSource {
  ZELTO_ELEMENT(TGeliXImportRasters)
};

class TGeliXImportSource : public TImportSource {
  ZELTO_ELEMENT(TGeliXImportSource)
 public:
  // Each list is created and added as a child on first use.
  TGeliXImportBlocks* GetBlocks();
  TGeliXImportLibraries* GetLibraries();
  TGeliXImportRasters* GetRasters();

  void SetNewBlock(const std::string& text) { GetBlocks()->AddSourceName(text); }
  void SetNewRaster(const std::string& text) { GetRasters()->AddSourceName(text); }
  void SetNewLibrary(const std::string& text) { GetLibraries()->AddSourceName(text); }

 private:
  template <class List>
  List* list(List*& cached);
  TGeliXImportBlocks* blocks_ = nullptr;
  TGeliXImportLibraries* libraries_ = nullptr;
  TGeliXImportRasters* rasters_ = nullptr;
};
