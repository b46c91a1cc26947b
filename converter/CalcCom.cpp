/*
** The cell table and the conversion state shared by every stage: the
** globals, AllocArea and FreeArea, and DataDivision, which splits plain
** text into rows at line feeds and into cells at tabs.
*/
#include <stdlib.h>
#include <limits.h>

#include "CalcCom.h"
#include "MsgDisp.h"
#include "Result.h"

CELL_DATA *hyo = NULL;          /* the cell table, row-major */
int Row_no = 0;                 /* rows of the table */
int Col_no = 0;                 /* columns of the table */
int Area_pos = 0;               /* 3 while the table exists, else 0 */
CHAR_LEN out_data = {0, NULL};  /* finished markup, lives until exit */
int Out_alloc = 0;              /* 1 while out_data owns a buffer */
CHAR_LEN out_wk_data = {0, NULL}; /* writers' scratch string */
int Out_wk_alloc = 0;           /* 1 while out_wk_data owns a buffer */
wchar_t *clip_data = NULL;      /* clipboard text */
int Clip_alloc = 0;             /* 1 while clip_data owns its buffer */
int *font_attr = NULL;          /* HTML writer: distinct font sets */
int *cell_attr = NULL;          /* HTML writer: distinct cell sets */
int font_attr_maxno = 0;        /* last stored font set, -1 none */
int font_attr_no = 0;           /* font class of the cell being written */
int cell_attr_maxno = 0;        /* last stored cell set, -1 none */
int cell_attr_no = 0;           /* cell class of the cell being written */
int font_attr_alloc = 0;        /* 1 while font_attr is allocated */
int cell_attr_alloc = 0;        /* 1 while cell_attr is allocated */
int text_flag = 0;              /* TEXT_* kind of clipboard content */
int Allline_flag = 0;           /* 1 once every cell is to get a border */
int Break_flag = 0;             /* BREAK_* cancel protocol */
int Proc_pos = 0;               /* POS_* stage of the Office bridge */
struct tm *Just1 = NULL;        /* start time of the conversion */
struct tm *Just2 = NULL;        /* end time of the conversion */
int Tmin = 0;                   /* elapsed minutes for message 1 */
int Tsec = 0;                   /* elapsed seconds for message 1 */

/*
** Create the table for Row_no x Col_no records, every cell without a
** text buffer (size -1) and every other field zero.  Returns 0, or 101
** after message 12 when the count is negative, too large or not had.
*/
int AllocArea(void)
{
  long long n = (long long)Col_no * Row_no;
  CELL_DATA *t;

  if (n < 0 || n > INT_MAX) {
    MessageDisp(MSG_NOMEM);
    return RC_NOMEM;
  }
  t = (CELL_DATA *)calloc(n > 0 ? (size_t)n : 1, sizeof(CELL_DATA));
  if (t == NULL) {
    MessageDisp(MSG_NOMEM);
    return RC_NOMEM;
  }
  for (long long i = 0; i < n; i++)
    t[i].cell_str.size = -1;
  hyo = t;
  Area_pos = 3;
  return RC_OK;
}

/*
** Release the table with its cell texts, the clipboard text, the
** writers' scratch string and the HTML style tables; out_data stays.
** The ownership flags decide, so any number of calls is safe.
*/
void FreeArea(void)
{
  if (Area_pos > 0) {
    long long n = (long long)Col_no * Row_no;
    for (long long i = 0; hyo != NULL && i < n; i++)
      if (hyo[i].cell_str.size != -1)
        CharLenFree(&hyo[i].cell_str);
    free(hyo);
    hyo = NULL;
    Area_pos = 0;
  }
  if (Out_wk_alloc == 1)
    CharLenFree(&out_wk_data);
  Out_wk_alloc = 0;
  if (Clip_alloc == 1 && clip_data != NULL)
    free(clip_data);
  Clip_alloc = 0;
  if (font_attr_alloc == 1 && font_attr != NULL)
    free(font_attr);
  font_attr_alloc = 0;
  if (cell_attr_alloc == 1 && cell_attr != NULL)
    free(cell_attr);
  cell_attr_alloc = 0;
}

