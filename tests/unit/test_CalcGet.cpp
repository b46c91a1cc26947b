/*
** The conversion driver: border completion, merged-area spreading, the
** elapsed time, and the whole run with the bridge, writer and clipboard
** replaced by stubs that this file controls.
*/
#include <gtest/gtest.h>
#include <string.h>
#include <time.h>
#include <wchar.h>

#include "CalcCom.h"
#include "CalcGet.h"
#include "CalcSDK.h"
#include "ExString.h"
#include "GtkMain.h"
#include "MsgDisp.h"
#include "Result.h"
#include "Writer.h"
#include "MsgRecord.h"

/* ---- stubs of the modules around the driver ------------------------- */

int TimeLog = 0;                 /* settings: report the elapsed time */
const char ProgTitle[] = "test";
const wchar_t IniName[] = L"Test.ini";

static int AccRc = RC_OK;        /* what CalcAcc returns */
static int AccPos = POS_START;   /* Proc_pos it leaves */
static int AccRows = 2;          /* table it builds on success */
static int AccCols = 2;
static int MakeRc = RC_OK;       /* what MakeData returns */
static int MakeCalls = 0;
static int MakeSawWidth = -1;    /* left border of cell 0 the writer saw */
static int ClipCalls = 0;        /* ClipWrite calls and the text given */
static const wchar_t *ClipText = NULL;
static int SleepCalls = 0;       /* the driver's one-second waits */

/* The waits are counted, not slept. */
extern "C" unsigned int sleep(unsigned int s)
{
  (void)s;
  SleepCalls++;
  return 0;
}

int CalcAcc(void)
{
  Proc_pos = AccPos;
  if (AccRc != RC_OK)
    return AccRc;
  Row_no = AccRows;
  Col_no = AccCols;
  if (AllocArea() != RC_OK)
    return RC_NOMEM;
  for (int i = 0; i < Row_no * Col_no; i++) {
    memset(hyo[i].line_width, 0, sizeof hyo[i].line_width);
    memset(hyo[i].line_color, 0, sizeof hyo[i].line_color);
  }
  return RC_OK;
}

int MakeData(void)
{
  MakeCalls++;
  MakeSawWidth = Row_no * Col_no > 0 ? hyo[0].line_width[SIDE_LEFT] : -1;
  if (MakeRc != RC_OK)
    return MakeRc;
  if (CharLenNewAlloc(&out_data, 0) != RC_OK)
    return RC_NOMEM;
  Out_alloc = 1;
  wcscpy(out_data.str, L"<table></table>");
  return RC_OK;
}

int ClipWrite(wchar_t *text)
{
  ClipCalls++;
  ClipText = text;
  return 0;
}

/* ---- helpers ------------------------------------------------------- */

/* A fresh run: nothing shown, stubs at their defaults, no table. */
static void Fresh(void)
{
  FreeArea();
  if (Out_alloc == 1)
    CharLenFree(&out_data);
  Out_alloc = 0;
  MsgReset();
  AccRc = RC_OK;
  AccPos = POS_CAPTURE;
  AccRows = 2;
  AccCols = 2;
  MakeRc = RC_OK;
  MakeCalls = ClipCalls = SleepCalls = 0;
  MakeSawWidth = -1;
  ClipText = NULL;
  TimeLog = 0;
  Just1 = NULL;
  Tmin = Tsec = -1;
  text_flag = TEXT_PLAIN;
  Allline_flag = 1;
  Break_flag = BREAK_RUN;
}

/* A rows x cols table without borders, as the bridge leaves it. */
static void Table(int rows, int cols)
{
  AccRows = rows;
  AccCols = cols;
  ASSERT_EQ(CalcAcc(), RC_OK);
}

static CELL_DATA *Cell(int row, int col)
{
  return &hyo[Col_no * row + col];
}

static void Borders(CELL_DATA *c, int l, int r, int t, int b)
{
  c->line_width[SIDE_LEFT] = l;
  c->line_width[SIDE_RIGHT] = r;
  c->line_width[SIDE_TOP] = t;
  c->line_width[SIDE_BOTTOM] = b;
}

/* Mark rows r0..r1, columns c0..c1 as one merged area. */
static void Merge(int r0, int r1, int c0, int c1)
{
  CELL_DATA *a = Cell(r0, c0);
  for (int r = r0; r <= r1; r++)
    for (int c = c0; c <= c1; c++)
      Cell(r, c)->mrg_pos = 5;
  a->mrg_pos = 1;
  a->mrg_area[MA_COL0] = c0;
  a->mrg_area[MA_COL1] = c1;
  a->mrg_area[MA_ROW0] = r0;
  a->mrg_area[MA_ROW1] = r1;
}

