#pragma once
// Object references that have to travel as text (property values, script
// variables, the property editor) travel as small numbers from this table,
// never as addresses: a number whose object has died resolves to nothing
// instead of to whatever memory now lives at the old address.
#include <cstdint>
#include <unordered_map>

namespace platform {

using Handle = std::uint32_t;  // 0 is "no object"

class HandleTable {
 public:
  // The handle of a live object, issued on first request; numbers are never
  // reused, so a stale handle cannot come back to life.
  Handle acquire(const void* object);
  // nullptr when the handle was never issued or its object is gone.
  void* resolve(Handle handle) const;
  // Called by an object's destructor; its handle resolves to nothing afterwards.
  void forget(const void* object);
  bool contains(const void* object) const { return byObject_.count(object) != 0; }
  std::size_t size() const { return byObject_.size(); }
  // Hash buckets held, a measure of the table's memory.
  std::size_t bucketCount() const { return byObject_.bucket_count() + byHandle_.bucket_count(); }

 private:
  Handle next_ = 1;
  std::unordered_map<const void*, Handle> byObject_;
  std::unordered_map<Handle, const void*> byHandle_;
};

// The process's one table.
HandleTable& handles();

}  // namespace platform
