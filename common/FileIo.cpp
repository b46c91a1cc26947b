/*
** Wide-character wrappers of the system calls, and the settings file.
** (Placeholder until the settings reader lands.)
*/
#include "FileIo.h"
#include "Result.h"

wchar_t AppPath[PATH_CAP];      /* the program's directory */
wchar_t Inifile[PATH_CAP];      /* full path of the settings file */
wchar_t Locale[LOCALE_CAP];     /* LC_CTYPE locale to set, or empty */
wchar_t Evasion[EVASION_CAP] = L"OFF"; /* "ON": scratch document visible */
int TimeLog = 1;                /* 1: report the elapsed time */

int ProfileGet(const wchar_t *path)
{
  (void)path;
  ParamGet();
  return 0;
}
