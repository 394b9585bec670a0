#pragma once
// Errors that the framework raises to its callers. Texts are the ones the
// user sees, Czech where the program speaks Czech.
#include <stdexcept>
#include <string>

// The general error: path language, model commands, data errors.
class EZeltoError : public std::runtime_error {
 public:
  explicit EZeltoError(const std::string& text) : std::runtime_error(text) {}
};

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
