/*
** tabvue-launch: put the LibreOffice library directories in front of
** LD_LIBRARY_PATH and run tabvue-html from the launcher's own folder,
** waiting for it to end.
*/
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <locale.h>
#include <wchar.h>

#include "FileIo.h"
#include "VersionGet.h"

static const char PathText[] =
  "ソフトウェアを格納しているフォルダのパスを調べられませんでした。";
static const char IniText[] =
  "初期化ファイルが読めません。UNICODEで記載していて、入力可能なファイルか確認して下さい。";


static wchar_t ProgCommand[PATH_CAP];   /* the quoted converter path */

/* The launcher reads only the common settings. */
void ParamGet(void) {}

/*
** Inifile and the converter's command, both under AppPath.  Returns 0,
** or -1 when either would not fit its buffer.
*/
static int NamesBuild(void)
{
  static const wchar_t ini[] = L"/TabvueHtml.ini";
  static const wchar_t prog[] = L"/tabvue-html";
  wchar_t path[PATH_CAP];
  size_t n = wcslen(AppPath);

  if (n + wcslen(ini) >= PATH_CAP || n + wcslen(prog) >= PATH_CAP)
    return -1;
  swprintf(Inifile, PATH_CAP, L"%ls%ls", AppPath, ini);
  swprintf(path, PATH_CAP, L"%ls%ls", AppPath, prog);
  return ShellQuote(ProgCommand, PATH_CAP, path, 1) < 0 ? -1 : 0;
}

/*
** With Office_path configured the root is SofficePath without its last
** element (normally "program"); "." when it has no "/" at all.
*/
static void RootFromConfigured(void)
{
  size_t n = wcslen(SofficePath);

  while (n > 1 && SofficePath[n - 1] == L'/')
    n--;
  while (n > 0 && SofficePath[n - 1] != L'/')
    n--;
  if (n == 0) {
    wcscpy(OfficeInstPath, L".");
    return;
  }
  while (n > 1 && SofficePath[n - 1] == L'/')
    n--;
  if (n == 1 && SofficePath[0] == L'/')
    n = 0;                      /* the root "/": paths begin with "/program" */
  wmemcpy(OfficeInstPath, SofficePath, n);
  OfficeInstPath[n] = L'\0';
}

/*
** LD_LIBRARY_PATH = root/program:root/ure/lib, then ":" and the old
** value when it was set and not empty.  Nothing changes when the old
** value cannot be read or memory is not had.
*/
static void LibraryPathSet(void)
{
  int old = wgetenv(L"LD_LIBRARY_PATH", 0, NULL);
  wchar_t *prev = NULL, *value = NULL;
  size_t cap;

  if (old < 0)
    return;
  prev = (wchar_t *)malloc(((size_t)old + 1) * sizeof(wchar_t));
  if (prev == NULL)
    goto done;
  if (old == 0)
    prev[0] = L'\0';
  else if (wgetenv(L"LD_LIBRARY_PATH", old, prev) < 0)
    goto done;
  cap = 2 * wcslen(OfficeInstPath) + wcslen(prev) + 32;
  value = (wchar_t *)malloc(cap * sizeof(wchar_t));
  if (value == NULL)
    goto done;
  swprintf(value, cap, L"%ls/program:%ls/ure/lib%ls%ls", OfficeInstPath,
           OfficeInstPath, prev[0] ? L":" : L"", prev);
  wsetenv(L"LD_LIBRARY_PATH", value, 1);
done:
  free(value);
  free(prev);
}

int main(int argc, char **argv)
{
  int configured;

  wsetlocale(LC_CTYPE, L"");
  if (AppPathSet(argc > 0 ? argv[0] : NULL) != 0 || NamesBuild() != 0) {
    puts(PathText);
    return 0;
  }
  if (ProfileGet(Inifile) < 0) {
    puts(IniText);
    return 0;
  }
  if (Locale[0] != L'\0')
    wsetlocale(LC_CTYPE, Locale);
  configured = SofficePath[0] != L'\0';
  Verno = Soffice_Path_get();
  if (configured)
    RootFromConfigured();
  LibraryPathSet();
  fflush(stdout);
  wsystem(ProgCommand);
  return 0;
}
