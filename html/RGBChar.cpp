/*
** Colour text of a 24-bit colour, as HTML and CSS write it: "#rrggbb".
*/
#include "RGBChar.h"

/* Write "#" and the red, green and blue bytes of color as two lower-case
** hexadecimal digits each into buf (8 wide characters); bits 24 to 31
** are ignored. */
void RGBChar(uint32_t color, wchar_t *buf)
{
  static const wchar_t hex[] = L"0123456789abcdef";

  buf[0] = L'#';
  for (int i = 0; i < 6; i++)
    buf[1 + i] = hex[(color >> (20 - 4 * i)) & 0xF];
  buf[7] = L'\0';
}
