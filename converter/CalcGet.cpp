/*
** The conversion driver: the Office bridge fills the cell table, the
** driver completes borders and merged areas, the writer builds the
** markup, the clipboard offers it and the closing message waits for OK.
*/
#include <unistd.h>
#include <time.h>

#include "CalcGet.h"
#include "CalcCom.h"
#include "CalcSDK.h"
#include "FileIo.h"
#include "GtkMain.h"
#include "MsgDisp.h"
#include "Result.h"
#include "Writer.h"

enum { MSG_NONE = -1 };   /* a stage that shows nothing */
enum { RC_WRITER_SHOWN = 3 };   /* a writer failure it has reported itself */

/* What a failure of the Office bridge shows, by the stage it reached. */
static const struct { int pos; int msg; } StageMsg[] = {
  /* Proc_pos        message */
  { POS_START,       MSG_NONE },
  { POS_CONNECT,     MSG_NOSTART },
  { POS_PASTE,       MSG_CLIP_BAD },
};
enum { STAGE_MSG_COUNT = 3 };
static_assert(sizeof StageMsg / sizeof StageMsg[0] == STAGE_MSG_COUNT,
              "stage table and its count differ");

/* The message for a bridge failure at stage pos; 5 for any other stage. */
int StageMessage(int pos)
{
  for (int i = 0; i < STAGE_MSG_COUNT; i++)
    if (StageMsg[i].pos == pos)
      return StageMsg[i].msg;
  return MSG_CONV_FAIL;
}

/*
** Borders for the whole table: when no cell has any border, ask for a
** Calc selection whether every cell may get one (plain text was asked
** before), then give every cell a thin border.  A table with a border
** anywhere stays as captured.  Returns 0, or 102 when the user declines.
*/
int BorderComplete(void)
{
  long long n = (long long)Row_no * Col_no;

  for (long long i = 0; i < n; i++)
    for (int s = 0; s < 4; s++)
      if (hyo[i].line_width[s] != 0)
        return RC_OK;
  if (text_flag == TEXT_CALC && Allline_flag == 0) {
    if (MessageDisp(MSG_BORDER_ASK) != MSG_RESPONSE_OK) {
      MessageDisp(MSG_CANCELLED);
      FreeArea();
      return RC_CANCEL;
    }
    Allline_flag = 1;
  }
  for (long long i = 0; i < n; i++)
    for (int s = 0; s < 4; s++)
      hyo[i].line_width[s] = 1;
  return RC_OK;
}

/* Outline one merged area with its anchor's borders; no inner borders. */
static void MergeOutline(const CELL_DATA *anchor)
{
  int c0 = anchor->mrg_area[MA_COL0], c1 = anchor->mrg_area[MA_COL1];
  int r0 = anchor->mrg_area[MA_ROW0], r1 = anchor->mrg_area[MA_ROW1];
  int left = anchor->line_width[SIDE_LEFT], top = anchor->line_width[SIDE_TOP];
  int right = anchor->line_width[SIDE_RIGHT];    /* saved: the anchor is */
  int bottom = anchor->line_width[SIDE_BOTTOM];  /* rewritten below */

  for (int l = c0; l <= c1; l++)
    for (int m = r0; m <= r1; m++) {
      CELL_DATA *c = &hyo[(long long)Col_no * m + l];
      c->line_width[SIDE_LEFT] = l == c0 ? left : 0;
      c->line_width[SIDE_RIGHT] = l == c1 ? right : 0;
      c->line_width[SIDE_TOP] = m == r0 ? top : 0;
      c->line_width[SIDE_BOTTOM] = m == r1 ? bottom : 0;
    }
}

/*
** Spread the anchor's borders around every merged area, in row-major
** order.  An area whose bounds lie outside the table shows message 39
** and frees the table.  Returns 0 or 120.
*/
int MergeSpread(void)
{
  long long n = (long long)Row_no * Col_no;

  for (long long i = 0; i < n; i++) {
    const CELL_DATA *a = &hyo[i];
    if (a->mrg_pos != 1)
      continue;
    if (a->mrg_area[MA_COL1] >= Col_no || a->mrg_area[MA_ROW1] >= Row_no
        || a->mrg_area[MA_COL0] < 0 || a->mrg_area[MA_ROW0] < 0
        || a->mrg_area[MA_COL0] > a->mrg_area[MA_COL1]
        || a->mrg_area[MA_ROW0] > a->mrg_area[MA_ROW1]) {
      MessageDisp(MSG_NORECT);
      FreeArea();
      return RC_REPORTED;
    }
    MergeOutline(a);
  }
  return RC_OK;
}

/*
** Seconds from start to end, from their clock fields; a different day
** of the month counts one day more, so a run across midnight is right.
*/
int ElapsedSeconds(const struct tm *start, const struct tm *end)
{
  int s = ((end->tm_hour - start->tm_hour) * 60
           + (end->tm_min - start->tm_min)) * 60
          + (end->tm_sec - start->tm_sec);

  if (end->tm_mday != start->tm_mday)
    s += 86400;
  return s;
}

/*
** Closing message, with the elapsed time when the setting asks for it.
** Without a start time (or a clock that cannot be read) the time
** report still comes, as 0 minutes 0 seconds.
*/
static void ClosingMessage(void)
{
  if (TimeLog != 1) {
    MessageDisp(MSG_DONE);
    return;
  }
  Tmin = 0;
  Tsec = 0;
  if (Just1 != NULL) {
    struct tm start = *Just1;   /* localtime may reuse the same storage */
    time_t now = time(NULL);
    Just2 = localtime(&now);
    if (Just2 != NULL) {
      int s = ElapsedSeconds(&start, Just2);
      Tmin = s / 60;
      Tsec = s % 60;
    }
  }
  MessageDisp(MSG_DONE_TIME);
}

/*
** The table writer.  Returns 0, or 120 after its failure has been shown
** (message 12 for memory, 5 for anything it has not reported itself);
** the table is freed on failure.
*/
static int WriterRun(void)
{
  int r = MakeData();

  if (r == RC_OK)
    return RC_OK;
  if (r == RC_NOMEM)
    MessageDisp(MSG_NOMEM);
  else if (r != RC_CANCEL && r != RC_REPORTED && r != RC_WRITER_SHOWN)
    MessageDisp(MSG_CONV_FAIL);
  FreeArea();
  return RC_REPORTED;
}

/*
** Run one conversion.  Returns 0 (message 0 or 1 answered), 102
** (cancelled, message 3 shown) or 120 (failure already reported).
*/
int CalcGet(void)
{
  int r = CalcAcc();

  if (r == RC_NOMEM || r == RC_CANCEL || r == RC_REPORTED)
    return RC_REPORTED;
  if (r != RC_OK) {
    int msg = StageMessage(Proc_pos);
    if (msg != MSG_NONE)
      MessageDisp(msg);
    FreeArea();   /* whatever the bridge left of the table */
    return RC_REPORTED;
  }
  sleep(1);
  if ((r = BorderComplete()) != RC_OK)
    return r;
  if ((r = MergeSpread()) != RC_OK)
    return r;
  if ((r = WriterRun()) != RC_OK)
    return r;
  Window_Refresh();
  if (Break_flag == BREAK_ASKED) {
    MessageDisp(MSG_CANCELLED);
    FreeArea();
    Break_flag = BREAK_CLOSE;
    return RC_CANCEL;
  }
  ClipWrite(out_data.str);
  sleep(1);
  FreeArea();
  ProgressView(100);
  ClosingMessage();
  return RC_OK;
}
