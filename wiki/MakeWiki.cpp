/*
** Wiki table writer: reads the Param settings of tabvue-wiki, splits each
** markup value into opening and closing part, converts cell texts by the
** replacement entries and writes the cell table as Wiki markup.
*/
#include <stdlib.h>
#include <string.h>
#include <limits.h>

#include "MakeWiki.h"
#include "CalcCom.h"
#include "FileIo.h"
#include "MsgDisp.h"
#include "Result.h"
#include "RGBChar.h"

const char ProgTitle[] = "Tabvue Wiki変換 for Linux";
const wchar_t IniName[] = L"TabvueWiki.ini";

wchar_t In_cntl_char[WIKI_CNTL_CAP] = L"@";   /* first character divides the values */
IN_PARM In_line_color_wik;                    /* table start and end, top border colour */
IN_PARM In_line_width_wik;                    /* inside line_color, top border kind */
IN_PARM In_back_color_wik;                    /* every cell: background colour */
IN_PARM In_font_color_wik;                    /* every cell: text colour */
IN_PARM In_font_size_wik;                     /* every cell: text size in points */
IN_PARM In_font_bold_wik;                     /* bold cells */
IN_PARM In_font_underline_wik;                /* underlined cells */
IN_PARM In_font_italic_wik;                   /* italic cells */
IN_PARM In_font_strikethrough_wik;            /* struck-out cells */
IN_PARM In_cell_poshr_wik;                    /* right-aligned cells */
IN_PARM In_cell_poshc_wik;                    /* horizontally centred cells */
IN_PARM In_cell_poshl_wik;                    /* all other horizontal alignments */
IN_PARM In_cell_posvt_wik;                    /* top-aligned cells */
IN_PARM In_cell_posvc_wik;                    /* vertically centred cells */
IN_PARM In_cell_posvb_wik;                    /* all other vertical alignments */
IN_PARM In_cell_sep_wik;                      /* before every cell and at row end */
IN_PARM In_cell_mrgh_wik;                     /* merged anchor, once per spanned column */
IN_PARM In_cell_mrgv_wik;                     /* merged anchor, once per spanned row */
IN_PARM In_row_line_wik;                      /* a line of its own before every row */
IN_PARM In_head_rule_wik;                     /* a line after the first row, per cell */
IN_PARM In_row_end_wik;                       /* when given: row end instead of cell_sep */
IN_PARM In_code_chenge_m_wik[WIKI_CHENGE_MAX];   /* match texts */
IN_PARM In_code_chenge_o_wik[WIKI_CHENGE_MAX];   /* output texts */
IN_PARM In_code_chenge_r_wik[WIKI_CHENGE_MAX];   /* modes: "all" wraps */
int32_t In_code_chenge_no;                    /* leading entries in use, 0..5 */

/* ------------------------------------------------------------------ */
/* Settings                                                           */
/* ------------------------------------------------------------------ */

typedef struct {
  const wchar_t *name;   /* key in section Param */
  IN_PARM *parm;         /* record whose text receives the value */
  int capacity;          /* room handed to the reader, terminator included */
} WIKI_KEY;

