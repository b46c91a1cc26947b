/*
** Growable wide-character string: a capacity and an owned buffer.
** Minimum capacity 100, growth by the appended length plus 500.
*/
#ifndef TV_EXSTRING_H
#define TV_EXSTRING_H

#include <stdint.h>
#include <wchar.h>

typedef struct {
  int32_t size;   /* capacity without terminator; 0 no buffer, -1 never got one */
  wchar_t *str;   /* size + 1 wide characters, zero-terminated */
} CHAR_LEN;

enum {
  CHARLEN_MIN = 100,   /* capacity given for a request of 0 or less */
  CHARLEN_STEP = 500   /* extra room added by CharLenCat when it grows */
};

int CharLenNewAlloc(CHAR_LEN *s, int len);
int CharLenAddAlloc(CHAR_LEN *s, int add);
int CharLenCat(CHAR_LEN *s, const wchar_t *text);
int CharLenFree(CHAR_LEN *s);

#endif
