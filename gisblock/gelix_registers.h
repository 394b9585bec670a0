#pragma once
// The registers of a block read from or written to disk: per kind letter a
// TGelixObjectRegister, which keeps the one attribute table through which
// every object of that kind in the block reaches its row, and per object
// number a TGelixObjectOwner named after its object ("P4:1600").
#include <memory>
#include <string>

#include "geometry/space_registers.h"

class TGelixDBFTable;
namespace gisblock {
class AttributeTable;
}

class TGelixObjectOwner : public TObjectOwner {
  ZELTO_ELEMENT(TGelixObjectOwner)
 public:
  void Add(TElement* element) override;
};

class TGelixObjectRegister : public TObjectRegister {
  ZELTO_ELEMENT(TGelixObjectRegister)
 public:
  // The register's one table, created read-only on first use and freed
  // with the register.
  TElement* GetDBF() const override;
  TGelixDBFTable* GetTable() const;
  TObjectOwner* NewOwner() override { return new TGelixObjectOwner; }
  // The table the records of this register position and read.
  gisblock::AttributeTable& Table() const;
};

class TGelixBlockRegister : public TBlockRegister {
  ZELTO_ELEMENT(TGelixBlockRegister)
 public:
  TObjectRegister* GetObjectRegister(char letter) override;
};

namespace gisblock {

// The key of a block in the registers: the directory as an absolute path
// without a trailing separator. A register finds its blocks by name
// whatever the letter case, so that every spelling of one block shares one
// register.
std::string normalizeBlockPath(const std::string& directory);

// The block register of the directory under the first TRegister of the
// object model (both created when missing).
TGelixBlockRegister* gelixBlockRegister(TEntity& objectModel, const std::string& directory);

}  // namespace gisblock
