// The stored text form of the applet parameter list.
#include <gtest/gtest.h>

#include "settings/applet_param.h"

namespace {

AppletParamList Parse(const std::string& text) {
  AppletParamList list;
  ParseParamText(text.data(), text.size(), list);
  return list;
}

TEST(AppletParamText, ListsSurviveBuildAndParse) {
  AppletParamList list = {{"width", "100"}, {"color", "red"}, {"", ""}, {"色", "赤い"}};
  std::string text = BuildParamText(list);
  EXPECT_EQ(text.substr(0, 21), "\"width\"100\"color\"red\"");
  AppletParamList back = Parse(text);
  ASSERT_EQ(back.size(), list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(back[i].name, list[i].name);
    EXPECT_EQ(back[i].value, list[i].value);
  }
}

TEST(AppletParamText, EmptyListBuildsALoneQuoteAndEmptyTextsParseToNothing) {
  EXPECT_EQ(BuildParamText({}), "\"");
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse("\"").empty());
  EXPECT_TRUE(Parse("NO DATA").empty());
  AppletParamList one = Parse("\"\"\"");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].name, "");
}

TEST(AppletParamText, TheFirstByteIsSkippedAndAnOddTokenIsDropped) {
  AppletParamList list = Parse("x\"a\"b\"");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, "");
  EXPECT_EQ(list[0].value, "a");
  EXPECT_TRUE(Parse("\"name\"value\"tail").size() == 1);
}

TEST(AppletParamText, ParsingAppendsToWhatTheListHolds) {
  AppletParamList list = {{"k", "v"}};
  std::string text = "\"k\"w\"";
  ParseParamText(text.data(), text.size(), list);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].value, "w");
}

TEST(AppletParamText, ItemLineQuotesNameAndValue) {
  EXPECT_EQ(ParamItemText({"width", "100"}), "NAME\"width\" VALUE=\"100\"");
}

}  // namespace