/* The markup keys in the order they are read and split; every one
** defaults to the empty value.  The last three let a dialect shape its
** rows, which no other value can do since a value ends at its line end:
** row_line is a line of its own before every row, head_rule a line under
** the first row (once per cell of it), and row_end, when given at all
** (a lone control character gives nothing), ends every row in place of
** cell_sep. */
static const WIKI_KEY wiki_keys[] = {
  /* name                   record                      capacity */
  {L"line_color",           &In_line_color_wik,         WIKI_PARAM_CAP},
  {L"line_width",           &In_line_width_wik,         WIKI_PARAM_CAP},
  {L"back_color",           &In_back_color_wik,         WIKI_PARAM_CAP},
  {L"font_color",           &In_font_color_wik,         WIKI_PARAM_CAP},
  {L"font_size",            &In_font_size_wik,          WIKI_PARAM_CAP},
  {L"font_bold",            &In_font_bold_wik,          WIKI_PARAM_CAP},
  {L"font_underline",       &In_font_underline_wik,     WIKI_PARAM_CAP},
  {L"font_italic",          &In_font_italic_wik,        WIKI_PARAM_CAP},
  {L"font_strikethrough",   &In_font_strikethrough_wik, WIKI_PARAM_CAP},
  {L"cell_poshr",           &In_cell_poshr_wik,         WIKI_PARAM_CAP},
  {L"cell_poshc",           &In_cell_poshc_wik,         WIKI_PARAM_CAP},
  {L"cell_poshl",           &In_cell_poshl_wik,         WIKI_PARAM_CAP},
  {L"cell_posvt",           &In_cell_posvt_wik,         WIKI_PARAM_CAP},
  {L"cell_posvc",           &In_cell_posvc_wik,         WIKI_PARAM_CAP},
  {L"cell_posvb",           &In_cell_posvb_wik,         WIKI_PARAM_CAP},
  {L"cell_sep",             &In_cell_sep_wik,           WIKI_PARAM_CAP},
  {L"cell_mrgh",            &In_cell_mrgh_wik,          WIKI_PARAM_CAP},
  {L"cell_mrgv",            &In_cell_mrgv_wik,          WIKI_PARAM_CAP},
  {L"row_line",             &In_row_line_wik,           WIKI_PARAM_CAP},
  {L"head_rule",            &In_head_rule_wik,          WIKI_PARAM_CAP},
  {L"row_end",              &In_row_end_wik,            WIKI_PARAM_CAP},
};
enum { WIKI_KEY_COUNT = 21 };
static_assert(sizeof wiki_keys / sizeof wiki_keys[0] == WIKI_KEY_COUNT,
              "wiki_keys and WIKI_KEY_COUNT differ");

typedef struct {
  const wchar_t *stem;   /* key without its digit 1..5 */
  IN_PARM *parms;        /* array of WIKI_CHENGE_MAX records */
} CHENGE_KEY;

/* One replacement entry is these three keys with the same digit. */
static const CHENGE_KEY chenge_keys[] = {
  /* stem               records */
  {L"code_chenge_m",    In_code_chenge_m_wik},
  {L"code_chenge_o",    In_code_chenge_o_wik},
  {L"code_chenge_r",    In_code_chenge_r_wik},
};
static_assert(sizeof chenge_keys / sizeof chenge_keys[0] == 3,
              "a replacement entry has three keys");

/* Read one key of section Param into p->text (default empty) and clear
** the split fields, which only KeySep sets. */
static void ParmRead(const wchar_t *name, IN_PARM *p, int capacity)
{
  memset(p, 0, sizeof *p);
  GetProfileWrapp(PROF_LOOKUP, nullptr, L"Param", name, L"", p->text, capacity);
}

/*
** Read the Wiki keys of section Param from the loaded settings text:
** cntl_char, the markup keys, then the replacement entries until the
** first one whose match text is empty; In_code_chenge_no counts the
** entries before it.
*/
void ParamGet(void)
{
  wchar_t key[32];

  GetProfileWrapp(PROF_LOOKUP, nullptr, L"Param", L"cntl_char", L"@",
                  In_cntl_char, WIKI_CNTL_CAP);
  for (int k = 0; k < WIKI_KEY_COUNT; k++)
    ParmRead(wiki_keys[k].name, wiki_keys[k].parm, wiki_keys[k].capacity);
  In_code_chenge_no = WIKI_CHENGE_MAX;
  for (int i = 0; i < WIKI_CHENGE_MAX; i++) {
    for (const CHENGE_KEY &ck : chenge_keys) {
      swprintf(key, sizeof key / sizeof key[0], L"%ls%d", ck.stem, i + 1);
      ParmRead(key, &ck.parms[i], WIKI_PARAM_CAP);
    }
    if (In_code_chenge_m_wik[i].text[0] == L'\0') {
      In_code_chenge_no = i;
      break;
    }
  }
}

/* ------------------------------------------------------------------ */
/* Split                                                              */
/* ------------------------------------------------------------------ */

/* Number of placeholder tokens %d %c %s %x that start at an index in
** [from, to) of text; a token may end at index to. */
static int32_t TokenCount(const wchar_t *text, int32_t from, int32_t to)
{
  int32_t n = 0;

  for (int32_t k = from; k < to; k++)
    if (text[k] == L'%' && text[k + 1] != L'\0' && wcschr(L"dcsx", text[k + 1]))
      n++;
  return n;
}

