/*
** Wide wrappers, shell quoting, the settings reader's format rules and
** results, and ProfileGet's order, checks and defaults.
*/
#include <gtest/gtest.h>
#include <locale.h>
#include <string>

#include "FileIo.h"
#include "VersionGet.h"
#include "MsgDisp.h"
#include "MsgRecord.h"
#include "TempTree.h"

/* What ParamGet saw: it must run after the Path keys, before Locale. */
static int ParamCalls = 0;
static std::wstring ParamSawOffice, ParamSawLocale;

void ParamGet(void)
{
  ParamCalls++;
  ParamSawOffice = SofficePath;
  ParamSawLocale = Locale;
}

class FileIo : public ::testing::Test {
protected:
  std::string dir;
  void SetUp() override
  {
    ASSERT_NE(setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    dir = TreeNew();
    ASSERT_FALSE(dir.empty());
    MsgReset();
    ParamCalls = 0;
  }
  void TearDown() override
  {
    GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0);
    setlocale(LC_CTYPE, "C.UTF-8");
    TreeRemove(dir);
  }
  std::wstring File(const std::string &name, const std::string &bytes)
  {
    TreeFile(dir + "/" + name, bytes);
    return Wide(dir + "/" + name);
  }
};

/* ---------------------------------------------------------------- */

TEST_F(FileIo, GetenvSizeAndFill)
{
  static const struct {
    const char *id; const char *value; int size; int count; const wchar_t *out;
  } cases[] = {
    {"env-unset", NULL, 0, 0, L""},
    {"env-empty", "", 0, 0, L""},
    {"env-ascii", "/usr/lib", 8, 8, L"/usr/lib"},
    {"env-multibyte", "日本x", 7, 3, L"日本x"},
  };
  for (const auto &c : cases) {
    if (c.value)
      setenv("TV_TEST_VAR", c.value, 1);
    else
      unsetenv("TV_TEST_VAR");
    int n = wgetenv(L"TV_TEST_VAR", 0, NULL);
    EXPECT_EQ(n, c.size) << c.id;
    std::wstring out(n + 1, L'#');
    EXPECT_EQ(wgetenv(L"TV_TEST_VAR", n ? n : 1, &out[0]), c.count) << c.id;
    EXPECT_STREQ(out.c_str(), c.out) << c.id;
  }
  unsetenv("TV_TEST_VAR");
}

/* Under the plain C locale no non-ASCII text reaches the system. */
TEST_F(FileIo, UnrepresentableArgumentsFailBeforeTheCall)
{
  std::string mark = dir + "/ran";
  std::wstring cmd = Wide("touch " + mark + "; echo 日本");
  std::wstring file = File("日本.ini", "[Log]\nTime=ON\n");
  ASSERT_NE(setlocale(LC_CTYPE, "C"), nullptr);
  EXPECT_EQ(wsystem(cmd.c_str()), -1);
  EXPECT_EQ(access(mark.c_str(), F_OK), -1);
  EXPECT_EQ(wfopen(file.c_str(), L"rb"), nullptr);
  EXPECT_EQ(wopendir(L"/tmp/日本"), nullptr);
  EXPECT_EQ(wsetenv(L"TV_TEST_VAR", L"日本", 1), -1);
  EXPECT_EQ(wgetenv(L"日本", 0, NULL), -1);
  EXPECT_EQ(getenv("TV_TEST_VAR"), nullptr);
}

TEST_F(FileIo, SystemLocaleEnvPassThrough)
{
  EXPECT_EQ(wsystem(L""), 0);
  EXPECT_EQ(WEXITSTATUS(wsystem(L"exit 3")), 3);
  EXPECT_NE(wsetlocale(LC_CTYPE, L""), nullptr);
  EXPECT_EQ(wsetlocale(LC_CTYPE, L"xx_NOWHERE.bogus"), nullptr);
  setenv("TV_TEST_VAR", "old", 1);
  EXPECT_EQ(wsetenv(L"TV_TEST_VAR", L"new", 0), 0);
  EXPECT_STREQ(getenv("TV_TEST_VAR"), "old");
  EXPECT_EQ(wsetenv(L"TV_TEST_VAR", L"日本", 1), 0);
  EXPECT_STREQ(getenv("TV_TEST_VAR"), "日本");
  unsetenv("TV_TEST_VAR");
}

