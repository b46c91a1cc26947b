/*
** The Office bridge.  (Placeholder.)
*/
#include "CalcSDK.h"

int CalcAcc(void) { return 0; }
int CalcEnd(void) { return 0; }
