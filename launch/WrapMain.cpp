/*
** tabvue-launch.  (Placeholder.)
*/
#include "FileIo.h"

void ParamGet(void) {}
int main(void) { return 0; }
