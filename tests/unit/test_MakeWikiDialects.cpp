/*
** The shipped Wiki settings files: each is read through the real settings
** reader, a small table is written with it, and pandoc must read the
** markup back into one table with the same cell texts in the same places.
*/
#include <gtest/gtest.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <unistd.h>

#include "MakeWiki.h"
#include "CalcCom.h"
#include "FileIo.h"
#include "Result.h"
#include "MsgRecord.h"

static std::string Root(void)
{
  const char *s = getenv("TV_SOURCE");
  return s != nullptr ? s : ".";
}

static std::wstring Wide(const std::string &s)
{
  std::wstring w(s.size() + 1, L'\0');
  size_t n = mbstowcs(&w[0], s.c_str(), w.size());
  w.resize(n == (size_t)-1 ? 0 : n);
  return w;
}

static std::string Narrow(const wchar_t *w)
{
  std::string s(wcslen(w) * 4 + 1, '\0');
  size_t n = wcstombs(&s[0], w, s.size());
  s.resize(n == (size_t)-1 ? 0 : n);
  return s;
}

static void Text(int row, int col, const wchar_t *text)
{
  CELL_DATA *c = &hyo[Col_no * row + col];
  ASSERT_EQ(CharLenNewAlloc(&c->cell_str, (int)wcslen(text) + 1), RC_OK);
  wcscpy(c->cell_str.str, text);
}

/*
** The fixture: 3 x 3 cells with markup characters of every dialect,
** Japanese, a bold cell, colours and alignments, and the merged area
** B2:C3 (bottom right, so that no written cell moves).
*/
static void Fixture(void)
{
  Row_no = 3;
  Col_no = 3;
  ASSERT_EQ(AllocArea(), RC_OK);
  for (int i = 0; i < 9; i++) {
    CELL_DATA *c = &hyo[i];
    for (int s = 0; s < 4; s++) {
      c->line_width[s] = 1;
      c->line_color[s] = 0;
    }
    c->back_color = 0xFFFFFF;
    c->font_color = 0;
    c->font_size = 10;
    c->font_bold = c->font_italic = 0;
    c->font_underline = c->font_strikethrough = 0;
  }
  Text(0, 0, L"a|b");
  hyo[0].font_bold = 1;
  Text(0, 1, L"R&D <x>");
  hyo[1].posh = 3;
  hyo[1].font_color = 0xFF0000;
  Text(0, 2, L"日本語");
  hyo[2].posh = 2;
  hyo[2].back_color = 0xFFFF00;
  Text(1, 0, L"it's [ok] 2*3\\4");
  hyo[3].posv = 1;
  Text(1, 1, L"結合");
  hyo[4].mrg_pos = 1;
  hyo[4].mrg_area[MA_COL0] = 1;
  hyo[4].mrg_area[MA_COL1] = 2;
  hyo[4].mrg_area[MA_ROW0] = 1;
  hyo[4].mrg_area[MA_ROW1] = 2;
  hyo[5].mrg_pos = 3;
  hyo[7].mrg_pos = 7;
  hyo[8].mrg_pos = 9;
  Text(2, 0, L"x^y");
  hyo[6].font_italic = 1;
}

struct Cell { std::string text; int bold; };

/* Cells the fixture writes, by row and column. */
static const std::map<std::pair<int, int>, Cell> expected = {
  {{0, 0}, {"a|b", 1}},       {{0, 1}, {"R&D <x>", 0}}, {{0, 2}, {"日本語", 0}},
  {{1, 0}, {"it's [ok] 2*3\\4", 0}}, {{1, 1}, {"結合", 0}},
  {{2, 0}, {"x^y", 0}},
};

/* Run pandoc with the cell filter on file; its output lines. */
static std::string Pandoc(const std::string &format, const std::string &file)
{
  std::string cmd = "pandoc -f " + format + " -t plain -o /dev/null --lua-filter="
                    + Root() + "/tests/support/WikiCells.lua " + file;
  std::string out;
  char line[4096];
  FILE *p = popen(cmd.c_str(), "r");
  if (p == nullptr)
    return out;
  while (fgets(line, sizeof line, p) != nullptr)
    out += line;
  EXPECT_EQ(pclose(p), 0) << cmd;
  return out;
}

