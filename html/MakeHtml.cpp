/*
** HTML table writer: reads the Param settings of tabvue-html, escapes
** cell texts, and writes the cell table as an HTML table in style mode
** (CSS classes and a style sheet) or attribute mode (BORDER, BGCOLOR).
*/
#include <stdlib.h>
#include <string.h>
#include <limits.h>

#include "MakeHtml.h"
#include "CalcCom.h"
#include "FileIo.h"
#include "MsgDisp.h"
#include "Result.h"
#include "RGBChar.h"

const char ProgTitle[] = "Tabvue Html変換 for Linux";
const wchar_t IniName[] = L"TabvueHtml.ini";

wchar_t In_html_version[HTML_PARAM_CAP] = L"5";   /* first char "5": style mode */
wchar_t In_table_posh[HTML_PARAM_CAP];            /* tag written before the table */
wchar_t In_table_outline[HTML_PARAM_CAP];         /* table border colour, style mode */
wchar_t In_line_color_yn[HTML_PARAM_CAP];         /* "ON": border colours */
wchar_t In_line_width_yn[HTML_PARAM_CAP];         /* "ON": border width */
wchar_t In_back_color_yn[HTML_PARAM_CAP];         /* "ON": cell backgrounds */
wchar_t In_font_color_yn[HTML_PARAM_CAP];         /* "ON": text colour */
wchar_t In_font_size_yn[HTML_PARAM_CAP];          /* "ON": text size */
wchar_t In_font_bold_yn[HTML_PARAM_CAP];          /* "ON": bold */
wchar_t In_font_underline_yn[HTML_PARAM_CAP];     /* "ON": underline */
wchar_t In_font_italic_yn[HTML_PARAM_CAP];        /* "ON": italic */
wchar_t In_font_strikethrough_yn[HTML_PARAM_CAP]; /* "ON": strike-out */
wchar_t In_cell_posh_yn[HTML_PARAM_CAP];          /* "ON": horizontal alignment */
wchar_t In_cell_posv_yn[HTML_PARAM_CAP];          /* "ON": vertical alignment */

/* ------------------------------------------------------------------ */
/* Settings                                                           */
/* ------------------------------------------------------------------ */

typedef struct {
  const wchar_t *name;   /* key in section Param */
  const wchar_t *def;    /* value when the key is missing */
  wchar_t *target;       /* global that receives the value */
  int cap;               /* room of target, terminator included */
} PARAM_KEY;

static const PARAM_KEY param_keys[] = {
  /* name                      default  target                    capacity */
  {L"htmlversion",             L"5",    In_html_version,          HTML_PARAM_CAP},
  {L"table_posh",              L"",     In_table_posh,            HTML_PARAM_CAP},
  {L"table_outline",           L"",     In_table_outline,         HTML_PARAM_CAP},
  {L"line_color_yn",           L"",     In_line_color_yn,         HTML_PARAM_CAP},
  {L"line_width_yn",           L"",     In_line_width_yn,         HTML_PARAM_CAP},
  {L"back_color_yn",           L"",     In_back_color_yn,         HTML_PARAM_CAP},
  {L"font_color_yn",           L"",     In_font_color_yn,         HTML_PARAM_CAP},
  {L"font_size_yn",            L"",     In_font_size_yn,          HTML_PARAM_CAP},
  {L"font_bold_yn",            L"",     In_font_bold_yn,          HTML_PARAM_CAP},
  {L"font_underline_yn",       L"",     In_font_underline_yn,     HTML_PARAM_CAP},
  {L"font_italic_yn",          L"",     In_font_italic_yn,        HTML_PARAM_CAP},
  {L"font_strikethrough_yn",   L"",     In_font_strikethrough_yn, HTML_PARAM_CAP},
  {L"cell_posh_yn",            L"",     In_cell_posh_yn,          HTML_PARAM_CAP},
  {L"cell_posv_yn",            L"",     In_cell_posv_yn,          HTML_PARAM_CAP},
};
static_assert(sizeof(param_keys) / sizeof(param_keys[0]) == 14,
              "fourteen Param keys");

