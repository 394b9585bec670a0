#include "viewer/print_tool.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>

#include "framework/class_registry.h"
#include "framework/errors.h"
#include "framework/file_version.h"
#include "framework/message_dispatch.h"
#include "platform/message_queue.h"
#include "platform/qt/qt_message_pump.h"
#include "platform/scripted_user_interaction.h"
#include "render/desktop.h"
#include "render/memory_raster.h"
#include "render/qt/print_device.h"
#include "render/render_classes.h"
#include "render/text_block.h"
#include "render/tile_device.h"
#include "render/universal_interpret.h"
#include "render/universal_script_creator.h"
#include "qt_app.h"
#include "file_size_limit.h"
#include "files.h"
#include "read_only.h"
#include "temp_dir.h"
#include "process.h"
#include "viewer/print_dialog.h"
#include "viewer/image_form.h"
#include "viewer/print_entry.h"
#include "viewer/tool_manager.h"

namespace fs = std::filesystem;

namespace {
constexpr TColor kBlue = RGBColor(0, 0, 255);


// Draws every rectangle item, the desktop included, with its own pen and
// brush; a rectangle named "vadný" cannot be drawn.
class TRectPainter : public TInterpret {
 public:
  void Process(TElement* e) override {
    auto* r = dynamic_cast<TDrawRectangle*>(e);
    if (!r) return;
    if (r->GetName() == "vadný") throw EZeltoError("obdélník nelze nakreslit");
    GetDevice()->SetPen({r->PenColor, 1, psSolid});
    GetDevice()->SetPenWidth(r->PenWidth);
    GetDevice()->SetBrush({r->BrushColor, r->BrushStyle});
    GetDevice()->DrawRectangle(r->GetMinX(), r->GetMinY(), r->GetMaxX(), r->GetMaxY());
  }
};

std::string run(const std::string& command) { return test_support::Capture(command); }

TDrawRectangle* rect(double minX, double minY, double maxX, double maxY, TColor pen, TColor brush,
                     TBrushStyle style = bsSolid) {
  auto* r = new TDrawRectangle;
  r->SetMinX(minX), r->SetMinY(minY), r->SetMaxX(maxX), r->SetMaxY(maxY);
  r->PenColor = pen;
  r->BrushColor = brush;
  r->BrushStyle = style;
  r->PenWidth = 0.001;
  return r;
}

struct Printing : ::testing::Test {
  static void SetUpTestSuite() {
    test_support::QtApp();
    RegisterRenderClasses();
    RegisterViewerClasses();
  }

  test_support::TempDir temp{"print"};
  fs::path dir = temp.path();
  fs::path pdf;
  platform::qt::QtMessagePump pump;
  platform::ScopedScriptedUi ui;
  QPrinter printer{QPrinter::HighResolution};
  TEntity model;
  TMemoryRaster screen{200, 200};
  TCanvasDevice screenDevice;
  TRectPainter painter;
  double paperW = 0, paperH = 0;  // the printable area in metres
  std::string savedProgram = framework::ProgramFile();
  // The program's own INI file is kept with the user's settings, not
  // beside the program.
  fs::path settings = dir / "settings";
  test_support::ScopedEnv windir{"WINDIR", settings.string()};

  Printing() {
    pdf = dir / "out.pdf";
    fs::create_directories(dir / "bin");
    framework::SetProgramFile((dir / "bin" / "zelto").string());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    const QRectF area = printer.pageRect(QPrinter::Millimeter);
    paperW = area.width() / 1000;
    paperH = area.height() / 1000;
    screenDevice.SetCanvas(&screen);
    screenDevice.GetProjection()->Setup({0, 0}, screenDevice.GetPage(), 10);
    painter.SetDevice(&screenDevice);
    painter.SetInput(&model);
  }
  ~Printing() override {
    painter.SetDevice(nullptr);
    framework::SetProgramFile(savedProgram);
    platform::messageQueue().discardAll();
  }

