#include "gisblock/crd_record.h"

#include "gisblock/record_bytes.h"

namespace gisblock {
using namespace bytes;

CrdRecord CrdRecord::decode(const std::uint8_t* r) { return {getReal(r, 0), getReal(r, 6)}; }

std::array<std::uint8_t, CrdRecord::kSize> CrdRecord::encode() const {
  std::array<std::uint8_t, kSize> r{};
  putReal(r.data(), 0, x, "X");
  putReal(r.data(), 6, y, "Y");
  return r;
}

}  // namespace gisblock
