/*
** What each converter's table writer supplies to the shared front end:
** the writer itself, the program's title and its settings file name.
*/
#ifndef TV_WRITER_H
#define TV_WRITER_H

#include <wchar.h>

extern const char ProgTitle[];    /* window and dialog title, UTF-8 */
extern const wchar_t IniName[];   /* settings file beside the program */

/* Turn the completed cell table into markup in out_data. */
int MakeData(void);

#endif
