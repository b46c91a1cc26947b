/*
** Wide-character wrappers of the system calls, shell quoting, and the
** settings file: its reader GetProfileWrapp and ProfileGet, which fills
** the settings globals of every program that reads one.
*/
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <stdint.h>
#include <locale.h>
#include <dirent.h>
#include <wchar.h>

#include "FileIo.h"
#include "VersionGet.h"
#include "MsgDisp.h"
#include "Result.h"

wchar_t AppPath[PATH_CAP];      /* the program's directory */
wchar_t Inifile[PATH_CAP];      /* full path of the settings file */
wchar_t Locale[LOCALE_CAP];     /* LC_CTYPE locale to set, or empty */
wchar_t Evasion[EVASION_CAP] = L"OFF"; /* "ON": scratch document visible */
int TimeLog = 1;                /* 1: report the elapsed time */

/* ------------------------------------------------------------------ */
/* Wrappers                                                            */
/* ------------------------------------------------------------------ */

/*
** The narrow form of w in the LC_CTYPE locale, in a buffer the caller
** frees.  Null when w cannot be represented or memory is not had.
*/
static char *Narrow(const wchar_t *w)
{
  size_t n = wcstombs(NULL, w, 0);
  char *s;

  if (n == (size_t)-1)
    return NULL;
  s = (char *)malloc(n + 1);
  if (s == NULL)
    return NULL;
  wcstombs(s, w, n + 1);
  s[n] = '\0';
  return s;
}

wchar_t *WideDup(const char *s)
{
  size_t n = mbstowcs(NULL, s, 0);
  wchar_t *w;

  if (n == (size_t)-1)
    return NULL;
  w = (wchar_t *)malloc((n + 1) * sizeof(wchar_t));
  if (w == NULL)
    return NULL;
  mbstowcs(w, s, n + 1);
  w[n] = L'\0';
  return w;
}

FILE *wfopen(const wchar_t *path, const wchar_t *mode)
{
  FILE *fp = NULL;
  char *p = Narrow(path);
  char *m = p ? Narrow(mode) : NULL;

  if (m != NULL)
    fp = fopen(p, m);
  free(m);
  free(p);
  return fp;
}

DIR *wopendir(const wchar_t *path)
{
  DIR *d = NULL;
  char *p = Narrow(path);

  if (p != NULL)
    d = opendir(p);
  free(p);
  return d;
}

int wsetenv(const wchar_t *name, const wchar_t *value, int overwrite)
{
  int rc = -1;
  char *n = Narrow(name);
  char *v = n ? Narrow(value) : NULL;

  if (v != NULL)
    rc = setenv(n, v, overwrite);
  free(v);
  free(n);
  return rc;
}

int wsystem(const wchar_t *command)
{
  int rc = -1;
  char *c = Narrow(command);

  if (c != NULL)
    rc = system(c);
  free(c);
  return rc;
}

char *wsetlocale(int category, const wchar_t *name)
{
  char *r = NULL;
  char *n = Narrow(name);

  if (n != NULL)
    r = setlocale(category, n);
  free(n);
  return r;
}

/*
** Size query (flag 0): the byte length of the variable's value, 0 when
** unset or empty.  Fill call (flag > 0): convert at most flag characters
** of the value into out, which holds flag + 1, terminate it and return
** the count converted (0 and an empty out when unset or empty).  -1 when
** the name or the value cannot be converted, or memory is not had.
*/
int wgetenv(const wchar_t *name, int flag, wchar_t *out)
{
  char *n = Narrow(name);
  const char *v;
  size_t len, got;

  if (n == NULL)
    return -1;
  v = getenv(n);
  free(n);
  len = v ? strlen(v) : 0;
  if (flag == 0)
    return len > (size_t)INT32_MAX ? -1 : (int)len;
  if (flag < 0 || out == NULL)
    return -1;
  if (len == 0) {
    out[0] = L'\0';
    return 0;
  }
  got = mbstowcs(out, v, (size_t)flag);
  if (got == (size_t)-1)
    return -1;
  out[flag] = L'\0';    /* mbstowcs leaves a result of exactly flag open */
  return (int)got;
}