/* Read the Param keys from the settings text the reader holds; a key
** that is missing (or no text at all) leaves its default. */
void ParamGet(void)
{
  for (const PARAM_KEY &k : param_keys)
    GetProfileWrapp(PROF_LOOKUP, nullptr, L"Param", k.name, k.def,
                    k.target, k.cap);
}

/* ------------------------------------------------------------------ */
/* Escaping                                                           */
/* ------------------------------------------------------------------ */

typedef struct {
  wchar_t src;           /* character replaced */
  const wchar_t *repl;   /* its replacement */
  int len;               /* length of repl */
} CODECONV;

static const CODECONV codeconv[] = {
  /* source   replacement  length */
  {L'\n',     L"<BR>",     4},
  {L' ',      L"&nbsp;",   6},
  {L'"',      L"&quot;",   6},
  {L'&',      L"&amp;",    5},
  {L'<',      L"&lt;",     4},
  {L'>',      L"&gt;",     4},
};
static_assert(sizeof(codeconv) / sizeof(codeconv[0]) == 6,
              "six escapes");

enum { ESC_MAX = 6 };   /* longest replacement: one character grows sixfold */

/* The escape entry of c, or null when c stands as it is. */
static const CODECONV *CodeFind(wchar_t c)
{
  for (const CODECONV &e : codeconv)
    if (e.src == c)
      return &e;
  return NULL;
}

/* Length of the escaped form of text. */
static size_t EscLen(const wchar_t *text)
{
  size_t n = 0;
  for (const wchar_t *p = text; *p; p++) {
    const CODECONV *e = CodeFind(*p);
    n += e ? (size_t)e->len : 1;
  }
  return n;
}

/*
** Replace the text of dst by the escaped text of src.  A replacement
** that would not fit in dst->size characters is left out together with
** everything after it, so nothing is written past the buffer; MakeData
** grows dst beforehand so that this never happens there.
*/
void Cell_char_conv(CHAR_LEN src, CHAR_LEN *dst)
{
  size_t room, n = 0;

  if (dst->size <= 0 || dst->str == NULL)
    return;
  room = (size_t)dst->size;
  if (src.size > 0 && src.str != NULL) {
    for (const wchar_t *p = src.str; *p; p++) {
      const CODECONV *e = CodeFind(*p);
      size_t len = e ? (size_t)e->len : 1;
      if (n + len > room)
        break;
      if (e)
        wmemcpy(dst->str + n, e->repl, len);
      else
        dst->str[n] = *p;
      n += len;
    }
  }
  dst->str[n] = L'\0';
}

/* ------------------------------------------------------------------ */
/* Output string                                                      */
/* ------------------------------------------------------------------ */

/*
** out_data is appended to through Put and friends, which keep its
** length in Out_len (so an append costs only the appended text) and
** grow it by at least half its capacity (so a large table is copied a
** few times, not once per 500 characters).  The first failure shows
** message 13 and sticks in Out_rc; later appends then do nothing.
*/
static size_t Out_len;   /* characters held in out_data */
static int Out_rc;       /* RC_OK, or RC_NOMEM once an append failed */

enum { OUT_START = 10000 };   /* first capacity of out_data and out_wk_data */

/* Make room in out_data for add more characters. */
static int OutRoom(size_t add)
{
  size_t need;

  if (Out_rc != RC_OK)
    return Out_rc;
  need = Out_len + add;
  if (need <= (size_t)out_data.size)
    return RC_OK;
  if (add <= (size_t)INT_MAX - CHARLEN_STEP) {
    int step = (int)add + CHARLEN_STEP;
    if (out_data.size / 2 > step
        && CharLenAddAlloc(&out_data, out_data.size / 2) == RC_OK)
      return RC_OK;
    if (CharLenAddAlloc(&out_data, step) == RC_OK)
      return RC_OK;
  }
  MessageDisp(MSG_MEMOP);
  Out_rc = RC_NOMEM;
  return Out_rc;
}

/* Append n characters of text to out_data. */
static void PutN(const wchar_t *text, size_t n)
{
  if (OutRoom(n) != RC_OK)
    return;
  wmemcpy(out_data.str + Out_len, text, n);
  Out_len += n;
  out_data.str[Out_len] = L'\0';
}