TEST_F(FileIo, FileSizeGetTellsExistence)
{
  File("TabvueHtml.ini", "");
  std::wstring d = Wide(dir);
  static const struct { const char *id; const wchar_t *name; int rc; } cases[] = {
    {"entry-present", L"TabvueHtml.ini", 1},
    {"entry-case-differs", L"tabvuehtml.ini", 0},
    {"entry-absent", L"TabvueWiki.ini", 0},
    {"entry-dot", L".", 1},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FileSizeGet(d.c_str(), c.name), c.rc) << c.id;
  EXPECT_EQ(FileSizeGet(Wide(dir + "/none").c_str(), L"x"), -1);
  /* an entry name invalid in the locale ends the scan, found or not */
  TreeFile(dir + "/\xff\xfe", "");
  EXPECT_EQ(FileSizeGet(d.c_str(), L"TabvueWiki.ini"), -1);
}

/* ---------------------------------------------------------------- */

TEST_F(FileIo, ShellQuoteForms)
{
  static const struct {
    const char *id; const wchar_t *text; int always; const wchar_t *out;
  } cases[] = {
    {"quote-plain-bare", L"/usr/lib/libre-office_7.4+x/program", 0,
     L"/usr/lib/libre-office_7.4+x/program"},
    {"quote-plain-always", L"/opt/tabvue/tabvue-html", 1,
     L"'/opt/tabvue/tabvue-html'"},
    {"quote-space", L"/a b", 0, L"'/a b'"},
    {"quote-single", L"/it's", 0, L"'/it'\\''s'"},
    {"quote-single-always", L"'", 1, L"''\\'''"},
    {"quote-wide", L"/日本", 0, L"'/日本'"},
    {"quote-empty", L"", 0, L""},
  };
  for (const auto &c : cases) {
    wchar_t out[64];
    EXPECT_EQ(ShellQuote(out, 64, c.text, c.always), (int)wcslen(c.out)) << c.id;
    EXPECT_STREQ(out, c.out) << c.id;
  }
  wchar_t small[8];
  EXPECT_EQ(ShellQuote(small, 8, L"/abcdef", 1), -1);     /* needs 9 */
  EXPECT_STREQ(small, L"");
  EXPECT_EQ(ShellQuote(small, 8, L"/abc de", 0), -1);
  EXPECT_EQ(ShellQuote(small, 8, L"/abcdef", 0), 7);      /* exact fit */
}

/* The shell must read each quoted text back exactly. */
TEST_F(FileIo, ShellQuoteSurvivesTheShell)
{
  static const char *const texts[] = {
    "a b", "semi;colon", "$(touch SHOULD_NOT)", "it's", "''", "back\\slash",
    "`x`", "tab\there", "star*", "日本 語", "-n",
  };
  for (const char *t : texts) {
    wchar_t q[256], cmd[512];
    std::string out = dir + "/out";
    ASSERT_GT(ShellQuote(q, 256, Wide(t).c_str(), 0), 0) << t;
    swprintf(cmd, 512, L"cd %ls && printf '%%s' %ls > out", Wide(dir).c_str(), q);
    EXPECT_EQ(wsystem(cmd), 0) << t;
    EXPECT_EQ(TreeRead(out), t) << t;
  }
  EXPECT_NE(access((dir + "/SHOULD_NOT").c_str(), F_OK), 0);
}

/* ---------------------------------------------------------------- */

