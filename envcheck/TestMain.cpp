/*
** tabvue-envcheck: report which LibreOffice installation the converters
** would use, the type registry they announce and the server command
** they would run, without reading settings or starting anything.
*/
#include <stdio.h>
#include <locale.h>

#include "FileIo.h"
#include "VersionGet.h"

static const char IntroText[] =
  "このソフトは、Officeの環境を取得出来ているのかを検証します。";
static const char NoSettingsText[] =
  "このソフトは、初期化ファイルの設定は参照しません。\n";

/* No settings file is read, so there are no Param keys. */
void ParamGet(void) {}

int main(void)
{
  setlocale(LC_CTYPE, "");
  SofficePath[0] = L'\0';       /* always search, as the converters do */
  SofficeRdbPath[0] = L'\0';
  puts(IntroText);
  puts(NoSettingsText);
  OfficeReport = 1;
  Verno = Soffice_Path_get();
  if (Verno >= 0) {
    EnvSet();
    ServerRun(ServerTail);
  }
  fflush(stdout);
  return 0;
}
