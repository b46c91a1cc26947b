/*
** The environment checker's whole output, byte for byte, for fixture
** installations and for none, and that it leaves the settings alone.
*/
#include <gtest/gtest.h>
#include <locale.h>
#include <string>

#include "FileIo.h"
#include "VersionGet.h"
#include "MsgRecord.h"
#include "TempTree.h"

int EnvcheckMain(void);

static const char Head[] =
  "このソフトは、Officeの環境を取得出来ているのかを検証します。\n"
  "このソフトは、初期化ファイルの設定は参照しません。\n\n"
  "このパッケージは、LibreOffice バージョン 4.4 で動作します。\n\n";
static const char Tail[] =
  "/soffice.bin --headless --nofirststartwizard "
  "--accept='socket,host=localhost,port=2083;urp;StarOffice.ServiceManager' &\n";

TEST(TestMain, WholeOutput)
{
  static const struct {
    const char *id; const char *versionrc; const char *bootstraprc;
    const char *shown;   /* version line, or null when nothing is found */
  } cases[] = {
    {"lo-440", "[Version]\nProductMajor=440\n", NULL, "4.40"},
    {"lo-40", "[Version]\nProductMajor=40\n", NULL, "4.0"},
    {"lo-7.4", "[Version]\nbuildid=1\n", "[Bootstrap]\nProductKey=LibreOffice 7.4\n", "7.4"},
    {"lo-430", "[Version]\nProductMajor=430\n", NULL, NULL},
    {"none", NULL, NULL, NULL},
  };
  ASSERT_NE(setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  const wchar_t *const *saved = SearchRoots;
  for (const auto &c : cases) {
    std::string dir = TreeNew();
    std::string root = dir + "/lib/";
    TreeDirs(root);
    if (c.versionrc || c.bootstraprc)
      TreeDirs(root + "libreoffice/program/types");
    if (c.versionrc)
      TreeFile(root + "libreoffice/program/versionrc", c.versionrc);
    if (c.bootstraprc)
      TreeFile(root + "libreoffice/program/bootstraprc", c.bootstraprc);
    std::wstring wroot = Wide(root);
    const wchar_t *roots[] = { wroot.c_str(), NULL };
    SearchRoots = roots;
    /* a configured path must not change anything */
    wcscpy(SofficePath, L"/configured/program");
    wcscpy(SofficeRdbPath, L"/configured/types");
    unsetenv("URE_MORE_TYPES");
    MsgReset();

    std::string out = Captured([] { EXPECT_EQ(EnvcheckMain(), 0); });

    std::string want = Head;
    std::string prog = root + "libreoffice/program";
    if (c.shown) {
      want += std::string("Office バージョン\n  ") + c.shown + "\n";
      want += "Office バス\n  " + prog + "\n";
      want += "offapi.rdb バス\n  URE_MORE_TYPES  file://" + prog + "/types/offapi.rdb\n";
      want += "サーバー起動コマンド\n  " + prog + Tail;
      EXPECT_STREQ(getenv("URE_MORE_TYPES"),
                   ("file://" + prog + "/types/offapi.rdb").c_str()) << c.id;
    } else {
      want += "Officeが見つかりませんでした\n";
      EXPECT_EQ(getenv("URE_MORE_TYPES"), nullptr) << c.id;
    }
    EXPECT_EQ(out, want) << c.id;
    EXPECT_EQ(MsgCount, 0) << c.id;
    SearchRoots = saved;
    OfficeReport = 0;
    TreeRemove(dir);
  }
  unsetenv("URE_MORE_TYPES");
}
