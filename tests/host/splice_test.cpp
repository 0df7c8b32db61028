#include "host/splice.h"

#include <gtest/gtest.h>

namespace {

struct TagCase {
  const char* label;
  const char* fragment;
  const char* expected;
};

class FragmentTagging : public testing::TestWithParam<TagCase> {};

TEST_P(FragmentTagging, AddsLibraryAndIdeToEveryContainer) {
  EXPECT_EQ(TagFragment(GetParam().fragment, 2, 500), GetParam().expected) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FragmentTagging,
    testing::Values(TagCase{"one", "<container name='A'/>",
                            "<container library='2' ide='500' name='A'/>\n"},
                    TagCase{"any case, each", "<CONTAINER name='A'><Container x='1'/></CONTAINER>",
                            "<container library='2' ide='500' name='A'><container library='2' "
                            "ide='500' x='1'/></CONTAINER>\n"},
                    TagCase{"needs the blank", "<container>\n<containers a='1'/>",
                            "<container>\n<containers a='1'/>\n"},
                    TagCase{"empty fragment", "", "\n"}));

TEST(FragmentTagging, NegativeHandleInDecimal) {
  EXPECT_EQ(TagFragment("<container a='1'/>", 1, -5), "<container library='1' ide='-5' a='1'/>\n");
}

TEST(Splice, InsertsBeforeEveryClosingMultiboxInLoadOrder) {
  std::string description = "<multibox>\n</multibox>";
  description = SpliceFragment(description, TagFragment("<a/>", 1, 7));
  description = SpliceFragment(description, TagFragment("<b/>", 2, 7));
  EXPECT_EQ(description, "<multibox>\n<a/>\n\n<b/>\n\n</multibox>");
}

TEST(Splice, FragmentCarryingItsOwnClosingTagIsFollowedEverywhere) {
  std::string description = SpliceFragment("<multibox></multibox>", "<x></multibox>\n");
  EXPECT_EQ(description, "<multibox><x></multibox>\n\n</multibox>");
  description = SpliceFragment(description, "<y/>\n");
  EXPECT_EQ(description, "<multibox><x><y/>\n\n</multibox>\n\n<y/>\n\n</multibox>");
}

TEST(Splice, ClosingTagMatchesOnlyInExactCase) {
  EXPECT_EQ(SpliceFragment("</MultiBox>", "<y/>\n"), "</MultiBox>");
}

}  // namespace