/* Append the text to out_data. */
static void Put(const wchar_t *text)
{
  PutN(text, wcslen(text));
}

/* Append v in decimal. */
static void PutInt(long long v)
{
  wchar_t buf[24];
  int i = (int)(sizeof(buf) / sizeof(buf[0]));
  unsigned long long u = v < 0 ? 0ULL - (unsigned long long)v
                               : (unsigned long long)v;

  do {
    buf[--i] = (wchar_t)(L'0' + u % 10);
    u /= 10;
  } while (u > 0);
  if (v < 0)
    buf[--i] = L'-';
  PutN(buf + i, sizeof(buf) / sizeof(buf[0]) - i);
}

/* Append the colour text of color. */
static void PutColor(int color)
{
  wchar_t buf[RGB_CAP];

  RGBChar((uint32_t)color, buf);
  Put(buf);
}

/* ------------------------------------------------------------------ */
/* The writer                                                         */
/* ------------------------------------------------------------------ */

enum {                  /* switches, in the order of sw_src */
  SW_LINE_COLOR, SW_LINE_WIDTH, SW_BACK_COLOR, SW_FONT_COLOR, SW_FONT_SIZE,
  SW_BOLD, SW_UNDERLINE, SW_ITALIC, SW_STRIKE, SW_POSH, SW_POSV, SW_COUNT
};

static const wchar_t *const sw_src[] = {   /* setting of each SW_* switch */
  In_line_color_yn, In_line_width_yn, In_back_color_yn, In_font_color_yn,
  In_font_size_yn, In_font_bold_yn, In_font_underline_yn, In_font_italic_yn,
  In_font_strikethrough_yn, In_cell_posh_yn, In_cell_posv_yn,
};
static_assert(sizeof(sw_src) / sizeof(sw_src[0]) == SW_COUNT,
              "one setting per switch");

static int On[SW_COUNT];   /* 1 where the switch's value is exactly "ON" */
static int Style;          /* 1 style mode, 0 attribute mode */
static int First_kind;     /* top border kind of the first record */
static int First_color;    /* top border colour of the first record */

enum {                  /* flags of a font set, in this order */
  FF_COLOR, FF_SIZE, FF_BOLD, FF_ITALIC, FF_UNDERLINE, FF_STRIKE, FF_COUNT
};
enum { CS_BACK, CS_LINE, CS_COUNT };   /* values of a cell set */

/* CSS declaration of each font-set flag.  Only the underline flag is
** ever set: colour and size go into a SPAN, bold, italic and strike-out
** into tags, in both modes. */
static const wchar_t *const cssparm[] = {
  L"color:", L"font-size:", L"font-weight:bold", L"font-style:italic",
  L" underline", L" line-through",
};
static_assert(sizeof(cssparm) / sizeof(cssparm[0]) == FF_COUNT,
              "one declaration per font flag");

/* Read the switches, the mode and the first record's top border. */
static void SettingsTake(void)
{
  for (int i = 0; i < SW_COUNT; i++)
    On[i] = wcscmp(sw_src[i], L"ON") == 0;
  Style = In_html_version[0] == L'5';
  First_kind = 0;                   /* a table without records has no border */
  First_color = 0;
  if (hyo != NULL && Row_no > 0 && Col_no > 0) {
    First_kind = hyo[0].line_width[SIDE_TOP];
    First_color = hyo[0].line_color[SIDE_TOP];
  }
}

/* Release what an earlier run left, so a second run leaks nothing. */
static void EarlierRelease(void)
{
  if (Out_alloc == 1)
    CharLenFree(&out_data);
  Out_alloc = 0;
  if (Out_wk_alloc == 1)
    CharLenFree(&out_wk_data);
  Out_wk_alloc = 0;
  if (font_attr_alloc == 1 && font_attr != NULL)
    free(font_attr);
  font_attr = NULL;
  font_attr_alloc = 0;
  if (cell_attr_alloc == 1 && cell_attr != NULL)
    free(cell_attr);
  cell_attr = NULL;
  cell_attr_alloc = 0;
}

