/*
** HTML writer: the Param settings, the escaping of cell texts, the colour
** text and the table writer in style mode and attribute mode.
*/
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "MakeHtml.h"
#include "CalcCom.h"
#include "FileIo.h"
#include "MsgDisp.h"
#include "MsgRecord.h"
#include "RGBChar.h"
#include "Result.h"

/* ------------------------------------------------------------------ */
/* Helpers                                                            */
/* ------------------------------------------------------------------ */

static wchar_t *const all_settings[] = {
  In_html_version, In_table_posh, In_table_outline, In_line_color_yn,
  In_line_width_yn, In_back_color_yn, In_font_color_yn, In_font_size_yn,
  In_font_bold_yn, In_font_underline_yn, In_font_italic_yn,
  In_font_strikethrough_yn, In_cell_posh_yn, In_cell_posv_yn,
};

/* Defaults of a run without settings file: style mode, every switch off. */
static void SettingsClear(void)
{
  for (wchar_t *s : all_settings)
    s[0] = L'\0';
  wcscpy(In_html_version, L"5");
}

/* Set settings from "key=value;key=value" (value may be empty). */
static void SettingsSet(const std::wstring &list)
{
  static const struct { const wchar_t *key; wchar_t *target; } keys[] = {
    {L"htmlversion", In_html_version},
    {L"table_posh", In_table_posh},
    {L"table_outline", In_table_outline},
    {L"line_color_yn", In_line_color_yn},
    {L"line_width_yn", In_line_width_yn},
    {L"back_color_yn", In_back_color_yn},
    {L"font_color_yn", In_font_color_yn},
    {L"font_size_yn", In_font_size_yn},
    {L"font_bold_yn", In_font_bold_yn},
    {L"font_underline_yn", In_font_underline_yn},
    {L"font_italic_yn", In_font_italic_yn},
    {L"font_strikethrough_yn", In_font_strikethrough_yn},
    {L"cell_posh_yn", In_cell_posh_yn},
    {L"cell_posv_yn", In_cell_posv_yn},
  };
  size_t pos = 0;
  while (pos < list.size()) {
    size_t end = list.find(L';', pos);
    if (end == std::wstring::npos)
      end = list.size();
    std::wstring item = list.substr(pos, end - pos);
    size_t eq = item.find(L'=');
    std::wstring key = item.substr(0, eq), value = item.substr(eq + 1);
    bool known = false;
    for (const auto &k : keys)
      if (key == k.key) {
        wcscpy(k.target, value.c_str());
        known = true;
      }
    EXPECT_TRUE(known) << "unknown setting in test table";
    pos = end + 1;
  }
}

/* A fresh table: white background, black text of 10pt, thin black top
** border, no text. */
static void TableNew(int rows, int cols)
{
  FreeArea();
  Row_no = rows;
  Col_no = cols;
  ASSERT_EQ(AllocArea(), RC_OK);
  for (int i = 0; i < rows * cols; i++) {
    CELL_DATA *c = &hyo[i];
    c->back_color = 0xFFFFFF;
    c->font_color = 0;
    c->font_size = 10;
    for (int s = 0; s < 4; s++) {
      c->line_width[s] = 1;
      c->line_color[s] = 0;
    }
  }
}

static CELL_DATA *Cell(int row, int col)
{
  return &hyo[Col_no * row + col];
}

static void TextSet(CELL_DATA *c, const std::wstring &text)
{
  if (c->cell_str.size > 0)
    CharLenFree(&c->cell_str);
  ASSERT_EQ(CharLenNewAlloc(&c->cell_str, (int)text.size()), RC_OK);
  wcscpy(c->cell_str.str, text.c_str());
}

/* Mark the area of columns c0..c1, rows r0..r1 as merged. */
static void MergeSet(int c0, int c1, int r0, int r1)
{
  for (int r = r0; r <= r1; r++)
    for (int c = c0; c <= c1; c++) {
      int colpart = c == c0 ? 0 : c == c1 ? 2 : 1;
      int rowpart = r == r0 ? 0 : r == r1 ? 6 : 3;
      Cell(r, c)->mrg_pos = 1 + colpart + rowpart;
      Cell(r, c)->mrg_origin = Col_no * r0 + c0;
    }
  CELL_DATA *a = Cell(r0, c0);
  a->mrg_area[MA_COL0] = c0;
  a->mrg_area[MA_COL1] = c1;
  a->mrg_area[MA_ROW0] = r0;
  a->mrg_area[MA_ROW1] = r1;
}

static std::wstring Convert(void)
{
  EXPECT_EQ(MakeData(), RC_OK);
  return out_data.str != NULL && Out_alloc == 1 ? std::wstring(out_data.str)
                                                : std::wstring();
}

/* The n-th line (from 0) of text, without its line end. */
static std::wstring Line(const std::wstring &text, int n)
{
  size_t pos = 0;
  for (int i = 0; i < n; i++) {
    pos = text.find(L'\n', pos);
    if (pos == std::wstring::npos)
      return L"<no such line>";
    pos++;
  }
  return text.substr(pos, text.find(L'\n', pos) - pos);
}

/* The style sheet between "<!--\n" and "-->". */
static std::wstring Sheet(const std::wstring &text)
{
  size_t a = text.find(L"<!--\n"), b = text.find(L"-->");
  if (a == std::wstring::npos || b == std::wstring::npos)
    return L"<no sheet>";
  return text.substr(a + 5, b - a - 5);
}

