/*
** Fuzz target: the Wiki writer's pieces on arbitrary values: KeySep on
** a markup value and a control character, both forms of MakeAttr on
** its parts, and Cell_char_conv with arbitrary replacement entries.
*/
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <wchar.h>

#include "MakeWiki.h"
#include "CalcCom.h"
#include "MsgRecord.h"
#include "Result.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
  (void)argc;
  (void)argv;
  setlocale(LC_ALL, "C.UTF-8");
  return 0;
}

/* Wide text of up to max bytes from fdp, cut to cap - 1 characters. */
static void TextTake(FuzzedDataProvider &fdp, size_t max, wchar_t *out, size_t cap)
{
  std::string s = fdp.ConsumeRandomLengthString(max);
  wchar_t *w = FuzzWide((const uint8_t *)s.data(), s.size());

  out[0] = L'\0';
  if (w != NULL)
    wcsncpy(out, w, cap - 1);
  out[cap - 1] = L'\0';
  free(w);
}

/* A markup value; sometimes filling all its room with no terminator. */
static void ParmTake(FuzzedDataProvider &fdp, IN_PARM *p)
{
  memset(p, 0, sizeof *p);
  TextTake(fdp, 400, p->text, WIKI_PARAM_CAP);
  if (fdp.ConsumeBool()) {
    size_t len = wcslen(p->text);
    for (size_t k = len; k < WIKI_PARAM_CAP; k++)
      p->text[k] = len > 0 ? p->text[k % len] : L'%';
  }
}

/* The split of p must describe its own text. */
static void SplitCheck(const IN_PARM *p, const wchar_t *cntl)
{
  size_t head = wcsnlen(p->text, WIKI_PARAM_CAP);

  if (head >= WIKI_PARAM_CAP || p->sep_pos < 0 || p->sep_pos >= WIKI_PARAM_CAP)
    abort();
  if (p->tail_flag && (p->sep_pos == 0 || p->text[p->sep_pos - 1] != L'\0'))
    abort();
  if (p->tail_flag && wcsnlen(p->text + p->sep_pos, WIKI_PARAM_CAP - p->sep_pos)
                          >= (size_t)(WIKI_PARAM_CAP - p->sep_pos))
    abort();
  if (cntl[0] != L'\0' && wcschr(p->text, cntl[0]) != NULL)
    abort();                 /* the opening part stops before the divider */
}

/* Both forms of MakeAttr on both parts; fixed text must come out as is. */
static void AttrCheck(const IN_PARM *p, int kind, int32_t value)
{
  CHAR_LEN out = {0, NULL};

  if (CharLenNewAlloc(&out, 0) != RC_OK)
    return;
  if (MakeAttr(p, &out, ATTR_HEAD) != RC_OK || wcscmp(out.str, p->text) != 0)
    abort();
  out.str[0] = L'\0';
  if (MakeAttr(p, &out, ATTR_TAIL) != RC_OK)
    abort();
  if (p->tail_flag && wcscmp(out.str, p->text + p->sep_pos) != 0)
    abort();
  out.str[0] = L'\0';
  for (int part = ATTR_HEAD; part <= ATTR_TAIL; part++)
    if (MakeAttr(p, kind, value, &out, part) != RC_OK)
      abort();
  CharLenFree(&out);
}

/* Cell_char_conv with the entries in use; no entries must copy the text. */
static void ConvCheck(FuzzedDataProvider &fdp, const wchar_t *cntl)
{
  CHAR_LEN src = {0, NULL}, out = {0, NULL};
  std::string s;
  wchar_t *w;
  int split = fdp.ConsumeBool();

  In_code_chenge_no = fdp.ConsumeIntegralInRange<int32_t>(-1, WIKI_CHENGE_MAX + 1);
  for (int i = 0; i < WIKI_CHENGE_MAX; i++) {
    ParmTake(fdp, &In_code_chenge_m_wik[i]);
    ParmTake(fdp, &In_code_chenge_o_wik[i]);
    ParmTake(fdp, &In_code_chenge_r_wik[i]);
    if (fdp.ConsumeBool())
      wcscpy(In_code_chenge_r_wik[i].text, L"all");
    if (split) {                 /* as the writer splits them */
      KeySep(&In_code_chenge_m_wik[i], cntl);
      KeySep(&In_code_chenge_o_wik[i], cntl);
      KeySep(&In_code_chenge_r_wik[i], cntl);
    } else {
      In_code_chenge_m_wik[i].text[WIKI_PARAM_CAP - 1] = L'\0';
      In_code_chenge_o_wik[i].text[WIKI_PARAM_CAP - 1] = L'\0';
      In_code_chenge_r_wik[i].text[WIKI_PARAM_CAP - 1] = L'\0';
    }
  }
  s = fdp.ConsumeRemainingBytesAsString();
  w = FuzzWide((const uint8_t *)s.data(), s.size());
  if (w == NULL)
    return;
  src.str = w;
  src.size = (int32_t)wcslen(w);
  if (CharLenNewAlloc(&out, (int)(s.size() % 7)) != RC_OK) {
    free(w);
    return;
  }
  if (Cell_char_conv(src, &out) != RC_OK)
    abort();
  if (wcsnlen(out.str, (size_t)out.size + 1) > (size_t)out.size)
    abort();
  if (In_code_chenge_no <= 0 && wcscmp(out.str, w) != 0)
    abort();
  CharLenFree(&out);
  free(w);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  FuzzedDataProvider fdp(data, size);
  wchar_t cntl[WIKI_CNTL_CAP];
  IN_PARM p;
  int kind;
  int32_t value;

  MsgReset();
  TextTake(fdp, 8, cntl, WIKI_CNTL_CAP);
  ParmTake(fdp, &p);
  kind = fdp.ConsumeBool() ? ATTR_COLOUR : ATTR_NUMBER;
  value = fdp.ConsumeIntegral<int32_t>();
  KeySep(&p, cntl);
  SplitCheck(&p, cntl);
  AttrCheck(&p, kind, value);
  ConvCheck(fdp, cntl);
  return 0;
}
