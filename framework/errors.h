#pragma once
// Errors that the framework raises to its callers. Texts are the ones the
// user sees, Czech where the program speaks Czech.
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

// The general error: path language, model commands, data errors.
class EZeltoError : public std::runtime_error {
 public:
  explicit EZeltoError(const std::string& text) : std::runtime_error(text) {}
};

namespace framework {
// What stopped a piece of work, in words for the user: "nedostatek paměti"
// for an allocation that failed, otherwise the exception's own text.
inline std::string CauseOf(const std::exception& e) {
  return dynamic_cast<const std::bad_alloc*>(&e) ? "nedostatek paměti" : e.what();
}
}  // namespace framework

// An unregistered class name where one is required.
class EClassNotFound : public EZeltoError {
 public:
  using EZeltoError::EZeltoError;
};

// A position outside a child or owner list.
class EListError : public EZeltoError {
 public:
  using EZeltoError::EZeltoError;
};
