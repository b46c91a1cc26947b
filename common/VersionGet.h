/*
** Discovery of the LibreOffice installation: its program directory,
** root, type registry and version; announcing the registry to the UNO
** runtime and starting the server.
*/
#ifndef TV_VERSIONGET_H
#define TV_VERSIONGET_H

#include <wchar.h>

#include "FileIo.h"

enum {
  VERSION_CAP = 100,   /* SofficeVersion */
  COMMAND_CAP = 1000   /* SofficeCommand */
};

extern wchar_t SofficePath[PATH_CAP];       /* the program directory */
extern wchar_t OfficeInstPath[PATH_CAP];    /* the installation root */
extern wchar_t SofficeRdbPath[PATH_CAP];    /* directory of offapi.rdb */
extern wchar_t SofficeVersion[VERSION_CAP]; /* "440", "40" or "7.4" */
extern wchar_t SofficeCommand[COMMAND_CAP]; /* last server command built */
extern int Verno;                           /* result of Soffice_Path_get */
extern const wchar_t *const *SearchRoots;   /* null-terminated search roots */
extern int OfficeReport;                    /* 1: print instead of run */
extern const wchar_t ServerTail[];          /* the server command tail */

void SofficeVersion_get(void);
int Soffice_Path_get(void);
void EnvSet(void);
int ServerRun(const wchar_t *tail);

#endif