  // Runs the print; `answer` works the set-up window once it is up.
  void print(const std::function<void(TPrnDlg&)>& answer, TInterpret* interpret = nullptr, QPrinter* on = nullptr) {
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (auto* dialog = dynamic_cast<TPrnDlg*>(QApplication::activeModalWidget())) {
        poll.stop();
        answer(*dialog);
      }
    });
    poll.start();
    viewer::PrintWithPrinter(interpret ? interpret : &painter, on ? on : &printer);
    // The window watches the finished job and closes itself.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 && findDialog()) QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(findDialog(), nullptr);
  }
  // The viewer's print command: the platform's dialog is told to print into
  // the PDF file; `atSetUp` answers true once it has worked the set-up window
  // (without one, no set-up window is awaited: a model prints at once).
  void printFromViewer(TFormToolManager& manager, const std::function<bool(TPrnDlg&)>& atSetUp) {
    printFromViewer(manager, atSetUp, pdf);
  }
  void printFromViewer(TFormToolManager& manager, const std::function<bool(TPrnDlg&)>& atSetUp,
                       const fs::path& into) {
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      // Without a printer set up, the platform's dialog asks where to print.
      if (auto* choice = qobject_cast<QPrintDialog*>(modal)) {
        choice->printer()->setOutputFormat(QPrinter::PdfFormat);
        choice->printer()->setOutputFileName(QString::fromStdString(into.string()));
        choice->done(QDialog::Accepted);
        if (!atSetUp) poll.stop();
      } else if (auto* dialog = dynamic_cast<TPrnDlg*>(modal)) {
        if (atSetUp(*dialog)) poll.stop();
      }
    });
    poll.start();
    manager.PostMessage(zelto::msg::Print, &manager);
    while (clock.elapsed() < 120000 && (poll.isActive() || findDialog()))
      QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  static TPrnDlg* findDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = dynamic_cast<TPrnDlg*>(w); d && d->isVisible()) return d;
    return nullptr;
  }
  int pdfPages() {
    const std::string info = run("pdfinfo " + test_support::Quoted(pdf.string()) + " 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
  }
  // A desktop nearly the size of the paper, outlined in blue, in the model.
  TDesktop* blueOutlinedDesktop(double penWidth) {
    auto* desktop = new TDesktop;
    desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(0.9 * paperW), desktop->SetMaxY(0.9 * paperH);
    desktop->PenColor = kBlue;
    desktop->BrushColor = 0xFFFFFF;
    desktop->PenWidth = penWidth;
    model.Add(desktop);
    return desktop;
  }
  // The viewer draws `input` with the map's renderers.
  static void drawWithMapRenderers(TFormToolManager& manager, TElement* input) {
    TUniversalGelixScriptCreator creator;
    creator.DoIt();
    manager.SetInterpretScript(creator.Output());
    manager.SetInput(input);
  }
  static bool confirm(TPrnDlg& dialog) {
    dialog.OKBtn->click();
    return true;
  }
  // Lengths of the runs of blue pixels along the middle row of page 1,
  // rendered at the printer's own resolution: the widths of the lines that
  // cross the row.
  std::vector<int> blueRunsAcrossTheMiddle() {
    const QRect page = printer.pageLayout().fullRectPixels(printer.resolution());
    const fs::path png = dir / "row";
    run("pdftoppm -r " + std::to_string(printer.resolution()) + " -png -singlefile -x 0 -y " +
        std::to_string(page.height() / 2) + " -W " + std::to_string(page.width()) + " -H 1 " +
        test_support::Quoted(pdf.string()) + " " + test_support::Quoted(png.string()));
    QImage image(QString::fromStdString(png.string() + ".png"));
    std::vector<int> runs;
    int length = 0;
    for (int x = 0; x <= image.width(); ++x) {
      const QColor c = x < image.width() ? image.pixelColor(x, 0) : QColor(Qt::white);
      if (c.blue() > 150 && c.red() < 100 && c.green() < 100) {
        ++length;
      } else if (length > 0) {
        runs.push_back(length);
        length = 0;
      }
    }
    return runs;
  }
  // Blue and black pixels of a page rendered at 30 dpi.
  std::pair<int, int> colours(int page) {
    const fs::path png = dir / ("page" + std::to_string(page));
    run("pdftoppm -r 30 -png -singlefile -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
        test_support::Quoted(pdf.string()) + " " + test_support::Quoted(png.string()));
    QImage image(QString::fromStdString(png.string() + ".png"));
    int blue = 0, black = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        blue += c.blue() > 200 && c.red() < 60 && c.green() < 60;
        black += c.blue() < 60 && c.red() < 60 && c.green() < 60;
      }
    return {blue, black};
  }
};

}  // namespace

TEST_F(Printing, ADesktopOfTwoByTwoPagesPrintsFourPaperSizedPagesWithFrameAndMap) {
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(1.5 * paperW), desktop->SetMaxY(1.5 * paperH);
  desktop->PenColor = 0;
  desktop->PenWidth = 0.001;
  desktop->Add(rect(0.02, 0.02, 0.3 * paperW, 0.3 * paperH, kBlue, kBlue));
  model.Add(desktop);
  std::string caption;
  print([&](TPrnDlg& dialog) {
    EXPECT_FALSE(dialog.g_Pages->isVisible()) << "one desktop has no page choice";
    EXPECT_TRUE(dialog.b_CenterPage->isChecked());
    caption = dialog.windowTitle().toStdString();
    dialog.OKBtn->click();
  });
  EXPECT_EQ(caption, "Tiskový dialog");
  ASSERT_EQ(pdfPages(), 4);
  const std::string info = run("pdfinfo " + test_support::Quoted(pdf.string()));
  const QSizeF points = printer.pageLayout().fullRect(QPageLayout::Point).size();
  char expected[64];
  std::snprintf(expected, sizeof expected, "Page size:       %g x %g pts", points.width(), points.height());
  EXPECT_NE(info.find(std::string(expected).substr(0, 22)), std::string::npos) << info;
  EXPECT_NE(info.find("A4"), std::string::npos) << info;

  // The bottom-left page holds the map and the desktop's corner; the
  // top-right page neither.
  auto [blue, black] = colours(1);
  EXPECT_GT(blue, 500);
  EXPECT_GT(black, 50);
  EXPECT_EQ(colours(4).first, 0);
  // The job ended with its window; the program may print again.
  EXPECT_FALSE(TPrintDevice::JobInProgress());
  EXPECT_EQ(ui->shownTexts().size(), 1u) << "the closing message";
  EXPECT_NE(ui->shownTexts().back().find("Ukončen tisk na \"" + pdf.string() + "\""), std::string::npos);
}

