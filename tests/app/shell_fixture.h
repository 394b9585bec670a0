#pragma once
// A started shell in a scratch directory: the world, the main tool and the
// main window created as the start window creates them, boxes answered by
// script, the protocol file in the scratch directory, drive D on it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include "qt_app.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_classes.h"
#include "app/main_form.h"
#include "app/main_tool.h"
#include "app/start_form.h"
#include "framework/drive_map.h"
#include "framework/message_dispatch.h"
#include "framework/world.h"
#include "framework/zelto_message.h"
#include "platform/scripted_user_interaction.h"
#include "sample_tree.h"


class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::QtApp();
    RegisterAllClasses();
    dir_ = std::filesystem::temp_directory_path() /
           ("zelto_shell_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "work");
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_ / "work");
    setenv("WINDIR", dir_.c_str(), 1);
    framework::SetDriveDirectory('D', dir_);
  }
  void TearDown() override {
    // An "Ano" to the close question asks Qt to leave its loops; with none
    // running, Qt would leave every later one at once (the modal windows of
    // the next case among them), until the application's own loop has run.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    DestroyMainForm();
    zelto::RunMessagesUntilIdle();
    TWorld* world = GetWorld();
    zelto::SetMainToolResolver(nullptr);
    SetWorld(nullptr);
    delete world;
    framework::RemoveDrive('D');
    unsetenv("WINDIR");
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }
  // What the start window does at its creation.
  void Start() {
    CreateWorld();
    RunMainTool();
    zelto::RunMessagesUntilIdle();
    ui_->clear();
  }
  // The generated tree on drive D, the shell started and district 01 read
  // as the user reads it; false when the tree cannot be generated.
  bool StartWithDistrictRead() {
    if (test_support::GeneratedSample().empty() || !test_support::CopySample(dir_.string())) return false;
    Start();
    MainForm()->SetDirectory("D:\\GIS\\4107\\01");
    MainForm()->btCtiRevir->click();
    zelto::RunMessagesUntilIdle();
    return true;
  }
  TMainTool& Tool() { return *static_cast<TMainTool*>(GetWorld()->GetMainTool()); }
  void WriteFile(const std::filesystem::path& path, const std::string& text) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Post(int code, TElement* data = nullptr) {
    TZeltoMessage::Post(new TZeltoMessage(code, data, &Tool(), &Tool()));
    zelto::RunMessagesUntilIdle();
  }

  platform::ScopedScriptedUi ui_;
  std::filesystem::path dir_;
  std::filesystem::path previous_;
};
