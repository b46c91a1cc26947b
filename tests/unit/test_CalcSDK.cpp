/*
** Unit tests of the Office bridge's paths that need no Office: the
** cancel check on entry, plain text, and CalcEnd with no document.
** The Office paths are tested end to end against a real Calc.
*/
#include <gtest/gtest.h>
#include <string.h>

#include "CalcCom.h"
#include "CalcSDK.h"
#include "MsgDisp.h"
#include "MsgRecord.h"
#include "Result.h"

void ParamGet(void) {}

static void Fresh(int flag, const wchar_t *text)
{
  FreeArea();
  MsgReset();
  Row_no = Col_no = 0;
  Break_flag = BREAK_RUN;
  Proc_pos = -1;
  text_flag = flag;
  clip_data = text != NULL ? wcsdup(text) : NULL;
  Clip_alloc = text != NULL;
}

TEST(CalcAcc, CancelOnEntryTouchesNothing)
{
  struct { const char *id; int flag; } cases[] = {
    {"cancel-plain", TEXT_PLAIN},
    {"cancel-calc", TEXT_CALC},   /* no connection is tried: no 19 s wait */
  };
  for (auto &c : cases) {
    Fresh(c.flag, L"a\tb\n");
    Break_flag = BREAK_ASKED;
    EXPECT_EQ(CalcAcc(), RC_CANCEL) << c.id;
    EXPECT_EQ(Break_flag, BREAK_CLOSE) << c.id;
    EXPECT_EQ(Proc_pos, POS_START) << c.id;
    ASSERT_EQ(MsgCount, 1) << c.id;
    EXPECT_EQ(MsgLog[0], MSG_CANCELLED) << c.id;
    EXPECT_EQ(Area_pos, 0) << c.id;           /* no table was made */
    EXPECT_EQ(Clip_alloc, 1) << c.id;         /* and nothing freed */
  }
  FreeArea();
}

TEST(CalcAcc, PlainTextIsSplitWithoutOffice)
{
  struct { const char *id; int flag; const wchar_t *text; int rows, cols; } cases[] = {
    {"plain-2x2", TEXT_PLAIN, L"a\tb\nc\td\n", 2, 2},
    {"utf8-japanese", TEXT_UTF8, L"日本\t語\n", 1, 2},
    {"utf8-no-text", TEXT_UTF8, NULL, -1, -1},   /* nothing to split: no crash */
  };
  for (auto &c : cases) {
    Fresh(c.flag, c.text);
    EXPECT_EQ(CalcAcc(), RC_OK) << c.id;
    EXPECT_EQ(Proc_pos, POS_START) << c.id;
    EXPECT_EQ(ProgressLast, 90) << c.id;
    EXPECT_EQ(MsgCount, 0) << c.id;
    if (c.rows >= 0) {
      EXPECT_EQ(Row_no, c.rows) << c.id;
      EXPECT_EQ(Col_no, c.cols) << c.id;
      ASSERT_NE(hyo, nullptr) << c.id;
      EXPECT_EQ(wcscmp(hyo[0].cell_str.str, c.flag == TEXT_UTF8 ? L"日本" : L"a"), 0) << c.id;
    }
  }
  FreeArea();
}

TEST(CalcEnd, NoDocumentOnlyRepaints)
{
  MsgReset();
  EXPECT_EQ(CalcEnd(), RC_OK);
  EXPECT_EQ(CalcEnd(), RC_OK);
  EXPECT_EQ(RefreshCount, 2);
  EXPECT_EQ(MsgCount, 0);
}
