/*
** The Office bridge: connect to the LibreOffice server, paste the
** clipboard into a hidden scratch spreadsheet and capture its cells.
*/
#ifndef TV_CALCSDK_H
#define TV_CALCSDK_H

#include "CalcCom.h"

enum {                         /* Capture_way values */
  CAPTURE_RANGE = 0,           /* batched reading of the whole range */
  CAPTURE_CELL = 1,            /* one cell after the other */
  CAPTURE_BOTH = 2             /* per-cell into Cell_ref, then batched */
};

extern int Capture_way;        /* the reading CalcAcc uses; tools change it */
extern CELL_DATA *Cell_ref;    /* CAPTURE_BOTH: the per-cell table */
extern double Capture_secs;    /* wall time of the last capture, seconds */

/*
** Fill the cell table from the clipboard.  Returns 0 with hyo filled,
** 2 for a merged area outside the pasted range, 101, 102, 110 or 120.
*/
int CalcAcc(void);

/* Close the scratch document, if one is open.  Returns 0 or 110. */
int CalcEnd(void);

/*
** The per-cell reading: every cell of the Row_no x Col_no range at A1 of
** the open scratch sheet into the allocated hyo.  Returns 0, 2, 101,
** 102 (message 3 shown), 110 or 120; it never throws.
*/
int CellCapture(void);

/*
** The batched reading of the same range into hyo: the same table, the
** same results, messages, cancel checks and progress as CellCapture,
** in a number of remote calls that grows with the distinct formats,
** not with the cells.
*/
int RangeCapture(void);

/* Release Cell_ref with its texts (Row_no x Col_no records). */
void CellRefFree(void);

#endif