void KeySep(IN_PARM *p, const wchar_t *cntl)
{
  int32_t len = (int32_t)wcsnlen(p->text, WIKI_PARAM_CAP - 1);
  const wchar_t *at;

  p->text[len] = L'\0';
  p->sep_pos = p->head_flag = p->tail_flag = 0;
  p->head_fmt_no = p->tail_fmt_no = 0;
  if (len == 0)
    return;
  p->head_flag = p->tail_flag = 1;
  at = (cntl[0] != L'\0') ? wcschr(p->text, cntl[0]) : nullptr;
  if (at == nullptr) {
    p->sep_pos = len - 1;
    p->tail_flag = 0;
    p->head_fmt_no = TokenCount(p->text, 0, len - 1);
    return;
  }
  int32_t i = (int32_t)(at - p->text);
  p->text[i] = L'\0';
  p->sep_pos = i + 1;
  if (i == 0)
    p->head_flag = 0;
  if (i == len - 1)
    p->tail_flag = 0;
  p->head_fmt_no = TokenCount(p->text, 0, i + 1);
  p->tail_fmt_no = TokenCount(p->text, i + 1, len);
}

/* ------------------------------------------------------------------ */
/* Fragments                                                          */
/* ------------------------------------------------------------------ */

/* Room for an expanded part: at most 50 tokens of at most 11 characters
** ("-2147483648") in a part of at most 100 characters. */
enum { EXPAND_CAP = WIKI_PARAM_CAP * 6 };

/* Append text to buf (length *len, room EXPAND_CAP) as far as it fits. */
static void BufPut(wchar_t *buf, size_t *len, const wchar_t *text)
{
  while (*text != L'\0' && *len < EXPAND_CAP - 1)
    buf[(*len)++] = *text++;
  buf[*len] = L'\0';
}

/* Write into piece the expansion of token letter t for value of kind;
** an empty piece for a "%c" whose code is no character.  Returns 0, or
** -1 when the token is copied literally (a "%c" of a colour). */
static int TokenText(wchar_t t, int kind, int32_t value, wchar_t *piece)
{
  uint32_t rgb = (uint32_t)value & 0xFFFFFFu;

  piece[0] = L'\0';
  if (kind == ATTR_COLOUR) {
    if (t == L's')
      RGBChar(rgb, piece);
    else if (t == L'd')
      swprintf(piece, 16, L"%u", rgb);
    else if (t == L'x')
      swprintf(piece, 16, L"%x", rgb);
    else
      return -1;
    return 0;
  }
  if (t == L'd' || t == L's')
    swprintf(piece, 16, L"%d", value);
  else if (t == L'x')
    swprintf(piece, 16, L"%x", (uint32_t)value);
  else if (value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF)) {
    piece[0] = (wchar_t)value;      /* "%c": the character with that code */
    piece[1] = L'\0';
  }
  return 0;
}

/*
** Expand the tokens of part into buf (EXPAND_CAP characters): each of
** %d %x %c %s is filled with the one value, "%%" gives "%", and every
** other "%" sequence is copied as it stands.  The settings text is never
** used as a format.
*/
static void Expand(const wchar_t *part, int kind, int32_t value, wchar_t *buf)
{
  size_t len = 0;
  wchar_t piece[16];
  wchar_t one[2] = {0, 0};

  buf[0] = L'\0';
  for (const wchar_t *s = part; *s != L'\0'; s++) {
    if (s[0] == L'%' && s[1] == L'%') {
      BufPut(buf, &len, L"%");
      s++;
    } else if (s[0] == L'%' && s[1] != L'\0' && wcschr(L"dcsx", s[1])
               && TokenText(s[1], kind, value, piece) == 0) {
      BufPut(buf, &len, piece);
      s++;
    } else {
      one[0] = *s;
      BufPut(buf, &len, one);
    }
  }
}

/*
** While MakeData writes out_data, its length is kept in Out_len, so an
** append costs only the appended text, and the buffer grows by at least
** half its capacity, so a large table is copied a few times rather than
** once per 500 characters.  Any other string goes through CharLenCat.
*/
static size_t Out_len;   /* characters held in out_data while Out_track is 1 */
static int Out_track;    /* 1 while MakeData appends to out_data */

