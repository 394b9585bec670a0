#include "geometry/page_projection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Fixture {
  T_Page page;
  TPageProjection projection;
  Fixture() {
    page.SetPageRect({0, 0, 2000, 1000});
    page.SetResolution(10000, 10000);
    projection.Setup({1000, 500}, &page, 5000);
  }
};
}  // namespace

TEST(PageProjection, ExampleNumbers) {
  Fixture f;
  auto& p = f.projection;
  EXPECT_EQ(p.GetUnitsPerPixel(), 0.5);
  EXPECT_EQ(p.GetOriginX(), 500);
  EXPECT_EQ(p.GetOriginY(), 750);
  EXPECT_EQ(p.WorldToDeviceX(1000), 1000);
  EXPECT_EQ(p.WorldToDeviceY(500), 500);
  EXPECT_EQ(p.DeviceToWorldY(0), 750);
  EXPECT_EQ(p.WorldToDeviceX(500.25), 0);  // half a pixel: ties to even
  EXPECT_EQ(p.WorldToDeviceX(500.75), 2);
  EXPECT_EQ(p.WorldToDeviceDY(-0.25), 0);
  geometry::WorldRect world;
  p.GetWorldRect(world);
  EXPECT_EQ(world.MinX, 500);
  EXPECT_EQ(world.MinY, 250);
  EXPECT_EQ(world.MaxX, 1500);
  EXPECT_EQ(world.MaxY, 750);
  geometry::WorldRect inner;
  p.GetInnerWorldRect(inner);
  EXPECT_EQ(inner.MaxY, world.MaxY);

  f.page.SetPageRect({0, 0, 2000, 2000});
  p.FitWorldRect({0, 0, 1000, 500});  // 0.2 x 0.2 m of paper
  EXPECT_EQ(p.GetScale(), 5000);
  EXPECT_EQ(p.GetCenterX(), 500);
  EXPECT_EQ(p.GetCenterY(), 250);
  f.page.SetPageRect({0, 0, 0, 0});
  p.FitWorldRect({0, 0, 10, 10});
  EXPECT_EQ(p.GetScale(), 5000);  // unchanged
}

TEST(PageProjection, FarPointsSaturateInsteadOfJumpingToZero) {
  Fixture f;
  auto& p = f.projection;
  EXPECT_EQ(p.WorldToDeviceX(1e6), 1999000);  // no longer bent at 32000
  TDevicePoint pt;
  p.WorldToDevicePoint(pt, 1e15, -1e15);
  EXPECT_EQ(pt.X, 1'000'000'000);
  EXPECT_EQ(pt.Y, 1'000'000'000);
  EXPECT_EQ(p.WorldToDeviceDX(-1e20), -1'000'000'000);
  TPageProjection empty;
  EXPECT_EQ(empty.WorldToDeviceX(5), 0);
}

TEST(Projection, VirtualScaleIsOkAndAngle) {
  Fixture f;
  auto& p = f.projection;
  EXPECT_EQ(p.GetVirtualScale(), 5000);
  p.SetVirtualScale(2000);
  EXPECT_EQ(p.GetVirtualScale(), 2000);
  EXPECT_TRUE(p.GetIsOK());
  p.SetScale(1e30);
  EXPECT_FALSE(p.GetIsOK());
  p.SetScale(0);
  EXPECT_FALSE(p.GetIsOK());
  p.SetCenter({0, 0});
  p.SetScale(5000);
  EXPECT_FALSE(p.GetIsOK());
  p.SetCenter({0, 1});
  EXPECT_TRUE(p.GetIsOK());
  p.SetAngle(0.3);
  EXPECT_EQ(p.GetRotateCenterY(), 1);
  p.SetCenter({7, 7});
  p.SetAngle(0.4);
  EXPECT_EQ(p.GetRotateCenterX(), 0);
}

TEST(PageBlocks, GoldenBytes) {
  geometry::PageBlock page;
  page.FirstWord = 0x11223344;
  page.PaperColor = 0x00FFFFFF;
  page.HRes = 1.0;
  page.VRes = -2.0;
  page.PageRect = {0, 0, 2000, -1};
  page.InnerRect = {1, 2, 3, 4};
  const std::vector<std::uint8_t> expected{
      0x44, 0x33, 0x22, 0x11, 0xFF, 0xFF, 0xFF, 0x00,                    // word, colour
      0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0x00, 0xC0,        // HRes, VRes
      0, 0, 0, 0, 0, 0, 0, 0, 0xD0, 0x07, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,  // PageRect
      1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};                   // InnerRect
  const auto bytes = geometry::encodePageBlock(page);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);
  const auto back = geometry::decodePageBlock(bytes.data());
  EXPECT_EQ(back.FirstWord, page.FirstWord);
  EXPECT_EQ(back.PageRect, page.PageRect);
  EXPECT_EQ(back.VRes, -2.0);

  Fixture f;
  const auto proj = geometry::encodeProjectionBlock(f.projection.Block());
  ASSERT_EQ(proj.size(), 64u);
  // Center_X 1000.0 = 0x408F400000000000; OriginX 500.0 = 0x407F400000000000.
  EXPECT_EQ(std::vector<std::uint8_t>(proj.begin(), proj.begin() + 8),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0x40, 0x8F, 0x40}));
  EXPECT_EQ(std::vector<std::uint8_t>(proj.begin() + 56, proj.end()),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0x40, 0x7F, 0x40}));
  TPageProjection read;
  read.SetBlock(geometry::decodeProjectionBlock(proj.data()));
  EXPECT_EQ(read.GetOriginX(), 500);
  EXPECT_EQ(read.GetScale(), 5000);
}

