#include "framework/problem_report.h"

#include "framework/czech_count.h"
#include "framework/zelto_message.h"
#include "platform/user_interaction.h"

namespace zelto {
namespace {
ProblemTally* current = nullptr;
}  // namespace

void ReportProblem(const std::string& text, const std::string& cause) {
  NoteProblem(text, cause);
  PostTextMessage(nullptr, msg::LogText, text);
}

void NoteProblem(const std::string& text, const std::string& cause) {
  if (current) current->Count(text, cause.empty() ? text : cause);
}

void NoteFailure(const std::string& text) {
  if (current) current->Count(text, text, true);
}

void ShowProblems(const ProblemTally& problems) {
  if (!problems.empty())
    platform::ui().showMessage(problems.Summary(),
                               problems.failed() ? platform::MessageKind::Error : platform::MessageKind::Warning);
}

ProblemTally::ProblemTally() : outer_(current) { current = this; }

ProblemTally* ProblemTally::Current() { return current; }

ProblemTally::~ProblemTally() { current = outer_; }

void ProblemTally::Count(const std::string& text, const std::string& key, bool failure) {
  ++total_;
  // Each failure is told on its own.
  if (failure) {
    ++failures_;
    causes_.push_back({key, text, 1, true});
    return;
  }
  const auto [found, fresh] = byKey_.try_emplace(key, causes_.size());
  if (fresh) causes_.push_back({key, text, 0});
  ++causes_[found->second].count;
}

std::string ProblemTally::Summary(std::size_t maxCauses) const {
  std::string summary;
  std::size_t rest = total_, lines = 0;
  for (const bool failures : {true, false}) {
    for (const Cause& cause : causes_) {
      if (cause.failure != failures || lines == maxCauses) continue;
      if (lines++ > 0) summary += '\n';
      summary += cause.count == 1 ? cause.firstText : cause.key + " (celkem " + std::to_string(cause.count) + "×)";
      rest -= cause.count;
    }
  }
  if (rest > 0)
    summary += "\n… a " + framework::CzechCount(static_cast<std::int64_t>(rest), "další hlášení", "další hlášení",
                                                 "dalších hlášení");
  return summary;
}

}  // namespace zelto
