#pragma once
// Problems that core code meets with one object or one row of its work (a
// table row it cannot find, a font it cannot open, a line it cannot join).
// Each one is posted as a log text (code 8): it reaches the log window and
// the protocol file, and the work goes on without waiting for the user at a
// box. The job that runs meanwhile keeps a ProblemTally and shows every
// cause once at its end, with how often it came.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace zelto {

// `cause` is what the occurrences of one problem have in common, without
// the object or the row each of them names ("Není nalezen záznam v tabulce
// ..."); empty when the text itself is the cause.
void ReportProblem(const std::string& text, const std::string& cause = {});
// Counts a problem that the caller logs in its own words.
void NoteProblem(const std::string& text, const std::string& cause = {});
// Counts a failure of a part of the job (a level of a district run) that
// the caller logs in its own words: the job's box is then an error box and
// tells the failures first.
void NoteFailure(const std::string& text);

// Counts the problems reported while it lives. Tallies nest: a problem is
// counted by the innermost one.
class ProblemTally {
 public:
  ProblemTally();
  ~ProblemTally();
  ProblemTally(const ProblemTally&) = delete;
  ProblemTally& operator=(const ProblemTally&) = delete;
  // The innermost tally alive; nil when no job keeps one.
  static ProblemTally* Current();

  bool empty() const { return causes_.empty(); }
  bool failed() const { return failures_ > 0; }
  // Every occurrence counted.
  std::size_t total() const { return total_; }
  // One line per cause, the failures first, else in the order they first
  // came: the text itself when it came once, else the cause and
  // " (celkem N×)". Past `maxCauses` lines one more line says how many
  // problems the rest are.
  std::string Summary(std::size_t maxCauses = 10) const;

 private:
  friend void NoteProblem(const std::string& text, const std::string& cause);
  friend void NoteFailure(const std::string& text);
  void Count(const std::string& text, const std::string& cause, bool failure = false);

  struct Cause {
    std::string key;
    std::string firstText;
    std::size_t count = 0;
    bool failure = false;
  };
  std::vector<Cause> causes_;
  std::unordered_map<std::string, std::size_t> byKey_;
  std::size_t total_ = 0;
  std::size_t failures_ = 0;
  ProblemTally* outer_ = nullptr;
};

// One box with the tally's summary, an error box when it counted a
// failure, else a warning box; nothing when it counted none.
void ShowProblems(const ProblemTally& problems);

}  // namespace zelto
