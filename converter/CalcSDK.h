/*
** The Office bridge: connect to the LibreOffice server, paste the
** clipboard into a hidden scratch spreadsheet and capture its cells.
*/
#ifndef TV_CALCSDK_H
#define TV_CALCSDK_H

int CalcAcc(void);
int CalcEnd(void);

#endif
