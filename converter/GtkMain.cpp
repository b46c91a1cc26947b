/*
** Start-up and progress window of the converters.  (Placeholder.)
*/
#include <sal/main.h>
#include "GtkMain.h"

GtkWidget *window = nullptr;
int close_button = 0;

int Window_Refresh(void) { return 0; }
int ProgressView(int n) { (void)n; return 0; }
int WinClose(void) { return 0; }
int ClipWrite(wchar_t *text) { (void)text; return 0; }

SAL_IMPLEMENT_MAIN_WITH_ARGS(argc, argv)
{
  (void)argc;
  (void)argv;
  return 0;
}
