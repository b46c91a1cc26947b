/*
** The conversion driver: from the filled clipboard text through the
** Office bridge and the table writer to the clipboard.
*/
#ifndef TV_CALCGET_H
#define TV_CALCGET_H

#include <time.h>

int CalcGet(void);

/* Steps of the driver, exposed for tests. */
int StageMessage(int pos);
int BorderComplete(void);
int MergeSpread(void);
int ElapsedSeconds(const struct tm *start, const struct tm *end);

#endif