TEST_F(Printing, OnlyTheChosenPagesOfAMultiPageDesktop) {
  auto* work = new TMultiPageDesktop;
  for (int i = 0; i < 6; ++i) {
    auto* page = new TDesktop;
    page->SetMinX(i * paperW), page->SetMinY(0), page->SetMaxX((i + 0.9) * paperW), page->SetMaxY(0.9 * paperH);
    work->Add(page);
  }
  model.Add(work);
  print([](TPrnDlg& dialog) {
    EXPECT_TRUE(dialog.g_Pages->isVisibleTo(&dialog));
    dialog.r_Pages->setChecked(true);
    EXPECT_TRUE(dialog.ed_Pages->isEnabled());
    dialog.ed_Pages->setText("2,5");
    dialog.OKBtn->click();
  });
  EXPECT_EQ(pdfPages(), 2);
  EXPECT_EQ(painter.Input(), &model) << "the interpret's input comes back";

  // A set that names no page prints nothing and says so.
  fs::remove(pdf);
  ui->clear();
  print([](TPrnDlg& dialog) {
    dialog.r_Pages->setChecked(true);
    dialog.ed_Pages->setText("9");
    dialog.OKBtn->click();
  });
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_EQ(ui->shownTexts(), (std::vector<std::string>{"Zadaným číslům neodpovídá žádná stránka: 9"}));
}

TEST_F(Printing, OverlapInMillimetresAndTheRasterSwitchKeptInTheIniFile) {
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(paperW), desktop->SetMaxY(paperH);
  model.Add(desktop);
  double overlap = -1, tooLarge = -1;
  print([&](TPrnDlg& dialog) {
    EXPECT_FALSE(dialog.b_RasterLines->isChecked());
    dialog.ed_Overlap->setText("5");
    emit dialog.ed_Overlap->editingFinished();
    zelto::ProcessPendingMessages();
    overlap = dialog.Tool()->GetPrintPages()->GetOverlap();
    // Twice the overlap must leave paper to fit the desktop on.
    dialog.ed_Overlap->setText("200");
    emit dialog.ed_Overlap->editingFinished();
    zelto::ProcessPendingMessages();
    tooLarge = dialog.Tool()->GetPrintPages()->GetOverlap();
    EXPECT_EQ(dialog.ed_Overlap->text(), "5");
    // Without fitting the overlap spills the paper-sized desktop onto a
    // second row and column; fitting shrinks it onto one page.
    EXPECT_EQ(dialog.Tool()->GetPrintPages()->GetPageCount(), 4);
    dialog.b_FitToPage->click();
    zelto::ProcessPendingMessages();
    EXPECT_EQ(dialog.Tool()->GetPrintPages()->GetPageCount(), 1);
    EXPECT_EQ(dialog.ed_Scale->text().toStdString(),
              QString::number(std::max(paperW / (paperW - 0.01), paperH / (paperH - 0.01)), 'f', 2).toStdString());
    dialog.b_RasterLines->click();
    zelto::ProcessPendingMessages();
    dialog.CancelBtn->click();
  });
  EXPECT_DOUBLE_EQ(overlap, 0.005);
  EXPECT_DOUBLE_EQ(tooLarge, 0.005);
  EXPECT_EQ(ui->shownTexts(), (std::vector<std::string>{"Přesah 200 mm je na papír tiskárny příliš velký"}));
  EXPECT_FALSE(fs::exists(pdf)) << "a cancelled set-up prints nothing";
  EXPECT_TRUE(fs::exists(settings / "zelto.INI"));
  EXPECT_FALSE(fs::exists(dir / "bin" / "zelto.INI"));

  // A new set-up reads the switch back.
  bool raster = false;
  print([&](TPrnDlg& dialog) {
    raster = dialog.b_RasterLines->isChecked();
    dialog.CancelBtn->click();
  });
  EXPECT_TRUE(raster);
}

TEST_F(Printing, TheSetUpAndTheClosingMessageSpeakCzech) {
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(0.5 * paperW), desktop->SetMaxY(0.5 * paperH);
  model.Add(desktop);
  print([&](TPrnDlg& dialog) {
    dialog.ed_Scale->setText("abc");
    emit dialog.ed_Scale->editingFinished();
    dialog.ed_Overlap->setText("1,5");
    emit dialog.ed_Overlap->editingFinished();
    dialog.OKBtn->click();
  });
  // Leaving a field again repeats its complaint; the closing message comes last.
  ASSERT_GE(ui->shownTexts().size(), 3u);
  EXPECT_EQ(ui->shownTexts()[0], "'abc' není platné reálné číslo");
  EXPECT_EQ(ui->shownTexts()[1], "'1,5' není platné celé číslo");
  // The moment as "7. 12. 2026 8:35:14", the duration in hours, minutes and
  // seconds with no time zone; no English names of days or months.
  const std::regex closing("[0-9]{1,2}\\. [0-9]{1,2}\\. [0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2}\r\r"
                           "Ukončen tisk na \"[^\"]+\"\r\rTrvání: [0-9]+:[0-5][0-9]:[0-5][0-9]");
  EXPECT_TRUE(std::regex_match(ui->shownTexts().back(), closing)) << ui->shownTexts().back();
}

