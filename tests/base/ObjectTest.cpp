#include <gtest/gtest.h>

#include "base/Object.h"

namespace {
class TAnimal : public TObject {};
class TkxSkinDog : public TAnimal {};
}  // namespace

TEST(Object, ClassNameAndInheritance) {
  TkxSkinDog dog;
  EXPECT_EQ(dog.ClassName(), "TkxSkinDog");
  EXPECT_TRUE(dog.InheritsFromName("TAnimal"));
  EXPECT_TRUE(dog.InheritsFromName("tobject"));
  EXPECT_FALSE(dog.InheritsFromName("TCat"));
  TObject* p = new TkxSkinDog;
  EXPECT_EQ(p->ClassName(), "TkxSkinDog");
  FreeAndNil(p);
  EXPECT_EQ(p, nullptr);
}
