#pragma once
// Element classes and helpers shared by the framework tests.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "framework/class_registry.h"
#include "framework/entity.h"
#include "framework/problem_report.h"
#include "framework/value_stream.h"
#include "framework/zelto_message.h"
#include "platform/scripted_user_interaction.h"

// A class with one published property of every kind the text table knows.
class TProbe : public TOwnerEntity {
  ZELTO_ELEMENT(TProbe)
 public:
  enum class Colour { Red, Green, Blue };
  std::int32_t Count = 0;
  bool Flag = false;
  Colour Tint = Colour::Red;
  double Scale = 0;
  std::string Label;
  char Letter = 'A';
  std::int32_t Bits = 0;
  TElement* Target = nullptr;
  bool HandlerAssigned = false;
};

// Records what reaches it, as a main tool or any receiver would see it.
class TRecorder : public TOwnerEntity {
  ZELTO_ELEMENT(TRecorder)
 public:
  struct Seen {
    int code;
    TElement* receiver;
    TElement* sender;
    TElement* data;
    std::string text;
  };
  std::vector<Seen> seen;
  bool handles = false;   // sets handled
  bool throws = false;    // raises from the handler
  void HandleMessage(TZeltoMessage*& message, bool& handled) override;
};

// Registers the framework's classes and the test classes once, and gives
// every test a fresh scripted user interface, a tally of the problems
// reported and an empty queue.
class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  platform::ScopedScriptedUi ui;
  // What the framework reports per object instead of a box.
  zelto::ProblemTally problems;
};

// Whether an element is still alive, through the handle it was given.
bool Alive(platform::Handle handle);

// Model-file ("ZLT0") pieces: the signature with its three header strings,
// and a class definition with its published properties and their kinds.
void WriteZltHeader(zelto::ValueWriter& w);
void WriteClassDefinition(zelto::ValueWriter& w, const std::string& name,
                          std::initializer_list<std::pair<const char*, int>> properties);
