/*
** The conversion driver.  (Placeholder.)
*/
#include "CalcGet.h"

int CalcGet(void) { return 0; }
