#include <gtest/gtest.h>

#include <QAction>

#include <QApplication>
#include "qt_app.h"
#include <QFile>
#include <QPointer>
#include <QToolBar>
#include <filesystem>
#include <functional>
#include <memory>

#include "framework/message_dispatch.h"
#include "platform/scripted_user_interaction.h"
#include "render/interpret.h"
#include "render/qt/memo_form_device.h"
#include "file_size_limit.h"
#include "files.h"
#include "read_only.h"
#include "temp_dir.h"


namespace {
namespace fs = std::filesystem;
QString lines(const TStdtxtForm& form) { return form.Text()->toPlainText(); }
}  // namespace

TEST(TextWindow, WritesBuildThePendingLine) {
  test_support::QtApp();
  platform::ScopedScriptedUi ui;
  auto* device = new TMemoFormDevice;
  QPointer<TStdtxtForm> form = device->GetForm();
  device->Write("a");
  device->Write("b");
  device->WriteLine("c");
  EXPECT_EQ(lines(*form), "abc\n ");
  device->Write("d");
  EXPECT_EQ(lines(*form), "abc\nd");
  device->SetPropertyText("Caption", "Výpis");
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Výpis"));

  delete device;  // the window stays, unlinked
  ASSERT_FALSE(form.isNull());
  EXPECT_EQ(form->Device(), nullptr);
  form->Modified = false;
  form->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
}