/* One load, one lookup, one release; the default is "DEF". */
TEST_F(FileIo, ReaderFormatRules)
{
  static const struct {
    const char *id; std::string text; const wchar_t *section; const wchar_t *key;
    int rc; const wchar_t *value;
  } cases[] = {
    {"lf", "[Log]\nTime=ON\n", L"Log", L"Time", 0, L"ON"},
    {"crlf", "[Log]\r\nTime=ON\r\n", L"Log", L"Time", 0, L"ON"},
    {"cr", "[Log]\rTime=ON\r", L"Log", L"Time", 0, L"ON"},
    {"no-final-eol", "[Log]\nTime=ON", L"Log", L"Time", 0, L"DEF"},
    {"spaces-around-eq", "[Log]\nTime =   ON\n", L"Log", L"Time", 0, L"ON"},
    {"tab-after-eq", "[Log]\nTime=\tON\n", L"Log", L"Time", 0, L"\tON"},
    {"trailing-blanks-kept", "[Log]\nTime=ON \t\n", L"Log", L"Time", 0, L"ON \t"},
    {"empty-value", "[Log]\nTime=\nX=1\n", L"Log", L"Time", 0, L""},
    {"spaces-then-eol", "[Log]\nTime=   \r\n", L"Log", L"Time", 0, L""},
    {"eq-on-next-line", "[Log]\nTime\n=ON\n", L"Log", L"Time", 0, L"ON"},
    {"comment-skipped", "[Log]\n;Time=OFF\nTime=ON\n", L"Log", L"Time", 0, L"ON"},
    {"comment-crlf", "[Log]\r\n;Time=OFF\r\nTime=ON\r\n", L"Log", L"Time", 0, L"ON"},
    {"comment-only", "[Log]\n;Time=OFF\nX=1\n", L"Log", L"Time", -3, L"DEF"},
    {"comment-header-first-line", ";[Log]\nTime=X\n", L"Log", L"Time", 0, L"X"},
    {"comment-header-later", "[A]\n;[Log]\nTime=X\n", L"Log", L"Time", -3, L"DEF"},
    {"prefix-key", "[Log]\nTimeout=5\nTime=OFF\n", L"Log", L"Time", 0, L"5"},
    {"key-inside-value", "[Log]\nX=OnTime=7\n", L"Log", L"Time", 0, L"7"},
    {"bracket-in-value", "[Log]\nA=x[y\nTime=ON\n", L"Log", L"Time", -3, L"DEF"},
    {"bracket-then-header", "[Log]\nA=x[y\n[Log]\nTime=ON\n", L"Log", L"Time", 0, L"ON"},
    {"header-contains-name", "[MyLog]\nTime=ON\n", L"Log", L"Time", 0, L"ON"},
    {"header-name-inside", "[OldLogs]\nTime=ON\n", L"Log", L"Time", 0, L"ON"},
    {"section-case", "[log]\nTime=ON\n", L"Log", L"Time", -3, L"DEF"},
    {"key-case", "[Log]\ntime=ON\n", L"Log", L"Time", -3, L"DEF"},
    {"other-section", "[Other]\nTime=ON\n[Log]\nX=1\n", L"Log", L"Time", -3, L"DEF"},
    {"second-section", "[Log]\nTime=A\n[Path]\nTime=B\n", L"Path", L"Time", 0, L"B"},
    {"last-char-unexamined", "[Log]\nX=1\nT", L"Log", L"T", -3, L"DEF"},
    {"utf8-bom", "\xEF\xBB\xBF[Log]\nTime=ON\n", L"Log", L"Time", 0, L"ON"},
    {"utf8-value", "[Log]\nTime=日本\n", L"Log", L"Time", 0, L"日本"},
    {"nul-ends-text", std::string("[Log]\nTime=ON\n\0\xff[Log]", 21), L"Log",
     L"Time", 0, L"ON"},
    {"empty-file", "", L"Log", L"Time", -3, L"DEF"},
  };
  for (const auto &c : cases) {
    std::wstring f = File("t.ini", c.text);
    wchar_t out[64];
    EXPECT_EQ(GetProfileWrapp(PROF_LOAD, f.c_str(), c.section, c.key, L"DEF",
                              out, 64), c.rc) << c.id;
    EXPECT_STREQ(out, c.value) << c.id;
    EXPECT_EQ(GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0), 0);
    EXPECT_EQ(MsgCount, 0) << c.id;
  }
}

TEST_F(FileIo, ReaderCapacityCuts)
{
  std::string v600(600, 'x');
  std::wstring f = File("t.ini", "[Locale]\nLocale=" + v600 + "\n");
  wchar_t out[500];
  ASSERT_EQ(GetProfileWrapp(PROF_LOAD, f.c_str(), L"Locale", L"Locale", L"",
                            out, 500), 0);
  EXPECT_EQ(wcslen(out), 499u);
  /* the default is cut the same way */
  wchar_t small[4];
  EXPECT_EQ(GetProfileWrapp(PROF_LOOKUP, NULL, L"No", L"Key", L"default",
                            small, 4), -3);
  EXPECT_STREQ(small, L"def");
}

