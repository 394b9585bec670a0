#include "render/qt/print_device.h"

#include <gtest/gtest.h>

#include <QApplication>
#include "qt_app.h"
#include <filesystem>
#include <fstream>
#include <memory>

#include "geometry/area_element.h"
#include "temp_dir.h"


TEST(PrintDevice, OneDeviceIsOneDocument) {
  test_support::QtApp();
  const test_support::TempDir dir("print");
  const auto pdf = dir / "zelto_print_test.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  {
    TPrintDevice device(&printer);
    EXPECT_EQ(device.GetName(), "PRINTER");
    EXPECT_EQ(printer.docName().toStdString(), "ZELTO VEZODA");
    const T_Page* page = device.GetPage();
    EXPECT_GT(page->GetWidth(), 1000);
    EXPECT_NEAR(page->GetHRes(), printer.logicalDpiX() * 1000 / 25.4, 1e-6);
    device.GetProjection()->ShowWorldRect({0, 0, 100, 100}, device.GetPage());

    // A pixel move is where the next world line starts from.
    const auto* pr = device.GetProjection();
    device.MoveToPixel(pr->WorldToDeviceX(50), pr->WorldToDeviceY(50));
    EXPECT_EQ(device.LastX, pr->WorldToDeviceX(50));
    device.BeginDraw();
    auto area = std::make_unique<TAreaElement>();
    for (auto [x, y] : {std::pair{10.0, 10.0}, {10.0, 90.0}, {90.0, 90.0}})
      area->AddVertex(x, y);
    device.DrawArea(area.get());
    EXPECT_TRUE(device.NewPage());
  }
  std::ifstream in(pdf, std::ios::binary);
  std::string head(4, '\0');
  in.read(head.data(), 4);
  EXPECT_EQ(head, "%PDF");
}

TEST(PrintDevice, AJobDroppedBeforeItsDocumentStartsLeavesNothing) {
  test_support::QtApp();
  const test_support::TempDir dir("dropped");
  const auto pdf = dir / "dropped.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  {
    TPrintDevice device(&printer, false);
    EXPECT_TRUE(TPrintDevice::JobInProgress()) << "a job is open from the device's creation";
    EXPECT_EQ(device.GetPage()->GetWidth(), printer.width()) << "the paper is known before the start";
    EXPECT_NEAR(device.GetPaperWidth(), printer.pageRect(QPrinter::Millimeter).width() / 1000, 1e-4);
    device.Abort();
  }
  EXPECT_FALSE(TPrintDevice::JobInProgress());
  EXPECT_FALSE(std::filesystem::exists(pdf));
}