// The switch cannot be kept: the user learns why, and a file that is there
// keeps what it held.
TEST_F(Printing, ARasterSwitchThatCannotBeKeptIsToldWithItsCause) {
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(0.5 * paperW), desktop->SetMaxY(0.5 * paperH);
  model.Add(desktop);
  const fs::path ini = settings / "zelto.INI";
  enum class ReadOnly { Nothing, Directory, File };
  struct Case {
    const char* name;
    std::optional<std::string> held;  // what the file holds before
    ReadOnly readOnly;
    const char* cause;
  };
  const Case cases[] = {
      {"a read-only settings directory", std::nullopt, ReadOnly::Directory, "přístup odepřen"},
      {"a settings file made read-only", "[PRINT]\r\nRasterizeLinesByZelto=0\r\n", ReadOnly::File,
       "přístup odepřen"},
      // UTF-16 saved without its mark.
      {"a damaged settings file", std::string("\0[\0P\0R\0I\0N\0T\0]\0", 16), ReadOnly::Nothing,
       "soubor nelze číst: začíná nulovým bajtem, není uložen jako text ANSI, UTF-8 ani Unicode se značkou pořadí "
       "bajtů"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(settings);
    fs::create_directories(settings);
    if (c.held) test_support::WriteFile(ini, *c.held);
    ui->clear();
    {
      std::optional<test_support::ReadOnlyTree> readOnly;
      if (c.readOnly != ReadOnly::Nothing) readOnly.emplace(c.readOnly == ReadOnly::File ? ini : settings);
      print([](TPrnDlg& dialog) {
        dialog.b_RasterLines->click();
        zelto::ProcessPendingMessages();
        dialog.CancelBtn->click();
      });
    }
    EXPECT_EQ(ui->shownTexts(),
              std::vector<std::string>{"Nastavení tisku nelze uložit do souboru " + ini.string() + ": " + c.cause});
    EXPECT_EQ(fs::exists(ini) ? std::optional(test_support::ReadFile(ini)) : std::nullopt, c.held);
  }
}

TEST_F(Printing, APrintWhoseDrawingFailsPartwaySaysSoAndPrintsNothing) {
  const std::vector<std::string> told{"Problémy s tiskem: obdélník nelze nakreslit; nic nebylo vytištěno"};
  model.Add(rect(-5, -5, 0, 0, kBlue, kBlue));
  TDrawRectangle* broken = rect(0, 0, 5, 5, kBlue, kBlue);
  broken->SetName("vadný");
  model.Add(broken);
  viewer::PrintWithPrinter(&painter, &printer);
  EXPECT_EQ(ui->shownTexts(), told);
  EXPECT_FALSE(fs::exists(pdf)) << "no half-drawn page goes out";
  EXPECT_EQ(painter.GetDevice(), &screenDevice);
  EXPECT_FALSE(painter.GetPrinting());
  EXPECT_FALSE(painter.GetBusy());
  EXPECT_FALSE(TPrintDevice::JobInProgress());

  // On a desktop the set-up window closes without claiming the print ended.
  ui->clear();
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(0.5 * paperW), desktop->SetMaxY(0.5 * paperH);
  model.Remove(broken);
  desktop->Add(broken);
  model.Add(desktop);
  print([](TPrnDlg& dialog) { dialog.OKBtn->click(); });
  EXPECT_EQ(ui->shownTexts(), told);
  EXPECT_FALSE(fs::exists(pdf));
}

// The PDF writer says nothing when a write fails: a print into a file that
// cannot take it whole says so, and leaves no cut file under the name the
// user gave, nor anything beside it; a file that was there keeps what it
// held, and one the user made read-only is not printed over. A directory
// that takes no new file still takes the print into its file. On a desktop
// the set-up window closes without claiming a failed print ended.
TEST_F(Printing, APrintIntoAFileThatCannotTakeItWholeIsToldAndLeavesTheOldFile) {
  enum class Guard { Nothing, SizeLimit, ReadOnlyFile, ReadOnlyDirectory };
  struct Case {
    const char* name;
    fs::path file;
    std::optional<std::string> held;  // what the file holds before
    Guard guard;
    const char* cause;  // nullptr: printed
  };
  const Case cases[] = {
      {"a device that takes nothing", "/dev/full", std::nullopt, Guard::Nothing, "na disku není místo"},
      {"a file-size limit", pdf, "starý tisk", Guard::SizeLimit, "soubor je příliš velký"},
      {"a file made read-only", pdf, "starý tisk", Guard::ReadOnlyFile, "přístup odepřen"},
      {"a directory that takes no new file", pdf, "starý tisk", Guard::ReadOnlyDirectory, nullptr},
  };
  model.Add(rect(-5, -5, 5, 5, kBlue, kBlue));
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(0.5 * paperW), desktop->SetMaxY(0.5 * paperH);
  for (const bool onDesktop : {false, true}) {
    if (onDesktop) model.Add(desktop);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (onDesktop ? " on a desktop" : ""));
      if (c.held) test_support::WriteFile(c.file, *c.held);
      printer.setOutputFileName(QString::fromStdString(c.file.string()));
      ui->clear();
      {
        std::optional<test_support::FileSizeLimit> limit;
        std::optional<test_support::ReadOnlyTree> readOnly;
        if (c.guard == Guard::SizeLimit) limit.emplace(512);
        if (c.guard == Guard::ReadOnlyFile) readOnly.emplace(c.file);
        if (c.guard == Guard::ReadOnlyDirectory) {
          readOnly.emplace(dir);
          fs::permissions(c.file, fs::perms::owner_write, fs::perm_options::add);
        }
        if (onDesktop) print([](TPrnDlg& dialog) { dialog.OKBtn->click(); });
        else viewer::PrintWithPrinter(&painter, &printer);
      }
      EXPECT_EQ(printer.outputFileName().toStdString(), c.file.string()) << "the printer keeps the user's name";
      EXPECT_FALSE(TPrintDevice::JobInProgress());
      for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().rfind("out.pdf.", 0), std::string::npos) << entry.path();
      if (c.cause) {
        EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{"Problémy s tiskem: soubor " + c.file.string() +
                                                             " nelze zapsat: " + c.cause + "; nic nebylo vytištěno"});
        if (c.held) {
          EXPECT_EQ(test_support::ReadFile(c.file), *c.held);
        }
      } else {
        // Only the closing message of the set-up window.
        EXPECT_EQ(ui->shownTexts().size(), onDesktop ? 1u : 0u);
        EXPECT_EQ(pdfPages(), 1);
      }
      fs::remove(pdf);
    }
  }
}

