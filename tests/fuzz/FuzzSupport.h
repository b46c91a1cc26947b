/*
** Helpers shared by the fuzz targets: bytes to wide text the way the
** clipboard intake sees it, and one scratch file per process.
*/
#ifndef TV_FUZZSUPPORT_H
#define TV_FUZZSUPPORT_H

#include <locale.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wchar.h>

/*
** Decode n bytes of UTF-8 into a fresh zero-terminated wide text (the
** caller frees).  A byte that starts no valid sequence stands for the
** character of the same code, so every input gives some text; a zero
** byte ends the text.  Null only when memory is not had.
*/
static inline wchar_t *FuzzWide(const uint8_t *p, size_t n)
{
  wchar_t *w = (wchar_t *)malloc((n + 1) * sizeof(wchar_t));
  mbstate_t st;
  size_t k = 0;

  if (w == NULL)
    return NULL;
  memset(&st, 0, sizeof st);
  for (size_t i = 0; i < n && p[i] != 0;) {
    wchar_t c;
    size_t r = mbrtowc(&c, (const char *)p + i, n - i, &st);
    if (r == (size_t)-1 || r == (size_t)-2 || r == 0) {
      memset(&st, 0, sizeof st);
      c = (wchar_t)p[i];
      r = 1;
    }
    w[k++] = c;
    i += r;
  }
  w[k] = L'\0';
  return w;
}

static char FuzzPath[64];        /* the scratch file of this process */
static wchar_t FuzzWPath[64];    /* its wide form */

static void FuzzPathRemove(void)
{
  if (FuzzPath[0] != '\0')
    unlink(FuzzPath);
}

/* Create the scratch file once; the process removes it when it ends. */
static inline void FuzzPathInit(void)
{
  int fd;

  snprintf(FuzzPath, sizeof FuzzPath, "/tmp/tvfuzz-XXXXXX");
  fd = mkstemp(FuzzPath);
  if (fd < 0)
    abort();
  close(fd);
  mbstowcs(FuzzWPath, FuzzPath, 64);
  atexit(FuzzPathRemove);
}

/* Replace the scratch file's content by n bytes of p. */
static inline void FuzzPathWrite(const uint8_t *p, size_t n)
{
  FILE *fp = fopen(FuzzPath, "wb");

  if (fp == NULL)
    abort();
  if (n > 0 && fwrite(p, 1, n, fp) != n)
    abort();
  fclose(fp);
}

#endif
