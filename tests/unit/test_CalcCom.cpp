/*
** Cell table and conversion state, and the splitting of plain text.
*/
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "CalcCom.h"
#include "MsgDisp.h"
#include "Result.h"
#include "MsgRecord.h"

TEST(CalcCom, AllocInitialisesRecords)
{
  Row_no = 3;
  Col_no = 3;
  ASSERT_EQ(AllocArea(), RC_OK);
  EXPECT_EQ(Area_pos, 3);
  for (int i = 0; i < 9; i++) {
    EXPECT_EQ(hyo[i].cell_str.size, -1);
    EXPECT_EQ(hyo[i].posh, 0);
    EXPECT_EQ(hyo[i].mrg_pos, 0);
    EXPECT_EQ(hyo[i].mrg_origin, 0);
  }
  /* row 2, column 1 of three columns is record 7 */
  EXPECT_EQ(&hyo[Col_no * 2 + 1] - hyo, 7);
  FreeArea();
  EXPECT_EQ(Area_pos, 0);
}

TEST(CalcCom, FreeAreaIdempotent)
{
  FreeArea();   /* before any table */
  Row_no = 0;
  Col_no = 4;
  ASSERT_EQ(AllocArea(), RC_OK);
  ASSERT_EQ(CharLenNewAlloc(&out_wk_data, 10), RC_OK);
  Out_wk_alloc = 1;
  FreeArea();
  FreeArea();
  EXPECT_EQ(Area_pos, 0);
  EXPECT_EQ(Out_wk_alloc, 0);
}

TEST(CalcCom, AllocRejectsImpossibleCounts)
{
  static const struct { const char *id; int rows, cols; } cases[] = {
    {"alloc-negative", -1, 5}, {"alloc-overflow", 100000, 100000},
  };
  for (const auto &c : cases) {
    MsgReset();
    Row_no = c.rows;
    Col_no = c.cols;
    EXPECT_EQ(AllocArea(), RC_NOMEM) << c.id;
    ASSERT_EQ(MsgCount, 1) << c.id;
    EXPECT_EQ(MsgLog[0], MSG_NOMEM) << c.id;
    EXPECT_EQ(Area_pos, 0) << c.id;
  }
}

/* The text of every cell, row by row; "(none)" for a cell never reached. */
static std::vector<std::wstring> Cells(void)
{
  std::vector<std::wstring> v;
  for (int i = 0; i < Row_no * Col_no; i++)
    v.push_back(hyo[i].cell_str.size > 0 ? hyo[i].cell_str.str : L"(none)");
  return v;
}

TEST(CalcCom, DataDivisionCases)
{
  typedef std::vector<std::wstring> V;
  static const struct {
    const char *id; const wchar_t *text; int rows, cols; V cells;
  } cases[] = {
    {"split-empty", L"", 1, 1, {L""}},
    {"split-short-row", L"a\tb\nc", 2, 2, {L"a", L"b", L"c", L"(none)"}},
    {"split-trailing-lf", L"a\tb\n", 1, 2, {L"a", L"b"}},
    {"split-empty-line", L"a\n\n", 2, 1, {L"a", L""}},
    {"split-crlf", L"a\r\nb\r\n", 2, 1, {L"a", L"b"}},
    {"split-lone-cr-end", L"a\r", 1, 1, {L"a\r"}},
    {"split-lone-cr-inside", L"a\rb\tc", 1, 2, {L"a\rb", L"c"}},
    {"split-leading-tab", L"\tb", 1, 2, {L"", L"b"}},
    {"split-trailing-tab", L"a\t", 1, 2, {L"a", L""}},
    {"split-quotes-plain", L"\"x\ny\"", 2, 1, {L"\"x", L"y\""}},
    {"split-only-cr-lf", L"\r\n", 1, 1, {L""}},
    {"split-japanese", L"日本\t語\n表", 2, 2, {L"日本", L"語", L"表", L"(none)"}},
  };
  for (const auto &c : cases) {
    MsgReset();
    ASSERT_EQ(DataDivision(c.text), RC_OK) << c.id;
    EXPECT_EQ(Row_no, c.rows) << c.id;
    EXPECT_EQ(Col_no, c.cols) << c.id;
    EXPECT_EQ(Cells(), c.cells) << c.id;
    for (int i = 0; i < Row_no * Col_no; i++) {
      EXPECT_EQ(hyo[i].font_size, 10) << c.id;
      EXPECT_EQ(hyo[i].back_color, 0xFFFFFF) << c.id;
      EXPECT_EQ(hyo[i].line_width[SIDE_TOP], 0) << c.id;
    }
    FreeArea();
  }
}

/* Each cell's buffer fits its own field, not the whole text. */
TEST(CalcCom, DataDivisionCellRoom)
{
  std::wstring text;
  for (int i = 0; i < 2000; i++)
    text += L"abcdefgh\t";
  text += L"z";
  ASSERT_EQ(DataDivision(text.c_str()), RC_OK);
  ASSERT_EQ(Col_no, 2001);
  long long room = 0;
  for (int i = 0; i < Col_no; i++)
    room += hyo[i].cell_str.size;
  EXPECT_LE(room, 2001LL * 100);
  EXPECT_STREQ(hyo[2000].cell_str.str, L"z");
  FreeArea();
}
