/*
** Fuzz target: the plain-text pipeline on arbitrary input, as the
** driver runs it: settings file, split into cells, optional cell
** formatting and merged areas, border completion, merge spreading and
** the table writer (HTML or Wiki, chosen when built).
**
** Input: settings bytes, a zero byte, clipboard text, a zero byte,
** formatting bytes.  Without formatting bytes the table stays as plain
** text gives it; with them it is treated as a Calc selection.
*/
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "FileIo.h"
#include "CalcCom.h"
#include "CalcGet.h"
#include "MsgDisp.h"
#include "MsgRecord.h"
#include "Result.h"
#include "Writer.h"
#include "FuzzSupport.h"

enum {
  CELL_LIMIT = 20000,   /* larger tables only cost memory, not coverage */
  MERGE_MAX = 8         /* merged areas taken from the formatting bytes */
};

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
  (void)argc;
  (void)argv;
  setlocale(LC_ALL, "C.UTF-8");
  FuzzPathInit();
  return 0;
}

/* The driver's other stages are never reached from here. */
int CalcAcc(void)
{
  abort();
}

int ClipWrite(wchar_t *text)
{
  (void)text;
  abort();
}

/* The table size text gives, without building it (as the splitter counts). */
static long long CellsOf(const wchar_t *text)
{
  long long rows = 1, cols = 0, fields = 1;
  size_t len = wcslen(text);

  for (size_t i = 0; i < len; i++) {
    if (text[i] == L'\t') {
      fields++;
    } else if (text[i] == L'\n') {
      if (fields > cols)
        cols = fields;
      if (i != len - 1)
        rows++;
      fields = 1;
    }
  }
  if (fields > cols)
    cols = fields;
  return rows * cols;
}

/* Formatting of every cell from the byte pool, cycling through it. */
static void CellsFormat(const uint8_t *f, size_t n)
{
  long long total = (long long)Row_no * Col_no;

  for (long long i = 0; i < total; i++) {
    CELL_DATA *c = &hyo[i];
    uint8_t a = f[i % n], b = f[(i + 1) % n], d = f[(i + 2) % n];
    c->font_bold = a & 1;
    c->font_italic = (a >> 1) & 1;
    c->font_underline = (a >> 2) & 1 ? 1 + d % 18 : 0;
    c->font_strikethrough = (a >> 3) & 1 ? 1 + d % 6 : 0;
    c->posh = (a >> 4) % 6;                    /* 0 .. 5 */
    c->posv = (a >> 6) + (b & 1);              /* 0 .. 4 */
    c->num_flag = (b >> 1) & 1;
    for (int s = 0; s < 4; s++) {
      c->line_width[s] = ((b >> (2 * s)) & 3) % 3;
      c->line_color[s] = (int)(d * 0x010203u) & 0xFFFFFF;
    }
    c->font_color = (a * 0x030507) & 0xFFFFFF;
    c->font_size = (d & 0x80) ? -(int)d : d % 100;
    c->back_color = (b & 0x40) ? 0xFFFFFF : (int)((b * 0x0A0B0Cu) & 0xFFFFFF);
  }
}

/* 1 when the area lies in the table and no cell of it is merged yet. */
static int AreaFree(int c0, int c1, int r0, int r1)
{
  if (c1 >= Col_no || r1 >= Row_no)
    return 0;
  for (int m = r0; m <= r1; m++)
    for (int l = c0; l <= c1; l++)
      if (hyo[(long long)Col_no * m + l].mrg_pos != 0)
        return 0;
  return 1;
}