namespace {

// Draws as TRectPainter does; told so, it fails or meets the user's break
// halfway through a print, with part of the page drawn.
class TFaultyPainter : public TRectPainter {
 public:
  enum class Fault { None, Fails, Breaks };
  Fault fault = Fault::None;
  int halfway = 0;  // items drawn before the fault
  void DoIt() override {
    drawn_ = 0;
    TRectPainter::DoIt();
  }
  void Process(TElement* e) override {
    if (fault != Fault::None && GetPrinting() && ++drawn_ > halfway) {
      if (fault == Fault::Fails) throw EZeltoError("obdélník nelze nakreslit");
      throw EBreakInterpret();
    }
    TRectPainter::Process(e);
  }

 private:
  int drawn_ = 0;
};

// Small blue squares strewn over the rectangle.
void strewSquares(TEntity& into, double minX, double minY, double maxX, double maxY, int count) {
  const double side = (maxX - minX) / 100;
  for (int i = 0; i < count; ++i) {
    const double x = minX + (maxX - minX - side) * ((i * 7919) % 1000) / 1000.0;
    const double y = minY + (maxY - minY - side) * ((i * 104729) % 997) / 997.0;
    into.Add(rect(x, y, x + side, y + side, kBlue, RGBColor(0, 0, 155 + i % 100)));
  }
}

}  // namespace

