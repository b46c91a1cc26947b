/*
** Office discovery against small installation trees made in temporary
** roots: versions taken and skipped, search order, registry directory,
** configured paths, the registry variable and the server command.
*/
#include <gtest/gtest.h>
#include <dirent.h>
#include <locale.h>
#include <time.h>
#include <string>
#include <vector>

#include "FileIo.h"
#include "VersionGet.h"
#include "MsgRecord.h"
#include "TempTree.h"

void ParamGet(void) {}

static const char V440[] = "[Version]\nProductMajor=440\n";
static const char V40[] = "[Version]\r\nProductMajor=40\r\n";
static const char V430[] = "[Version]\nProductMajor=430\n";
static const char VNone[] = "[Version]\nbuildid=40(Build:2)\nReferenceOOoMajorMinor=4.1\n";
static const char B74[] = "[Bootstrap]\nInstallMode=<installmode>\nProductKey=LibreOffice 7.4\n";

class VersionGet : public ::testing::Test {
protected:
  std::string dir;
  std::vector<std::wstring> roots;
  std::vector<const wchar_t *> rootv;
  const wchar_t *const *saved = NULL;

  void SetUp() override
  {
    ASSERT_NE(setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    dir = TreeNew();
    ASSERT_FALSE(dir.empty());
    saved = SearchRoots;
    SofficePath[0] = SofficeRdbPath[0] = OfficeInstPath[0] = L'\0';
    SofficeVersion[0] = SofficeCommand[0] = L'\0';
    OfficeReport = 0;
    MsgReset();
  }
  void TearDown() override
  {
    SearchRoots = saved;
    setlocale(LC_CTYPE, "C.UTF-8");
    TreeRemove(dir);
  }
  /* Search the given roots (each under dir, with a trailing "/"). */
  void Roots(std::initializer_list<const char *> names)
  {
    roots.clear();
    rootv.clear();
    for (const char *n : names) {
      TreeDirs(dir + "/" + n);
      roots.push_back(Wide(dir + "/" + n + "/"));
    }
    for (const auto &r : roots)
      rootv.push_back(r.c_str());
    rootv.push_back(NULL);
    SearchRoots = rootv.data();
  }
  /* root/name/program with the given versionrc and bootstraprc. */
  void Install(const char *root, const char *name, const char *versionrc,
               const char *bootstraprc = NULL)
  {
    std::string prog = dir + "/" + root + "/" + name + "/program";
    TreeDirs(prog + "/types");
    if (versionrc)
      TreeFile(prog + "/versionrc", versionrc);
    if (bootstraprc)
      TreeFile(prog + "/bootstraprc", bootstraprc);
  }
  std::wstring W(const std::string &rel) { return Wide(dir + "/" + rel); }
};

/* The names of a directory in the order readdir gives them. */
static std::vector<std::string> Entries(const std::string &d)
{
  std::vector<std::string> v;
  DIR *dp = opendir(d.c_str());
  struct dirent *e;
  while (dp && (e = readdir(dp)) != NULL)
    v.push_back(e->d_name);
  if (dp)
    closedir(dp);
  return v;
}

TEST_F(VersionGet, SearchTakesOnlyKnownVersions)
{
  static const struct {
    const char *id; const char *versionrc; const char *bootstraprc;
    int rc; const wchar_t *version;
  } cases[] = {
    {"v440", V440, NULL, 1, L"440"},
    {"v40", V40, NULL, 1, L"40"},
    {"v430", V430, NULL, -1, L"430"},
    {"no-versionrc", NULL, NULL, -1, L"100"},
    {"key-7.4", VNone, B74, 1, L"7.4"},
    {"key-24.2", NULL, "[Bootstrap]\nProductKey=LibreOffice 24.2\n", 1, L"24.2"},
    {"key-4.3-old", VNone, "[Bootstrap]\nProductKey=LibreOffice 4.3\n", -1, L"100"},
    {"key-no-minor", VNone, "[Bootstrap]\nProductKey=LibreOffice 7\n", -1, L"100"},
    {"key-other-product", VNone, "[Bootstrap]\nProductKey=OpenOffice 7.4\n", -1, L"100"},
    {"key-trailing-text", VNone, "[Bootstrap]\nProductKey=LibreOffice 7.4 beta\n", -1, L"100"},
    {"major-wins-over-key", V430, B74, -1, L"430"},
  };
  for (const auto &c : cases) {
    TreeRemove(dir + "/r");
    Roots({"r"});
    Install("r", "libreoffice", c.versionrc, c.bootstraprc);
    SofficePath[0] = L'\0';
    EXPECT_EQ(Soffice_Path_get(), c.rc) << c.id;
    EXPECT_STREQ(SofficeVersion, c.version) << c.id;
    /* the paths name the last candidate, accepted or not */
    EXPECT_EQ(std::wstring(SofficePath), W("r/libreoffice/program")) << c.id;
    EXPECT_EQ(std::wstring(OfficeInstPath), W("r/libreoffice")) << c.id;
    if (c.rc == 1)
      EXPECT_EQ(std::wstring(SofficeRdbPath), W("r/libreoffice/program/types")) << c.id;
    else
      EXPECT_EQ(std::wstring(SofficeRdbPath), W("r/libreoffice/")) << c.id;
  }
  EXPECT_EQ(MsgCount, 0);
}

TEST_F(VersionGet, SearchOrderOfRootsAndNames)
{
  /* the first two roots hold nothing acceptable; the third is found */
  Roots({"lib", "lib64", "opt"});
  Install("lib", "libreoffice4.3", V430);
  Install("lib", "LibreOffice", V440);            /* capitals: never a candidate */
  Install("lib64", "openoffice", V440);
  Install("opt", "libreoffice4.4", V440);
  EXPECT_EQ(Soffice_Path_get(), 1);
  EXPECT_EQ(std::wstring(SofficePath), W("opt/libreoffice4.4/program"));
  EXPECT_EQ(std::wstring(OfficeInstPath), W("opt/libreoffice4.4"));

  /* none anywhere: -1 */
  Roots({"empty", "missing-root-is-skipped"});
  TreeRemove(dir + "/missing-root-is-skipped");
  SofficePath[0] = L'\0';
  EXPECT_EQ(Soffice_Path_get(), -1);
}

TEST_F(VersionGet, FirstCandidateInDirectoryOrderWins)
{
  Roots({"two"});
  Install("two", "libreoffice-a", V440);
  Install("two", "libreoffice-b", V40);
  std::string first;
  for (const auto &e : Entries(dir + "/two"))
    if (e.rfind("libreoffice", 0) == 0 && first.empty())
      first = e;
  EXPECT_EQ(Soffice_Path_get(), 1);
  EXPECT_EQ(std::wstring(OfficeInstPath), W("two/" + first));
}

TEST_F(VersionGet, RegistryDirectoryByFirstMarker)
{
  Roots({"r"});
  Install("r", "libreoffice", V440);
  TreeDirs(dir + "/r/libreoffice/basis3.4-x/program");
  std::string first;
  for (const auto &e : Entries(dir + "/r/libreoffice"))
    if (first.empty() && (e.rfind("basis3.4", 0) == 0 || e.rfind("program", 0) == 0))
      first = e;
  EXPECT_EQ(Soffice_Path_get(), 1);
  if (first == "program")
    EXPECT_EQ(std::wstring(SofficeRdbPath), W("r/libreoffice/program/types"));
  else
    EXPECT_EQ(std::wstring(SofficeRdbPath), W("r/libreoffice/basis3.4-x/program"));
}

/* A name the locale cannot convert ends the search, later roots untried. */
TEST_F(VersionGet, UnconvertibleNameEndsSearch)
{
  static const struct {
    const char *id; const char *locale; const char *name; int rc;
  } cases[] = {
    {"bad-utf8-name", "C.UTF-8", "\xff\xfe", -1},
    {"utf8-name-under-c", "C", "libr\xc3\xa9office", -1},
    {"utf8-name-under-utf8", "C.UTF-8", "libr\xc3\xa9office", 1},
  };
  for (const auto &c : cases) {
    TreeRemove(dir + "/a");
    TreeRemove(dir + "/b");
    Roots({"a", "b"});
    TreeFile(dir + "/a/" + c.name, "");
    Install("b", "libreoffice", V440);
    ASSERT_NE(setlocale(LC_CTYPE, c.locale), nullptr);
    SofficePath[0] = L'\0';
    EXPECT_EQ(Soffice_Path_get(), c.rc) << c.id;
    setlocale(LC_CTYPE, "C.UTF-8");
  }
}

/* A configured program directory: only its version counts. */
TEST_F(VersionGet, ConfiguredPathSkipsSearch)
{
  static const struct {
    const char *id; const char *versionrc; const char *bootstraprc; int rc;
  } cases[] = {
    {"conf-440", V440, NULL, 1},
    {"conf-300", "[Version]\nProductMajor=300\n", NULL, 0},
    {"conf-35", "[Version]\nProductMajor=35\n", NULL, 1},
    {"conf-none", NULL, NULL, 0},
    {"conf-7.4", VNone, B74, 1},
  };
  Roots({"search"});
  Install("search", "libreoffice", V440);
  for (const auto &c : cases) {
    TreeRemove(dir + "/conf");
    Install("conf", "lo", c.versionrc, c.bootstraprc);
    std::wstring prog = W("conf/lo/program");
    wcscpy(SofficePath, prog.c_str());
    wcscpy(SofficeRdbPath, L"/configured/rdb");
    OfficeInstPath[0] = L'\0';
    EXPECT_EQ(Soffice_Path_get(), c.rc) << c.id;
    EXPECT_EQ(std::wstring(SofficePath), prog) << c.id;
    EXPECT_STREQ(SofficeRdbPath, L"/configured/rdb") << c.id;
    EXPECT_STREQ(OfficeInstPath, L"") << c.id;
  }
}

/* Too long for the path globals: the candidate is passed over. */
TEST_F(VersionGet, OverlongCandidateIsSkipped)
{
  std::string deep = "r";
  for (int i = 0; i < 5; i++)
    deep += "/" + std::string(200, 'd');
  std::string name = "libreoffice" + std::string(120, 'x');
  Roots({deep.c_str()});
  Install(deep.c_str(), name.c_str(), V440);
  ASSERT_GT(W(deep + "/" + name + "/program").size(), (size_t)PATH_CAP);
  EXPECT_EQ(Soffice_Path_get(), -1);
  EXPECT_STREQ(SofficePath, L"");
}

TEST_F(VersionGet, EnvSetOverwrites)
{
  setenv("URE_MORE_TYPES", "file:///old/offapi.rdb", 1);
  wcscpy(SofficeRdbPath, L"/usr/lib/libreoffice/program/types");
  EnvSet();
  EXPECT_STREQ(getenv("URE_MORE_TYPES"),
               "file:///usr/lib/libreoffice/program/types/offapi.rdb");
  unsetenv("URE_MORE_TYPES");
}

TEST_F(VersionGet, ServerCommandText)
{
  static const struct {
    const char *id; const wchar_t *path; const wchar_t *command;
  } cases[] = {
    {"plain", L"/usr/lib/libreoffice/program",
     L"/usr/lib/libreoffice/program/soffice.bin --headless --nofirststartwizard "
     L"--accept='socket,host=localhost,port=2083;urp;StarOffice.ServiceManager' &"},
    {"space-and-quote", L"/opt/my lo's/program",
     L"'/opt/my lo'\\''s/program'/soffice.bin --headless --nofirststartwizard "
     L"--accept='socket,host=localhost,port=2083;urp;StarOffice.ServiceManager' &"},
  };
  OfficeReport = 1;                   /* print, run nothing */
  for (const auto &c : cases) {
    wcscpy(SofficePath, c.path);
    std::string out = Captured([] { ServerRun(ServerTail); });
    EXPECT_STREQ(SofficeCommand, c.command) << c.id;
    char want[2048];
    snprintf(want, sizeof want, "サーバー起動コマンド\n  %ls\n", c.command);
    EXPECT_EQ(out, want) << c.id;
  }
}

/* Waits up to two seconds for a file that a background job writes. */
static std::string Await(const std::string &path)
{
  for (int i = 0; i < 200; i++) {
    std::string s = TreeRead(path);
    if (!s.empty() && s.back() == '\n')
      return s;
    struct timespec t = {0, 10 * 1000 * 1000};
    nanosleep(&t, NULL);
  }
  return TreeRead(path);
}

/* The path reaches the shell literally, whatever it holds. */
TEST_F(VersionGet, ServerRunQuotesThePath)
{
  static const char *const names[] = {
    "plain", "with space", "semi;colon", "dollar$(touch BAD)", "it's", "日本",
  };
  for (const char *n : names) {
    std::string prog = dir + "/" + n + "/program";
    TreeFile(prog + "/fake.sh", "#!/bin/sh\necho \"$0 $1\" > \"$(dirname \"$0\")/ran\"\n");
    chmod((prog + "/fake.sh").c_str(), 0755);
    wcscpy(SofficePath, Wide(prog).c_str());
    EXPECT_EQ(ServerRun(L"fake.sh arg"), 0) << n;
    EXPECT_EQ(Await(prog + "/ran"), prog + "/fake.sh arg\n") << n;
  }
  EXPECT_NE(access((dir + "/BAD").c_str(), F_OK), 0);
  EXPECT_NE(access("BAD", F_OK), 0);
}

TEST_F(VersionGet, OverlongServerCommandRunsNothing)
{
  std::string prog = dir + "/" + std::string(990, 'p');
  wcscpy(SofficePath, Wide(prog).c_str());
  wcscpy(SofficeCommand, L"stale");
  EXPECT_EQ(ServerRun(L"touch-me &"), 0);
  EXPECT_STREQ(SofficeCommand, L"");
}