class CalcGetTest : public ::testing::Test {
protected:
  void SetUp() override { Fresh(); }
  void TearDown() override { Fresh(); }
};

/* ---- border completion --------------------------------------------- */

TEST_F(CalcGetTest, BorderCompletion)
{
  static const struct {
    const char *id;
    int flag, allline;       /* text_flag, Allline_flag before */
    int bottom00;            /* bottom border of cell (0,0) before */
    int answer;              /* response to message 2 */
    int rc;
    int msgs[2], nmsg;
    int width;               /* every other border afterwards, -1: freed */
  } cases[] = {
    {"border-one-bottom-kept", TEXT_CALC, 0, 1, MSG_RESPONSE_OK, RC_OK, {0}, 0, 0},
    {"border-calc-none-ok", TEXT_CALC, 0, 0, MSG_RESPONSE_OK, RC_OK, {MSG_BORDER_ASK}, 1, 1},
    {"border-calc-none-cancel", TEXT_CALC, 0, 0, -6, RC_CANCEL,
     {MSG_BORDER_ASK, MSG_CANCELLED}, 2, -1},
    {"border-calc-closed-dialog", TEXT_CALC, 0, 0, -4, RC_CANCEL,
     {MSG_BORDER_ASK, MSG_CANCELLED}, 2, -1},
    {"border-calc-agreed-before", TEXT_CALC, 1, 0, -6, RC_OK, {0}, 0, 1},
    {"border-plain-no-question", TEXT_PLAIN, 1, 0, -6, RC_OK, {0}, 0, 1},
    {"border-utf8-no-question", TEXT_UTF8, 1, 0, -6, RC_OK, {0}, 0, 1},
  };
  for (const auto &c : cases) {
    Fresh();
    Table(2, 3);
    text_flag = c.flag;
    Allline_flag = c.allline;
    MsgAnswer = c.answer;
    Cell(0, 0)->line_width[SIDE_BOTTOM] = c.bottom00;
    EXPECT_EQ(BorderComplete(), c.rc) << c.id;
    ASSERT_EQ(MsgCount, c.nmsg) << c.id;
    for (int k = 0; k < c.nmsg; k++)
      EXPECT_EQ(MsgLog[k], c.msgs[k]) << c.id;
    if (c.width < 0) {
      EXPECT_EQ(Area_pos, 0) << c.id << ": table freed";
      continue;
    }
    if (c.nmsg == 1) {
      EXPECT_EQ(Allline_flag, 1) << c.id;
    }
    for (int i = 0; i < Row_no * Col_no; i++)
      for (int s = 0; s < 4; s++) {
        int want = c.width;
        if (i == 0 && s == SIDE_BOTTOM && c.bottom00 != 0)
          want = c.bottom00;
        EXPECT_EQ(hyo[i].line_width[s], want) << c.id << " cell " << i << " side " << s;
      }
  }
}

/* ---- merged areas -------------------------------------------------- */

TEST_F(CalcGetTest, MergeOutlinedWithAnchorBorders)
{
  static const struct { const char *id; int row, col, l, r, t, b; } want[] = {
    {"merge-r0c0", 0, 0, 1, 0, 1, 0},
    {"merge-r0c1", 0, 1, 0, 2, 1, 0},
    {"merge-r1c0", 1, 0, 1, 0, 0, 2},
    {"merge-r1c1", 1, 1, 0, 2, 0, 2},
    {"merge-outside-untouched", 2, 2, 2, 2, 2, 2},
  };
  Table(3, 3);
  for (int i = 0; i < 9; i++)
    Borders(&hyo[i], 2, 2, 2, 2);   /* inner borders that must go */
  Merge(0, 1, 0, 1);
  Borders(Cell(0, 0), 1, 2, 1, 2);
  Cell(0, 0)->line_color[SIDE_RIGHT] = 0x123456;
  ASSERT_EQ(MergeSpread(), RC_OK);
  EXPECT_EQ(MsgCount, 0);
  for (const auto &w : want) {
    const CELL_DATA *c = Cell(w.row, w.col);
    EXPECT_EQ(c->line_width[SIDE_LEFT], w.l) << w.id;
    EXPECT_EQ(c->line_width[SIDE_RIGHT], w.r) << w.id;
    EXPECT_EQ(c->line_width[SIDE_TOP], w.t) << w.id;
    EXPECT_EQ(c->line_width[SIDE_BOTTOM], w.b) << w.id;
  }
  EXPECT_EQ(Cell(0, 1)->line_color[SIDE_RIGHT], 0) << "colours are not spread";
}

