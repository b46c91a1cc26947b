/*
** MessageDisp of the console programs: they have no dialogs, so every
** message shows nothing and answers 0.
*/
#include "MsgDisp.h"

int MessageDisp(int n)
{
  (void)n;
  return 0;
}
