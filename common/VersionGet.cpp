/*
** Discovery of the LibreOffice installation (program directory, root,
** type registry, version), announcing the registry to the UNO runtime
** and starting the server; with OfficeReport set it prints instead.
*/
#include <stdio.h>
#include <stdlib.h>
#include <dirent.h>
#include <wchar.h>

#include "VersionGet.h"
#include "FileIo.h"

wchar_t SofficePath[PATH_CAP];       /* the program directory */
wchar_t OfficeInstPath[PATH_CAP];    /* the installation root */
wchar_t SofficeRdbPath[PATH_CAP];    /* directory of offapi.rdb */
wchar_t SofficeVersion[VERSION_CAP]; /* "440", "40" or "7.4" */
wchar_t SofficeCommand[COMMAND_CAP]; /* last server command built */
int Verno = 0;                       /* result of Soffice_Path_get */
int OfficeReport = 0;                /* 1: print instead of run */

static const wchar_t *const DefaultRoots[] = {
  L"/usr/lib/", L"/usr/lib64/", L"/opt/", NULL
};
const wchar_t *const *SearchRoots = DefaultRoots;   /* searched in order */

const wchar_t ServerTail[] =         /* the server command tail */
  L"soffice.bin --headless --nofirststartwizard "
  L"--accept='socket,host=localhost,port=2083;urp;StarOffice.ServiceManager'";

static int KeyVersion = 0;           /* 1: SofficeVersion is a ProductKey's */

static const wchar_t BuiltFor[] = L"440";      /* the series this package targets */
static const wchar_t Threshold[] = L"340";     /* versions below it are old */
static const wchar_t NotFound[] = L"100";      /* ProductMajor's default */
static const char NoOfficeText[] = "Officeが見つかりませんでした";

/*
** Write the concatenation of the null-terminated parts into dst of cap
** wide characters.  Returns 0, or -1 with dst unchanged when it would
** not fit.
*/
static int Compose(wchar_t *dst, size_t cap, const wchar_t *const *parts)
{
  size_t need = 0, k = 0;

  for (const wchar_t *const *p = parts; *p; p++)
    need += wcslen(*p);
  if (need >= cap)
    return -1;
  for (const wchar_t *const *p = parts; *p; p++) {
    size_t n = wcslen(*p);
    wmemmove(dst + k, *p, n);    /* a part may be dst itself */
    k += n;
  }
  dst[k] = L'\0';
  return 0;
}

/*
** Parse a ProductKey value "LibreOffice X.Y" with X at least 5 and put
** "X.Y" into SofficeVersion.  Returns 1 when it did, else 0.
*/
static int ProductKeyParse(const wchar_t *v)
{
  static const wchar_t prefix[] = L"LibreOffice ";
  const wchar_t *p = v + wcslen(prefix);
  const wchar_t *dot;
  long major = 0;

  if (wcsncmp(v, prefix, wcslen(prefix)) != 0)
    return 0;
  for (dot = p; *dot >= L'0' && *dot <= L'9'; dot++)
    if (major < 1000)
      major = major * 10 + (*dot - L'0');
  if (dot == p || *dot != L'.' || !(dot[1] >= L'0' && dot[1] <= L'9'))
    return 0;
  for (const wchar_t *q = dot + 1; *q; q++)
    if (!(*q >= L'0' && *q <= L'9'))
      return 0;
  if (major < 5 || wcslen(p) >= VERSION_CAP)
    return 0;
  wcscpy(SofficeVersion, p);
  return 1;
}

/*
** Read one key of the file SofficePath/name into out with def as its
** default, loading and releasing the file within the call.
*/
static void RcGet(const wchar_t *name, const wchar_t *section,
                  const wchar_t *key, const wchar_t *def, wchar_t *out,
                  int capacity)
{
  wchar_t file[PATH_CAP + 32];
  const wchar_t *parts[] = { SofficePath, L"/", name, NULL };

  if (Compose(file, sizeof file / sizeof file[0], parts) != 0) {
    wcscpy(out, def);
    return;
  }
  GetProfileWrapp(PROF_LOAD, file, section, key, def, out, capacity);
  GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0);
}

/*
** SofficeVersion from SofficePath/versionrc (Version/ProductMajor,
** "100" when missing).  When that yields nothing, a bootstraprc whose
** Bootstrap/ProductKey reads "LibreOffice X.Y" with X >= 5 gives "X.Y".
*/
void SofficeVersion_get(void)
{
  wchar_t key[VERSION_CAP];

  KeyVersion = 0;
  RcGet(L"versionrc", L"Version", L"ProductMajor", NotFound,
        SofficeVersion, VERSION_CAP);
  if (wcscmp(SofficeVersion, NotFound) != 0)
    return;
  RcGet(L"bootstraprc", L"Bootstrap", L"ProductKey", L"", key, VERSION_CAP);
  KeyVersion = ProductKeyParse(key);
}

/* 1 when SofficeVersion is at or above the threshold. */
static int VersionAtLeast(void)
{
  return KeyVersion || wcscmp(SofficeVersion, Threshold) >= 0;
}

/* 1 when the first three characters of SofficeVersion exceed it. */
static int VersionAbove(void)
{
  return KeyVersion || wcsncmp(SofficeVersion, Threshold, 3) > 0;
}

/* 1 when a searched installation's version is one the search takes. */
static int VersionAccepted(void)
{
  return KeyVersion || wcscmp(SofficeVersion, L"440") == 0 ||
         wcscmp(SofficeVersion, L"40") == 0;
}

