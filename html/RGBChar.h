/*
** Colour text: "#" and six lower-case hexadecimal digits of a 0xRRGGBB
** value, shared by both table writers.
*/
#ifndef TV_RGBCHAR_H
#define TV_RGBCHAR_H

#include <stdint.h>
#include <wchar.h>

enum { RGB_CAP = 8 };   /* "#rrggbb" and the terminator */

void RGBChar(uint32_t color, wchar_t *buf);

#endif