/*
** 1 when directory holds an entry named exactly name, 0 when it holds
** none; -1 when the directory cannot be opened, an entry name cannot be
** converted (even if the wanted one would come later) or memory fails.
*/
int FileSizeGet(const wchar_t *directory, const wchar_t *name)
{
  DIR *d = wopendir(directory);
  struct dirent *e;
  int rc = 0;

  if (d == NULL)
    return -1;
  while ((e = readdir(d)) != NULL) {
    wchar_t *w = WideDup(e->d_name);
    if (w == NULL) {
      rc = -1;
      break;
    }
    rc = wcscmp(w, name) == 0;
    free(w);
    if (rc)
      break;
  }
  closedir(d);
  return rc;
}

/* Characters a shell word may hold without any quoting. */
static int ShellPlain(wchar_t c)
{
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
         (c >= L'0' && c <= L'9') || (c != 0 && wcschr(L"/._-+", c) != NULL);
}

int ShellQuote(wchar_t *out, int capacity, const wchar_t *text, int always)
{
  static const wchar_t quote_esc[] = L"'\\''";   /* close, \', reopen */
  size_t need = 0, k = 0;
  int plain = !always;

  for (const wchar_t *p = text; *p; p++) {
    need += *p == L'\'' ? wcslen(quote_esc) : 1;
    if (!ShellPlain(*p))
      plain = 0;
  }
  if (!plain)
    need += 2;
  if (capacity < 1 || need >= (size_t)capacity) {
    if (capacity >= 1)
      out[0] = L'\0';
    return -1;
  }
  if (!plain)
    out[k++] = L'\'';
  for (const wchar_t *p = text; *p; p++) {
    if (*p == L'\'') {
      wcscpy(out + k, quote_esc);
      k += wcslen(quote_esc);
    } else {
      out[k++] = *p;
    }
  }
  if (!plain)
    out[k++] = L'\'';
  out[k] = L'\0';
  return (int)k;
}

/* ------------------------------------------------------------------ */
/* Settings reader                                                     */
/* ------------------------------------------------------------------ */

static int Openflag = 0;        /* 1 while a file's text is held */
static wchar_t *buf = NULL;     /* the file as wide text */
static int64_t filesize = 0;    /* byte length of the loaded file */
static char *inbuf = NULL;      /* the file's bytes, only while loading */

enum { SEC_OUTSIDE, SEC_BRACKETS, SEC_NAME, SEC_IN };    /* section scan */
enum { VAL_BEFORE, VAL_AFTER, VAL_IN };                  /* value scan */

/* Store n characters of src in out, cut to capacity - 1, terminated. */
static void StoreCut(wchar_t *out, int capacity, const wchar_t *src, size_t n)
{
  if (out == NULL || capacity < 1)
    return;
  if (n > (size_t)capacity - 1)
    n = (size_t)capacity - 1;
  wmemcpy(out, src, n);
  out[n] = L'\0';
}

/* Drop the loaded text and the loading buffer. */
static void ProfileRelease(void)
{
  free(buf);
  buf = NULL;
  free(inbuf);
  inbuf = NULL;
  Openflag = 0;
  filesize = 0;
}

