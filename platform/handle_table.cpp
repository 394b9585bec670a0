#include "platform/handle_table.h"

namespace platform {

Handle HandleTable::acquire(const void* object) {
  if (!object) return 0;
  auto it = byObject_.find(object);
  if (it != byObject_.end()) return it->second;
  Handle h = next_++;
  if (next_ == 0) next_ = 1;  // after four billion handles; practically never
  byObject_.emplace(object, h);
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
  // The maps keep the buckets of their peak (megabytes after a large
  // district is freed); an empty or nearly empty table gives them back.
  constexpr std::size_t kKeptBuckets = 1024;
  if (byObject_.empty()) {
    if (byObject_.bucket_count() > kKeptBuckets) {
      byObject_ = {};
      byHandle_ = {};
    }
  } else if (byObject_.bucket_count() > kKeptBuckets && byObject_.size() * 16 < byObject_.bucket_count()) {
    byObject_.rehash(byObject_.size() * 2);
    byHandle_.rehash(byHandle_.size() * 2);
  }
}

HandleTable& handles() {
  // Never destroyed: objects destroyed during exit still report to it.
  static HandleTable* table = new HandleTable;
  return *table;
}

}  // namespace platform
