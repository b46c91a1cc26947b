/*
** Test support: a recording MessageDisp and inert window services, so
** that modules can be tested without dialogs or a display.
*/
#include "MsgRecord.h"
#include "MsgDisp.h"

int MsgLog[MSG_LOG_CAP];          /* message numbers in the order shown */
int MsgCount = 0;                 /* how many were shown */
int MsgAnswer = MSG_RESPONSE_OK;  /* response MessageDisp returns */
int ProgressLast = 0;             /* last value given to ProgressView */
int RefreshCount = 0;             /* calls of Window_Refresh */

void MsgReset(void)
{
  MsgCount = 0;
  MsgAnswer = MSG_RESPONSE_OK;
  ProgressLast = 0;
  RefreshCount = 0;
}

int MessageDisp(int n)
{
  if (MsgCount < MSG_LOG_CAP)
    MsgLog[MsgCount] = n;
  MsgCount++;
  return MsgAnswer;
}

int Window_Refresh(void)
{
  RefreshCount++;
  return 0;
}

int ProgressView(int n)
{
  ProgressLast = n;
  return 0;
}
