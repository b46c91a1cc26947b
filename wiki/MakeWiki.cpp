/*
** Wiki table writer.  (Placeholder.)
*/
#include "Writer.h"
#include "FileIo.h"

const char ProgTitle[] = "Tabvue Wiki変換 for Linux";
const wchar_t IniName[] = L"TabvueWiki.ini";

void ParamGet(void) {}
int MakeData(void) { return 0; }