#include "framework/entity.h"
#include "framework/value_stream.h"

TEST(PageProjection, StreamDataCarriesTheBlocksAndThePageIndex) {
  Fixture f;
  f.page.SetPaperColor(0xFFFFFF);
  zelto::ValueWriter pageOut;
  f.page.WriteData(pageOut);
  const auto& pageBytes = pageOut.Bytes();
  ASSERT_GE(pageBytes.size(), 56u);
  const auto block = geometry::encodePageBlock(f.page.Block());
  EXPECT_TRUE(std::equal(block.begin(), block.end(), pageBytes.end() - 56));

  f.page.ID = 0;  // its position among the loaded elements
  zelto::ValueWriter projOut;
  f.projection.WriteData(projOut);
  const auto& bytes = projOut.Bytes();
  ASSERT_GE(bytes.size(), 68u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()),
            (std::vector<std::uint8_t>{0, 0, 0, 0}));

  TQuickEntity loaded;  // frees what it lists
  T_Page* page = new T_Page;
  loaded.Add(page);
  zelto::ValueReader pageIn(pageBytes);
  EXPECT_EQ(pageIn.ReadString(), "T_Page");  // the loader reads the class name
  page->ReadData(pageIn, loaded);
  EXPECT_EQ(page->GetPageRect(), f.page.GetPageRect());
  EXPECT_EQ(page->GetPaperColor(), 0xFFFFFF);
  TPageProjection read;
  zelto::ValueReader projIn(bytes);
  projIn.ReadString();
  read.ReadData(projIn, loaded);
  EXPECT_EQ(read.GetPage(), page);
  EXPECT_EQ(read.GetOriginY(), 750);  // recomputed from the page
  EXPECT_EQ(read.WorldToDeviceX(1000), 1000);
}

TEST(PageProjection, AssignCopiesTheTransformNotThePage) {
  Fixture f;
  T_Page other;
  other.Assign(&f.page);
  EXPECT_EQ(other.GetPageRect(), f.page.GetPageRect());
  TPageProjection copy;
  copy.Assign(&f.projection);
  EXPECT_EQ(copy.GetPage(), nullptr);
  EXPECT_EQ(copy.GetScale(), 5000);
  EXPECT_EQ(copy.GetOriginY(), 750);
  EXPECT_EQ(copy.WorldToDeviceY(500), 500);
  copy.Assign(&other);  // not a projection: ignored
  EXPECT_EQ(copy.GetScale(), 5000);
}