// Whatever made a print fail, the next print of the run starts as the first
// one did: into a healthy file it comes out whole, whichever way it goes (a
// model at once, a desktop through its set-up, the viewer's print command
// plain or as a bitmap). A file-size limit stops the PDF writer on the way,
// as a full disk does; /dev/full refuses the finished file.
TEST_F(Printing, APrintAfterOneThatFailedComesOutWhole) {
  enum class Route { Model, Desktop, Viewer, ViewerAsBitmap };
  enum class Guard { Nothing, SizeLimit, ReadOnlyFile };
  using Fault = TFaultyPainter::Fault;
  struct Case {
    const char* name;
    Route route;
    fs::path file;  // of the failed print
    Guard guard;
    Fault fault;
    std::string told;
  };
  const std::string noSpace =
      "Problémy s tiskem: soubor /dev/full nelze zapsat: na disku není místo; nic nebylo vytištěno";
  const std::string tooLarge =
      "Problémy s tiskem: soubor " + pdf.string() + " nelze zapsat: soubor je příliš velký; nic nebylo vytištěno";
  const std::string drawingFailed = "Problémy s tiskem: obdélník nelze nakreslit; nic nebylo vytištěno";
  const std::string brokenOff = "Tisk byl přerušen, nic nebylo vytištěno";
  const Case cases[] = {
      {"a writer stopped on the way", Route::Model, pdf, Guard::SizeLimit, Fault::None, tooLarge},
      {"no space for the file", Route::Model, "/dev/full", Guard::Nothing, Fault::None, noSpace},
      {"a file that cannot be staged", Route::Model, pdf, Guard::ReadOnlyFile, Fault::None,
       "Problémy s tiskem: soubor " + pdf.string() + " nelze zapsat: přístup odepřen; nic nebylo vytištěno"},
      {"a drawing that failed", Route::Model, pdf, Guard::Nothing, Fault::Fails, drawingFailed},
      {"a print broken off", Route::Model, pdf, Guard::Nothing, Fault::Breaks, brokenOff},
      {"a desktop's writer stopped on the way", Route::Desktop, pdf, Guard::SizeLimit, Fault::None, tooLarge},
      {"no space for a desktop's file", Route::Desktop, "/dev/full", Guard::Nothing, Fault::None, noSpace},
      {"a desktop whose drawing failed", Route::Desktop, pdf, Guard::Nothing, Fault::Fails, drawingFailed},
      {"a desktop broken off", Route::Desktop, pdf, Guard::Nothing, Fault::Breaks, brokenOff},
      {"the viewer's writer stopped on the way", Route::Viewer, pdf, Guard::SizeLimit, Fault::None, tooLarge},
      {"no space for the viewer's file", Route::Viewer, "/dev/full", Guard::Nothing, Fault::None, noSpace},
      {"the viewer's drawing failed", Route::Viewer, pdf, Guard::Nothing, Fault::Fails, drawingFailed},
      {"a bitmap's writer stopped on the way", Route::ViewerAsBitmap, pdf, Guard::SizeLimit, Fault::None,
       tooLarge},
  };
  const bool viewerPrintsToFiles = QPrinterInfo::defaultPrinter().isNull();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool viaViewer = c.route == Route::Viewer || c.route == Route::ViewerAsBitmap;
    if (viaViewer && !viewerPrintsToFiles) continue;  // a real printer is set up here
    // What is drawn: a page whose PDF is larger than the writer buffers, so
    // that a write that fails fails on the way.
    TEntity drawn;
    TDesktop* desktop = nullptr;
    if (c.route == Route::Model || c.route == Route::Viewer) {
      strewSquares(drawn, -5, -5, 5, 5, 3000);
    } else {
      desktop = new TDesktop;
      desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(0.9 * paperW), desktop->SetMaxY(0.9 * paperH);
      desktop->PenColor = kBlue;
      desktop->PenWidth = 0.003;
      strewSquares(*desktop, 0.01, 0.01, 0.5 * paperW, 0.5 * paperH, 3000);
      drawn.Add(desktop);
    }
    // The user's printer of the run, into a PDF file.
    QPrinter user(QPrinter::HighResolution);
    user.setOutputFormat(QPrinter::PdfFormat);
    TFaultyPainter local;
    local.SetDevice(&screenDevice);
    local.SetInput(&drawn);
    TFaultyPainter* faulty = &local;
    std::optional<TFormToolManager> manager;
    if (c.route == Route::Viewer) {
      faulty = new TFaultyPainter;
      manager.emplace().SetInterpret(faulty);
      manager->SetInput(&drawn);
    } else if (c.route == Route::ViewerAsBitmap) {
      drawWithMapRenderers(manager.emplace(), desktop);
      manager->GetForm()->TileAction()->setChecked(true);
    }
    faulty->halfway = 1500;
    const auto printInto = [&](const fs::path& file) {
      if (viaViewer) {
        printFromViewer(*manager, c.route == Route::ViewerAsBitmap ? confirm : nullptr, file);
        return;
      }
      user.setOutputFileName(QString::fromStdString(file.string()));
      if (c.route == Route::Desktop) print(confirm, faulty, &user);
      else viewer::PrintWithPrinter(faulty, &user);
    };

    ui->clear();
    if (c.guard != Guard::Nothing) test_support::WriteFile(pdf, "starý tisk");
    {
      std::optional<test_support::FileSizeLimit> limit;
      std::optional<test_support::ReadOnlyTree> readOnly;
      if (c.guard == Guard::SizeLimit) limit.emplace(512);
      if (c.guard == Guard::ReadOnlyFile) readOnly.emplace(pdf);
      faulty->fault = c.fault;
      printInto(c.file);
      faulty->fault = Fault::None;
    }
    EXPECT_EQ(ui->shownTexts(), std::vector<std::string>{c.told});
    EXPECT_FALSE(TPrintDevice::JobInProgress());
    if (auto* universal = manager ? dynamic_cast<TUniversalInterpret*>(manager->GetInterpret()) : nullptr) {
      EXPECT_EQ(universal->GetTileDevice()->GetTarget(), nullptr) << "the freed printer is not kept";
      EXPECT_EQ(universal->GetTileDevice()->GetBitmap(), nullptr);
    }

    ui->clear();
    fs::remove(pdf);
    printInto(pdf);
    // A print through the set-up window ends with its closing message.
    const bool setUp = c.route == Route::Desktop || c.route == Route::ViewerAsBitmap;
    EXPECT_EQ(ui->shownTexts().size(), setUp ? 1u : 0u) << testing::PrintToString(ui->shownTexts());
    if (setUp && !ui->shownTexts().empty()) {
      EXPECT_NE(ui->shownTexts().front().find("Ukončen tisk na"), std::string::npos);
    }
    EXPECT_EQ(pdfPages(), 1);
    EXPECT_GT(colours(1).first, 100);
    if (!viaViewer) {
      EXPECT_EQ(user.outputFileName().toStdString(), pdf.string()) << "the printer keeps the user's name";
    }
    for (const auto& entry : fs::directory_iterator(dir))
      EXPECT_EQ(entry.path().filename().string().rfind("out.pdf.", 0), std::string::npos) << entry.path();
    fs::remove(pdf);
    local.SetDevice(nullptr);
  }
}

// While it prints, the viewer is asked to draw again (the window was moved
// or resized); the painter looks for a break as the map's renderers do.
class TInterruptedPainter : public TRectPainter {
 public:
  TElement* viewer = nullptr;
  void Process(TElement* e) override {
    if (GetPrinting() && viewer) {
      viewer->PostMessage(zelto::msg::ReviewRequest, viewer);
      zelto::ProcessPendingMessages();
      if (GetBreakWork()) throw EBreakInterpret();
    }
    TRectPainter::Process(e);
  }
};

TEST_F(Printing, AViewerAskedToDrawAgainFinishesItsPrintFirst) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a real printer is set up here";
  model.Add(rect(-5, -5, 5, 5, kBlue, kBlue));
  TFormToolManager manager;
  auto* interrupted = new TInterruptedPainter;
  interrupted->viewer = &manager;
  manager.SetInterpret(interrupted);
  manager.SetInput(&model);
  printFromViewer(manager, nullptr);
  EXPECT_TRUE(ui->shownTexts().empty()) << ui->shownTexts().front();
  ASSERT_EQ(pdfPages(), 1);
  EXPECT_GT(colours(1).first, 100) << "the whole map is printed";
}

