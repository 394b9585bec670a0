#include "gisblock/import_source.h"

namespace {
std::string nothing(const TGeliXImportSource&) { return {}; }
}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TImportSourceNode, TOwnerElement, [](auto& p) {
  p.String("SourceName", &TImportSourceNode::GetSourceName);
})
ZELTO_IMPLEMENT_ELEMENT(TImportSource, TOwnerEntity, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGeliXImportBlocks, TImportSource, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGeliXImportLibraries, TImportSource, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGeliXImportRasters, TImportSource, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TGeliXImportSource, TImportSource, [](auto& p) {
  p.String("NewBlock", &nothing, &TGeliXImportSource::SetNewBlock);
  p.String("NewRaster", &nothing, &TGeliXImportSource::SetNewRaster);
  p.String("NewLibrary", &nothing, &TGeliXImportSource::SetNewLibrary);
})

void TImportSource::AddSourceName(const std::string& text) {
  if (text.empty()) return;
  auto* node = new TImportSourceNode;
  node->SetSourceName(text);
  Add(node);
}

template <class List>
List* TGeliXImportSource::list(List*& cached) {
  if (!cached) {
    cached = new List;
    Add(cached);
  }
  return cached;
}

TGeliXImportBlocks* TGeliXImportSource::GetBlocks() { return list(blocks_); }
TGeliXImportLibraries* TGeliXImportSource::GetLibraries() { return list(libraries_); }
TGeliXImportRasters* TGeliXImportSource::GetRasters() { return list(rasters_); }