/*
** Try root + name as the installation: set the three paths, read the
** version.  Returns 1 when accepted; 0 when not, or when the paths would
** not fit (the globals are then left alone).
*/
static int CandidateTry(const wchar_t *root, const wchar_t *name)
{
  const wchar_t *prog[] = { root, name, L"/program", NULL };
  const wchar_t *base[] = { root, name, NULL };
  const wchar_t *rdb[] = { root, name, L"/", NULL };
  wchar_t p[PATH_CAP];

  if (Compose(p, PATH_CAP, prog) != 0)
    return 0;
  Compose(OfficeInstPath, PATH_CAP, base);
  Compose(SofficeRdbPath, PATH_CAP, rdb);
  wcscpy(SofficePath, p);
  SofficeVersion_get();
  return VersionAccepted();
}

/*
** Search every root for an entry beginning with "libreoffice" whose
** version is accepted.  Returns 1 when found, 0 when none is, -1 when an
** entry name cannot be converted or memory fails (the rest not tried).
*/
static int InstallSearch(void)
{
  for (const wchar_t *const *root = SearchRoots; *root; root++) {
    DIR *d = wopendir(*root);
    struct dirent *e;
    int rc = 0;

    if (d == NULL)
      continue;
    while (rc == 0 && (e = readdir(d)) != NULL) {
      wchar_t *w = WideDup(e->d_name);
      if (w == NULL)
        rc = -1;
      else if (wcsncmp(w, L"libreoffice", 11) == 0)
        rc = CandidateTry(*root, w);
      free(w);
    }
    closedir(d);
    if (rc != 0)
      return rc;
  }
  return 0;
}

/*
** Find the registry directory under the root held in SofficeRdbPath: a
** "basis3.4..." entry adds name/program, a "program..." entry (recent
** versions only) adds program/types.  Returns 1 found; 0 no entry
** matched or the path would not fit; -1 root unreadable or a name not
** convertible.
*/
static int RegistrySearch(void)
{
  DIR *d = wopendir(SofficeRdbPath);
  struct dirent *e;
  int rc = 0;

  if (d == NULL)
    return -1;
  while (rc == 0 && (e = readdir(d)) != NULL) {
    wchar_t *w = WideDup(e->d_name);
    if (w == NULL) {
      rc = -1;
    } else if (wcsncmp(w, L"basis3.4", 8) == 0) {
      const wchar_t *parts[] = { SofficeRdbPath, w, L"/program", NULL };
      rc = Compose(SofficeRdbPath, PATH_CAP, parts) == 0 ? 1 : -2;
    } else if (wcsncmp(w, L"program", 7) == 0 && VersionAbove()) {
      const wchar_t *parts[] = { SofficeRdbPath, L"program/types", NULL };
      rc = Compose(SofficeRdbPath, PATH_CAP, parts) == 0 ? 1 : -2;
    }
    free(w);
  }
  closedir(d);
  return rc == -2 ? 0 : rc;
}

/* Print the version found (report mode). */
static void VersionPrint(void)
{
  if (KeyVersion)
    printf("Office バージョン\n  %ls\n", SofficeVersion);
  else
    printf("Office バージョン\n  %lc.%ls\n", (wint_t)SofficeVersion[0],
           SofficeVersion[0] ? SofficeVersion + 1 : L"");
  printf("Office バス\n  %ls\n", SofficePath);
}

/*
** Locate the installation: a configured SofficePath only has its
** version read; otherwise the roots are searched, then the registry
** directory.  Returns -1 nothing usable found, 0 an old version, 1 a
** version at or above the threshold.
*/
int Soffice_Path_get(void)
{
  int rc;

  if (SofficePath[0] != L'\0') {
    SofficeVersion_get();
    return VersionAtLeast();
  }
  if (OfficeReport)
    printf("このパッケージは、LibreOffice バージョン %lc.%lc で動作します。\n\n",
           (wint_t)BuiltFor[0], (wint_t)BuiltFor[1]);
  rc = InstallSearch();
  if (rc < 0)
    return -1;
  if (rc == 0) {
    if (OfficeReport)
      puts(NoOfficeText);
    return -1;
  }
  if (OfficeReport)
    VersionPrint();
  if (VersionAtLeast()) {
    rc = RegistrySearch();
    if (rc < 0)
      return -1;
    if (rc == 0) {
      if (OfficeReport)
        puts(NoOfficeText);
      return -1;
    }
  }
  return VersionAtLeast();
}

/* Announce SofficeRdbPath/offapi.rdb to the UNO runtime as a file URL. */
void EnvSet(void)
{
  static const wchar_t name[] = L"URE_MORE_TYPES";
  wchar_t url[PATH_CAP + 32];
  const wchar_t *parts[] = { L"file://", SofficeRdbPath, L"/offapi.rdb", NULL };

  if (Compose(url, sizeof url / sizeof url[0], parts) != 0)
    return;
  wsetenv(name, url, 1);
  if (OfficeReport)
    printf("offapi.rdb バス\n  %ls  %ls\n", name, url);
}

/*
** Start the server in the background: SofficePath (quoted for the shell
** unless plain) + "/" + tail + " &", kept in SofficeCommand.  A command
** that would not fit runs nothing and leaves SofficeCommand empty.
** Returns 0 whatever the shell says.
*/
int ServerRun(const wchar_t *tail)
{
  wchar_t path[COMMAND_CAP];
  const wchar_t *parts[] = { path, L"/", tail ? tail : L"", L" &", NULL };

  if (ShellQuote(path, COMMAND_CAP, SofficePath, 0) < 0 ||
      Compose(SofficeCommand, COMMAND_CAP, parts) != 0) {
    SofficeCommand[0] = L'\0';
    return 0;
  }
  if (OfficeReport)
    printf("サーバー起動コマンド\n  %ls\n", SofficeCommand);
  else
    wsystem(SofficeCommand);
  return 0;
}