TEST_F(Printing, AModelPrintsOnePageAsOnScreenAndOneJobAtATime) {
  model.Add(rect(-5, -5, 5, 5, kBlue, kBlue));
  {
    // Another job of this program is still open.
    QPrinter other(QPrinter::HighResolution);
    other.setOutputFormat(QPrinter::PdfFormat);
    other.setOutputFileName(QString::fromStdString((dir / "other.pdf").string()));
    TPrintDevice running(&other);
    viewer::PrintWithPrinter(&painter, &printer);
    EXPECT_EQ(ui->shownTexts(), (std::vector<std::string>{"Dosud se tiskne"}));
    EXPECT_FALSE(fs::exists(pdf));
  }
  viewer::PrintWithPrinter(&painter, &printer);
  EXPECT_EQ(findDialog(), nullptr) << "no set-up without a desktop";
  EXPECT_EQ(pdfPages(), 1);
  EXPECT_GT(colours(1).first, 100) << "the model at the screen's centre and scale";
  EXPECT_EQ(painter.GetDevice(), &screenDevice);
  EXPECT_FALSE(painter.GetPrinting());
}

TEST_F(Printing, TheViewersPrintCommandOpensTheSetUpWithItsPageGridAndPrintsToAFile) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a real printer is set up here";
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(1.5 * paperW), desktop->SetMaxY(1.5 * paperH);
  model.Add(desktop);
  TFormToolManager manager;
  manager.SetInput(desktop);
  int red = 0, black = 0;
  QElapsedTimer clock;
  clock.start();
  printFromViewer(manager, [&](TPrnDlg& dialog) {
    // The preview is drawn once the window is up: grey paper around the pages.
    const QImage& preview = dialog.Tool()->GetBitmap()->Image();
    if (preview.pixelColor(0, 0) != QColor(128, 128, 128)) return false;
    int r = 0, b = 0;
    for (int y = 0; y < preview.height(); ++y)
      for (int x = 0; x < preview.width(); ++x) {
        const QColor c = preview.pixelColor(x, y);
        r += c == QColor(255, 0, 0);
        b += c == QColor(0, 0, 0);
      }
    // The paper may be shown before the pages are drawn on it.
    if (r + b == 0 && clock.elapsed() < 10000) return false;
    red = r, black = b;
    dialog.OKBtn->click();
    return true;
  });
  // The desktop renderers draw the preview model.
  if (FindZeltoClass("TDesktopInterpret")) {
    EXPECT_GT(red, 200) << "the desktop's outline";
    EXPECT_GT(black, 500) << "the page grid";
  }
  EXPECT_EQ(pdfPages(), 4);
}

TEST_F(Printing, ThePageSetUpChosenInTheViewerHoldsForItsPrints) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a real printer is set up here";
  // The session outlives the test: its printer is given back upright.
  struct Upright {
    ~Upright() { viewer::SessionPrinter().setPageOrientation(QPageLayout::Portrait); }
  } upright;
  model.Add(rect(-5, -5, 5, 5, kBlue, kBlue));
  TFormToolManager manager;
  manager.SetInput(&model);
  // "Tisk" → "Nastavení": the user turns the paper and confirms.
  bool turned = false;
  QTimer::singleShot(0, [&] {
    QElapsedTimer clock;
    clock.start();
    QPageSetupDialog* setUp = nullptr;
    while (!setUp && clock.elapsed() < 10000) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      setUp = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
    }
    if (!setUp) return;
    if (auto* landscape = setUp->findChild<QRadioButton*>("landscape")) {
      landscape->click();
      turned = true;
    }
    setUp->accept();
  });
  viewer::ShowPrinterSetup(manager.GetForm());
  ASSERT_TRUE(turned);
  printFromViewer(manager, nullptr);
  const std::string info = run("pdfinfo " + test_support::Quoted(pdf.string()));
  double width = 0, height = 0;
  const auto at = info.find("Page size:");
  ASSERT_NE(at, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height), 2) << info;
  EXPECT_GT(width, height) << "the print comes out landscape: " << info;
  EXPECT_NE(info.find("A4"), std::string::npos) << info;
}

TEST_F(Printing, TheThinnestLineIsAsWideInABitmapPrintAsInAPlainOneAndSeenOnPaper) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a real printer is set up here";
  // The desktop's outline is drawn with the thinnest pen: one pixel.
  TFormToolManager manager;
  drawWithMapRenderers(manager, blueOutlinedDesktop(0));
  std::vector<int> widths[2];
  for (const bool bitmap : {false, true}) {
    fs::remove(pdf);
    manager.GetForm()->TileAction()->setChecked(bitmap);
    printFromViewer(manager, confirm);
    ASSERT_EQ(pdfPages(), 1);
    widths[bitmap] = blueRunsAcrossTheMiddle();
  }
  // The left and the right side of the outline, 0.1 mm wide at least (one
  // printer pixel, 0.02 mm, is lost on paper), the same in both prints.
  const int tenthOfMillimetre = static_cast<int>(printer.resolution() / 254.0);
  for (const auto& runs : widths) {
    ASSERT_EQ(runs.size(), 2u);
    for (int run : runs) EXPECT_GE(run, tenthOfMillimetre);
  }
  for (int side = 0; side < 2; ++side) EXPECT_NEAR(widths[1][side], widths[0][side], 1) << side;
}

