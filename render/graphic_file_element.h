#pragma once
// A picture placed on a page by file name: the rectangle it fills and the
// file's full name. Names are kept as stored in the page files, with "\"
// separators; the picture is decoded only when drawn (render/picture_file.h).
#include <memory>
#include <string>

#include "framework/rect_entity.h"
#include "render/memory_raster.h"

class TGraphicFileElement : public TRectEntity {
  ZELTO_ELEMENT(TGraphicFileElement)
 public:
  virtual std::string GetFileName() const;
  // The directory part, up to and including the last separator.
  virtual std::string GetPath() const;
  virtual void SetFileName(const std::string& name);
  // Moves the picture to another directory, keeping its own name.
  virtual void SetPath(const std::string& path);

  // Decodes the picture the stored name resolves to on this machine;
  // EPictureFileError (naming the stored name) when it is missing or damaged.
  std::unique_ptr<TMemoryRaster> LoadPicture() const;

 private:
  std::string fileName_;
};

// A picture drawn by the picture-file renderer.
class TBMPFileElement : public TGraphicFileElement {
  ZELTO_ELEMENT(TBMPFileElement)
};
