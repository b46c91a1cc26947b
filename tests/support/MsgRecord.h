/*
** Test support: a MessageDisp that records the numbers it is asked to
** show and answers with a chosen response, and inert window services.
*/
#ifndef TV_MSGRECORD_H
#define TV_MSGRECORD_H

enum { MSG_LOG_CAP = 64 };

extern int MsgLog[MSG_LOG_CAP];   /* message numbers in the order shown */
extern int MsgCount;              /* how many were shown */
extern int MsgAnswer;             /* response MessageDisp returns */
extern int ProgressLast;          /* last value given to ProgressView */
extern int RefreshCount;          /* calls of Window_Refresh */

void MsgReset(void);              /* forget the log, answer OK again */

#endif