TEST_F(Printing, APrintAsABitmapKeepsTheTextsOfTheDesktop) {
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a real printer is set up here";
  TDesktop* desktop = blueOutlinedDesktop(0.003);
  // Black letters 15 mm high: the only black on the page.
  auto* block = new TTextBlock;
  block->SetMinX(0.03), block->SetMinY(0.9 * paperH - 0.08), block->SetMaxX(0.15), block->SetMaxY(0.9 * paperH - 0.03);
  block->TextHeight = 0.015;
  block->LineHeight = 0.02;
  block->GetLines()->Items = {"MMMM 12", "Porost"};
  desktop->Add(block);
  TFormToolManager manager;
  drawWithMapRenderers(manager, desktop);
  manager.GetForm()->TileAction()->setChecked(true);
  printFromViewer(manager, confirm);
  ASSERT_EQ(pdfPages(), 1);
  auto [blue, black] = colours(1);
  EXPECT_GT(blue, 100) << "the desktop's outline";
  EXPECT_GT(black, 100) << "the text block's letters";
  if (auto* universal = dynamic_cast<TUniversalInterpret*>(manager.GetInterpret())) {
    EXPECT_FALSE(universal->Tile);
  }
}

namespace {

// Looks for a break after every item as the map's renderers do (or not);
// while it prints page 2 the user presses "Storno" in the set-up window.
class TClosingPainter : public TRectPainter {
 public:
  bool looksForBreak = true;
  int page = 0;
  void DoIt() override {
    page += GetPrinting();
    TRectPainter::DoIt();
  }
  void Process(TElement* e) override {
    TRectPainter::Process(e);
    if (page != 2) return;
    if (TPrnDlg* dialog = Printing::findDialog()) dialog->CancelBtn->click();
    if (looksForBreak && GetBreakWork()) throw EBreakInterpret();
  }
};

}  // namespace

TEST_F(Printing, ClosingTheSetUpWhilePagesPrintBreaksThePrintOffAndSendsOutNothing) {
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(1.5 * paperW), desktop->SetMaxY(1.5 * paperH);
  desktop->Add(rect(0.02, 0.02, 1.4 * paperW, 1.4 * paperH, kBlue, kBlue));
  model.Add(desktop);
  TClosingPainter closing;
  closing.SetDevice(&screenDevice);
  closing.SetInput(&model);
  // Broken off inside the page, or once it is drawn by a renderer that
  // does not look for a break.
  for (const bool looksForBreak : {true, false}) {
    SCOPED_TRACE(looksForBreak);
    ui->clear();
    closing.page = 0;
    closing.looksForBreak = looksForBreak;
    print([](TPrnDlg& dialog) { dialog.OKBtn->click(); }, &closing);
    EXPECT_EQ(closing.page, 2);
    EXPECT_EQ(ui->shownTexts(), (std::vector<std::string>{"Tisk byl přerušen, nic nebylo vytištěno"}));
    EXPECT_FALSE(fs::exists(pdf)) << "the page drawn before the close does not go out";
    EXPECT_FALSE(closing.GetBreakWork()) << "the screen's next drawing is not broken off";
  }
  closing.SetDevice(nullptr);
}

// A scale or an overlap that does not read is told once, when the field is
// left or Return pressed in it, and the field shows the value in use again;
// "Tisk" prints with what the fields show, taken or not.
TEST_F(Printing, AWrongNumberIsToldOnceAndTheFieldsShowWhatPrints) {
  auto* desktop = new TDesktop;
  desktop->SetMinX(0), desktop->SetMinY(0), desktop->SetMaxX(1.5 * paperW), desktop->SetMaxY(1.5 * paperH);
  model.Add(desktop);
  std::vector<std::string> told;
  print([&](TPrnDlg& dialog) {
    dialog.ed_Overlap->setText("1,5");
    emit dialog.ed_Overlap->editingFinished();
    emit dialog.ed_Overlap->editingFinished();
    EXPECT_EQ(dialog.ed_Overlap->text(), "0");
    // Return on a wrong value does not print.
    QTest::keyClicks(dialog.ed_Scale, "x");
    QTest::keyClick(dialog.ed_Scale, Qt::Key_Return);
    EXPECT_EQ(dialog.ed_Scale->text(), "1");
    // Nor does an overlap the paper cannot take, typed and not left.
    dialog.ed_Overlap->setText("400");
    dialog.OKBtn->click();
    EXPECT_EQ(dialog.ed_Overlap->text(), "0");
    EXPECT_TRUE(dialog.isVisible());
    told = ui->shownTexts();
    // A scale typed and not left prints: the desktop shrinks onto one page.
    dialog.ed_Scale->setText("2");
    dialog.OKBtn->click();
  });
  EXPECT_EQ(told, (std::vector<std::string>{"'1,5' není platné celé číslo", "'1x' není platné reálné číslo",
                                            "Přesah 400 mm je na papír tiskárny příliš velký"}));
  EXPECT_EQ(pdfPages(), 1);

  // Fitting shows its factor rounded ("1.45" for 1.4549): "Tisk" keeps the
  // factor fitted, which the field's text would spill onto a second page.
  fs::remove(pdf);
  print([&](TPrnDlg& dialog) {
    const TPrintDevice* device = dialog.Tool()->GetPrinterDevice();
    desktop->SetMaxX(1.4549 * device->GetPaperWidth()), desktop->SetMaxY(0.5 * device->GetPaperHeight());
    dialog.b_FitToPage->click();
    zelto::ProcessPendingMessages();
    dialog.OKBtn->click();
  });
  EXPECT_EQ(pdfPages(), 1);
}
