/*
** Growable wide string: the capacity rules of allocation and appending.
*/
#include <gtest/gtest.h>
#include <string>

#include "ExString.h"
#include "MsgDisp.h"
#include "Result.h"
#include "MsgRecord.h"

TEST(ExString, NewAllocMinimum)
{
  static const struct { const char *id; int len; int size; } cases[] = {
    {"new-zero", 0, 100}, {"new-negative", -5, 100}, {"new-one", 1, 1},
    {"new-large", 20000, 20000},
  };
  for (const auto &c : cases) {
    CHAR_LEN s;
    ASSERT_EQ(CharLenNewAlloc(&s, c.len), RC_OK) << c.id;
    EXPECT_EQ(s.size, c.size) << c.id;
    EXPECT_STREQ(s.str, L"") << c.id;
    CharLenFree(&s);
  }
}

/* Growth counts from the old capacity, by the appended length plus 500. */
TEST(ExString, CatGrowth)
{
  static const struct {
    const char *id; int cap; int have; int add; int size;
  } cases[] = {
    {"cat-full-grows", 100, 100, 3, 100 + 3 + 500},
    {"cat-exact-fit", 100, 97, 3, 100},
    {"cat-empty-append", 100, 100, 0, 100},
    {"cat-from-cap-not-len", 1000, 999, 2, 1000 + 2 + 500},
  };
  for (const auto &c : cases) {
    CHAR_LEN s;
    MsgReset();
    ASSERT_EQ(CharLenNewAlloc(&s, c.cap), RC_OK);
    std::wstring have(c.have, L'a'), add(c.add, L'b');
    ASSERT_EQ(CharLenCat(&s, have.c_str()), RC_OK);
    int before = s.size;
    ASSERT_EQ(CharLenCat(&s, add.c_str()), RC_OK) << c.id;
    EXPECT_EQ(s.size, c.add == 0 ? before : c.size) << c.id;
    EXPECT_EQ(std::wstring(s.str), have + add) << c.id;
    EXPECT_EQ(MsgCount, 0) << c.id;
    CharLenFree(&s);
  }
}

TEST(ExString, AddAllocKeepsText)
{
  CHAR_LEN s;
  ASSERT_EQ(CharLenNewAlloc(&s, 10), RC_OK);
  CharLenCat(&s, L"日本語");
  EXPECT_EQ(CharLenAddAlloc(&s, 0), RC_OK);
  EXPECT_EQ(CharLenAddAlloc(&s, -7), RC_OK);
  EXPECT_EQ(s.size, 10);
  EXPECT_EQ(CharLenAddAlloc(&s, 90), RC_OK);
  EXPECT_EQ(s.size, 100);
  EXPECT_STREQ(s.str, L"日本語");
  CharLenFree(&s);
}

/* A capacity whose byte count cannot be represented fails cleanly. */
TEST(ExString, ImpossibleGrowthFails)
{
  CHAR_LEN s;
  MsgReset();
  ASSERT_EQ(CharLenNewAlloc(&s, 100), RC_OK);
  CharLenCat(&s, L"keep");
  EXPECT_EQ(CharLenAddAlloc(&s, INT32_MAX), RC_NOMEM);
  EXPECT_EQ(s.size, 100);
  EXPECT_STREQ(s.str, L"keep");
  EXPECT_EQ(MsgCount, 0);
  CharLenFree(&s);
}

TEST(ExString, FreeTwice)
{
  CHAR_LEN s;
  ASSERT_EQ(CharLenNewAlloc(&s, 5), RC_OK);
  EXPECT_EQ(CharLenFree(&s), RC_OK);
  EXPECT_EQ(s.size, 0);
  EXPECT_EQ(CharLenFree(&s), RC_OK);
}