/*
** Load file whole into buf.  Returns 0; -1 when it cannot be opened or
** measured or memory is not had; -2 after message 32 when fewer bytes
** arrive than its length; -9 after message 32 when it is not valid text
** in the locale's encoding.
*/
static int ProfileLoad(const wchar_t *file)
{
  FILE *fp;
  size_t n;
  int rc = 0;

  if (Openflag)
    ProfileRelease();            /* never keep two texts */
  fp = file ? wfopen(file, L"rb") : NULL;
  if (fp == NULL)
    return -1;
  Openflag = 1;
  if (fseek(fp, 0, SEEK_END) != 0 || (filesize = ftell(fp)) < 0 ||
      (uint64_t)filesize >= SIZE_MAX / sizeof(wchar_t) - 1 ||
      fseek(fp, 0, SEEK_SET) != 0) {
    rc = -1;                     /* a directory or a stream without length */
    goto done;
  }
  buf = (wchar_t *)malloc(((size_t)filesize + 1) * sizeof(wchar_t));
  inbuf = (char *)malloc((size_t)filesize + 1);
  if (buf == NULL || inbuf == NULL) {
    rc = -1;
    goto done;
  }
  if (fread(inbuf, 1, (size_t)filesize, fp) != (size_t)filesize) {
    MessageDisp(MSG_INI_BAD);
    rc = -2;
    goto done;
  }
  inbuf[filesize] = '\0';
  n = mbstowcs(buf, inbuf, (size_t)filesize + 1);
  if (n == (size_t)-1) {
    MessageDisp(MSG_INI_BAD);
    rc = -9;
    goto done;
  }
  buf[n] = L'\0';
done:
  fclose(fp);
  free(inbuf);
  inbuf = NULL;
  if (rc != 0)
    ProfileRelease();
  return rc;
}

/*
** The value after the key that ends just before text[from]: after the
** first "=", past spaces, up to the next CR or LF.  Stores it cut and
** returns 0; returns 0 and leaves out alone when no line end follows.
*/
static int ValueGet(size_t from, size_t len, wchar_t *out, int capacity)
{
  int state = VAL_BEFORE;
  size_t start = from;

  for (size_t j = from; j < len; j++) {
    wchar_t c = buf[j];
    if (state == VAL_AFTER && c != L' ') {
      state = VAL_IN;
      start = j;
    }
    if (state == VAL_BEFORE && c == L'=')
      state = VAL_AFTER;
    if (state == VAL_IN && (c == L'\r' || c == L'\n')) {
      StoreCut(out, capacity, buf + start, j - start);
      return 0;
    }
  }
  return 0;
}

/*
** Find key in section of the loaded text and store its value.  The
** section is entered when its name stands anywhere inside brackets and
** left at the next "[" outside a comment; the key matches as a prefix
** anywhere in the section.  The last character is never examined.
** Returns 0 (found), -1 (nothing loaded) or -3 (not found).
*/
static int ProfileLookup(const wchar_t *section, const wchar_t *key,
                         wchar_t *out, int capacity)
{
  size_t len, slen, klen;
  int state = SEC_OUTSIDE, comment = 0;

  if (!Openflag || buf == NULL)
    return -1;
  if (section == NULL || key == NULL || key[0] == L'\0')
    return -3;
  len = wcslen(buf);
  slen = wcslen(section);
  klen = wcslen(key);
  for (size_t i = 0; i + 1 < len; i++) {
    wchar_t c = buf[i];
    if (!comment && c == L'[')
      state = SEC_BRACKETS;
    if (state == SEC_BRACKETS) {
      if (c == L']')
        state = SEC_OUTSIDE;
      if (wcsncmp(buf + i, section, slen) == 0)
        state = SEC_NAME;
    }
    if (state == SEC_NAME && c == L']')
      state = SEC_IN;
    if (!comment && state == SEC_IN && wcsncmp(buf + i, key, klen) == 0)
      return ValueGet(i + klen, len, out, capacity);
    if (c == L'\r' || c == L'\n') {
      comment = 0;
      if (c == L'\r' && buf[i + 1] == L'\n')
        i++;
      if (buf[i + 1] == L';')
        comment = 1;
    }
  }
  return -3;
}

