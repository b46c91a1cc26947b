/*
** Test tool tv-capturedump: runs the Office bridge on the clipboard as a
** converter would and prints the captured cell table as one JSON object.
*/
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "CalcCom.h"
#include "CalcSDK.h"
#include "FileIo.h"
#include "MsgRecord.h"
#include "VersionGet.h"

void ParamGet(void) {}

/* The text as a JSON string, UTF-8 for everything beyond ASCII. */
static void JsonText(const CHAR_LEN *s)
{
  char mb[8];

  putchar('"');
  for (int i = 0; s->size > 0 && s->str[i] != L'\0'; i++) {
    wchar_t c = s->str[i];
    if (c == L'"' || c == L'\\')
      printf("\\%c", (char)c);
    else if (c < 0x20)
      printf("\\u%04x", (unsigned)c);
    else {
      int n = wctomb(mb, c);
      fwrite(mb, 1, n > 0 ? (size_t)n : 0, stdout);
    }
  }
  putchar('"');
}

static void JsonCell(const CELL_DATA *c)
{
  printf("{\"text\":");
  JsonText(&c->cell_str);
  printf(",\"line_width\":[%d,%d,%d,%d],\"line_color\":[%d,%d,%d,%d]",
         c->line_width[0], c->line_width[1], c->line_width[2], c->line_width[3],
         c->line_color[0], c->line_color[1], c->line_color[2], c->line_color[3]);
  printf(",\"posh\":%lld,\"posv\":%lld,\"mrg_pos\":%d,\"mrg_origin\":%d",
         (long long)c->posh, (long long)c->posv, c->mrg_pos, c->mrg_origin);
  if (c->mrg_pos == 1)
    printf(",\"mrg_area\":[%d,%d,%d,%d]", c->mrg_area[0], c->mrg_area[1],
           c->mrg_area[2], c->mrg_area[3]);
  printf(",\"font_color\":%d,\"font_size\":%d,\"font_bold\":%d,\"font_italic\":%d",
         c->font_color, c->font_size, c->font_bold, c->font_italic);
  printf(",\"font_underline\":%d,\"font_strikethrough\":%d,\"back_color\":%d}",
         c->font_underline, c->font_strikethrough, c->back_color);
}

int main(void)
{
  int r;

  setlocale(LC_ALL, "");
  Verno = Soffice_Path_get();
  if (Verno > 0)
    EnvSet();
  text_flag = TEXT_CALC;
  r = CalcAcc();
  printf("{\"rc\":%d,\"pos\":%d,\"rows\":%d,\"cols\":%d,\"msgs\":[", r, Proc_pos,
         Row_no, Col_no);
  for (int i = 0; i < MsgCount && i < MSG_LOG_CAP; i++)
    printf(i ? ",%d" : "%d", MsgLog[i]);
  printf("],\"cells\":[");
  for (int i = 0; r == 0 && i < Row_no * Col_no; i++) {
    if (i)
      putchar(',');
    JsonCell(&hyo[i]);
  }
  printf("]}\n");
  FreeArea();
  return 0;
}
