#include "render/text_file_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/path_resolver.h"
#include "temp_dir.h"

namespace {
std::string contents(const std::filesystem::path& path) {
  std::ifstream in(platform::pathResolver().existing(path.string()), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

TEST(TextFileDevice, WritesLinesAndAppendsOnEachDrawingPass) {
  const test_support::TempDir dir("text");
  const auto path = dir / "zelto_text_device.txt";
  {
    TTextFileDevice device;
    EXPECT_EQ(device.GetProjection(), nullptr);
    device.Write("ignored");  // no file yet
    device.SetPropertyText("FileName", path.string());
    EXPECT_FALSE(device.GetFileName().empty());
    device.Write("Plocha ");
    device.WriteLine("č. 1");
    device.EndDraw();
    EXPECT_EQ(device.GetFileName(), "");
    device.WriteLine("lost");  // closed: ignored
    device.BeginDraw();
    device.WriteLine("dál");
  }
  EXPECT_EQ(contents(path), "Plocha \xE8. 1\r\nd\xE1l\r\n");
  std::filesystem::remove(platform::pathResolver().existing(path.string()));
}

TEST(TextFileDevice, AFileThatCannotBeCreatedIsAnError) {
  TTextFileDevice device;
  EXPECT_THROW(device.SetFileName("/nonexistent-dir/x/y.txt"), EZeltoError);
  EXPECT_THROW(TDevice().Write("x"), EAbstractError);
}
