/*
** HTML table writer.  (Placeholder.)
*/
#include "Writer.h"
#include "FileIo.h"

const char ProgTitle[] = "Tabvue Html変換 for Linux";
const wchar_t IniName[] = L"TabvueHtml.ini";

void ParamGet(void) {}
int MakeData(void) { return 0; }