TEST_F(FileIo, ReaderModesAndFailures)
{
  wchar_t out[16];
  /* lookup with nothing loaded */
  EXPECT_EQ(GetProfileWrapp(PROF_LOOKUP, NULL, L"Log", L"Time", L"D", out, 16), -1);
  EXPECT_STREQ(out, L"D");
  /* no such file: -1, silent */
  std::wstring none = Wide(dir + "/none.ini");
  EXPECT_EQ(GetProfileWrapp(PROF_LOAD, none.c_str(), L"Log", L"Time", L"D", out, 16), -1);
  EXPECT_EQ(MsgCount, 0);
  /* a loaded text serves many lookups until it is released */
  std::wstring f = File("t.ini", "[Log]\nTime=ON\n[Path]\nRdb_path=/r\n");
  EXPECT_EQ(GetProfileWrapp(PROF_LOAD, f.c_str(), L"Log", L"Time", L"D", out, 16), 0);
  EXPECT_EQ(GetProfileWrapp(PROF_LOOKUP, NULL, L"Path", L"Rdb_path", L"D", out, 16), 0);
  EXPECT_STREQ(out, L"/r");
  /* loading again without a release replaces the text */
  std::wstring g = File("u.ini", "[Log]\nTime=OFF\n");
  EXPECT_EQ(GetProfileWrapp(PROF_LOAD, g.c_str(), L"Log", L"Time", L"D", out, 16), 0);
  EXPECT_STREQ(out, L"OFF");
  GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0);
  EXPECT_EQ(GetProfileWrapp(PROF_LOOKUP, NULL, L"Log", L"Time", L"D", out, 16), -1);
  /* a directory is not a settings file */
  EXPECT_LT(GetProfileWrapp(PROF_LOAD, Wide(dir).c_str(), L"Log", L"Time", L"D",
                            out, 16), 0);
  EXPECT_STREQ(out, L"D");
}

TEST_F(FileIo, ReaderRejectsInvalidText)
{
  static const struct {
    const char *id; const char *locale; std::string text;
  } cases[] = {
    {"utf16-le-bom", "C.UTF-8", std::string("\xff\xfe[\0L\0o\0g\0]\0\n\0", 14)},
    {"utf8-bad-byte", "C.UTF-8", "[Log]\nTime=\xc3\x28\n"},
    {"non-ascii-under-c", "C", "[Log]\nTime=日本\n"},
  };
  for (const auto &c : cases) {
    MsgReset();
    std::wstring f = File("t.ini", c.text);
    ASSERT_NE(setlocale(LC_CTYPE, c.locale), nullptr) << c.id;
    wchar_t out[16];
    EXPECT_EQ(GetProfileWrapp(PROF_LOAD, f.c_str(), L"Log", L"Time", L"D", out, 16),
              -9) << c.id;
    EXPECT_STREQ(out, L"D") << c.id;
    ASSERT_EQ(MsgCount, 1) << c.id;
    EXPECT_EQ(MsgLog[0], MSG_INI_BAD) << c.id;
    EXPECT_EQ(GetProfileWrapp(PROF_LOOKUP, NULL, L"Log", L"Time", L"D", out, 16),
              -1) << c.id;
    setlocale(LC_CTYPE, "C.UTF-8");
  }
}

/* ---------------------------------------------------------------- */