/* Append text to out.  Returns 0, or 101 after message 13 with the
** text so far intact. */
static int Cat(CHAR_LEN *out, const wchar_t *text)
{
  size_t n;

  if (out != &out_data || Out_track == 0)
    return CharLenCat(out, text);
  n = wcslen(text);
  if (Out_len + n > (size_t)out->size) {
    int step = (n <= (size_t)INT_MAX - CHARLEN_STEP) ? (int)n + CHARLEN_STEP : -1;
    if (step < 0
        || ((out->size / 2 <= step || CharLenAddAlloc(out, out->size / 2) != RC_OK)
            && CharLenAddAlloc(out, step) != RC_OK)) {
      MessageDisp(MSG_MEMOP);
      return RC_NOMEM;
    }
  }
  wmemcpy(out->str + Out_len, text, n + 1);
  Out_len += n;
  return RC_OK;
}

int MakeAttr(const IN_PARM *p, CHAR_LEN *out, int part)
{
  if (part == ATTR_HEAD)
    return Cat(out, p->text);
  if (p->tail_flag == 1)
    return Cat(out, p->text + p->sep_pos);
  return RC_OK;
}

int MakeAttr(const IN_PARM *p, int kind, int32_t value, CHAR_LEN *out, int part)
{
  int flag = (part == ATTR_HEAD) ? p->head_flag : p->tail_flag;
  int count = (part == ATTR_HEAD) ? p->head_fmt_no : p->tail_fmt_no;
  const wchar_t *text = (part == ATTR_HEAD) ? p->text : p->text + p->sep_pos;
  wchar_t buf[EXPAND_CAP];

  if (flag == 0)
    return RC_OK;
  if (count == 0)
    return Cat(out, text);
  Expand(text, kind, value, buf);
  return Cat(out, buf);
}

/* ------------------------------------------------------------------ */
/* Text conversion                                                    */
/* ------------------------------------------------------------------ */

/* Make room in out for add more characters after its first len ones.
** The buffer doubles (at least add plus the usual step), so a long cell
** text grows it a few times rather than once per 500 characters; when
** the doubled size cannot be had, only what is needed is asked for.
** Returns 0, or 101 after message 13 with the text so far intact. */
static int WkRoom(CHAR_LEN *out, size_t len, size_t add)
{
  long long need = (long long)add + CHARLEN_STEP;
  long long room = (long long)INT32_MAX - (out->size > 0 ? out->size : 0);
  long long grow = need > out->size ? need : out->size;

  if ((long long)len + (long long)add <= (long long)out->size)
    return RC_OK;
  out->str[len] = L'\0';
  if (grow > room)
    grow = room;
  if (need > room
      || (CharLenAddAlloc(out, (int)grow) != RC_OK
          && CharLenAddAlloc(out, (int)need) != RC_OK)) {
    MessageDisp(MSG_MEMOP);
    return RC_NOMEM;
  }
  return RC_OK;
}

/* Append n characters of text to out at *len, growing it first. */
static int WkPut(CHAR_LEN *out, size_t *len, const wchar_t *text, size_t n)
{
  if (WkRoom(out, *len, n) != RC_OK)
    return RC_NOMEM;
  wmemcpy(out->str + *len, text, n);
  *len += n;
  out->str[*len] = L'\0';
  return RC_OK;
}

/* Enclose the text of out in wrap, once before and once after, through
** a temporary string.  Returns 0, or 101 after message 13. */
static int WrapText(CHAR_LEN *out, const wchar_t *wrap)
{
  size_t len = wcslen(out->str);
  CHAR_LEN tmp = {0, nullptr};
  int rc;

  if (len > (size_t)INT_MAX - 2 * WIKI_PARAM_CAP
      || CharLenNewAlloc(&tmp, (int)len + 2 * WIKI_PARAM_CAP) != RC_OK) {
    MessageDisp(MSG_MEMOP);
    return RC_NOMEM;
  }
  wcscpy(tmp.str, wrap);
  wcscat(tmp.str, out->str);
  wcscat(tmp.str, wrap);
  out->str[0] = L'\0';
  rc = CharLenCat(out, tmp.str);
  CharLenFree(&tmp);
  return rc;
}