/* Column and row span of every anchor cell; 0 in every other cell. */
static void SpanSet(long long n)
{
  for (long long i = 0; i < n; i++) {
    CELL_DATA *c = &hyo[i];
    c->mrgh = 0;
    c->mrgv = 0;
    if (c->mrg_pos == 1) {
      c->mrgh = c->mrg_area[MA_COL1] - c->mrg_area[MA_COL0] + 1;
      c->mrgv = c->mrg_area[MA_ROW1] - c->mrg_area[MA_ROW0] + 1;
    }
  }
}

/*
** A rough size of the output: the cell texts, the fixed tags of every
** cell and row, and some room per formatting switch that is on.  It
** only saves copies; OutRoom grows beyond it when needed.
*/
static long long OutEstimate(long long n)
{
  long long est = 1000, per_cell = 17;   /* "\n<TD NOWRAP></TD>" */

  for (int i = 0; i < SW_COUNT; i++)
    per_cell += On[i] ? 12 : 0;
  for (long long i = 0; i < n; i++)
    if (hyo[i].cell_str.size > 0)
      est += (long long)wcslen(hyo[i].cell_str.str);
  return est + n * per_cell + (long long)Row_no * 12;
}

/*
** Create out_wk_data and out_data (10000 characters each) and reserve
** room for the estimated output.  Returns 0, or 101 after the allocator's
** message 12 with FreeArea called.
*/
static int StringsCreate(long long n)
{
  long long est;

  if (CharLenNewAlloc(&out_wk_data, OUT_START) != RC_OK) {
    FreeArea();
    return RC_NOMEM;
  }
  Out_wk_alloc = 1;
  if (CharLenNewAlloc(&out_data, OUT_START) != RC_OK) {
    FreeArea();
    return RC_NOMEM;
  }
  Out_alloc = 1;
  Out_len = 0;
  Out_rc = RC_OK;
  est = OutEstimate(n);
  if (est > OUT_START && est < INT_MAX / 2)
    CharLenAddAlloc(&out_data, (int)(est - OUT_START));   /* a miss is no failure */
  return RC_OK;
}

/* The optional positioning tag and the table's start tag. */
static void TableStart(void)
{
  if (In_table_posh[0] != L'\0') {
    Put(L"<");
    Put(In_table_posh);
    Put(L">");
  }
  Put(L"<TABLE");
  if (!Style) {
    if (On[SW_LINE_WIDTH]) {
      Put(L" BORDER CELLSPACING=");
      PutInt(First_kind);
    } else {
      Put(L" BORDER");
    }
    if (On[SW_LINE_COLOR]) {
      Put(L" BORDERCOLOR=");
      PutColor(First_color);
    }
  } else if (On[SW_LINE_WIDTH] || On[SW_LINE_COLOR]) {
    Put(L" CLASS=\"tabvueT\"");
  }
  Put(L">");
}

/*
** The cell sets are also found through an open-addressing index, so
** that a table with many distinct colours costs linear time: a slot
** holds a set's index plus one (0: empty).  There are at least twice
** as many slots as cells, so a probe always ends.  The stored sets are
** distinct, so the one found is also the first equal one.
*/
static int *Cell_index;          /* slots of the cell-set index */
static size_t Cell_index_mask;   /* slot count minus one, a power of two */

/* Allocate the index for n cells.  Returns 0 or 101 (no message). */
static int CellIndexAlloc(long long n)
{
  size_t slots = 16;

  while (slots < (size_t)n * 2)
    slots <<= 1;
  Cell_index = (int *)calloc(slots, sizeof(int));
  if (Cell_index == NULL)
    return RC_NOMEM;
  Cell_index_mask = slots - 1;
  return RC_OK;
}

/* Release the index; it serves only while the rows are written. */
static void CellIndexFree(void)
{
  free(Cell_index);
  Cell_index = NULL;
}

