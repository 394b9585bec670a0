#pragma once
// The progress form of an export loop: shown once it has run a while, asked before each
// item whether the user wants to stop, pending messages let through a few
// times a second rather than at every item.
#include <string>

#include "areas/gauge_form.h"
#include "platform/pacer.h"

namespace areas {

class ExportGauge {
 public:
  ExportGauge(const std::string& caption, int maximum, std::string question);
  ~ExportGauge();
  // False once the user has closed the form and confirmed the question.
  bool step(int index);

 private:
  TF_gaugeForm form_;
  std::string question_;
  platform::Pacer pacer_;
};

}  // namespace areas
