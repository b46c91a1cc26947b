/*
** Fuzz target: the settings reader on arbitrary file bytes, through
** ProfileGet with one program's Param keys (HTML or Wiki, chosen when
** built) and through single GetProfileWrapp lookups into tight buffers.
*/
#include <stdint.h>
#include <stdlib.h>
#include <wchar.h>

#include "FileIo.h"
#include "VersionGet.h"
#include "CalcCom.h"
#include "MsgRecord.h"
#include "Result.h"
#include "FuzzSupport.h"
#ifdef TV_FUZZ_WIKI
#include "MakeWiki.h"
#else
#include "MakeHtml.h"
#endif

/* Lookups tried directly: the ones the programs make and a few odd ones. */
static const struct { const wchar_t *section, *key; } Lookups[] = {
  /* section      key */
  {L"Log",        L"Time"},
  {L"Path",       L"Office_path"},
  {L"Param",      L"cntl_char"},
  {L"Param",      L"cell_sep"},
  {L"Param",      L"htmlversion"},
  {L"Param",      L"code_chenge_m1"},
  {L"Locale",     L"Locale"},
  {L"",           L"x"},
  {L"[",          L"="},
};
enum { LOOKUP_COUNT = 9 };
static_assert(sizeof Lookups / sizeof Lookups[0] == LOOKUP_COUNT,
              "Lookups and LOOKUP_COUNT differ");

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
  (void)argc;
  (void)argv;
  setlocale(LC_ALL, "C.UTF-8");
  FuzzPathInit();
  return 0;
}

/* Abort unless text holds a terminator within its capacity. */
static void Terminated(const wchar_t *text, int capacity)
{
  if (wcsnlen(text, (size_t)capacity) >= (size_t)capacity)
    abort();
}

/* Every setting the program read must be a terminated text in its room. */
static void SettingsCheck(void)
{
  Terminated(SofficePath, PATH_CAP);
  Terminated(SofficeRdbPath, PATH_CAP);
  Terminated(Locale, LOCALE_CAP);
  Terminated(Evasion, EVASION_CAP);
  if (TimeLog != 0 && TimeLog != 1)
    abort();
#ifdef TV_FUZZ_WIKI
  Terminated(In_cntl_char, WIKI_CNTL_CAP);
  Terminated(In_cell_sep_wik.text, WIKI_PARAM_CAP);
  Terminated(In_row_end_wik.text, WIKI_PARAM_CAP);
  if (In_code_chenge_no < 0 || In_code_chenge_no > WIKI_CHENGE_MAX)
    abort();
#else
  Terminated(In_html_version, HTML_PARAM_CAP);
  Terminated(In_table_posh, HTML_PARAM_CAP);
  Terminated(In_cell_posv_yn, HTML_PARAM_CAP);
#endif
}

/*
** One lookup chosen by the first byte, into a heap buffer exactly as
** large as the capacity the second byte gives (1..16), so a write past
** it is caught.
*/
static void LookupCheck(const uint8_t *data, size_t size)
{
  int which = size > 0 ? data[0] % LOOKUP_COUNT : 0;
  int cap = size > 1 ? 1 + data[1] % 16 : 1;
  wchar_t *out = (wchar_t *)malloc((size_t)cap * sizeof(wchar_t));
  int rc;

  if (out == NULL)
    return;
  rc = GetProfileWrapp(PROF_LOAD, FuzzWPath, Lookups[which].section,
                       Lookups[which].key, L"default-value", out, cap);
  if (rc != 0 && rc != -1 && rc != -2 && rc != -3 && rc != -9)
    abort();
  Terminated(out, cap);
  rc = GetProfileWrapp(PROF_LOOKUP, NULL, L"Param", L"", NULL, out, cap);
  Terminated(out, cap);
  GetProfileWrapp(PROF_RELEASE, NULL, NULL, NULL, NULL, NULL, 0);
  free(out);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  MsgReset();
  FuzzPathWrite(data, size);
  if (ProfileGet(FuzzWPath) == 0) {
    SettingsCheck();
    /* The writer on an empty table uses every value it was given. */
    Row_no = Col_no = 0;
    if (MakeData() != RC_OK)
      abort();
    FreeArea();
    CharLenFree(&out_data);
    Out_alloc = 0;
  }
  LookupCheck(data, size);
  return 0;
}