TEST_F(CalcGetTest, MergeSeveralAreasAndSingleRow)
{
  Table(2, 4);
  Merge(0, 0, 0, 2);                 /* one row, three columns */
  Borders(Cell(0, 0), 1, 2, 1, 1);
  Merge(1, 1, 3, 3);                 /* a lone anchor is its own area */
  Borders(Cell(1, 3), 2, 2, 2, 2);
  ASSERT_EQ(MergeSpread(), RC_OK);
  EXPECT_EQ(Cell(0, 1)->line_width[SIDE_LEFT], 0);
  EXPECT_EQ(Cell(0, 1)->line_width[SIDE_TOP], 1);
  EXPECT_EQ(Cell(0, 1)->line_width[SIDE_BOTTOM], 1);
  EXPECT_EQ(Cell(0, 2)->line_width[SIDE_RIGHT], 2);
  EXPECT_EQ(Cell(1, 3)->line_width[SIDE_LEFT], 2);
  EXPECT_EQ(Cell(1, 3)->line_width[SIDE_BOTTOM], 2);
}

TEST_F(CalcGetTest, MergeOutsideTableShowsMessage39)
{
  static const struct { const char *id; int c0, c1, r0, r1; } cases[] = {
    {"merge-col-beyond", 0, 2, 0, 0},
    {"merge-row-beyond", 0, 0, 0, 2},
    {"merge-negative-start", -1, 0, 0, 0},
    {"merge-inverted", 1, 0, 0, 1},
  };
  for (const auto &c : cases) {
    Fresh();
    Table(2, 2);
    CELL_DATA *a = Cell(0, 0);
    a->mrg_pos = 1;
    a->mrg_area[MA_COL0] = c.c0;
    a->mrg_area[MA_COL1] = c.c1;
    a->mrg_area[MA_ROW0] = c.r0;
    a->mrg_area[MA_ROW1] = c.r1;
    EXPECT_EQ(MergeSpread(), RC_REPORTED) << c.id;
    ASSERT_EQ(MsgCount, 1) << c.id;
    EXPECT_EQ(MsgLog[0], MSG_NORECT) << c.id;
    EXPECT_EQ(Area_pos, 0) << c.id << ": table freed";
  }
}

/* ---- elapsed time -------------------------------------------------- */

TEST(CalcGetTime, ElapsedSeconds)
{
  static const struct {
    const char *id;
    int d1, h1, m1, s1, d2, h2, m2, s2;
    int secs;
  } cases[] = {
    {"time-midnight", 10, 23, 59, 50, 11, 0, 0, 10, 20},
    {"time-same-day", 10, 10, 0, 0, 10, 10, 1, 5, 65},
    {"time-zero", 3, 12, 0, 0, 3, 12, 0, 0, 0},
    {"time-month-end", 31, 23, 59, 59, 1, 0, 0, 1, 2},
    {"time-hours", 5, 1, 2, 3, 5, 3, 4, 5, 2 * 3600 + 2 * 60 + 2},
  };
  for (const auto &c : cases) {
    struct tm a = {}, b = {};
    a.tm_mday = c.d1; a.tm_hour = c.h1; a.tm_min = c.m1; a.tm_sec = c.s1;
    b.tm_mday = c.d2; b.tm_hour = c.h2; b.tm_min = c.m2; b.tm_sec = c.s2;
    EXPECT_EQ(ElapsedSeconds(&a, &b), c.secs) << c.id;
  }
}

/* ---- whole runs ---------------------------------------------------- */