/*
** Replace mode puts the output text in place of the character at every
** position where the match text starts (several entries at one position
** all apply, in entry order); wrap mode ("all") marks the entry, and
** after the scan every marked entry encloses the whole text, later ones
** around earlier ones, an entry with the same output text as an earlier
** marked one only once.  The scan advances by one character after every
** match.  out must own a buffer; it is grown before anything is written.
*/
int Cell_char_conv(CHAR_LEN src, CHAR_LEN *out)
{
  const wchar_t *text = (src.size > 0 && src.str != nullptr) ? src.str : L"";
  int n = In_code_chenge_no;
  int mark[WIKI_CHENGE_MAX] = {0};
  int marked = 0;
  size_t len = 0;

  if (n < 0)
    n = 0;
  if (n > WIKI_CHENGE_MAX)
    n = WIKI_CHENGE_MAX;
  out->str[0] = L'\0';
  for (const wchar_t *p = text; *p != L'\0'; p++) {
    int replaced = 0;
    for (int i = 0; i < n; i++) {
      const wchar_t *m = In_code_chenge_m_wik[i].text;
      if (wcsncmp(p, m, wcslen(m)) != 0)
        continue;
      if (wcscmp(In_code_chenge_r_wik[i].text, L"all") == 0) {
        mark[i] = 1;
        marked = 1;
        continue;
      }
      const wchar_t *o = In_code_chenge_o_wik[i].text;
      if (WkPut(out, &len, o, wcslen(o)) != RC_OK)
        return RC_NOMEM;
      replaced = 1;
    }
    if (!replaced && WkPut(out, &len, p, 1) != RC_OK)
      return RC_NOMEM;
  }
  if (!marked)
    return RC_OK;
  for (int i = 0; i < n; i++)
    for (int j = i + 1; j < n; j++)
      if (mark[i] && mark[j]
          && wcscmp(In_code_chenge_o_wik[i].text, In_code_chenge_o_wik[j].text) == 0)
        mark[j] = 0;
  for (int i = 0; i < n; i++)
    if (mark[i] && WrapText(out, In_code_chenge_o_wik[i].text) != RC_OK)
      return RC_NOMEM;
  return RC_OK;
}

/* ------------------------------------------------------------------ */
/* Table writer                                                       */
/* ------------------------------------------------------------------ */

/* Append part of the fixed fragment p n times. */
static int Repeat(const IN_PARM *p, int n, int part)
{
  for (int i = 0; i < n; i++)
    if (MakeAttr(p, &out_data, part) != RC_OK)
      return RC_NOMEM;
  return RC_OK;
}

/* Split every markup value and the three texts of every entry in use. */
static void SplitAll(void)
{
  for (int k = 0; k < WIKI_KEY_COUNT; k++)
    KeySep(wiki_keys[k].parm, In_cntl_char);
  for (int i = 0; i < In_code_chenge_no && i < WIKI_CHENGE_MAX; i++)
    for (const CHENGE_KEY &ck : chenge_keys)
      KeySep(&ck.parms[i], In_cntl_char);
}

/* Spans of every anchor cell; 0 in every other record. */
static void SpanSet(void)
{
  for (int i = 0; i < Row_no * Col_no; i++) {
    CELL_DATA *c = &hyo[i];
    c->mrgh = c->mrgv = 0;
    if (c->mrg_pos == 1) {
      c->mrgh = c->mrg_area[MA_COL1] - c->mrg_area[MA_COL0] + 1;
      c->mrgv = c->mrg_area[MA_ROW1] - c->mrg_area[MA_ROW0] + 1;
    }
  }
}

/* Create out_wk_data and out_data with room for 10000 characters each.
** Returns 0, or 101 after the allocator's message 12 with the
** conversion state freed. */
static int OutCreate(void)
{
  if (Out_wk_alloc == 1)
    CharLenFree(&out_wk_data);
  Out_wk_alloc = 0;
  if (CharLenNewAlloc(&out_wk_data, 10000) != RC_OK) {
    FreeArea();
    return RC_NOMEM;
  }
  Out_wk_alloc = 1;
  if (Out_alloc == 1)
    CharLenFree(&out_data);
  Out_alloc = 0;
  if (CharLenNewAlloc(&out_data, 10000) != RC_OK) {
    FreeArea();
    return RC_NOMEM;
  }
  Out_alloc = 1;
  return RC_OK;
}

