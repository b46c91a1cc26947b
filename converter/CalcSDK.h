/*
** The Office bridge: connect to the LibreOffice server, paste the
** clipboard into a hidden scratch spreadsheet and capture its cells.
*/
#ifndef TV_CALCSDK_H
#define TV_CALCSDK_H

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

#endif
