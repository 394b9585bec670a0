#include <gtest/gtest.h>

#include <filesystem>

#include "render/graphic_file_element.h"
#include "render/text_block.h"
#include "files.h"
#include "temp_dir.h"

TEST(GraphicFileElement, PathReplacesTheDirectoryAndKeepsTheName) {
  TBMPFileElement picture;
  picture.SetFileName("D:\\OLD\\A.BMP");
  EXPECT_EQ(picture.GetPath(), "D:\\OLD\\");
  picture.SetPath("C:\\MAPY");
  EXPECT_EQ(picture.GetFileName(), "C:\\MAPY\\A.BMP");
  picture.SetPath("C:\\MAPY\\");
  EXPECT_EQ(picture.GetFileName(), "C:\\MAPY\\A.BMP");
  picture.SetPath("");
  EXPECT_EQ(picture.GetFileName(), "\\A.BMP");
  picture.SetFileName("B.GIF");
  EXPECT_EQ(picture.GetPath(), "");
}

TEST(TextBlock, ListIsCreatedOnReadAndMergedColumnWise) {
  TTextBlock block;
  EXPECT_EQ(block.GetLinesCount(), 0);
  TTextLines none;
  block.SetLinesPlus(&none);  // no list yet: nothing happens
  EXPECT_EQ(block.GetLinesCount(), 0);

  block.GetLines()->Items = {"a", "b"};
  block.SetDelimiter(";");
  TTextLines other{{"1", "2"}};
  block.SetLinesPlus(&other);
  EXPECT_EQ(block.GetLines()->Items, (std::vector<std::string>{"a;1", "b;2"}));
  TTextLines three{{"x", "y", "z"}};
  block.SetLinesPlus(&three);
  EXPECT_EQ(block.GetLines()->Items, (std::vector<std::string>{"a;1", "b;2"}));

  block.SetSorted(true);
  auto* taken = new TTextLines{{"pear", "Apple", "fig"}};
  block.SetLines(taken);
  EXPECT_EQ(taken->Items, (std::vector<std::string>{"Apple", "fig", "pear"}));
  // Joining a sorted list keeps it sorted instead of refusing.
  block.SetDelimiter(" ");
  TTextLines prefix{{"3", "2", "1"}};
  block.SetLinesPlus(&prefix);
  EXPECT_EQ(taken->Items, (std::vector<std::string>{"Apple 3", "fig 2", "pear 1"}));
  taken->Sorted = false;
  EXPECT_FALSE(block.GetSorted());
}

TEST(TextBlock, FileNameLoadsExistingFilesOnly) {
  const auto path = test_support::ProcessDirectory() / "text_block.txt";
  test_support::WriteFile(path, "Smrk\r\nBuk\n\nDub");
  TTextBlock block;
  block.GetLines()->Items = {"old"};
  block.SetFileName((path.string() + ".missing"));
  EXPECT_EQ(block.GetLines()->Items, (std::vector<std::string>{"old"}));
  block.SetFileName(path.string());
  std::filesystem::remove(path);
  EXPECT_EQ(block.GetLines()->Items, (std::vector<std::string>{"Smrk", "Buk", "", "Dub"}));
  EXPECT_EQ(block.GetFileName(), path.string());
}
