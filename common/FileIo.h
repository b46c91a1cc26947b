/*
** Wide-character wrappers of the system calls, and the settings file:
** its reader GetProfileWrapp and ProfileGet, which fills the settings.
*/
#ifndef TV_FILEIO_H
#define TV_FILEIO_H

#include <stdio.h>
#include <dirent.h>
#include <wchar.h>

enum {
  PATH_CAP = 1024,     /* AppPath, Inifile and the Office paths */
  LOCALE_CAP = 500,    /* Locale setting */
  EVASION_CAP = 50     /* Evasion setting */
};

enum { PROF_LOAD = 0, PROF_LOOKUP = 1, PROF_RELEASE = 2 };   /* reader modes */

extern wchar_t AppPath[PATH_CAP];      /* the program's directory */
extern wchar_t Inifile[PATH_CAP];      /* full path of the settings file */
extern wchar_t Locale[LOCALE_CAP];     /* LC_CTYPE locale to set, or empty */
extern wchar_t Evasion[EVASION_CAP];   /* "ON": scratch document visible */
extern int TimeLog;                    /* 1: report the elapsed time */

FILE *wfopen(const wchar_t *path, const wchar_t *mode);
DIR *wopendir(const wchar_t *path);
int wsetenv(const wchar_t *name, const wchar_t *value, int overwrite);
int wsystem(const wchar_t *command);
char *wsetlocale(int category, const wchar_t *name);
int wgetenv(const wchar_t *name, int flag, wchar_t *out);
int FileSizeGet(const wchar_t *directory, const wchar_t *name);

/*
** AppPath from argv[0], cut at its last "/" found from the end down to
** index 1, so "./x" gives "." and "/x" or "x" stay whole.  Returns 0, or
** -1 when argv[0] is missing, 4096 bytes or longer, not convertible or
** too long for AppPath.
*/
int AppPathSet(const char *arg0);

/*
** The wide form of the narrow text s in the LC_CTYPE locale, in a
** buffer the caller frees; null when s is not valid there or memory
** is not had.
*/
wchar_t *WideDup(const char *s);

/*
** Write text into out (capacity in wide characters, terminator
** included) so that a POSIX shell takes every character literally:
** inside single quotes, an embedded quote written as '\''.  With always
** 0, a text made only of ASCII letters, digits and "/._-+" is copied
** unquoted.  Returns the length written, or -1 (out empty) when the
** result would not fit.
*/
int ShellQuote(wchar_t *out, int capacity, const wchar_t *text, int always);

int GetProfileWrapp(int mode, const wchar_t *file, const wchar_t *section,
                    const wchar_t *key, const wchar_t *def, wchar_t *out,
                    int capacity);
int ProfileGet(const wchar_t *path);

/*
** The program's own keys of section Param, read in lookup mode between
** the Path and the Locale keys.  Each program supplies its own.
*/
void ParamGet(void);

#endif