class MakeHtml : public ::testing::Test {
protected:
  void SetUp() override
  {
    SettingsClear();
    MsgReset();
  }
  void TearDown() override
  {
    FreeArea();
    if (Out_alloc == 1)
      CharLenFree(&out_data);
    Out_alloc = 0;
  }
};

/* ------------------------------------------------------------------ */
/* Worked example and the bare output                                 */
/* ------------------------------------------------------------------ */

/* Two rows, three columns; A1:B2 merged, the lower row of the area
** without top border; C2 underlined. */
static void ExampleTable(void)
{
  TableNew(2, 3);
  MergeSet(0, 1, 0, 1);
  TextSet(Cell(0, 0), L"Total");
  Cell(0, 0)->posh = 2;
  Cell(1, 0)->line_width[SIDE_TOP] = 0;
  Cell(1, 1)->line_width[SIDE_TOP] = 0;
  TextSet(Cell(0, 2), L"x<y");
  TextSet(Cell(1, 2), L"a b");
  Cell(1, 2)->font_underline = 1;
}

TEST_F(MakeHtml, WorkedExampleBothModes)
{
  static const struct { const char *id; const wchar_t *version, *expected; } cases[] = {
    {"example-attribute", L"4",
     L"<TABLE BORDER CELLSPACING=1 BORDERCOLOR=#000000>\n"
     L"<TR>\n"
     L"<TD COLSPAN=2 ROWSPAN=2 NOWRAP BGCOLOR=#ffffff><P ALIGN=\"CENTER\">Total</P></TD>\n"
     L"<TD NOWRAP BGCOLOR=#ffffff>x&lt;y</TD>\n"
     L"</TR>\n"
     L"<TR>\n"
     L"<TD NOWRAP BGCOLOR=#ffffff><U>a&nbsp;b</U></TD>\n"
     L"</TR>\n"
     L"</TABLE>"},
    {"example-style", L"5",
     L"<TABLE CLASS=\"tabvueT\">\n"
     L"<TR>\n"
     L"<TD COLSPAN=2 ROWSPAN=2 NOWRAP class=\"tabvueC0\"><P ALIGN=\"CENTER\">Total</P></TD>\n"
     L"<TD NOWRAP class=\"tabvueC0\">x&lt;y</TD>\n"
     L"</TR>\n"
     L"<TR>\n"
     L"<TD NOWRAP class=\"tabvueC0\"><P class=\"tabvueF0\">a&nbsp;b</P></TD>\n"
     L"</TR>\n"
     L"</TABLE>\n"
     L"\n"
     L"\n"
     L"<style type=\"text/css\">\n"
     L"<!--\n"
     L"table.tabvueT, td.tabvueT, th.tabvueT { border: 1px #000000 solid}\n"
     L"p.tabvueF0 {text-decoration: underline}\n"
     L"td.tabvueC0 {background-color:#ffffff; border: 1px #000000 solid}\n"
     L"td.tabvueC1 {background-color:#ffffff; border: 1px #ffffff solid}\n"
     L"-->\n"
     L"</style>\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    ExampleTable();
    SettingsSet(L"line_width_yn=ON;line_color_yn=ON;back_color_yn=ON;"
                L"font_underline_yn=ON;cell_posh_yn=ON");
    wcscpy(In_html_version, c.version);
    EXPECT_EQ(Convert(), c.expected);
    EXPECT_EQ(Out_alloc, 1);
    EXPECT_EQ(Out_wk_alloc, 1);
    EXPECT_EQ(Cell(0, 0)->mrgh, 2);
    EXPECT_EQ(Cell(0, 0)->mrgv, 2);
    EXPECT_EQ(Cell(0, 1)->mrgh, 0);
    EXPECT_EQ(MsgCount, 0);
  }
}

TEST_F(MakeHtml, NoSettingsBareStyleMode)
{
  TableNew(2, 2);
  TextSet(Cell(0, 0), L"a b");
  TextSet(Cell(0, 1), L"<&>");
  Cell(1, 0)->cell_str.size = 0;   /* a text record without buffer */
  Cell(1, 1)->font_bold = 1;
  Cell(1, 1)->font_underline = 1;
  Cell(1, 1)->back_color = 0xFF0000;
  EXPECT_EQ(Convert(),
            L"<TABLE>\n"
            L"<TR>\n"
            L"<TD NOWRAP>a&nbsp;b</TD>\n"
            L"<TD NOWRAP>&lt;&amp;&gt;</TD>\n"
            L"</TR>\n"
            L"<TR>\n"
            L"<TD NOWRAP></TD>\n"
            L"<TD NOWRAP></TD>\n"
            L"</TR>\n"
            L"</TABLE>\n"
            L"\n\n<style type=\"text/css\">\n<!--\n"
            L"td.tabvueC0 {}\n"
            L"-->\n</style>\n");
  EXPECT_EQ(font_attr_maxno, -1);
  EXPECT_EQ(cell_attr_maxno, 0);
}

/* ------------------------------------------------------------------ */
/* Table start, table rule and mode selection                         */
/* ------------------------------------------------------------------ */

TEST_F(MakeHtml, TableStartAndRule)
{
  static const struct {
    const char *id;
    const wchar_t *settings;
    int first_kind;             /* top border kind of the first record */
    const wchar_t *start;       /* first line of the output */
    const wchar_t *rule;        /* first line of the style sheet, or null */
  } cases[] = {
    {"attr-bare", L"htmlversion=4", 1, L"<TABLE BORDER>", nullptr},
    {"attr-width-kind0", L"htmlversion=4;line_width_yn=ON", 0,
     L"<TABLE BORDER CELLSPACING=0>", nullptr},
    {"attr-width-kind2", L"htmlversion=4;line_width_yn=ON", 2,
     L"<TABLE BORDER CELLSPACING=2>", nullptr},
    {"attr-color", L"htmlversion=4;line_color_yn=ON", 1,
     L"<TABLE BORDER BORDERCOLOR=#0000ff>", nullptr},
    {"attr-outline-ignored", L"htmlversion=4;line_color_yn=ON;table_outline=red", 1,
     L"<TABLE BORDER BORDERCOLOR=#0000ff>", nullptr},
    {"attr-center", L"htmlversion=4;table_posh=CENTER", 1,
     L"<CENTER><TABLE BORDER>", nullptr},
    {"style-center", L"table_posh=CENTER", 1, L"<CENTER><TABLE>",
     L"td.tabvueC0 {}"},
    {"style-width", L"line_width_yn=ON", 2, L"<TABLE CLASS=\"tabvueT\">",
     L"table.tabvueT, td.tabvueT, th.tabvueT { border: 2px solid}"},
    {"style-color", L"line_color_yn=ON", 1, L"<TABLE CLASS=\"tabvueT\">",
     L"table.tabvueT, td.tabvueT, th.tabvueT { border: #0000ff solid}"},
    {"style-outline", L"line_width_yn=ON;line_color_yn=ON;table_outline=red", 1,
     L"<TABLE CLASS=\"tabvueT\">",
     L"table.tabvueT, td.tabvueT, th.tabvueT { border: 1px red solid}"},
    {"style-outline-color-off", L"line_width_yn=ON;table_outline=red", 1,
     L"<TABLE CLASS=\"tabvueT\">",
     L"table.tabvueT, td.tabvueT, th.tabvueT { border: 1px solid}"},
    {"style-outline-alone", L"table_outline=red", 1, L"<TABLE>",
     L"td.tabvueC0 {}"},
    {"version-empty", L"htmlversion=", 1, L"<TABLE BORDER>", nullptr},
    {"version-4.01", L"htmlversion=4.01", 1, L"<TABLE BORDER>", nullptr},
    {"version-5.0", L"htmlversion=5.0", 1, L"<TABLE>", L"td.tabvueC0 {}"},
    {"version-50", L"htmlversion=50", 1, L"<TABLE>", L"td.tabvueC0 {}"},
    {"version-space5", L"htmlversion= 5", 1, L"<TABLE BORDER>", nullptr},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    SettingsSet(c.settings);
    TableNew(1, 1);
    TextSet(Cell(0, 0), L"v");
    Cell(0, 0)->line_width[SIDE_TOP] = c.first_kind;
    Cell(0, 0)->line_color[SIDE_TOP] = 0x0000FF;
    std::wstring out = Convert();
    EXPECT_EQ(Line(out, 0), c.start);
    EXPECT_EQ(out.find(L"</CENTER>"), std::wstring::npos);
    if (c.rule == nullptr) {
      EXPECT_EQ(out.find(L"<style"), std::wstring::npos);
      EXPECT_EQ(out.substr(out.size() - 9), L"\n</TABLE>") << "ends without line end";
    } else {
      EXPECT_EQ(Line(Sheet(out), 0), c.rule);
    }
  }
}

/* Cell class rules: background and border per set, the width always
** that of the first record. */
TEST_F(MakeHtml, CellClassRules)
{
  static const struct { const char *id; const wchar_t *settings, *sheet; } cases[] = {
    {"back-only", L"back_color_yn=ON",
     L"td.tabvueC0 {background-color:#ff0000}\n"
     L"td.tabvueC1 {background-color:#ffffff}\n"
     L"td.tabvueC2 {background-color:#ffffff}\n"},
    {"back-width-color", L"back_color_yn=ON;line_width_yn=ON;line_color_yn=ON",
     L"table.tabvueT, td.tabvueT, th.tabvueT { border: 2px #00ff00 solid}\n"
     L"td.tabvueC0 {background-color:#ff0000; border: 2px #00ff00 solid}\n"
     L"td.tabvueC1 {background-color:#ffffff; border: 2px #0000ff solid}\n"
     L"td.tabvueC2 {background-color:#ffffff; border: 2px #ffffff solid}\n"},
    {"width-no-back", L"line_width_yn=ON",
     L"table.tabvueT, td.tabvueT, th.tabvueT { border: 2px solid}\n"
     L"td.tabvueC0 { border: 2px solid}\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    SettingsSet(c.settings);
    /* red/green, white/blue, red/green again, white without top border */
    TableNew(1, 4);
    Cell(0, 0)->back_color = 0xFF0000;
    Cell(0, 0)->line_width[SIDE_TOP] = 2;
    Cell(0, 0)->line_color[SIDE_TOP] = 0x00FF00;
    Cell(0, 1)->line_color[SIDE_TOP] = 0x0000FF;
    Cell(0, 2)->back_color = 0xFF0000;
    Cell(0, 2)->line_color[SIDE_TOP] = 0x00FF00;
    Cell(0, 3)->line_width[SIDE_TOP] = 0;
    Cell(0, 3)->line_color[SIDE_TOP] = 0x123456;
    std::wstring out = Convert();
    EXPECT_EQ(Sheet(out), c.sheet);
  }
  /* the written cells carry their classes */
  SettingsClear();
  SettingsSet(L"back_color_yn=ON;line_color_yn=ON");
  std::wstring out = Convert();
  EXPECT_EQ(Line(out, 2), L"<TD NOWRAP class=\"tabvueC0\"></TD>");
  EXPECT_EQ(Line(out, 3), L"<TD NOWRAP class=\"tabvueC1\"></TD>");
  EXPECT_EQ(Line(out, 4), L"<TD NOWRAP class=\"tabvueC0\"></TD>");
  EXPECT_EQ(Line(out, 5), L"<TD NOWRAP class=\"tabvueC2\"></TD>");
}

/* Many distinct cell sets, each met again later: classes are numbered in
** the order of first appearance, and a repeated set finds its class. */
TEST_F(MakeHtml, ManyCellClassesNumberedByFirstUse)
{
  static const struct { const char *id; int cells, distinct; } cases[] = {
    {"few", 40, 3}, {"many", 3000, 997}, {"all-distinct", 2500, 2500},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    SettingsSet(L"back_color_yn=ON");
    TableNew(1, c.cells);
    for (int i = 0; i < c.cells; i++) {
      Cell(0, i)->back_color = (i % c.distinct) * 0x010203;
      Cell(0, i)->line_color[SIDE_TOP] = (i % c.distinct) & 1;
    }
    std::wstring out = Convert();
    EXPECT_EQ(cell_attr_maxno, c.distinct - 1);
    int wrong = 0;
    for (int i = 0; i < c.cells; i++) {
      std::wstring want = L"<TD NOWRAP class=\"tabvueC" +
                          std::to_wstring(i % c.distinct) + L"\"></TD>";
      wrong += Line(out, 2 + i) != want;
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(MakeHtml, UnderlineFontClassesInStyleMode)
{
  TableNew(1, 4);
  Cell(0, 0)->font_underline = 1;
  Cell(0, 2)->font_underline = 2;   /* another kind: same class */
  Cell(0, 3)->font_underline = 1;
  SettingsSet(L"font_underline_yn=ON");
  std::wstring out = Convert();
  EXPECT_EQ(out.find(L"<U>"), std::wstring::npos);
  EXPECT_EQ(Line(out, 2), L"<TD NOWRAP><P class=\"tabvueF0\"></P></TD>");
  EXPECT_EQ(Line(out, 3), L"<TD NOWRAP></TD>");
  EXPECT_EQ(Line(out, 4), L"<TD NOWRAP><P class=\"tabvueF0\"></P></TD>");
  EXPECT_EQ(Sheet(out), L"p.tabvueF0 {text-decoration: underline}\n"
                        L"td.tabvueC0 {}\n");
  EXPECT_EQ(font_attr_maxno, 0);
}

/* ------------------------------------------------------------------ */
/* Merged areas                                                       */
/* ------------------------------------------------------------------ */

TEST_F(MakeHtml, MergedAreas)
{
  /* A1:B1 one row high, C1:C3 one column wide, A2:B3 two by two */
  TableNew(3, 3);
  MergeSet(0, 1, 0, 0);
  MergeSet(2, 2, 0, 2);
  MergeSet(0, 1, 1, 2);
  TextSet(Cell(0, 0), L"a");
  TextSet(Cell(0, 1), L"hidden");
  TextSet(Cell(0, 2), L"c");
  TextSet(Cell(1, 0), L"d");
  TextSet(Cell(2, 2), L"hidden");
  SettingsSet(L"htmlversion=4");
  EXPECT_EQ(Convert(),
            L"<TABLE BORDER>\n"
            L"<TR>\n"
            L"<TD COLSPAN=2 NOWRAP>a</TD>\n"
            L"<TD ROWSPAN=3 NOWRAP>c</TD>\n"
            L"</TR>\n"
            L"<TR>\n"
            L"<TD COLSPAN=2 ROWSPAN=2 NOWRAP>d</TD>\n"
            L"</TR>\n"
            L"<TR>\n"
            L"</TR>\n"
            L"</TABLE>");
  EXPECT_EQ(Cell(0, 1)->mrg_pos, 3);
  EXPECT_EQ(Cell(2, 2)->mrg_pos, 7);
}

/* ------------------------------------------------------------------ */
/* Cell content: span, paragraph, font tags                          */
/* ------------------------------------------------------------------ */

TEST_F(MakeHtml, CellContent)
{
  enum { RED = 0xFF0000 };
  static const struct {
    const char *id;
    const wchar_t *settings;
    int posh, posv, num_flag, font_size, color, bold, underline, italic, strike;
    const wchar_t *td;          /* the cell's line */
  } cases[] = {
    /* id                 settings                                   posh posv num size color b u i s */
    {"color-no-size", L"font_color_yn=ON;font_size_yn=", 0, 0, 0, 10, RED, 0, 0, 0, 0,
     L"<TD NOWRAP><SPAN STYLE=\";COLOR:#ff0000\">t</SPAN></TD>"},
    {"size-zero", L"font_size_yn=ON", 0, 0, 0, 0, RED, 0, 0, 0, 0,
     L"<TD NOWRAP>t</TD>"},
    {"size-only", L"font_size_yn=ON", 0, 0, 0, 12, RED, 0, 0, 0, 0,
     L"<TD NOWRAP><SPAN STYLE=\"FONT-SIZE:12pt;\">t</SPAN></TD>"},
    {"size-and-color", L"font_size_yn=ON;font_color_yn=ON", 0, 0, 0, 12, 0x0000FF, 0, 0, 0, 0,
     L"<TD NOWRAP><SPAN STYLE=\"FONT-SIZE:12pt;COLOR:#0000ff\">t</SPAN></TD>"},
    {"posh0-no-class", L"cell_posh_yn=ON", 0, 0, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP>t</TD>"},
    {"posh0-font-class", L"cell_posh_yn=ON;font_underline_yn=ON", 0, 0, 0, 10, 0, 0, 1, 0, 0,
     L"<TD NOWRAP><P class=\"tabvueF0\">t</P></TD>"},
    {"posh2-font-class", L"cell_posh_yn=ON;font_underline_yn=ON", 2, 0, 0, 10, 0, 0, 1, 0, 0,
     L"<TD NOWRAP><P ALIGN=\"CENTER\" class=\"tabvueF0\">t</P></TD>"},
    {"posh-left", L"cell_posh_yn=ON", 1, 0, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP><P ALIGN=\"LEFT\">t</P></TD>"},
    {"posh-block", L"cell_posh_yn=ON", 4, 0, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP>t</TD>"},
    {"posh-off", L"", 2, 0, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP>t</TD>"},
    {"number-std", L"cell_posh_yn=ON", 0, 0, 1, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP><P ALIGN=\"RIGHT\">t</P></TD>"},
    {"number-block", L"cell_posh_yn=ON", 5, 0, 1, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP><P ALIGN=\"RIGHT\">t</P></TD>"},
    {"number-left", L"cell_posh_yn=ON", 1, 0, 1, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP><P ALIGN=\"LEFT\">t</P></TD>"},
    {"posv-top", L"cell_posv_yn=ON", 0, 1, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP VALIGN=\"TOP\">t</TD>"},
    {"posv-centre", L"cell_posv_yn=ON", 0, 2, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP>t</TD>"},
    {"posv-bottom", L"cell_posv_yn=ON", 0, 3, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP VALIGN=\"BOTTOM\">t</TD>"},
    {"posv-off", L"", 0, 3, 0, 10, 0, 0, 0, 0, 0,
     L"<TD NOWRAP>t</TD>"},
    {"tags-attribute", L"htmlversion=4;font_bold_yn=ON;font_underline_yn=ON;"
     L"font_italic_yn=ON;font_strikethrough_yn=ON", 0, 0, 0, 10, 0, 1, 1, 1, 1,
     L"<TD NOWRAP><B><U><I><S>t</S></I></U></B></TD>"},
    {"tags-style", L"font_bold_yn=ON;font_underline_yn=ON;"
     L"font_italic_yn=ON;font_strikethrough_yn=ON", 0, 0, 0, 10, 0, 1, 1, 1, 1,
     L"<TD NOWRAP><P class=\"tabvueF0\"><B><I><S>t</S></I></B></P></TD>"},
    {"tags-switches-off", L"htmlversion=4", 0, 0, 0, 10, 0, 1, 1, 1, 1,
     L"<TD NOWRAP>t</TD>"},
    {"everything-attribute", L"htmlversion=4;back_color_yn=ON;font_color_yn=ON;"
     L"font_size_yn=ON;font_bold_yn=ON;font_underline_yn=ON;font_italic_yn=ON;"
     L"font_strikethrough_yn=ON;cell_posh_yn=ON;cell_posv_yn=ON", 3, 1, 0, 9, RED, 1, 1, 1, 1,
     L"<TD NOWRAP VALIGN=\"TOP\" BGCOLOR=#ffffff><SPAN STYLE=\"FONT-SIZE:9pt;COLOR:#ff0000\">"
     L"<P ALIGN=\"RIGHT\"><B><U><I><S>t</S></I></U></B></P></SPAN></TD>"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    SettingsSet(c.settings);
    TableNew(1, 1);
    CELL_DATA *cell = Cell(0, 0);
    TextSet(cell, L"t");
    cell->posh = c.posh;
    cell->posv = c.posv;
    cell->num_flag = c.num_flag;
    cell->font_size = c.font_size;
    cell->font_color = c.color;
    cell->font_bold = (int8_t)c.bold;
    cell->font_underline = c.underline;
    cell->font_italic = (int8_t)c.italic;
    cell->font_strikethrough = c.strike;
    EXPECT_EQ(Line(Convert(), 2), c.td);
  }
}

TEST_F(MakeHtml, NumberCellPoshRewritten)
{
  static const struct { const char *id; const wchar_t *settings; int64_t before, after; } cases[] = {
    {"rewritten", L"cell_posh_yn=ON", 0, 3},
    {"kept-centre", L"cell_posh_yn=ON", 2, 2},
    {"switch-off", L"", 0, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    SettingsSet(c.settings);
    TableNew(1, 1);
    Cell(0, 0)->num_flag = 1;
    Cell(0, 0)->posh = c.before;
    Convert();
    EXPECT_EQ(Cell(0, 0)->posh, c.after);
  }
}

/* A cell without a text keeps all its tags. */
TEST_F(MakeHtml, EmptyCellKeepsTags)
{
  static const struct { const char *id; int size; } cases[] = {
    {"size-minus-one", -1}, {"size-zero", 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    SettingsSet(L"htmlversion=4;font_bold_yn=ON;font_color_yn=ON;cell_posh_yn=ON");
    TableNew(1, 1);
    Cell(0, 0)->cell_str.size = c.size;
    Cell(0, 0)->font_bold = 1;
    Cell(0, 0)->posh = 1;
    EXPECT_EQ(Line(Convert(), 2),
              L"<TD NOWRAP><SPAN STYLE=\";COLOR:#000000\"><P ALIGN=\"LEFT\"><B></B></P></SPAN></TD>");
  }
}

/* ------------------------------------------------------------------ */
/* Switches                                                           */
/* ------------------------------------------------------------------ */

TEST_F(MakeHtml, SwitchOnlyExactOn)
{
  static const struct { const char *id; const wchar_t *value; bool on; } cases[] = {
    {"ON", L"ON", true},        {"on", L"on", false},    {"Yes", L"Yes", false},
    {"trailing-space", L"ON ", false}, {"leading-space", L" ON", false},
    {"On", L"On", false},       {"empty", L"", false},   {"ONE", L"ONE", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    wcscpy(In_html_version, L"4");
    wcscpy(In_back_color_yn, c.value);
    TableNew(1, 1);
    std::wstring td = Line(Convert(), 2);
    EXPECT_EQ(td, c.on ? L"<TD NOWRAP BGCOLOR=#ffffff></TD>" : L"<TD NOWRAP></TD>");
  }
}

/* ------------------------------------------------------------------ */
/* Escaping and colour text                                           */
/* ------------------------------------------------------------------ */

TEST(CellCharConv, Escapes)
{
  static const struct { const char *id; const wchar_t *src, *dst; } cases[] = {
    {"space", L"a b", L"a&nbsp;b"},
    {"two-spaces", L"  ", L"&nbsp;&nbsp;"},
    {"only-spaces", L"    ", L"&nbsp;&nbsp;&nbsp;&nbsp;"},
    {"lf", L"a\nb", L"a<BR>b"},
    {"crlf", L"a\r\nb", L"a\r<BR>b"},
    {"entity-typed", L"&lt;", L"&amp;lt;"},
    {"quotes-angles", L"x<y>\"z\"", L"x&lt;y&gt;&quot;z&quot;"},
    {"empty", L"", L""},
    {"untouched", L"\t'\r\u65e5\u00e9\U0001F600", L"\t'\r\u65e5\u00e9\U0001F600"},
    {"leading-cr-lf-tab", L"\r\n\tx", L"\r<BR>\tx"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    CHAR_LEN src, dst;
    ASSERT_EQ(CharLenNewAlloc(&src, (int)wcslen(c.src)), RC_OK);
    wcscpy(src.str, c.src);
    ASSERT_EQ(CharLenNewAlloc(&dst, 6 * (int)wcslen(c.src) + 1), RC_OK);
    wcsncpy(dst.str, L"old text", dst.size);   /* replaced, not appended to */
    dst.str[dst.size] = L'\0';
    Cell_char_conv(src, &dst);
    EXPECT_EQ(std::wstring(dst.str), c.dst);
    CharLenFree(&src);
    CharLenFree(&dst);
  }
}

/* A target too small for the escaped text gets the replacements that
** fit whole and nothing past its capacity. */
TEST(CellCharConv, SmallTargetNotOverrun)
{
  static const struct { const char *id; const wchar_t *src; int cap; const wchar_t *dst; } cases[] = {
    {"exact-fit", L"&&", 10, L"&amp;&amp;"},
    {"cut-before-entity", L"&&&", 12, L"&amp;&amp;"},
    {"cut-plain", L"abc", 2, L"ab"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    CHAR_LEN src, dst;
    ASSERT_EQ(CharLenNewAlloc(&src, 100), RC_OK);
    wcscpy(src.str, c.src);
    /* an exactly sized heap buffer, so that an overrun shows under ASan */
    dst.size = c.cap;
    dst.str = (wchar_t *)malloc((c.cap + 1) * sizeof(wchar_t));
    Cell_char_conv(src, &dst);
    EXPECT_EQ(std::wstring(dst.str), c.dst);
    free(dst.str);
    CharLenFree(&src);
  }
}

TEST(RGBChar, ColourText)
{
  static const struct { const char *id; uint32_t color; const wchar_t *text; } cases[] = {
    {"black", 0, L"#000000"},
    {"white", 0xFFFFFF, L"#ffffff"},
    {"orange", 0xFF8000, L"#ff8000"},
    {"high-bits", 0xAB123456u, L"#123456"},
    {"all-bits", 0xFFFFFFFFu, L"#ffffff"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    wchar_t buf[RGB_CAP + 4];
    wmemset(buf, L'X', RGB_CAP + 4);
    RGBChar(c.color, buf);
    EXPECT_EQ(std::wstring(buf), c.text);
    EXPECT_EQ(buf[RGB_CAP], L'X') << "writes 8 characters only";
  }
}

/* Cell texts longer than the first room of the scratch string come out
** whole; a text starting with CR, LF or tab is written like any other. */
TEST_F(MakeHtml, LongAndOddTextsWhole)
{
  static const struct { const char *id; std::wstring text, escaped; } cases[] = {
    {"3000-amp", std::wstring(3000, L'&'), [] {
       std::wstring s; for (int i = 0; i < 3000; i++) s += L"&amp;"; return s; }()},
    {"20000-space", std::wstring(20000, L' '), [] {
       std::wstring s; for (int i = 0; i < 20000; i++) s += L"&nbsp;"; return s; }()},
    {"plain-15000", std::wstring(15000, L'x'), std::wstring(15000, L'x')},
    {"leading-cr", L"\rab", L"\rab"},
    {"leading-lf", L"\nab", L"<BR>ab"},
    {"leading-tab", L"\tab", L"\tab"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    wcscpy(In_html_version, L"4");
    TableNew(2, 1);
    TextSet(Cell(0, 0), c.text);
    TextSet(Cell(1, 0), L"after");
    std::wstring out = Convert();
    EXPECT_EQ(out, L"<TABLE BORDER>\n<TR>\n<TD NOWRAP>" + c.escaped +
                   L"</TD>\n</TR>\n<TR>\n<TD NOWRAP>after</TD>\n</TR>\n</TABLE>");
    EXPECT_EQ(MsgCount, 0);
  }
}

/* A large table: every cell arrives, the output is not cut. */
TEST_F(MakeHtml, LargeTableComplete)
{
  SettingsSet(L"line_width_yn=ON;line_color_yn=ON;back_color_yn=ON;font_color_yn=ON;"
              L"font_size_yn=ON;font_bold_yn=ON;font_underline_yn=ON;font_italic_yn=ON;"
              L"font_strikethrough_yn=ON;cell_posh_yn=ON;cell_posv_yn=ON");
  TableNew(300, 40);
  for (int r = 0; r < 300; r++)
    for (int c = 0; c < 40; c++) {
      TextSet(Cell(r, c), L"v" + std::to_wstring(r * 40 + c));
      Cell(r, c)->back_color = (r % 3) * 0x010101;
      Cell(r, c)->font_underline = c % 2;
    }
  std::wstring out = Convert();
  size_t tds = 0;
  for (size_t p = out.find(L"<TD"); p != std::wstring::npos; p = out.find(L"<TD", p + 1))
    tds++;
  EXPECT_EQ(tds, 12000u);
  EXPECT_NE(out.find(L">v11999</P></SPAN></TD>\n</TR>\n</TABLE>\n"),
            std::wstring::npos);
  EXPECT_EQ(out.size(), wcslen(out_data.str));
  EXPECT_EQ(cell_attr_maxno, 2);
  EXPECT_EQ(font_attr_maxno, 0);
}

/* Tables without records: rows without columns still get their TR. */
TEST_F(MakeHtml, TablesWithoutRecords)
{
  static const struct { const char *id; int rows, cols; const wchar_t *expected; } cases[] = {
    {"no-rows", 0, 3, L"<TABLE BORDER>\n</TABLE>"},
    {"no-columns", 2, 0, L"<TABLE BORDER>\n<TR>\n</TR>\n<TR>\n</TR>\n</TABLE>"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    SettingsClear();
    SettingsSet(L"htmlversion=4;back_color_yn=ON");
    TableNew(c.rows, c.cols);
    EXPECT_EQ(Convert(), c.expected);
  }
}

/* Running twice leaves one output and leaks nothing. */
TEST_F(MakeHtml, SecondRunStartsAfresh)
{
  TableNew(1, 1);
  TextSet(Cell(0, 0), L"one");
  std::wstring first = Convert();
  std::wstring second = Convert();
  EXPECT_EQ(first, second);
}

/* ------------------------------------------------------------------ */
/* Param settings                                                     */
/* ------------------------------------------------------------------ */

static wchar_t *const param_targets[] = {   /* in the order of the file keys */
  In_html_version, In_table_posh, In_table_outline, In_line_color_yn,
  In_line_width_yn, In_back_color_yn, In_font_color_yn, In_font_size_yn,
  In_font_bold_yn, In_font_underline_yn, In_font_italic_yn,
  In_font_strikethrough_yn, In_cell_posh_yn, In_cell_posv_yn,
};
static const wchar_t *const param_names[] = {
  L"htmlversion", L"table_posh", L"table_outline", L"line_color_yn",
  L"line_width_yn", L"back_color_yn", L"font_color_yn", L"font_size_yn",
  L"font_bold_yn", L"font_underline_yn", L"font_italic_yn",
  L"font_strikethrough_yn", L"cell_posh_yn", L"cell_posv_yn",
};

/* Write text to a fresh settings file and read it with ProfileGet;
** with_file false leaves the directory empty: no settings file. */
static int SettingsRead(const std::string &text, bool with_file)
{
  char tmpl[] = "/tmp/tvhtml.XXXXXX";
  std::string dir = mkdtemp(tmpl) ? tmpl : "/tmp";
  std::string path = dir + "/TabvueHtml.ini";
  if (with_file) {
    FILE *fp = fopen(path.c_str(), "wb");
    EXPECT_NE(fp, nullptr);
    if (fp) {
      fwrite(text.data(), 1, text.size(), fp);
      fclose(fp);
    }
  }
  std::wstring wpath(path.begin(), path.end());   /* ASCII path */
  for (wchar_t *t : param_targets)
    wcscpy(t, L"junk");
  int rc = ProfileGet(wpath.c_str());
  remove(path.c_str());
  rmdir(dir.c_str());
  return rc;
}

TEST(ParamGet, ValuesFromFile)
{
  static const struct {
    const char *id;
    const char *file;           /* null: no settings file */
    const wchar_t *version, *posh, *back, *bold, *italic;
  } cases[] = {
    {"no-file", nullptr, L"5", L"", L"", L"", L""},
    {"no-param-section", "[Log]\nTime=ON\n", L"5", L"", L"", L"", L""},
    {"other-section", "[Other]\nhtmlversion=4\nback_color_yn=ON\n", L"5", L"", L"", L"", L""},
    {"version-empty", "[Param]\nhtmlversion=\n", L"", L"", L"", L"", L""},
    {"version-5.0", "[Param]\nhtmlversion=5.0\n", L"5.0", L"", L"", L"", L""},
    {"switch-spellings", "[Param]\nback_color_yn=on\nfont_bold_yn=Yes\n"
     "font_italic_yn=ON \n", L"5", L"", L"on", L"Yes", L"ON "},
    {"crlf-spaces", "[Param]\r\nhtmlversion =  4\r\nback_color_yn= ON\r\n", L"4", L"", L"ON", L"", L""},
    {"comment-line", "[Param]\n;back_color_yn=ON\nfont_bold_yn=ON\n", L"5", L"", L"", L"ON", L""},
    {"no-last-line-end", "[Param]\nfont_bold_yn=ON\nback_color_yn=ON", L"5", L"", L"", L"ON", L""},
    {"long-value", "[Param]\ntable_posh=AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
     "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\n",
     L"5", L"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
           L"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", L"", L"", L""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    MsgReset();
    EXPECT_EQ(SettingsRead(c.file ? c.file : "", c.file != nullptr), 0);
    EXPECT_STREQ(In_html_version, c.version);
    EXPECT_STREQ(In_table_posh, c.posh);
    EXPECT_STREQ(In_back_color_yn, c.back);
    EXPECT_STREQ(In_font_bold_yn, c.bold);
    EXPECT_STREQ(In_font_italic_yn, c.italic);
    EXPECT_STREQ(In_cell_posv_yn, L"");
    EXPECT_EQ(MsgCount, 0);
  }
}

/* Every key lands in its own global. */
TEST(ParamGet, EachKeyItsGlobal)
{
  std::string text = "[Param]\n";
  for (int i = 13; i >= 0; i--) {   /* reversed: order in the file is free */
    std::wstring name = param_names[i];
    text += std::string(name.begin(), name.end()) + "=v" + std::to_string(i) + "\n";
  }
  ASSERT_EQ(SettingsRead(text, true), 0);
  for (int i = 0; i < 14; i++)
    EXPECT_EQ(std::wstring(param_targets[i]), L"v" + std::to_wstring(i)) << i;
}

/* The shipped settings file reads back with every switch on. */
TEST(ParamGet, ShippedFile)
{
  const char *root = getenv("TV_SOURCE");
  if (root == nullptr)
    GTEST_SKIP() << "TV_SOURCE not set";
  std::string path = std::string(root) + "/settings/TabvueHtml.ini";
  FILE *fp = fopen(path.c_str(), "rb");
  ASSERT_NE(fp, nullptr) << path;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, fp)) > 0)
    text.append(buf, n);
  fclose(fp);
  for (unsigned char ch : text)
    ASSERT_LT(ch, 0x80) << "plain ASCII, readable in any locale";
  MsgReset();
  ASSERT_EQ(SettingsRead(text, true), 0);
  EXPECT_STREQ(In_html_version, L"5");
  EXPECT_STREQ(In_table_posh, L"");
  EXPECT_STREQ(In_table_outline, L"");
  for (int i = 3; i < 14; i++)
    EXPECT_STREQ(param_targets[i], L"ON") << i;
  EXPECT_EQ(TimeLog, 1);
  EXPECT_STREQ(Locale, L"");
  EXPECT_STREQ(Evasion, L"OFF");
  EXPECT_EQ(MsgCount, 0);
}

/* No settings file: the bare style-mode table. */
TEST_F(MakeHtml, NoSettingsFileThroughReader)
{
  ASSERT_EQ(SettingsRead("", false), 0);
  TableNew(1, 1);
  TextSet(Cell(0, 0), L"x");
  Cell(0, 0)->font_bold = 1;
  EXPECT_EQ(Convert(), L"<TABLE>\n<TR>\n<TD NOWRAP>x</TD>\n</TR>\n</TABLE>\n\n\n"
                       L"<style type=\"text/css\">\n<!--\ntd.tabvueC0 {}\n-->\n</style>\n");
}

/* ------------------------------------------------------------------ */
/* Benchmark (run by hand: --gtest_also_run_disabled_tests)           */
/* ------------------------------------------------------------------ */

/* 1000 rows of 100 short texts, every switch on, both modes; eight
** distinct background colours.  Prints the time of MakeData alone. */
TEST_F(MakeHtml, DISABLED_Bench100x1000)
{
  static const wchar_t *const versions[] = {L"5", L"4"};
  for (const wchar_t *v : versions) {
    SettingsClear();
    SettingsSet(L"line_width_yn=ON;line_color_yn=ON;back_color_yn=ON;font_color_yn=ON;"
                L"font_size_yn=ON;font_bold_yn=ON;font_underline_yn=ON;font_italic_yn=ON;"
                L"font_strikethrough_yn=ON;cell_posh_yn=ON;cell_posv_yn=ON");
    wcscpy(In_html_version, v);
    TableNew(1000, 100);
    for (int i = 0; i < 100000; i++) {
      TextSet(&hyo[i], L"c " + std::to_wstring(i));
      hyo[i].back_color = (i % 8) * 0x102030;
      hyo[i].font_bold = (int8_t)(i % 2);
      hyo[i].font_underline = i % 3 == 0;
      hyo[i].posh = i % 4;
      hyo[i].posv = i % 5;
    }
    clock_t t0 = clock();
    ASSERT_EQ(MakeData(), RC_OK);
    double ms = 1000.0 * (double)(clock() - t0) / CLOCKS_PER_SEC;
    printf("mode %ls: MakeData %.1f ms, output %zu characters, capacity %d\n",
           v, ms, wcslen(out_data.str), (int)out_data.size);
  }
}
