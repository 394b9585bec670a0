#include "platform/handle_table.h"

namespace platform {

Handle HandleTable::nextHandle() {
  Handle h = next_++;
  if (next_ == 0) next_ = 1;  // after four billion handles; practically never
  return h;
}

Handle HandleTable::acquire(const void* object) {
  if (!object) return 0;
  auto it = byObject_.find(object);
  if (it != byObject_.end()) return it->second;
  Handle h = nextHandle();
  byObject_.emplace(object, h);
  byHandle_.emplace(h, object);
  return h;
}

Handle HandleTable::issue(const void* object) {
  if (!object) return 0;
  Handle h = nextHandle();
  byHandle_.emplace(h, object);
  return h;
}

void* HandleTable::resolve(Handle handle) const {
  auto it = byHandle_.find(handle);
  return it == byHandle_.end() ? nullptr : const_cast<void*>(it->second);
}

void HandleTable::forget(const void* object) {
  auto it = byObject_.find(object);
  if (it == byObject_.end()) return;
  byHandle_.erase(it->second);
  byObject_.erase(it);
  giveBackBuckets();
}

void HandleTable::release(Handle handle) {
  if (byHandle_.erase(handle) != 0) giveBackBuckets();
}

void HandleTable::giveBackBuckets() {
  // The maps keep the buckets of their peak (megabytes after a large
  // district is freed); an empty or nearly empty map gives them back.
  constexpr std::size_t kKeptBuckets = 1024;
  auto trim = [](auto& map) {
    if (map.bucket_count() <= kKeptBuckets) return;
    if (map.empty())
      map = {};
    else if (map.size() * 16 < map.bucket_count())
      map.rehash(map.size() * 2);
  };
  trim(byObject_);
  trim(byHandle_);
}

HandleTable& handles() {
  // Never destroyed: objects destroyed during exit still report to it.
  static HandleTable* table = new HandleTable;
  return *table;
}

}  // namespace platform