/* Index of the stored cell set equal to the candidate right after the
** stored ones; the candidate becomes a new set when none is equal. */
static int CellSetFind(void)
{
  const int *cand = cell_attr + (size_t)(cell_attr_maxno + 1) * CS_COUNT;
  uint32_t h = (uint32_t)cand[CS_BACK] * 0x9E3779B1u
               ^ (uint32_t)cand[CS_LINE] * 0x85EBCA77u;

  h ^= h >> 15;
  for (size_t i = h & Cell_index_mask;; i = (i + 1) & Cell_index_mask) {
    int slot = Cell_index[i];
    const int *set;
    if (slot == 0) {
      Cell_index[i] = cell_attr_maxno + 2;   /* the new set's index + 1 */
      return ++cell_attr_maxno;
    }
    set = cell_attr + (size_t)(slot - 1) * CS_COUNT;
    if (set[CS_BACK] == cand[CS_BACK] && set[CS_LINE] == cand[CS_LINE])
      return slot - 1;
  }
}

/* Allocate both style tables, zero-filled, one set per cell, and the
** cell-set index.  Returns 0 or 101 (no message). */
static int StyleTablesAlloc(long long n)
{
  size_t sets = n > 0 ? (size_t)n : 1;

  font_attr = (int *)calloc(sets, FF_COUNT * sizeof(int));
  if (font_attr == NULL)
    return RC_NOMEM;
  font_attr_alloc = 1;
  cell_attr = (int *)calloc(sets, CS_COUNT * sizeof(int));
  if (cell_attr == NULL)
    return RC_NOMEM;
  cell_attr_alloc = 1;
  font_attr_maxno = -1;
  cell_attr_maxno = -1;
  return CellIndexAlloc(n);
}

/*
** Index of the first stored font set equal to the candidate stored right
** after them; the candidate is kept as a new set when none matches.  A
** plain search: with the one flag this writer sets there is at most one
** stored set.
*/
static int FontSetFind(void)
{
  const int *cand = font_attr + (size_t)(font_attr_maxno + 1) * FF_COUNT;

  for (int i = 0; i <= font_attr_maxno; i++)
    if (memcmp(font_attr + (size_t)i * FF_COUNT, cand,
               FF_COUNT * sizeof(int)) == 0)
      return i;
  return ++font_attr_maxno;
}

/* Font class of cell c into font_attr_no: -1 when no flag applies. */
static void FontClass(const CELL_DATA *c)
{
  int *cand = font_attr + (size_t)(font_attr_maxno + 1) * FF_COUNT;
  int any = 0;

  for (int f = 0; f < FF_COUNT; f++)
    cand[f] = 0;
  if (Style && On[SW_UNDERLINE] && c->font_underline != 0)
    cand[FF_UNDERLINE] = any = 1;
  font_attr_no = any ? FontSetFind() : -1;
}

/* Cell class of cell c into cell_attr_no: its background and top border
** colour (white where it has no top border) in style mode with
** backgrounds on, else the all-zero set. */
static void CellClass(const CELL_DATA *c)
{
  int *cand = cell_attr + (size_t)(cell_attr_maxno + 1) * CS_COUNT;

  if (Style && On[SW_BACK_COLOR]) {
    cand[CS_BACK] = c->back_color;
    cand[CS_LINE] = c->line_width[SIDE_TOP] == 0 ? 0xFFFFFF
                                                 : c->line_color[SIDE_TOP];
  }
  cell_attr_no = CellSetFind();
}

/* "<TD" with its spans, NOWRAP, vertical alignment and background. */
static void CellTag(const CELL_DATA *c)
{
  Put(L"\n<TD");
  if (c->mrg_pos == 1) {
    if (c->mrgh > 1) {
      Put(L" COLSPAN=");
      PutInt(c->mrgh);
    }
    if (c->mrgv > 1) {
      Put(L" ROWSPAN=");
      PutInt(c->mrgv);
    }
  }
  Put(L" NOWRAP");
  if (On[SW_POSV]) {
    if (c->posv == 1)
      Put(L" VALIGN=\"TOP\"");
    else if (c->posv == 3)
      Put(L" VALIGN=\"BOTTOM\"");
  }
  if (On[SW_BACK_COLOR]) {
    if (Style) {
      Put(L" class=\"tabvueC");
      PutInt(cell_attr_no);
      Put(L"\"");
    } else {
      Put(L" BGCOLOR=");
      PutColor(c->back_color);
    }
  }
  Put(L">");
}