/*
** One lookup of one key.  mode 0 loads file and looks up, 1 looks up in
** the text already loaded, 2 releases it (other arguments ignored).
** out always receives the default first, cut to capacity - 1.  Returns
** 0 found, -1 no text, -2 short read, -3 not found, -9 invalid text.
*/
int GetProfileWrapp(int mode, const wchar_t *file, const wchar_t *section,
                    const wchar_t *key, const wchar_t *def, wchar_t *out,
                    int capacity)
{
  int rc;

  if (mode == PROF_RELEASE) {
    ProfileRelease();
    return 0;
  }
  if (def == NULL)
    def = L"";
  StoreCut(out, capacity, def, wcslen(def));
  if (mode == PROF_LOAD && (rc = ProfileLoad(file)) != 0)
    return rc;
  return ProfileLookup(section, key, out, capacity);
}

/* ------------------------------------------------------------------ */
/* The common settings                                                 */
/* ------------------------------------------------------------------ */

static wchar_t TimeText[10];    /* Log/Time as read, before TimeLog */

typedef struct {
  const wchar_t *section;
  const wchar_t *key;
  const wchar_t *def;
  wchar_t *target;
  int capacity;
} PROFILE_KEY;

/*  section      key             default  target          capacity */
static const PROFILE_KEY CommonKeys[] = {
  { L"Log",     L"Time",        L"ON",   TimeText,       10          },
  { L"Path",    L"Office_path", L"",     SofficePath,    PATH_CAP    },
  { L"Path",    L"Rdb_path",    L"",     SofficeRdbPath, PATH_CAP    },
  { L"Locale",  L"Locale",      L"",     Locale,         LOCALE_CAP  },
  { L"Evasion", L"Evasion",     L"OFF",  Evasion,        EVASION_CAP },
};
enum { KEY_TIME, KEY_OFFICE, KEY_RDB, KEY_LOCALE, KEY_EVASION, KEY_COUNT };
static_assert(sizeof CommonKeys / sizeof CommonKeys[0] == KEY_COUNT,
              "CommonKeys and its indices out of step");

/* Read CommonKeys[from..to] in lookup mode. */
static void KeysGet(int from, int to)
{
  for (int i = from; i <= to; i++) {
    const PROFILE_KEY *k = &CommonKeys[i];
    GetProfileWrapp(PROF_LOOKUP, NULL, k->section, k->key, k->def,
                    k->target, k->capacity);
  }
}

/*
** Read every setting of the program from path: Log, Path, the program's
** own Param keys, Locale, Evasion.  A missing or short file gives the
** defaults.  Returns 0, or -9 when the file is not valid text (message
** 32) or only one of Office_path and Rdb_path is set (message 33).
*/
int ProfileGet(const wchar_t *path)
{
  const PROFILE_KEY *t = &CommonKeys[KEY_TIME];

  if (GetProfileWrapp(PROF_LOAD, path, t->section, t->key, t->def,
                      t->target, t->capacity) == -9) {
    GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0);
    return -9;
  }
  TimeLog = wcscmp(TimeText, L"ON") == 0;
  KeysGet(KEY_OFFICE, KEY_RDB);
  if ((SofficePath[0] == L'\0') != (SofficeRdbPath[0] == L'\0')) {
    MessageDisp(MSG_INI_PATHS);
    GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0);
    return -9;
  }
  ParamGet();
  KeysGet(KEY_LOCALE, KEY_EVASION);
  GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0);
  return 0;
}

enum { ARGV_MAX = 4096 };   /* argv[0] of this many bytes is refused */

int AppPathSet(const char *arg0)
{
  size_t n;

  if (arg0 == NULL || strlen(arg0) >= ARGV_MAX)
    return -1;
  n = mbstowcs(NULL, arg0, 0);
  if (n == (size_t)-1 || n >= PATH_CAP)
    return -1;
  mbstowcs(AppPath, arg0, PATH_CAP);
  AppPath[n] = L'\0';
  for (size_t i = n; i-- > 1;)
    if (AppPath[i] == L'/') {
      AppPath[i] = L'\0';
      break;
    }
  return 0;
}