typedef struct {
  IN_PARM *parm;   /* the setting */
  int kind;        /* ATTR_NUMBER or ATTR_COLOUR */
  int32_t value;   /* the cell's value for it */
} VALUE_PART;

/*
** Write one cell (mrg_pos 0 or 1): separator, merge markers, then the
** opening parts from the outside in (vertical alignment, background,
** text colour, size, horizontal alignment, font styles), the converted
** text, and the closing parts in the reverse order.  Returns 0 or 101.
*/
static int CellWrite(CELL_DATA *c)
{
  IN_PARM *const style[] = {&In_font_bold_wik, &In_font_underline_wik,
                            &In_font_italic_wik, &In_font_strikethrough_wik};
  const int on[] = {c->font_bold != 0, c->font_underline != 0,
                    c->font_italic != 0, c->font_strikethrough != 0};
  const VALUE_PART val[] = {
    /* setting            kind          value */
    {&In_back_color_wik,  ATTR_COLOUR,  c->back_color},
    {&In_font_color_wik,  ATTR_COLOUR,  c->font_color},
    {&In_font_size_wik,   ATTR_NUMBER,  c->font_size},
  };
  IN_PARM *v, *h;

  v = (c->posv == 1) ? &In_cell_posvt_wik
    : (c->posv == 2) ? &In_cell_posvc_wik : &In_cell_posvb_wik;
  if (c->posh != 1 && c->posh != 2 && c->posh != 3 && c->num_flag == 1)
    c->posh = 3;
  h = (c->posh == 3) ? &In_cell_poshr_wik
    : (c->posh == 2) ? &In_cell_poshc_wik : &In_cell_poshl_wik;

  if (MakeAttr(&In_cell_sep_wik, &out_data, ATTR_HEAD) != RC_OK
      || Repeat(&In_cell_mrgv_wik, c->mrgv, ATTR_HEAD) != RC_OK
      || Repeat(&In_cell_mrgh_wik, c->mrgh, ATTR_HEAD) != RC_OK
      || MakeAttr(v, &out_data, ATTR_HEAD) != RC_OK)
    return RC_NOMEM;
  for (const VALUE_PART &p : val)
    if (MakeAttr(p.parm, p.kind, p.value, &out_data, ATTR_HEAD) != RC_OK)
      return RC_NOMEM;
  if (MakeAttr(h, &out_data, ATTR_HEAD) != RC_OK)
    return RC_NOMEM;
  for (int k = 0; k < 4; k++)
    if (on[k] && MakeAttr(style[k], &out_data, ATTR_HEAD) != RC_OK)
      return RC_NOMEM;
  if (c->cell_str.size > 0) {
    if (Cell_char_conv(c->cell_str, &out_wk_data) != RC_OK
        || Cat(&out_data, out_wk_data.str) != RC_OK)
      return RC_NOMEM;
  }
  for (int k = 3; k >= 0; k--)
    if (on[k] && MakeAttr(style[k], &out_data, ATTR_TAIL) != RC_OK)
      return RC_NOMEM;
  if (MakeAttr(h, &out_data, ATTR_TAIL) != RC_OK)
    return RC_NOMEM;
  for (int k = 2; k >= 0; k--)
    if (MakeAttr(val[k].parm, val[k].kind, val[k].value, &out_data, ATTR_TAIL) != RC_OK)
      return RC_NOMEM;
  if (MakeAttr(v, &out_data, ATTR_TAIL) != RC_OK
      || Repeat(&In_cell_mrgh_wik, c->mrgh, ATTR_TAIL) != RC_OK
      || Repeat(&In_cell_mrgv_wik, c->mrgv, ATTR_TAIL) != RC_OK)
    return RC_NOMEM;
  return RC_OK;
}