/* Escape the cell's text into out_wk_data, grown first so that the
** whole text fits, and append it. */
static void CellText(const CELL_DATA *c)
{
  size_t need;

  if (c->cell_str.size <= 0 || Out_rc != RC_OK)
    return;
  need = EscLen(c->cell_str.str);
  if (need > (size_t)out_wk_data.size) {
    out_wk_data.str[0] = L'\0';               /* nothing worth copying */
    if (need > (size_t)INT32_MAX
        || CharLenAddAlloc(&out_wk_data, (int)(need - out_wk_data.size)) != RC_OK) {
      MessageDisp(MSG_MEMOP);
      Out_rc = RC_NOMEM;
      return;
    }
  }
  Cell_char_conv(c->cell_str, &out_wk_data);
  PutN(out_wk_data.str, need);
}

/* Horizontal alignments that open a paragraph, and its start tag. */
static const struct { int64_t posh; const wchar_t *tag; } posh_tags[] = {
  /* posh  tag */
  {1,      L"<P ALIGN=\"LEFT\""},
  {3,      L"<P ALIGN=\"RIGHT\""},
  {2,      L"<P ALIGN=\"CENTER\""},
};

/* Font tags in opening order; they close in the reverse order. */
enum { FT_BOLD, FT_UNDERLINE, FT_ITALIC, FT_STRIKE, FT_COUNT };
static const struct { const wchar_t *open, *close; } font_tags[] = {
  /* opening  closing */
  {L"<B>",    L"</B>"},
  {L"<U>",    L"</U>"},
  {L"<I>",    L"</I>"},
  {L"<S>",    L"</S>"},
};
static_assert(sizeof(font_tags) / sizeof(font_tags[0]) == FT_COUNT,
              "one pair of tags per font tag");

/*
** The content of cell c: span, paragraph, font tags, text, and their
** closing tags in reverse order, then "</TD>".  Sets posh to 3 for a
** number cell without left, centre or right alignment.
*/
static void CellBody(CELL_DATA *c)
{
  int span = On[SW_FONT_COLOR] || (On[SW_FONT_SIZE] && c->font_size != 0);
  int para = 0;
  int ft[FT_COUNT];

  if (span) {
    Put(L"<SPAN STYLE=\"");
    if (On[SW_FONT_SIZE] && c->font_size != 0) {
      Put(L"FONT-SIZE:");
      PutInt(c->font_size);
      Put(L"pt");
    }
    Put(L";");
    if (On[SW_FONT_COLOR]) {
      Put(L"COLOR:");
      PutColor(c->font_color);
    }
    Put(L"\">");
  }
  if (On[SW_POSH]) {
    if (c->posh != 1 && c->posh != 2 && c->posh != 3 && c->num_flag == 1)
      c->posh = 3;
    for (const auto &p : posh_tags)
      if (c->posh == p.posh) {
        Put(p.tag);
        para = 1;
      }
  }
  if (font_attr_no >= 0) {
    if (!para)
      Put(L"<P");
    para = 1;
    Put(L" class=\"tabvueF");
    PutInt(font_attr_no);
    Put(L"\"");
  }
  if (para)
    Put(L">");
  ft[FT_BOLD] = On[SW_BOLD] && c->font_bold;
  ft[FT_UNDERLINE] = On[SW_UNDERLINE] && c->font_underline != 0 && !Style;
  ft[FT_ITALIC] = On[SW_ITALIC] && c->font_italic;
  ft[FT_STRIKE] = On[SW_STRIKE] && c->font_strikethrough != 0;
  for (int i = 0; i < FT_COUNT; i++)
    if (ft[i])
      Put(font_tags[i].open);
  CellText(c);
  for (int i = FT_COUNT - 1; i >= 0; i--)
    if (ft[i])
      Put(font_tags[i].close);
  if (para)
    Put(L"</P>");
  if (span)
    Put(L"</SPAN>");
  Put(L"</TD>");
}