TEST_F(CalcGetTest, BridgeFailureMessageByStage)
{
  static const struct { const char *id; int rc, pos, msg; } cases[] = {
    {"bridge-start", RC_OFFICE, POS_START, -1},
    {"bridge-connect", RC_OFFICE, POS_CONNECT, MSG_NOSTART},
    {"bridge-connected", RC_OFFICE, POS_CONNECTED, MSG_CONV_FAIL},
    {"bridge-paste", RC_OFFICE, POS_PASTE, MSG_CLIP_BAD},
    {"bridge-capture", RC_OFFICE, POS_CAPTURE, MSG_CONV_FAIL},
    {"bridge-merge-out", RC_MERGE_OUT, POS_CAPTURE, MSG_CONV_FAIL},
    {"bridge-nomem-reported", RC_NOMEM, POS_CAPTURE, -1},
    {"bridge-cancel-reported", RC_CANCEL, POS_CAPTURE, -1},
    {"bridge-reported", RC_REPORTED, POS_CONNECT, -1},
  };
  for (const auto &c : cases) {
    Fresh();
    AccRc = c.rc;
    AccPos = c.pos;
    EXPECT_EQ(CalcGet(), RC_REPORTED) << c.id;
    if (c.msg < 0) {
      EXPECT_EQ(MsgCount, 0) << c.id;
    } else {
      ASSERT_EQ(MsgCount, 1) << c.id;
      EXPECT_EQ(MsgLog[0], c.msg) << c.id;
    }
    EXPECT_EQ(MakeCalls, 0) << c.id;
    EXPECT_EQ(ClipCalls, 0) << c.id;
    EXPECT_EQ(SleepCalls, 0) << c.id;
  }
}

TEST_F(CalcGetTest, WriterFailure)
{
  static const struct { const char *id; int rc, msg; } cases[] = {
    {"writer-nomem", RC_NOMEM, MSG_NOMEM},
    {"writer-office", RC_OFFICE, MSG_CONV_FAIL},
    {"writer-other", 7, MSG_CONV_FAIL},
    {"writer-cancel", RC_CANCEL, -1},
    {"writer-reported", RC_REPORTED, -1},
    {"writer-shown-itself", 3, -1},
  };
  for (const auto &c : cases) {
    Fresh();
    MakeRc = c.rc;
    EXPECT_EQ(CalcGet(), RC_REPORTED) << c.id;
    if (c.msg < 0) {
      EXPECT_EQ(MsgCount, 0) << c.id;
    } else {
      ASSERT_EQ(MsgCount, 1) << c.id;
      EXPECT_EQ(MsgLog[0], c.msg) << c.id;
    }
    EXPECT_EQ(ClipCalls, 0) << c.id;
    EXPECT_EQ(Area_pos, 0) << c.id << ": table freed";
  }
}

TEST_F(CalcGetTest, CancelBeforeClipboard)
{
  Break_flag = BREAK_ASKED;   /* raised while the writer ran */
  EXPECT_EQ(CalcGet(), RC_CANCEL);
  ASSERT_EQ(MsgCount, 1);
  EXPECT_EQ(MsgLog[0], MSG_CANCELLED);
  EXPECT_EQ(Break_flag, BREAK_CLOSE);
  EXPECT_EQ(ClipCalls, 0);
  EXPECT_EQ(Area_pos, 0);
  EXPECT_GE(RefreshCount, 1);
}

TEST_F(CalcGetTest, SuccessOffersMarkupAndReports)
{
  static const struct {
    const char *id;
    int timelog, with_start;
    int msg;
  } cases[] = {
    {"done-no-time", 0, 1, MSG_DONE},
    {"done-time", 1, 1, MSG_DONE_TIME},
    {"done-time-no-start", 1, 0, MSG_DONE_TIME},
  };
  for (const auto &c : cases) {
    Fresh();
    time_t now = time(NULL);
    struct tm start = *localtime(&now);
    TimeLog = c.timelog;
    Just1 = c.with_start ? &start : NULL;
    EXPECT_EQ(CalcGet(), RC_OK) << c.id;
    ASSERT_EQ(MsgCount, 1) << c.id;
    EXPECT_EQ(MsgLog[0], c.msg) << c.id;
    EXPECT_EQ(ClipCalls, 1) << c.id;
    EXPECT_EQ(ClipText, out_data.str) << c.id << ": the markup itself, not a copy";
    EXPECT_EQ(Out_alloc, 1) << c.id << ": markup lives on";
    EXPECT_EQ(Area_pos, 0) << c.id << ": table freed";
    EXPECT_EQ(ProgressLast, 100) << c.id;
    EXPECT_EQ(SleepCalls, 2) << c.id;
    EXPECT_EQ(MakeSawWidth, 1) << c.id << ": plain text gets borders";
    if (c.msg == MSG_DONE_TIME) {
      EXPECT_EQ(Tmin, 0) << c.id;
      EXPECT_GE(Tsec, 0) << c.id;
      EXPECT_LE(Tsec, 2) << c.id;
    }
  }
}