/* Before a row: when row_line has an opening part, that part on a line
** of its own, starting a new line first if the output does not end one. */
static int RowLine(void)
{
  size_t len;

  if (In_row_line_wik.text[0] == L'\0')
    return RC_OK;
  len = Out_len;
  if (len > 0 && out_data.str[len - 1] != L'\n' && Cat(&out_data, L"\n") != RC_OK)
    return RC_NOMEM;
  if (MakeAttr(&In_row_line_wik, &out_data, ATTR_HEAD) != RC_OK
      || Cat(&out_data, L"\n") != RC_OK)
    return RC_NOMEM;
  return RC_OK;
}

/* After the first row: when head_rule has an opening part, a line that
** repeats separator and head_rule once per cell written in that row. */
static int HeadRule(int cells)
{
  if (In_head_rule_wik.text[0] == L'\0')
    return RC_OK;
  for (int i = 0; i < cells; i++)
    if (MakeAttr(&In_cell_sep_wik, &out_data, ATTR_HEAD) != RC_OK
        || MakeAttr(&In_head_rule_wik, &out_data, ATTR_HEAD) != RC_OK)
      return RC_NOMEM;
  if (MakeAttr(&In_cell_sep_wik, &out_data, ATTR_HEAD) != RC_OK
      || Cat(&out_data, L"\n") != RC_OK)
    return RC_NOMEM;
  return RC_OK;
}

/* The setting that ends a row: row_end when its value was given at all
** (a lone control character leaves it empty but given), else cell_sep. */
static const IN_PARM *RowEnd(void)
{
  const IN_PARM *e = &In_row_end_wik;

  return (e->head_flag == 1 || e->sep_pos > 0) ? e : &In_cell_sep_wik;
}

/* One row: its written cells, the closing separator and a line feed;
** *cells receives the number of cells written. */
static int RowWrite(int row, int *cells)
{
  *cells = 0;
  if (RowLine() != RC_OK)
    return RC_NOMEM;
  for (int col = 0; col < Col_no; col++) {
    CELL_DATA *c = &hyo[Col_no * row + col];
    if (c->mrg_pos >= 2)
      continue;                     /* covered by a merged area: nothing */
    if (CellWrite(c) != RC_OK)
      return RC_NOMEM;
    (*cells)++;
  }
  if (MakeAttr(RowEnd(), &out_data, ATTR_HEAD) != RC_OK
      || Cat(&out_data, L"\n") != RC_OK)
    return RC_NOMEM;
  return RC_OK;
}

/*
** Write the cell table as Wiki markup into out_data: table start from
** line_color and line_width (the first record's top border), one line
** per row, table end.  An empty table has no first record: its border
** counts as none, black.  Returns 0, or 101 after a message.
*/
static int TableWrite(void)
{
  int has_cells = (hyo != nullptr && Row_no > 0 && Col_no > 0);
  int32_t top_width = has_cells ? hyo[0].line_width[SIDE_TOP] : 0;
  int32_t top_color = has_cells ? hyo[0].line_color[SIDE_TOP] : 0;
  int cells;

  SplitAll();
  if (has_cells)
    SpanSet();
  if (OutCreate() != RC_OK)
    return RC_NOMEM;
  Out_len = 0;
  Out_track = 1;
  if (MakeAttr(&In_line_color_wik, ATTR_COLOUR, top_color, &out_data, ATTR_HEAD) != RC_OK)
    return RC_NOMEM;
  if (top_width != 0
      && MakeAttr(&In_line_width_wik, ATTR_NUMBER, top_width, &out_data, ATTR_HEAD) != RC_OK)
    return RC_NOMEM;
  for (int row = 0; has_cells && row < Row_no; row++) {
    if (RowWrite(row, &cells) != RC_OK)
      return RC_NOMEM;
    if (row == 0 && HeadRule(cells) != RC_OK)
      return RC_NOMEM;
  }
  if (top_width != 0
      && MakeAttr(&In_line_width_wik, ATTR_NUMBER, top_width, &out_data, ATTR_TAIL) != RC_OK)
    return RC_NOMEM;
  if (MakeAttr(&In_line_color_wik, ATTR_COLOUR, top_color, &out_data, ATTR_TAIL) != RC_OK)
    return RC_NOMEM;
  return RC_OK;
}

/* The writer's entry: TableWrite with out_data's length tracked only
** while it runs. */
int MakeData(void)
{
  int rc = TableWrite();

  Out_track = 0;
  return rc;
}