/* One row: its style sets for every cell, and the written cells. */
static void RowWrite(int row)
{
  Put(L"\n<TR>");
  for (int col = 0; hyo != NULL && col < Col_no && Out_rc == RC_OK; col++) {
    CELL_DATA *c = &hyo[(size_t)Col_no * row + col];
    FontClass(c);
    CellClass(c);
    if (c->mrg_pos > 1)
      continue;                 /* covered by a merged area */
    CellTag(c);
    CellBody(c);
  }
  Put(L"\n</TR>");
}

/* The rule of the table border: width, colour, "solid". */
static void TableRule(void)
{
  if (!On[SW_LINE_WIDTH] && !On[SW_LINE_COLOR])
    return;
  Put(L"table.tabvueT, td.tabvueT, th.tabvueT { border: ");
  if (On[SW_LINE_WIDTH]) {
    PutInt(First_kind);
    Put(L"px ");
  }
  if (On[SW_LINE_COLOR]) {
    if (In_table_outline[0] != L'\0')
      Put(In_table_outline);
    else
      PutColor(First_color);
    Put(L" ");
  }
  Put(L"solid}\n");
}

/* One rule per font set: its declarations separated by ";", underline
** and strike-out joined under one "text-decoration:". */
static void FontRules(void)
{
  for (int i = 0; i <= font_attr_maxno; i++) {
    const int *set = font_attr + (size_t)i * FF_COUNT;
    int written = 0, deco = 0;
    Put(L"p.tabvueF");
    PutInt(i);
    Put(L" {");
    for (int f = 0; f < FF_COUNT; f++) {
      int is_deco = f == FF_UNDERLINE || f == FF_STRIKE;
      if (!set[f])
        continue;
      if (written && !(is_deco && deco))
        Put(L";");
      if (is_deco && !deco) {
        Put(L"text-decoration:");
        deco = 1;
      }
      Put(cssparm[f]);
      written = 1;
    }
    if (written)
      Put(L"}\n");
  }
}

/* One rule per cell set: background, then border width and colour. */
static void CellRules(void)
{
  for (int i = 0; i <= cell_attr_maxno; i++) {
    const int *set = cell_attr + (size_t)i * CS_COUNT;
    Put(L"td.tabvueC");
    PutInt(i);
    Put(L" {");
    if (On[SW_BACK_COLOR]) {
      Put(L"background-color:");
      PutColor(set[CS_BACK]);
    }
    if (On[SW_LINE_WIDTH] || On[SW_LINE_COLOR]) {
      if (On[SW_BACK_COLOR])
        Put(L";");
      Put(L" border: ");
      if (On[SW_LINE_WIDTH]) {
        PutInt(First_kind);
        Put(L"px ");
      }
      if (On[SW_LINE_COLOR]) {
        PutColor(set[CS_LINE]);
        Put(L" ");
      }
      Put(L"solid");
    }
    Put(L"}\n");
  }
}

/* The style sheet that follows the table in style mode. */
static void StyleSheet(void)
{
  Put(L"\n\n\n<style type=\"text/css\">\n<!--\n");
  TableRule();
  FontRules();
  CellRules();
  Put(L"-->\n</style>\n");
}

/*
** Write the cell table hyo as an HTML table into out_data: style mode
** when htmlversion begins with "5", attribute mode otherwise.  Returns
** 0, or 101 when memory ran out (message 12 or 13 shown by then, except
** for the style tables); what was written stays in out_data.
*/
int MakeData(void)
{
  long long n = (hyo != NULL && Row_no > 0 && Col_no > 0)
                    ? (long long)Row_no * Col_no : 0;
  int rc, rows;

  EarlierRelease();
  SettingsTake();
  SpanSet(n);
  if ((rc = StringsCreate(n)) != RC_OK)
    return rc;
  TableStart();
  if (Out_rc != RC_OK)
    return Out_rc;
  if ((rc = StyleTablesAlloc(n)) != RC_OK)
    return rc;
  rows = (n > 0 || Col_no == 0) ? Row_no : 0;   /* rows without cells still get TR */
  for (int row = 0; row < rows && Out_rc == RC_OK; row++)
    RowWrite(row);
  CellIndexFree();
  Put(L"\n</TABLE>");
  if (Style)
    StyleSheet();
  return Out_rc;
}
