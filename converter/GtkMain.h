/*
** Start-up and progress window of the converters, clipboard intake and
** clipboard output, and the window services every long stage uses.
*/
#ifndef TV_GTKMAIN_H
#define TV_GTKMAIN_H

#include <wchar.h>

typedef struct _GtkWidget GtkWidget;

extern GtkWidget *window;   /* the progress window; null before and after */
extern int close_button;    /* 1 once the program itself asked to close */

int Window_Refresh(void);
int ProgressView(int n);
int WinClose(void);
int ClipWrite(wchar_t *text);

#endif
