/*
** Test tool tv-capturedump: runs the Office bridge on the clipboard as a
** converter would and prints the captured cell table as one JSON object.
*/
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
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

/* The table t of Row_no x Col_no records as a JSON array. */
static void JsonTable(const CELL_DATA *t)
{
  putchar('[');
  for (int i = 0; i < Row_no * Col_no; i++) {
    if (i)
      putchar(',');
    JsonCell(&t[i]);
  }
  putchar(']');
}

/*
** Usage: tv-capturedump [cell|range|both].  The reading the bridge uses
** by default, or the one named; "both" also prints the per-cell table
** of the same paste as "ref".
*/
int main(int argc, char **argv)
{
  static const char *const way[] = {"range", "cell", "both"};   /* CAPTURE_* order */
  int r;

  for (int i = 0; argc > 1 && i < 3; i++)
    if (strcmp(argv[1], way[i]) == 0)
      Capture_way = i;
  setlocale(LC_ALL, "");
  Verno = Soffice_Path_get();
  if (Verno > 0)
    EnvSet();
  text_flag = TEXT_CALC;
  r = CalcAcc();
  printf("{\"rc\":%d,\"pos\":%d,\"rows\":%d,\"cols\":%d,\"capture_s\":%.6f,\"msgs\":[",
         r, Proc_pos, Row_no, Col_no, Capture_secs);
  for (int i = 0; i < MsgCount && i < MSG_LOG_CAP; i++)
    printf(i ? ",%d" : "%d", MsgLog[i]);
  printf("],\"cells\":");
  if (r == 0)
    JsonTable(hyo);
  else
    printf("[]");
  if (r == 0 && Cell_ref != NULL) {
    printf(",\"ref\":");
    JsonTable(Cell_ref);
  }
  printf("}\n");
  FreeArea();
  CellRefFree();
  return 0;
}
