#pragma once
// The program's global allocation functions count the allocations while
// armed and make the K-th fail: std::bad_alloc, or nil for the nothrow forms.
// They keep the counted ones until freed, so that a test sees what a
// failure left allocated behind it.
// Allocations Qt's libraries make for themselves are neither counted nor
// failed: Qt is not built to unwind an exception.

namespace failing_allocations {

// Counts from now on; `failAt` 0 only counts.
void Arm(long failAt);
// Stops counting; answers how many allocations were made while armed.
long Disarm();
// Whether the armed allocation failed.
bool Failed();
// How many of the allocations counted since armed are not freed yet; -1
// when there were too many to keep track of.
long LiveAllocations();

// Arms for its life.
class Armed {
 public:
  explicit Armed(long failAt) { Arm(failAt); }
  ~Armed() { Disarm(); }
  Armed(const Armed&) = delete;
  Armed& operator=(const Armed&) = delete;
};

}  // namespace failing_allocations
