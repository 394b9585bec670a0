#include "gisblock/import_source.h"

#include <gtest/gtest.h>

#include "framework/class_registry.h"
#include "gisblock/gelix_classes.h"

namespace {

TEST(ImportSource, NamesBecomeNodesOfTheirKindListInOrder) {
  RegisterGelixClasses();
  std::unique_ptr<TElement> made(CreateElementByClassName("GeliXImportSource"));
  ASSERT_TRUE(made && made->Is<TGeliXImportSource>());
  auto* source = static_cast<TGeliXImportSource*>(made.get());
  source->SetPropertyText("NewBlock", "C:\\LHC\\DET.BLK");
  source->SetPropertyText("NewBlock", "C:\\LHC\\DET.BLK");
  source->SetPropertyText("NewRaster", "");
  EXPECT_EQ(source->PropertyText("NewBlock"), "");
  ASSERT_EQ(source->GetBlocks()->GetCount(), 2);
  EXPECT_EQ(source->GetBlocks()->GetItem(1)->PropertyText("SourceName"), "C:\\LHC\\DET.BLK");
  EXPECT_EQ(source->GetCount(), 2);  // blocks and the raster list made on first use
  EXPECT_EQ(source->GetRasters()->GetCount(), 0);
  EXPECT_EQ(source->GetCount(), 2);
}

}  // namespace
