/*
** Wiki writer: reading and splitting the settings, fragment expansion,
** the conversion of cell texts and the table writer.
*/
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <utility>

#include "MakeWiki.h"
#include "CalcCom.h"
#include "FileIo.h"
#include "MsgDisp.h"
#include "Result.h"
#include "MsgRecord.h"

/* Every markup record, in the order the settings are read. */
static IN_PARM *const markup[] = {
  &In_line_color_wik, &In_line_width_wik, &In_back_color_wik,
  &In_font_color_wik, &In_font_size_wik, &In_font_bold_wik,
  &In_font_underline_wik, &In_font_italic_wik, &In_font_strikethrough_wik,
  &In_cell_poshr_wik, &In_cell_poshc_wik, &In_cell_poshl_wik,
  &In_cell_posvt_wik, &In_cell_posvc_wik, &In_cell_posvb_wik,
  &In_cell_sep_wik, &In_cell_mrgh_wik, &In_cell_mrgv_wik,
  &In_row_line_wik, &In_head_rule_wik, &In_row_end_wik,
};

static void Set(IN_PARM *p, const wchar_t *text)
{
  memset(p, 0, sizeof *p);
  wcsncpy(p->text, text, WIKI_PARAM_CAP - 1);
}

/* No markup, control character "@", no replacement entry. */
static void ClearSettings(void)
{
  wcscpy(In_cntl_char, L"@");
  for (IN_PARM *p : markup)
    Set(p, L"");
  for (int i = 0; i < WIKI_CHENGE_MAX; i++) {
    Set(&In_code_chenge_m_wik[i], L"");
    Set(&In_code_chenge_o_wik[i], L"");
    Set(&In_code_chenge_r_wik[i], L"");
  }
  In_code_chenge_no = 0;
}

struct Entry { const wchar_t *m, *o, *r; };

/* Install replacement entries and split them as MakeData would. */
static void SetEntries(const std::vector<Entry> &e)
{
  for (size_t i = 0; i < e.size(); i++) {
    Set(&In_code_chenge_m_wik[i], e[i].m);
    Set(&In_code_chenge_o_wik[i], e[i].o);
    Set(&In_code_chenge_r_wik[i], e[i].r);
    KeySep(&In_code_chenge_m_wik[i], In_cntl_char);
    KeySep(&In_code_chenge_o_wik[i], In_cntl_char);
    KeySep(&In_code_chenge_r_wik[i], In_cntl_char);
  }
  In_code_chenge_no = (int32_t)e.size();
}

/* A rows x cols table of empty cells: white background, black 10 pt
** text, no borders, nothing merged. */
static void Table(int rows, int cols)
{
  Row_no = rows;
  Col_no = cols;
  ASSERT_EQ(AllocArea(), RC_OK);
  for (int i = 0; i < rows * cols; i++) {
    CELL_DATA *c = &hyo[i];
    for (int s = 0; s < 4; s++)
      c->line_width[s] = c->line_color[s] = 0;
    c->back_color = 0xFFFFFF;
    c->font_color = 0;
    c->font_size = 10;
    c->font_bold = c->font_italic = 0;
    c->font_underline = c->font_strikethrough = 0;
  }
}

static CELL_DATA *At(int row, int col) { return &hyo[Col_no * row + col]; }

static void Text(int row, int col, const wchar_t *text)
{
  CELL_DATA *c = At(row, col);
  ASSERT_EQ(CharLenNewAlloc(&c->cell_str, (int)wcslen(text) + 1), RC_OK);
  wcscpy(c->cell_str.str, text);
}

/* Mark the area of rows r0..r1, columns c0..c1 as merged. */
static void Merge(int r0, int r1, int c0, int c1)
{
  for (int r = r0; r <= r1; r++)
    for (int c = c0; c <= c1; c++)
      At(r, c)->mrg_pos = (r == r0 && c == c0) ? 1 : 2;
  CELL_DATA *a = At(r0, c0);
  a->mrg_area[MA_COL0] = c0;
  a->mrg_area[MA_COL1] = c1;
  a->mrg_area[MA_ROW0] = r0;
  a->mrg_area[MA_ROW1] = r1;
}

