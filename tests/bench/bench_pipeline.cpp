/*
** Benchmark of the plain-text pipeline for one writer (chosen when
** built): split, border completion with merge spreading, table writer,
** on a generated table of a given number of cells.  Prints one line:
**   cells split_s complete_s write_s total_s peak_kb out_chars
*/
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <wchar.h>

#include "FileIo.h"
#include "CalcCom.h"
#include "CalcGet.h"
#include "MsgRecord.h"
#include "Result.h"
#include "Writer.h"

enum { BENCH_COLS = 10 };   /* columns of the generated table */

/* The driver's Office and clipboard stages are not part of the run. */
int CalcAcc(void)
{
  abort();
}

int ClipWrite(wchar_t *text)
{
  (void)text;
  abort();
}

/*
** Peak resident memory of this program in kB (VmHWM), -1 when unknown.
** The rusage maximum is not used: it keeps the peak of the process
** image that ran before exec, such as a script's interpreter.
*/
static long PeakKb(void)
{
  FILE *fp = fopen("/proc/self/status", "r");
  char line[256];
  long kb = -1;

  if (fp == NULL)
    return -1;
  while (fgets(line, sizeof line, fp) != NULL)
    if (sscanf(line, "VmHWM: %ld", &kb) == 1)
      break;
  fclose(fp);
  return kb;
}

static double Now(void)
{
  struct timespec t;

  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/*
** Tab-separated text of cells cells in rows of BENCH_COLS, each cell
** nine characters ("c" and eight digits, every seventh a number and
** every eleventh holding "&" and "<" to be escaped).  Null without memory.
*/
static wchar_t *TextMake(long cells)
{
  wchar_t *t = (wchar_t *)malloc(((size_t)cells * 10 + 1) * sizeof(wchar_t));
  size_t k = 0;

  if (t == NULL)
    return NULL;
  for (long i = 0; i < cells; i++) {
    if (i % 7 == 0)
      k += swprintf(t + k, 10, L"%09ld", i);
    else if (i % 11 == 0)
      k += swprintf(t + k, 10, L"a&b<%05ld", i % 100000);
    else
      k += swprintf(t + k, 10, L"c%08ld", i);
    t[k++] = (i % BENCH_COLS == BENCH_COLS - 1 || i == cells - 1) ? L'\n' : L'\t';
  }
  t[k] = L'\0';
  return t;
}

int main(int argc, char **argv)
{
  long cells = argc > 1 ? atol(argv[1]) : 1000;
  wchar_t ini[PATH_CAP];
  wchar_t *text;
  double t0, t1, t2, t3;
  int rc = 1;

  setlocale(LC_ALL, "C.UTF-8");
  if (argc < 3 || cells <= 0 || mbstowcs(ini, argv[2], PATH_CAP) == (size_t)-1) {
    fprintf(stderr, "usage: %s CELLS SETTINGS-FILE\n", argv[0]);
    return 2;
  }
  if (ProfileGet(ini) != 0 || (text = TextMake(cells)) == NULL)
    return 1;
  text_flag = TEXT_UTF8;
  Allline_flag = 1;
  t0 = Now();
  if (DataDivision(text) != RC_OK)
    goto done;
  t1 = Now();
  if (BorderComplete() != RC_OK || MergeSpread() != RC_OK)
    goto done;
  t2 = Now();
  if (MakeData() != RC_OK)
    goto done;
  t3 = Now();
  printf("%ld %.6f %.6f %.6f %.6f %ld %zu\n", cells, t1 - t0, t2 - t1, t3 - t2,
         t3 - t0, PeakKb(), wcslen(out_data.str));
  rc = 0;
done:
  FreeArea();
  CharLenFree(&out_data);
  free(text);
  return rc;
}
