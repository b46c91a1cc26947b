/*
** The conversion driver: from the filled clipboard text through the
** Office bridge and the table writer to the clipboard.
*/
#ifndef TV_CALCGET_H
#define TV_CALCGET_H

#include <time.h>

int CalcGet(void);

#endif