/* Release the table, the work string and the markup. */
static void Release(void)
{
  FreeArea();
  if (Out_alloc == 1)
    CharLenFree(&out_data);
  Out_alloc = 0;
}

/* Run MakeData and return its markup; everything is released after. */
static std::wstring Make(void)
{
  EXPECT_EQ(MakeData(), RC_OK);
  std::wstring out = (Out_alloc == 1) ? out_data.str : L"";
  Release();
  return out;
}

/* ------------------------------------------------------------------ */
/* Worked example                                                     */
/* ------------------------------------------------------------------ */

TEST(MakeData, WorkedExample)
{
  ClearSettings();
  Set(&In_line_color_wik, L"[table line=%s]@[/table]");
  Set(&In_line_width_wik, L"[width=%d]@[/width]");
  Set(&In_cell_sep_wik, L"|");
  Set(&In_back_color_wik, L"[bg=%s]@[/bg]");
  Set(&In_font_bold_wik, L"[b]@[/b]");
  Set(&In_cell_poshr_wik, L"RIGHT:@");
  Set(&In_cell_poshc_wik, L"CENTER:@");
  Set(&In_cell_mrgh_wik, L">@");
  Set(&In_cell_mrgv_wik, L"^@");
  Set(&In_code_chenge_m_wik[0], L"|");
  Set(&In_code_chenge_o_wik[0], L"{bar}");
  Set(&In_code_chenge_m_wik[1], L",");
  Set(&In_code_chenge_o_wik[1], L"~");
  Set(&In_code_chenge_r_wik[1], L"all");
  In_code_chenge_no = 2;

  Table(2, 3);
  At(0, 0)->line_width[SIDE_TOP] = 1;
  Text(0, 0, L"Total");
  At(0, 0)->font_bold = 1;
  Merge(0, 1, 0, 1);
  Text(0, 2, L"1,5");
  At(0, 2)->posh = 3;
  Text(1, 2, L"a|b");
  At(1, 2)->posh = 2;

  EXPECT_EQ(Make(),
            L"[table line=#000000][width=1]|^^>>[bg=#ffffff][b]Total[/b][/bg]"
            L"|[bg=#ffffff]RIGHT:~1,5~[/bg]|\n"
            L"|[bg=#ffffff]CENTER:a{bar}b[/bg]|\n"
            L"[/width][/table]");
}

/* ------------------------------------------------------------------ */
/* Split                                                              */
/* ------------------------------------------------------------------ */

TEST(KeySep, SplitCases)
{
  static const struct {
    const char *id; const wchar_t *cntl, *value, *head, *tail;
    int sep, hf, tf, hn, tn;
  } cases[] = {
    /* id               cntl   value                    opening        closing      sep hf tf hn tn */
    {"sep-fixed",       L"@",  L"[b]@[/b]",             L"[b]",        L"[/b]",      4, 1, 1, 0, 0},
    {"sep-colour",      L"@",  L"[color=%s]@[/color]",  L"[color=%s]", L"[/color]", 11, 1, 1, 1, 0},
    {"sep-last",        L"@",  L"RIGHT:@",              L"RIGHT:",     L"",          7, 1, 0, 0, 0},
    {"sep-first",       L"@",  L"@[/x]",                L"",           L"[/x]",      1, 0, 1, 0, 0},
    {"sep-none",        L"@",  L"size=%d",              L"size=%d",    L"d",         6, 1, 0, 1, 0},
    {"sep-twice",       L"@",  L"[a]@[b]@[c]",          L"[a]",        L"[b]@[c]",   4, 1, 1, 0, 0},
    {"sep-empty",       L"@",  L"",                     L"",           L"",          0, 0, 0, 0, 0},
    {"sep-only",        L"@",  L"@",                    L"",           L"",          1, 0, 0, 0, 0},
    {"sep-tail-token",  L"@",  L"[x]@%d]",              L"[x]",        L"%d]",       4, 1, 1, 0, 1},
    {"sep-tokens",      L"@",  L"%d%x@%c%s%x",          L"%d%x",       L"%c%s%x",    5, 1, 1, 2, 3},
    {"sep-not-tokens",  L"@",  L"%5d %ld %%@% d",       L"%5d %ld %%", L"% d",      11, 1, 1, 0, 0},
    {"sep-pct-token",   L"@",  L"%%d@",                 L"%%d",        L"",          4, 1, 0, 1, 0},
    {"sep-token-split", L"@",  L"a%@d",                 L"a%",         L"d",         3, 1, 1, 0, 0},
    {"cntl-two",        L"#!", L"a!b#c!d",              L"a!b",        L"c!d",       4, 1, 1, 0, 0},
    {"cntl-empty",      L"",   L"a@b%d",                L"a@b%d",      L"d",         4, 1, 0, 1, 0},
  };
  for (const auto &c : cases) {
    IN_PARM p;
    Set(&p, c.value);
    KeySep(&p, c.cntl);
    EXPECT_STREQ(p.text, c.head) << c.id;
    EXPECT_EQ(p.sep_pos, c.sep) << c.id;
    if (c.sep > 0) {
      EXPECT_STREQ(p.text + p.sep_pos, c.tail) << c.id;
    }
    EXPECT_EQ(p.head_flag, c.hf) << c.id;
    EXPECT_EQ(p.tail_flag, c.tf) << c.id;
    EXPECT_EQ(p.head_fmt_no, c.hn) << c.id;
    EXPECT_EQ(p.tail_fmt_no, c.tn) << c.id;
  }
}