TEST(TextWindow, RefusesToCloseWhileWritingAndFreesItsDeviceWhenClosed) {
  test_support::QtApp();
  platform::ScopedScriptedUi ui;
  auto* device = new TMemoFormDevice;
  TElementRef alive(device);
  QPointer<TStdtxtForm> form = device->GetForm();
  device->BeginDraw();
  EXPECT_FALSE(form->close());
  device->EndDraw();
  device->WriteLine("změna");
  ui->queueAnswer(platform::Answer::No);
  EXPECT_TRUE(form->close());
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Obsah souboru byl změněn ... uložit?"});
  EXPECT_EQ(alive.Get(), nullptr);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(TextWindow, SavesPlainOrRichTextAndSearches) {
  test_support::QtApp();
  platform::ScopedScriptedUi ui;
  TMemoFormDevice device;
  TStdtxtForm* form = device.GetForm();
  device.WriteLine("Plocha č. 1");
  device.WriteLine("Plocha č. 2");
  const test_support::TempDir dir("listing");
  const QString txt = QString::fromStdString((dir / "zelto_listing.TXT").string());
  const QString rtf = QString::fromStdString((dir / "zelto_listing.rtf").string());
  ASSERT_TRUE(form->SaveToFile(txt));
  EXPECT_FALSE(form->Modified);
  ASSERT_TRUE(form->SaveToFile(rtf));
  QFile plain(txt), rich(rtf);
  ASSERT_TRUE(plain.open(QIODevice::ReadOnly) && rich.open(QIODevice::ReadOnly));
  EXPECT_EQ(plain.readAll(), QByteArray("Plocha \xE8. 1\r\nPlocha \xE8. 2\r\n "));
  EXPECT_TRUE(rich.readAll().startsWith("{\\rtf1"));
  ASSERT_TRUE(form->LoadFromFile(rtf));
  EXPECT_EQ(lines(*form), QString::fromUtf8("Plocha č. 1\nPlocha č. 2\n "));

  EXPECT_TRUE(form->FindNext(QString::fromUtf8("č. 2")));
  EXPECT_EQ(form->Text()->textCursor().selectedText(), QString::fromUtf8("č. 2"));
  EXPECT_FALSE(form->FindNext("les"));
  EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Text les Nenalezen !"});
  EXPECT_EQ(form->Text()->textCursor().selectedText(), QString::fromUtf8("č. 2"));
}

TEST(TextWindow, ATextThatCannotBeSavedIsToldAndStaysUnsaved) {
  test_support::QtApp();
  platform::ScopedScriptedUi ui;
  TMemoFormDevice device;
  TStdtxtForm* form = device.GetForm();
  device.WriteLine("Plocha č. 1");
  const test_support::TempDir dir("listing");
  const fs::path old = dir / "protokol.txt";
  test_support::WriteFile(old, "starý protokol\r\n");
  const fs::path nowhere = dir / "chybí" / "protokol.txt";
  form->Modified = true;
  EXPECT_FALSE(form->SaveToFile(QString::fromStdString(nowhere.string())));
  ASSERT_EQ(ui->shownTexts().size(), 1u);
  EXPECT_EQ(ui->shownTexts()[0].rfind("Soubor " + nowhere.string() + " nelze uložit: ", 0), 0u) << ui->shownTexts()[0];
  EXPECT_TRUE(form->Modified);
  // A text longer than the disk takes leaves the old file whole.
  for (int i = 0; i < 200; ++i) device.WriteLine("Plocha č. " + std::to_string(i));
  {
    test_support::FileSizeLimit full(64);
    EXPECT_FALSE(form->SaveToFile(QString::fromStdString(old.string())));
  }
  EXPECT_EQ(test_support::ReadFile(old), "starý protokol\r\n");
  EXPECT_EQ(ui->shownTexts().size(), 2u);
  EXPECT_TRUE(form->Modified);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  // A listing the user made read-only is refused as a plain write would
  // refuse it, not renamed over.
  {
    test_support::ReadOnlyTree readOnly(old);
    EXPECT_FALSE(form->SaveToFile(QString::fromStdString(old.string())));
  }
  ASSERT_EQ(ui->shownTexts().size(), 3u);
  EXPECT_EQ(ui->shownTexts()[2], "Soubor " + old.string() + " nelze uložit: přístup odepřen");
  EXPECT_EQ(test_support::ReadFile(old), "starý protokol\r\n");
  EXPECT_TRUE(form->Modified);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(TextWindow, AbortStopsTheRendererThatWritesHere) {
  test_support::QtApp();
  platform::ScopedScriptedUi ui;
  auto* device = new TMemoFormDevice;
  TInterpret interpret;
  interpret.BeginOnDevice(device);
  // The window's Abort action, found by its name as the user's tools do.
  QAction* abort = device->GetForm()->findChild<QAction*>("Abort");
  ASSERT_NE(abort, nullptr);
  abort->trigger();
  EXPECT_TRUE(interpret.GetBreakWork());
  EXPECT_TRUE(lines(*device->GetForm()).contains(QString::fromUtf8("Přerušeno uživatelem")));
  interpret.EndOnDevice();
  QPointer<TStdtxtForm> form = device->GetForm();
  delete device;
  delete form.data();
}

// "Přerušit" stops the renderer that writes into the window; while none
// does (the log window, whose device nobody owns, or a window whose
// renderer has let go of it or whose device is gone), it shows greyed
// rather than doing nothing when pressed.
TEST(TextWindow, AbortShowsGreyedWhileNoRendererWritesHere) {
  test_support::QtApp();
  platform::ScopedScriptedUi ui;
  auto* device = new TMemoFormDevice;
  QPointer<TStdtxtForm> form = device->GetForm();
  QAction* abort = form->findChild<QAction*>("Abort");
  ASSERT_NE(abort, nullptr);
  const QToolBar* bar = form->findChild<QToolBar*>();
  ASSERT_NE(bar, nullptr);
  const QWidget* button = bar->widgetForAction(abort);
  ASSERT_NE(button, nullptr);
  device->WriteLine("Čtení revíru");
  auto interpret = std::make_unique<TInterpret>();
  const struct {
    const char* state;
    std::function<void()> reach;
    bool pressable;
  } states[] = {
      {"the log's device", [] {}, false},
      {"a renderer writes here", [&] { interpret->BeginOnDevice(device); }, true},
      {"the renderer let go", [&] { interpret->EndOnDevice(); }, false},
      {"taken again", [&] { interpret->BeginOnDevice(device); }, true},
      {"the renderer gone", [&] { interpret.reset(); }, false},
      {"the device freed", [&] { delete device; }, false},
  };
  for (const auto& s : states) {
    SCOPED_TRACE(s.state);
    s.reach();
    EXPECT_EQ(button->isEnabled(), s.pressable);
  }
  ASSERT_FALSE(form.isNull());
  EXPECT_FALSE(lines(*form).contains(QString::fromUtf8("Přerušeno")));
  form->Modified = false;
  delete form.data();
}