TEST_F(FileIo, ProfileGetFillsEveryKey)
{
  std::wstring f = File("TabvueHtml.ini",
      "[Log]\r\nTime=OFF\r\n[Path]\r\nOffice_path=/o/program\r\nRdb_path=/o/types\r\n"
      "[Param]\r\nhtmlversion=5\r\n[Locale]\r\nLocale=C.UTF-8\r\n"
      "[Evasion]\r\nEvasion=ON\r\n");
  ASSERT_EQ(ProfileGet(f.c_str()), 0);
  EXPECT_EQ(TimeLog, 0);
  EXPECT_STREQ(SofficePath, L"/o/program");
  EXPECT_STREQ(SofficeRdbPath, L"/o/types");
  EXPECT_STREQ(Locale, L"C.UTF-8");
  EXPECT_STREQ(Evasion, L"ON");
  EXPECT_EQ(ParamCalls, 1);
  EXPECT_EQ(ParamSawOffice, L"/o/program");   /* Path already read */
  EXPECT_EQ(ParamSawLocale, L"");             /* Locale not yet */
  EXPECT_EQ(MsgCount, 0);
  /* the text is released afterwards */
  wchar_t out[8];
  EXPECT_EQ(GetProfileWrapp(PROF_LOOKUP, NULL, L"Log", L"Time", L"", out, 8), -1);
}

TEST_F(FileIo, ProfileGetDefaults)
{
  static const struct {
    const char *id; const char *text; int timelog;
  } cases[] = {
    {"missing-file", NULL, 1},
    {"empty-file", "", 1},
    {"time-on", "[Log]\nTime=ON\n", 1},
    {"time-tab-on", "[Log]\nTime=\tON\n", 0},
    {"time-lower", "[Log]\nTime=on\n", 0},
    {"time-no-eol", "[Log]\nTime=OFF", 1},
  };
  for (const auto &c : cases) {
    std::wstring f = Wide(dir + "/none.ini");
    if (c.text)
      f = File("p.ini", c.text);
    wcscpy(SofficePath, L"stale");
    wcscpy(SofficeRdbPath, L"stale");
    wcscpy(Locale, L"stale");
    wcscpy(Evasion, L"stale");
    ParamCalls = 0;
    EXPECT_EQ(ProfileGet(f.c_str()), 0) << c.id;
    EXPECT_EQ(TimeLog, c.timelog) << c.id;
    EXPECT_STREQ(SofficePath, L"") << c.id;
    EXPECT_STREQ(SofficeRdbPath, L"") << c.id;
    EXPECT_STREQ(Locale, L"") << c.id;
    EXPECT_STREQ(Evasion, L"OFF") << c.id;
    EXPECT_EQ(ParamCalls, 1) << c.id;
    EXPECT_EQ(MsgCount, 0) << c.id;
  }
}

TEST_F(FileIo, ProfileGetRefuses)
{
  static const struct {
    const char *id; const char *locale; std::string text; int msg; int params;
  } cases[] = {
    {"office-only", "C.UTF-8", "[Path]\nOffice_path=/o/program\nRdb_path=\n",
     MSG_INI_PATHS, 0},
    {"rdb-only", "C.UTF-8", "[Path]\nRdb_path=/o/types\n", MSG_INI_PATHS, 0},
    {"utf16", "C.UTF-8", std::string("\xff\xfe[\0L\0o\0g\0]\0\n\0", 14),
     MSG_INI_BAD, 0},
    {"japanese-under-c", "C", "[Log]\nTime=ON\n[Locale]\nLocale=日本\n",
     MSG_INI_BAD, 0},
  };
  for (const auto &c : cases) {
    MsgReset();
    ParamCalls = 0;
    std::wstring f = File("p.ini", c.text);
    ASSERT_NE(setlocale(LC_CTYPE, c.locale), nullptr);
    EXPECT_EQ(ProfileGet(f.c_str()), -9) << c.id;
    ASSERT_EQ(MsgCount, 1) << c.id;
    EXPECT_EQ(MsgLog[0], c.msg) << c.id;
    EXPECT_EQ(ParamCalls, c.params) << c.id;
    wchar_t out[8];
    EXPECT_EQ(GetProfileWrapp(PROF_LOOKUP, NULL, L"Log", L"Time", L"", out, 8),
              -1) << c.id;
    setlocale(LC_CTYPE, "C.UTF-8");
  }
}

TEST_F(FileIo, ProfileGetCutsLongLocale)
{
  std::wstring f = File("p.ini", "[Locale]\nLocale=" + std::string(600, 'L') +
                        "\n[Evasion]\nEvasion=" + std::string(80, 'E') + "\n");
  ASSERT_EQ(ProfileGet(f.c_str()), 0);
  EXPECT_EQ(wcslen(Locale), 499u);
  EXPECT_EQ(wcslen(Evasion), 49u);
}
