/*
** Discovery of the LibreOffice installation.  (Placeholder.)
*/
#include "VersionGet.h"

wchar_t SofficePath[PATH_CAP];
wchar_t OfficeInstPath[PATH_CAP];
wchar_t SofficeRdbPath[PATH_CAP];
wchar_t SofficeVersion[VERSION_CAP];
wchar_t SofficeCommand[COMMAND_CAP];
int Verno = 0;