/* Extra positions a character occupies in a scan: always 0. */
int ByteChk(wchar_t c)
{
  (void)c;
  return 0;
}

/* Size the table: rows by line feeds, columns by the widest line. */
static void SplitMeasure(const wchar_t *text, size_t len)
{
  int fields = 1;

  Col_no = 0;
  Row_no = 1;
  for (size_t i = 0; i < len; i += 1 + ByteChk(text[i])) {
    if (text[i] == L'\t') {
      fields++;
    } else if (text[i] == L'\n') {
      if (fields > Col_no)
        Col_no = fields;
      if (i != len - 1)
        Row_no++;
      fields = 1;
    }
  }
  if (fields > Col_no)
    Col_no = fields;
}

/* Neutral formatting of a plain-text cell. */
static void CellNeutral(CELL_DATA *c)
{
  for (int s = 0; s < 4; s++) {
    c->line_width[s] = 0;
    c->line_color[s] = 0;
  }
  c->font_color = 0;
  c->font_size = 10;
  c->font_bold = 0;
  c->font_italic = 0;
  c->font_underline = 0;
  c->font_strikethrough = 0;
  c->back_color = 0xFFFFFF;
}

/*
** Give the cell at index idx a buffer with room for the field that
** starts at text[start]: its characters up to the next tab, line feed
** or the end.  Returns 0 or 101 (message 12 shown).
*/
static int CellOpen(long long idx, const wchar_t *text, size_t start)
{
  size_t n = wcscspn(text + start, L"\t\n");

  if (n > INT_MAX) {
    MessageDisp(MSG_NOMEM);
    return RC_NOMEM;
  }
  return CharLenNewAlloc(&hyo[idx].cell_str, (int)n);
}

/* Copy text[from, to) into cell (row, col) and terminate it. */
static void CellPut(int row, int col, const wchar_t *text, size_t from, size_t to)
{
  CHAR_LEN *s = &hyo[(long long)Col_no * row + col].cell_str;

  if (s->size <= 0)
    return;
  wmemcpy(s->str, text + from, to - from);
  s->str[to - from] = L'\0';
}

/*
** Split text into the cell table: a tab ends a field, a line feed ends
** a field and a line, and a carriage return right before a line feed is
** dropped.  There is no quoting.  Cells to the right of a short line
** keep size -1.  Returns 0, or 101 after message 12; the caller frees.
*/
int DataDivision(const wchar_t *text)
{
  size_t len = wcslen(text);
  long long total;
  size_t start = 0;
  int row = 0, col = 0;
  int r;

  SplitMeasure(text, len);
  if ((r = AllocArea()) != RC_OK)
    return r;
  total = (long long)Col_no * Row_no;
  for (long long i = 0; i < total; i++)
    CellNeutral(&hyo[i]);
  if (total > 0 && (r = CellOpen(0, text, 0)) != RC_OK)
    return r;
  for (size_t i = 0; i < len; i += 1 + ByteChk(text[i])) {
    if (text[i] == L'\t') {
      CellPut(row, col, text, start, i);
      start = i + 1;
      col++;
      if ((long long)Col_no * row + col < total
          && (r = CellOpen((long long)Col_no * row + col, text, start)) != RC_OK)
        return r;
    } else if (text[i] == L'\n') {
      size_t end = i;
      if (end > start && text[end - 1] == L'\r')
        end--;
      CellPut(row, col, text, start, end);
      start = i + 1;
      row++;
      col = 0;
      if ((long long)Col_no * row < total
          && (r = CellOpen((long long)Col_no * row, text, start)) != RC_OK)
        return r;
    }
  }
  if (start != len)
    CellPut(row, col, text, start, len);
  return RC_OK;
}