TEST(WikiDialects, PandocReadsTheTableBack)
{
  static const struct { const char *id; const char *file; const char *format; int entries; } cases[] = {
    {"mediawiki", "settings/TabvueWiki-mediawiki.ini", "mediawiki", 5},
    {"dokuwiki",  "settings/TabvueWiki-dokuwiki.ini",  "dokuwiki",  1},
    {"gfm",       "settings/TabvueWiki-gfm.ini",       "gfm",       5},
  };
  if (system("command -v pandoc >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "pandoc is not installed";
  ASSERT_NE(setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    MsgReset();
    std::string path = Root() + "/" + c.file;
    ASSERT_EQ(ProfileGet(Wide(path).c_str()), 0);
    EXPECT_EQ(MsgCount, 0);
    EXPECT_EQ(In_code_chenge_no, c.entries);
    Fixture();
    ASSERT_EQ(MakeData(), RC_OK);

    char name[] = "/tmp/tv-wiki-XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    std::string markup = Narrow(out_data.str);
    ASSERT_EQ(write(fd, markup.data(), markup.size()), (ssize_t)markup.size());
    close(fd);
    std::string cells = Pandoc(c.format, name);
    unlink(name);
    FreeArea();
    CharLenFree(&out_data);
    Out_alloc = 0;

    SCOPED_TRACE(markup);
    SCOPED_TRACE(cells);
    int tables = 0;
    std::map<std::pair<int, int>, Cell> seen;
    size_t at = 0;
    while (at < cells.size()) {
      size_t end = cells.find('\n', at);
      std::string line = cells.substr(at, end - at);
      at = (end == std::string::npos) ? cells.size() : end + 1;
      if (line == "table") {
        tables++;
        continue;
      }
      int r, col, rs, cs, bold, used = 0;
      ASSERT_EQ(sscanf(line.c_str(), "%d\t%d\t%d\t%d\t%d\t%n", &r, &col, &rs, &cs, &bold, &used), 5)
          << line;
      EXPECT_EQ(rs, 1);
      EXPECT_EQ(cs, 1);
      EXPECT_LT(r, 3) << line;     /* no row or column beyond the table */
      EXPECT_LT(col, 3) << line;
      seen[{r, col}] = {line.substr(used), bold};
    }
    EXPECT_EQ(tables, 1);
    for (const auto &e : expected) {
      auto f = seen.find(e.first);
      ASSERT_NE(f, seen.end()) << e.first.first << "," << e.first.second;
      EXPECT_EQ(f->second.text, e.second.text);
      EXPECT_EQ(f->second.bold, e.second.bold) << e.second.text;
    }
    for (const auto &s : seen)   /* covered places stay empty */
      if (expected.find(s.first) == expected.end()) {
        EXPECT_EQ(s.second.text, "") << s.first.first << "," << s.first.second;
      }
  }
}

/* ------------------------------------------------------------------ */
/* Wiki keys read from small settings files                           */
/* ------------------------------------------------------------------ */

/* Write body to a temporary file and read it with ProfileGet; every
** Wiki setting starts stale so that a key left at its default shows. */
static int ReadSettings(const char *body)
{
  char name[] = "/tmp/tv-wiki-ini-XXXXXX";
  int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(write(fd, body, strlen(body)), (ssize_t)strlen(body));
  close(fd);
  wcscpy(In_cntl_char, L"?");
  wcscpy(In_cell_sep_wik.text, L"stale");
  wcscpy(In_font_bold_wik.text, L"stale");
  wcscpy(In_code_chenge_m_wik[0].text, L"stale");
  In_code_chenge_no = -1;
  int rc = ProfileGet(Wide(name).c_str());
  unlink(name);
  return rc;
}

TEST(WikiSettings, ReadFromFile)
{
  static const struct {
    const char *id; const char *body; const wchar_t *cntl, *sep, *bold; int no;
  } cases[] = {
    {"file-empty",        "",                                       L"@", L"", L"", 0},
    {"file-m1-empty",     "[Param]\ncode_chenge_m1=\ncode_chenge_m2=x\n",
                          L"@", L"", L"", 0},
    {"file-five",         "[Param]\ncode_chenge_m1=a\ncode_chenge_m2=b\ncode_chenge_m3=c\n"
                          "code_chenge_m4=d\ncode_chenge_m5=e\n",
                          L"@", L"", L"", 5},
    {"file-gap",          "[Param]\ncode_chenge_m1=a\ncode_chenge_m3=c\n", L"@", L"", L"", 1},
    {"file-values",       "[Param]\ncntl_char=#!\ncell_sep=  |\t\n;font_bold=no\nfont_bold='''#'''\n",
                          L"#!", L"|\t", L"'''#'''", 0},
    /* a "[" in a value ends the section for the keys after it */
    {"file-bracket-ends", "[Param]\ncell_sep=[[\nfont_bold=**@**\n", L"@", L"[[", L"", 0},
    {"file-bracket-last", "[Param]\nfont_bold=**@**\ncell_sep=[[\n", L"@", L"[[", L"**@**", 0},
    /* a key is found by its prefix */
    {"file-prefix",       "[Param]\nfont_bold_x=1\nfont_bold=2\n", L"@", L"", L"1", 0},
  };
  ASSERT_NE(setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (const auto &c : cases) {
    MsgReset();
    EXPECT_EQ(ReadSettings(c.body), 0) << c.id;
    EXPECT_EQ(MsgCount, 0) << c.id;
    EXPECT_STREQ(In_cntl_char, c.cntl) << c.id;
    EXPECT_STREQ(In_cell_sep_wik.text, c.sep) << c.id;
    EXPECT_STREQ(In_font_bold_wik.text, c.bold) << c.id;
    EXPECT_EQ(In_code_chenge_no, c.no) << c.id;
  }
  /* no file at all: the defaults, silently */
  MsgReset();
  In_code_chenge_no = -1;
  wcscpy(In_cntl_char, L"?");
  EXPECT_EQ(ProfileGet(L"/nonexistent/TabvueWiki.ini"), 0);
  EXPECT_EQ(MsgCount, 0);
  EXPECT_STREQ(In_cntl_char, L"@");
  EXPECT_EQ(In_code_chenge_no, 0);
}