/*
** Merged areas from groups of four formatting bytes (row, column,
** height, width), marked as the Office bridge marks them.  A group
** whose height byte has its top bit set and that does not fit leaves a
** lone anchor with bounds outside the table, which the driver rejects.
*/
static void CellsMerge(const uint8_t *f, size_t n)
{
  for (size_t g = 0; g + 4 <= n && g / 4 < MERGE_MAX; g += 4) {
    int r0 = f[g] % Row_no, c0 = f[g + 1] % Col_no;
    int r1 = r0 + (f[g + 2] & 3), c1 = c0 + (f[g + 3] & 3);
    int anchor = Col_no * r0 + c0;
    if (!AreaFree(c0, c1, r0, r1)) {
      if ((f[g + 2] & 0x80) && hyo[anchor].mrg_pos == 0) {
        hyo[anchor].mrg_pos = 1;
        hyo[anchor].mrg_area[MA_COL0] = c0;
        hyo[anchor].mrg_area[MA_COL1] = c1;
        hyo[anchor].mrg_area[MA_ROW0] = r0;
        hyo[anchor].mrg_area[MA_ROW1] = r1;
      }
      continue;
    }
    if (r0 == r1 && c0 == c1)
      continue;
    hyo[anchor].mrg_area[MA_COL0] = c0;
    hyo[anchor].mrg_area[MA_COL1] = c1;
    hyo[anchor].mrg_area[MA_ROW0] = r0;
    hyo[anchor].mrg_area[MA_ROW1] = r1;
    for (int m = r0; m <= r1; m++)
      for (int l = c0; l <= c1; l++) {
        CELL_DATA *c = &hyo[(long long)Col_no * m + l];
        int colpart = l == c0 ? 1 : l == c1 ? 3 : 2;
        int rowpart = m == r0 ? 0 : m == r1 ? 6 : 3;
        c->mrg_pos = colpart + rowpart;
        c->mrg_origin = anchor;
      }
  }
}

/* The finished markup must be a terminated text within its buffer. */
static void OutputCheck(void)
{
  if (out_data.str == NULL || out_data.size <= 0)
    abort();
  if (wcsnlen(out_data.str, (size_t)out_data.size + 1) > (size_t)out_data.size)
    abort();
}

/* Release everything one run may hold. */
static void RunEnd(wchar_t *text)
{
  FreeArea();
  CharLenFree(&out_data);
  Out_alloc = 0;
  free(text);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  const uint8_t *z1 = (const uint8_t *)memchr(data, 0, size);
  size_t ini_n = z1 ? (size_t)(z1 - data) : size;
  const uint8_t *txt = z1 ? z1 + 1 : data + size;
  size_t rest = (size_t)(data + size - txt);
  const uint8_t *z2 = (const uint8_t *)memchr(txt, 0, rest);
  size_t txt_n = z2 ? (size_t)(z2 - txt) : rest;
  const uint8_t *fmt = z2 ? z2 + 1 : txt + txt_n;
  size_t fmt_n = (size_t)(data + size - fmt);
  wchar_t *text;
  int rc;

  MsgReset();
  FuzzPathWrite(data, ini_n);
  if (ProfileGet(FuzzWPath) != 0)
    return 0;                    /* the program stops at message 32 or 33 */
  text = FuzzWide(txt, txt_n);
  if (text == NULL || CellsOf(text) > CELL_LIMIT) {
    free(text);
    return 0;
  }
  text_flag = fmt_n > 0 ? TEXT_CALC : TEXT_UTF8;
  Allline_flag = fmt_n > 0 ? (fmt[0] >> 7) : 1;
  MsgAnswer = (fmt_n > 0 && (fmt[0] & 0x40)) ? 0 : MSG_RESPONSE_OK;
  Break_flag = BREAK_RUN;
  if (DataDivision(text) != RC_OK) {
    RunEnd(text);
    return 0;
  }
  if (fmt_n > 0) {
    CellsFormat(fmt, fmt_n);
    CellsMerge(fmt, fmt_n);
  }
  if ((rc = BorderComplete()) != RC_OK || (rc = MergeSpread()) != RC_OK) {
    if (Area_pos != 0)           /* a refusal must have freed the table */
      abort();
    RunEnd(text);
    return 0;
  }
  rc = MakeData();
  if (rc == RC_OK)
    OutputCheck();
  else if (rc != RC_NOMEM)
    abort();
  RunEnd(text);
  return 0;
}
