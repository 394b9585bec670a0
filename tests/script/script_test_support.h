#pragma once
// Element classes and set-up shared by the expression and command-line tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "framework/entity.h"
#include "platform/scripted_user_interaction.h"

// An element with one published property of each kind an expression reads,
// and attribute-like properties that answer only by name as text.
class TExprProbe : public TOwnerEntity {
  ZELTO_ELEMENT(TExprProbe)
 public:
  std::int32_t Pocet = 7;
  bool Flag = true;
  double Scale = 2.5;
  std::string Label = "Les";
  char Letter = 'b';
  std::int32_t Tint = 1;
  std::uint8_t Stupen = 200;
  std::int64_t Wide = 5000000000LL;
  TElement* Target = nullptr;
  std::map<std::string, std::string> Attributes;

  void GetPropertyText(const std::string& name, std::string& text) override;
};


// Registers the classes once; every test gets a scripted user interface and
// an empty message queue.
class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  platform::ScopedScriptedUi ui;
};
