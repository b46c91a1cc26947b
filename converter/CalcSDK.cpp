/*
** The Office bridge: CalcAcc fills the cell table, from plain text by
** splitting it, or from a Calc selection by pasting it into a hidden
** scratch spreadsheet on the LibreOffice server and capturing its cells.
*/
#include "CalcSDK.h"
#include "CalcCom.h"
#include "GtkMain.h"
#include "MsgDisp.h"
#include "Result.h"

/* Office path of CalcAcc: connection, scratch document, paste, capture. */
static int CalcOffice(void)
{
  return RC_OFFICE;   /* the UNO bridge is not built yet */
}

/*
** Fill the cell table from the clipboard.  Returns 0 with hyo filled,
** 2 for a merged area outside the pasted range, 101, 102 (message 3
** shown), 110 (nothing shown; the driver reports by Proc_pos) or 120.
*/
int CalcAcc(void)
{
  Proc_pos = POS_START;
  Window_Refresh();
  if (Break_flag == BREAK_ASKED) {
    MessageDisp(MSG_CANCELLED);
    Break_flag = BREAK_CLOSE;
    return RC_CANCEL;
  }
  if (text_flag == TEXT_PLAIN || text_flag == TEXT_UTF8) {
    if (DataDivision(clip_data != NULL ? clip_data : L"") != RC_OK) {
      FreeArea();
      return RC_NOMEM;
    }
    ProgressView(90);
    return RC_OK;
  }
  return CalcOffice();
}

/* Close the scratch document, if one is open.  Returns 0 or 110. */
int CalcEnd(void)
{
  Window_Refresh();
  return RC_OK;
}