/* ------------------------------------------------------------------ */
/* Fragments                                                          */
/* ------------------------------------------------------------------ */

static std::wstring Attr(const wchar_t *value, int kind, int32_t v, int part)
{
  IN_PARM p;
  CHAR_LEN out;
  Set(&p, value);
  KeySep(&p, L"@");
  EXPECT_EQ(CharLenNewAlloc(&out, 0), RC_OK);
  EXPECT_EQ(kind == 0 ? MakeAttr(&p, &out, part) : MakeAttr(&p, kind, v, &out, part), RC_OK);
  std::wstring s = out.str;
  CharLenFree(&out);
  return s;
}

TEST(MakeAttr, FixedAndValueForms)
{
  enum { H = ATTR_HEAD, T = ATTR_TAIL, F = 0, N = ATTR_NUMBER, C = ATTR_COLOUR };
  static const struct {
    const char *id; const wchar_t *value; int kind; int32_t v; int part; const wchar_t *out;
  } cases[] = {
    /* fixed form copies both parts as they stand */
    {"fixed-open",          L"[x]@%d]",          F, 0,  H, L"[x]"},
    {"fixed-close-token",   L"[x]@%d]",          F, 0,  T, L"%d]"},
    {"fixed-no-close",      L"RIGHT:@",          F, 0,  T, L""},
    {"fixed-whole-open",    L"size=%d",          F, 0,  H, L"size=%d"},
    {"fixed-whole-close",   L"size=%d",          F, 0,  T, L""},
    /* number fragments */
    {"num-d",               L"size=%d@",         N, -5, H, L"size=-5"},
    {"num-x",               L"%x",               N, -1, H, L"ffffffff"},
    {"num-x-small",         L"<%x>",             N, 255, H, L"<ff>"},
    {"num-c",               L"[%c]",             N, 65, H, L"[A]"},
    {"num-c-zero",          L"[%c]",             N, 0,  H, L"[]"},
    {"num-c-surrogate",     L"[%c]",             N, 0xD800, H, L"[]"},
    {"num-s",               L"%s pt",            N, 12, H, L"12 pt"},
    {"num-close",           L"a@</%d>",          N, 7,  T, L"</7>"},
    {"num-no-token-pct",    L"100%%@",           N, 7,  H, L"100%%"},
    {"num-token-pct",       L"%d%%@",            N, 7,  H, L"7%"},
    {"num-head-flag-0",     L"@%d",              N, 7,  H, L""},
    /* colour fragments */
    {"col-s",               L"[c=%s]@[/c]",      C, 0xFF8000, H, L"[c=#ff8000]"},
    {"col-high-bits",       L"%s",               C, 0x12FF8000, H, L"#ff8000"},
    {"col-d-x-c",           L"%d %x %c",         C, 0xFF8000, H, L"16744448 ff8000 %c"},
    {"col-close",           L"<%s>@</%s>",       C, 0x0000FF, T, L"</#0000ff>"},
    /* unsafe formats come out as literal text */
    {"unsafe-n",            L"%s%s%s%n",         N, 7,  H, L"777%n"},
    {"unsafe-width",        L"%99999999d %d",    N, 3,  H, L"%99999999d 3"},
    {"unsafe-mixed",        L"%d %5d %ld %n %",  N, 4,  H, L"4 %5d %ld %n %"},
    {"unsafe-colour",       L"%s%n%99999999s",   C, 0,  H, L"#000000%n%99999999s"},
    {"unsafe-lone-pct",     L"%d@%s%",           N, 9,  T, L"9%"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Attr(c.value, c.kind, c.v, c.part), c.out) << c.id;
}

TEST(MakeAttr, LongestExpansionIsWhole)
{
  /* fifty tokens that each give eleven characters */
  std::wstring value;
  std::wstring want;
  for (int i = 0; i < 50; i++) {
    value += L"%d";
    want += L"-2147483648";
  }
  EXPECT_EQ(Attr(value.c_str(), ATTR_NUMBER, INT32_MIN, ATTR_HEAD), want);
}

/* ------------------------------------------------------------------ */
/* Text conversion                                                    */
/* ------------------------------------------------------------------ */

/* Convert text with out_wk_data starting at capacity cap. */
static std::wstring Conv(const wchar_t *text, int cap = 10000)
{
  CHAR_LEN src;
  EXPECT_EQ(CharLenNewAlloc(&src, (int)wcslen(text) + 1), RC_OK);
  wcscpy(src.str, text);
  EXPECT_EQ(CharLenNewAlloc(&out_wk_data, cap), RC_OK);
  Out_wk_alloc = 1;
  EXPECT_EQ(Cell_char_conv(src, &out_wk_data), RC_OK);
  std::wstring s = out_wk_data.str;
  CharLenFree(&out_wk_data);
  Out_wk_alloc = 0;
  CharLenFree(&src);
  return s;
}

TEST(CellCharConv, ReplaceAndWrap)
{
  static const struct {
    const char *id; std::vector<Entry> entries; const wchar_t *in, *out;
  } cases[] = {
    {"none",            {},                                      L"a|b\nc", L"a|b\nc"},
    {"empty-text",      {{L",", L"~", L"all"}},                  L"", L""},
    {"replace-bar",     {{L"|", L"{bar}", L""}},                 L"a|b|c", L"a{bar}b{bar}c"},
    {"replace-two-char",{{L"ab", L"X", L""}},                    L"abc", L"Xbc"},
    {"replace-twice",   {{L"a", L"X", L""}, {L"a", L"Y", L""}},  L"bab", L"bXYb"},
    {"replace-empty-out", {{L"-", L"", L""}},                    L"a-b", L"ab"},
    {"wrap",            {{L",", L"~", L"all"}},                  L"1,5", L"~1,5~"},
    {"wrap-no-match",   {{L",", L"~", L"all"}},                  L"15", L"15"},
    {"wrap-nesting",    {{L",", L"[", L"all"}, {L"y", L"]", L"all"}}, L"x,y", L"][x,y[]"},
    {"wrap-nest-one",   {{L",", L"[", L"all"}, {L"y", L"]", L"all"}}, L"x,z", L"[x,z["},
    {"wrap-dedup",      {{L",", L"~", L"all"}, {L"5", L"~", L"all"}}, L"1,5", L"~1,5~"},
    {"wrap-dedup-3",    {{L"1", L"<", L"all"}, {L"5", L">", L"all"}, {L",", L"<", L"all"}},
                        L"1,5", L"><1,5<>"},
    {"replace-and-wrap",{{L",", L";", L""}, {L",", L"~", L"all"}},  L"1,5", L"~1;5~"},
    {"mode-ALL",        {{L",", L"~", L"ALL"}},                  L"1,5", L"1~5"},
    {"mode-all-space",  {{L",", L"~", L"all "}},                 L"1,5", L"1~5"},
    {"empty-replace",   {{L"@", L"X", L""}},                     L"ab", L"XX"},
    {"empty-replace-lf",{{L"@", L"X", L""}},                     L"a\nb", L"XXX"},
    {"empty-wrap",      {{L"@", L"%%", L"all"}},                 L"ab", L"%%ab%%"},
    {"empty-wrap-empty",{{L"@", L"%%", L"all"}},                 L"", L""},
    {"cut-at-cntl",     {{L"x@y", L"Z@W", L"all@z"}},            L"axyb", L"ZaxybZ"},
    {"line-break-kept", {{L"|", L"\\|", L""}},                   L"a\r\nb", L"a\r\nb"},
  };
  for (const auto &c : cases) {
    ClearSettings();
    SetEntries(c.entries);
    EXPECT_EQ(Conv(c.in), c.out) << c.id;
  }
}

TEST(CellCharConv, GrowsBeforeWriting)
{
  /* a 100-character output for each of 250 characters: 25000 > 10000 */
  std::wstring big(100, L'#');
  ClearSettings();
  SetEntries({{L"x", big.c_str(), L""}});
  std::wstring in(250, L'x');
  std::wstring want;
  for (int i = 0; i < 250; i++)
    want += big;
  EXPECT_EQ(Conv(in.c_str()), want);
  EXPECT_EQ(Conv(in.c_str(), 5), want);
  /* a wrap around a text that already fills the buffer */
  SetEntries({{L"x", big.c_str(), L""}, {L"x", L"~", L"all"}});
  EXPECT_EQ(Conv(in.c_str(), 25000), L"~" + want + L"~");
}

TEST(CellCharConv, NeverCellGotBuffer)
{
  CHAR_LEN none = {-1, nullptr};
  ClearSettings();
  SetEntries({{L"@", L"X", L""}});
  ASSERT_EQ(CharLenNewAlloc(&out_wk_data, 10), RC_OK);
  EXPECT_EQ(Cell_char_conv(none, &out_wk_data), RC_OK);
  EXPECT_STREQ(out_wk_data.str, L"");
  CharLenFree(&out_wk_data);
}

/* ------------------------------------------------------------------ */
/* Table writer                                                       */
/* ------------------------------------------------------------------ */

TEST(MakeData, NoMarkupGivesBareTexts)
{
  ClearSettings();
  Table(2, 2);
  Text(0, 0, L"a");
  Text(0, 1, L"b|");
  Text(1, 1, L"d");
  At(0, 0)->line_width[SIDE_TOP] = 2;
  At(0, 0)->font_bold = 1;
  At(1, 0)->posh = 3;
  EXPECT_EQ(Make(), L"ab|\nd\n");
}

TEST(MakeData, EmptyCellKeepsItsFragments)
{
  ClearSettings();
  Set(&In_cell_sep_wik, L"|");
  Set(&In_cell_posvb_wik, L"<v>@</v>");
  Set(&In_font_size_wik, L"<%d>@</%d>");
  Set(&In_font_bold_wik, L"**@**");
  Table(1, 2);
  Text(0, 1, L"x");
  At(0, 0)->font_bold = 1;
  At(0, 0)->font_size = 8;
  EXPECT_EQ(Make(), L"|<v><8>****</8></v>|<v><10>x</10></v>|\n");
}

TEST(MakeData, HorizontalAlignment)
{
  static const struct {
    const char *id; int64_t posh; int num; const wchar_t *out; int64_t after;
  } cases[] = {
    {"posh-0",       0, 0, L"L[a]l\n", 0},
    {"posh-4",       4, 0, L"L[a]l\n", 4},
    {"posh-5",       5, 0, L"L[a]l\n", 5},
    {"posh-0-num",   0, 1, L"R[a]r\n", 3},
    {"posh-4-num",   4, 1, L"R[a]r\n", 3},
    {"posh-5-num",   5, 1, L"R[a]r\n", 3},
    {"posh-1-num",   1, 1, L"L[a]l\n", 1},
    {"posh-2-num",   2, 1, L"C[a]c\n", 2},
    {"posh-3",       3, 0, L"R[a]r\n", 3},
  };
  for (const auto &c : cases) {
    ClearSettings();
    Set(&In_cell_poshl_wik, L"L@l");
    Set(&In_cell_poshc_wik, L"C@c");
    Set(&In_cell_poshr_wik, L"R@r");
    Set(&In_font_italic_wik, L"[@]");
    Table(1, 1);
    Text(0, 0, L"a");
    At(0, 0)->posh = c.posh;
    At(0, 0)->num_flag = c.num;
    At(0, 0)->font_italic = 1;
    EXPECT_EQ(MakeData(), RC_OK) << c.id;
    EXPECT_STREQ(out_data.str, c.out) << c.id;
    EXPECT_EQ(hyo[0].posh, c.after) << c.id;
    Release();
  }
}

TEST(MakeData, NestingOrderOfAllFragments)
{
  ClearSettings();
  static const struct { IN_PARM *p; const wchar_t *v; } set[] = {
    {&In_cell_sep_wik, L"|@never"},     {&In_cell_mrgv_wik, L"V@v"},
    {&In_cell_mrgh_wik, L"H@h"},        {&In_cell_posvt_wik, L"T@t"},
    {&In_cell_posvc_wik, L"M@m"},       {&In_cell_posvb_wik, L"B@b"},
    {&In_back_color_wik, L"(bg%s@bg)"}, {&In_font_color_wik, L"(fg%s@fg)"},
    {&In_font_size_wik, L"(sz%d@sz)"},  {&In_cell_poshr_wik, L"R@r"},
    {&In_cell_poshl_wik, L"L@l"},       {&In_font_bold_wik, L"1@1"},
    {&In_font_underline_wik, L"2@2"},   {&In_font_italic_wik, L"3@3"},
    {&In_font_strikethrough_wik, L"4@4"},
  };
  for (const auto &s : set)
    Set(s.p, s.v);
  Table(1, 3);
  Text(0, 0, L"x");
  Merge(0, 0, 0, 1);           /* one row high: V once, H twice */
  CELL_DATA *a = At(0, 0);
  a->posv = 1;
  a->posh = 3;
  a->back_color = 0x102030;
  a->font_color = 0xFF0000;
  a->font_size = 12;
  a->font_bold = a->font_italic = 1;
  a->font_underline = 2;
  a->font_strikethrough = 1;
  At(0, 2)->posv = 2;
  EXPECT_EQ(Make(),
            L"|VHHT(bg#102030(fg#ff0000(sz12R1234x4321rsz)fg)bg)thhv"
            L"|M(bg#ffffff(fg#000000(sz10Llsz)fg)bg)m|\n");
}

TEST(MakeData, MergeMarkersAndShortRows)
{
  ClearSettings();
  Set(&In_cell_sep_wik, L"|");
  Set(&In_cell_mrgh_wik, L">@<");
  Set(&In_cell_mrgv_wik, L"^@v");
  Table(3, 2);
  Text(0, 0, L"a");
  Text(0, 1, L"b");
  Text(1, 1, L"c");
  Text(2, 1, L"d");
  Merge(0, 2, 0, 0);           /* one column wide, three rows: H once */
  EXPECT_EQ(Make(), L"|^^^>a<vvv|b|\n|c|\n|d|\n");
  EXPECT_EQ(Row_no, 3);
}

TEST(MakeData, TableStartAndEnd)
{
  static const struct { const char *id; int width; int color; const wchar_t *out; } cases[] = {
    {"width-0", 0, 0x00FF00, L"<t c=#00ff00>a\n</t>"},
    {"width-1", 1, 0x000000, L"<t c=#000000><w=1>a\n</w></t>"},
    {"width-2", 2, 0x123456, L"<t c=#123456><w=2>a\n</w></t>"},
  };
  for (const auto &c : cases) {
    ClearSettings();
    Set(&In_line_color_wik, L"<t c=%s>@</t>");
    Set(&In_line_width_wik, L"<w=%d>@</w>");
    Table(1, 1);
    Text(0, 0, L"a");
    At(0, 0)->line_width[SIDE_TOP] = c.width;
    At(0, 0)->line_color[SIDE_TOP] = c.color;
    At(0, 0)->line_width[SIDE_LEFT] = 2;   /* other sides are not read */
    EXPECT_EQ(Make(), c.out) << c.id;
  }
}

TEST(MakeData, RowLineAndHeadRule)
{
  ClearSettings();
  Set(&In_line_color_wik, L"{|@|}");
  Set(&In_row_line_wik, L"|-@ignored");
  Set(&In_cell_posvb_wik, L"||@");
  Table(2, 2);
  Text(0, 0, L"a");
  Text(0, 1, L"b");
  Text(1, 0, L"c");
  EXPECT_EQ(Make(), L"{|\n|-\n||a||b\n|-\n||c||\n|}");

  /* no table start: the first row line needs no line break before it */
  ClearSettings();
  Set(&In_row_line_wik, L"--");
  Table(1, 1);
  Text(0, 0, L"a");
  EXPECT_EQ(Make(), L"--\na\n");

  /* head_rule: once per cell written in the first row */
  ClearSettings();
  Set(&In_cell_sep_wik, L"|");
  Set(&In_head_rule_wik, L"---");
  Table(3, 3);
  Text(0, 0, L"a");
  Text(1, 0, L"b");
  Merge(0, 0, 1, 2);
  EXPECT_EQ(Make(), L"|a||\n|---|---|\n|b|||\n||||\n");

  /* row_end: given replaces cell_sep at the row end, a bare control
  ** character gives nothing there, empty keeps cell_sep */
  static const struct { const char *id; const wchar_t *end, *out; } ends[] = {
    {"row-end-given", L";@x", L"|a|b;\n"},
    {"row-end-bare",  L"@",   L"|a|b\n"},
    {"row-end-empty", L"",    L"|a|b|\n"},
  };
  for (const auto &e : ends) {
    ClearSettings();
    Set(&In_cell_sep_wik, L"|");
    Set(&In_row_end_wik, e.end);
    Table(1, 2);
    Text(0, 0, L"a");
    Text(0, 1, L"b");
    EXPECT_EQ(Make(), e.out) << e.id;
  }
}

/* Far more markup than the first 10000 characters of out_data: every
** append lands whole and in order while the buffer grows. */
TEST(MakeData, LargeTableWrittenWhole)
{
  ClearSettings();
  Set(&In_cell_sep_wik, L"||");
  Set(&In_back_color_wik, L"<bg=%s>@</bg>");
  Set(&In_row_line_wik, L"|-");
  SetEntries({{L"&", L"&amp;", L""}});
  Table(400, 25);
  std::wstring want;
  for (int r = 0; r < 400; r++) {
    want += L"|-\n";
    for (int c = 0; c < 25; c++) {
      std::wstring t = L"r" + std::to_wstring(r) + L"&c" + std::to_wstring(c);
      Text(r, c, t.c_str());
      want += L"||<bg=#ffffff>r" + std::to_wstring(r) + L"&amp;c" + std::to_wstring(c) + L"</bg>";
    }
    want += L"||\n";
  }
  MsgReset();
  std::wstring got = Make();
  EXPECT_EQ(MsgCount, 0);
  EXPECT_GT(got.size(), 200000u);
  EXPECT_TRUE(got == want) << "lengths " << got.size() << " " << want.size();
}

TEST(MakeData, EmptyTable)
{
  ClearSettings();
  Set(&In_line_color_wik, L"<%s>@</%s>");
  Set(&In_line_width_wik, L"<%d>@</%d>");
  Row_no = 0;
  Col_no = 3;
  ASSERT_EQ(AllocArea(), RC_OK);
  EXPECT_EQ(Make(), L"<#000000></#000000>");
}

/* ------------------------------------------------------------------ */
/* Param settings                                                     */
/* ------------------------------------------------------------------ */

/*
** Stand-in for the settings reader: answers lookups from a table of
** found keys and records every call.
*/
struct ProfCall { int mode; std::wstring section, key, def; int capacity; };
static std::vector<ProfCall> prof_calls;
static std::vector<std::pair<std::wstring, std::wstring>> prof_found;

int GetProfileWrapp(int mode, const wchar_t *file, const wchar_t *section,
                    const wchar_t *key, const wchar_t *def, wchar_t *out,
                    int capacity)
{
  (void)file;
  prof_calls.push_back({mode, section ? section : L"", key ? key : L"",
                        def ? def : L"", capacity});
  std::wstring value = def;
  int rc = -3;
  for (const auto &f : prof_found)
    if (f.first == key) {
      value = f.second;
      rc = 0;
    }
  wcsncpy(out, value.c_str(), capacity - 1);
  out[capacity - 1] = L'\0';
  return rc;
}

TEST(ParamGet, KeysInOrder)
{
  static const wchar_t *const keys[] = {
    L"cntl_char", L"line_color", L"line_width", L"back_color", L"font_color",
    L"font_size", L"font_bold", L"font_underline", L"font_italic",
    L"font_strikethrough", L"cell_poshr", L"cell_poshc", L"cell_poshl",
    L"cell_posvt", L"cell_posvc", L"cell_posvb", L"cell_sep", L"cell_mrgh",
    L"cell_mrgv", L"row_line", L"head_rule", L"row_end",
  };
  prof_calls.clear();
  prof_found = {{L"cntl_char", L"#!"}, {L"font_bold", L"'''#'''"},
                {L"cell_sep", std::wstring(150, L's')},
                {L"code_chenge_m1", L"|"}, {L"code_chenge_o1", L"&#124;"}};
  ParamGet();
  size_t n = sizeof keys / sizeof keys[0];
  ASSERT_EQ(prof_calls.size(), n + 6);   /* entry 1, then entry 2 ends it */
  for (size_t i = 0; i < prof_calls.size(); i++) {
    SCOPED_TRACE(i);
    EXPECT_EQ(prof_calls[i].mode, PROF_LOOKUP);
    EXPECT_EQ(prof_calls[i].section, L"Param");
    if (i < n) {
      EXPECT_EQ(prof_calls[i].key, keys[i]);
    }
    EXPECT_EQ(prof_calls[i].def, i == 0 ? L"@" : L"");
    EXPECT_EQ(prof_calls[i].capacity, i == 0 ? WIKI_CNTL_CAP : WIKI_PARAM_CAP);
  }
  static const wchar_t *const entry_keys[] = {
    L"code_chenge_m1", L"code_chenge_o1", L"code_chenge_r1",
    L"code_chenge_m2", L"code_chenge_o2", L"code_chenge_r2",
  };
  for (size_t i = 0; i < 6; i++)
    EXPECT_EQ(prof_calls[n + i].key, entry_keys[i]) << i;
  EXPECT_STREQ(In_cntl_char, L"#!");
  EXPECT_STREQ(In_font_bold_wik.text, L"'''#'''");
  EXPECT_EQ(wcslen(In_cell_sep_wik.text), 100u);
  EXPECT_EQ(In_font_bold_wik.head_flag, 0);   /* not split yet */
  EXPECT_EQ(In_code_chenge_no, 1);
  EXPECT_STREQ(In_code_chenge_o_wik[0].text, L"&#124;");
}

TEST(ParamGet, EntriesInUse)
{
  static const struct {
    const char *id; std::vector<std::pair<std::wstring, std::wstring>> found; int no;
  } cases[] = {
    {"entries-none",     {}, 0},
    {"entries-m1-empty", {{L"code_chenge_m2", L"x"}, {L"code_chenge_m3", L"y"}}, 0},
    {"entries-gap",      {{L"code_chenge_m1", L"a"}, {L"code_chenge_m3", L"y"}}, 1},
    {"entries-cntl",     {{L"code_chenge_m1", L"@"}}, 1},
    {"entries-all",      {{L"code_chenge_m1", L"a"}, {L"code_chenge_m2", L"b"},
                          {L"code_chenge_m3", L"c"}, {L"code_chenge_m4", L"d"},
                          {L"code_chenge_m5", L"e"}}, 5},
  };
  for (const auto &c : cases) {
    prof_calls.clear();
    prof_found = c.found;
    ParamGet();
    EXPECT_EQ(In_code_chenge_no, c.no) << c.id;
    /* every entry up to the one that ends the list is read whole */
    size_t entries = (size_t)(c.no < WIKI_CHENGE_MAX ? c.no + 1 : c.no);
    EXPECT_EQ(prof_calls.size(), 22 + 3 * entries) << c.id;
  }
  EXPECT_STREQ(In_code_chenge_m_wik[4].text, L"e");
}
