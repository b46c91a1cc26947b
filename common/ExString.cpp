/*
** Growable wide-character string.  The record holds no length: the
** text is zero-terminated and measured with wcslen.
*/
#include <stdlib.h>
#include <string.h>
#include <limits.h>

#include "ExString.h"
#include "MsgDisp.h"
#include "Result.h"

/* Allocate n + 1 wide characters, or null when the count cannot be had. */
static wchar_t *WideAlloc(long long n)
{
  if (n < 0 || (unsigned long long)(n + 1) > SIZE_MAX / sizeof(wchar_t))
    return NULL;
  return (wchar_t *)malloc((size_t)(n + 1) * sizeof(wchar_t));
}

/*
** Give s a fresh empty buffer of capacity len (100 when len <= 0).
** A buffer s held before is not freed.  Returns 0, or 101 after
** message 12 with s owning no buffer.
*/
int CharLenNewAlloc(CHAR_LEN *s, int len)
{
  s->size = len > 0 ? len : CHARLEN_MIN;
  s->str = WideAlloc(s->size);
  if (s->str == NULL) {
    s->size = 0;
    MessageDisp(MSG_NOMEM);
    return RC_NOMEM;
  }
  s->str[0] = L'\0';
  return RC_OK;
}

/*
** Enlarge the capacity of s by add characters, keeping its text.
** add <= 0 changes nothing.  Returns 0, or 101 without a message when
** the memory cannot be had; s is then unchanged.
*/
int CharLenAddAlloc(CHAR_LEN *s, int add)
{
  long long want = (long long)s->size + add;
  wchar_t *p;

  if (s->size >= want)
    return RC_OK;
  if (want > INT32_MAX)
    return RC_NOMEM;
  p = WideAlloc(want);
  if (p == NULL)
    return RC_NOMEM;
  if (s->size > 0 && s->str != NULL)
    wcscpy(p, s->str);
  else
    p[0] = L'\0';
  if (s->size > 0 && s->str != NULL)
    free(s->str);
  s->size = (int32_t)want;
  s->str = p;
  return RC_OK;
}

/*
** Append text to s, growing s by the appended length plus 500 when the
** result does not fit.  Returns 0, or 101 after message 13 with the old
** text intact.
*/
int CharLenCat(CHAR_LEN *s, const wchar_t *text)
{
  size_t have = (s->size > 0) ? wcslen(s->str) : 0;
  size_t add = wcslen(text);

  if ((long long)s->size < (long long)(have + add)) {
    if (add > (size_t)INT_MAX - CHARLEN_STEP
        || CharLenAddAlloc(s, (int)add + CHARLEN_STEP) != RC_OK) {
      MessageDisp(MSG_MEMOP);
      return RC_NOMEM;
    }
  }
  if (add > 0)
    wmemcpy(s->str + have, text, add + 1);
  return RC_OK;
}

/* Release the buffer of s; a second call frees nothing.  Returns 0. */
int CharLenFree(CHAR_LEN *s)
{
  if (s->size != 0 && s->str != NULL)
    free(s->str);
  s->size = 0;
  return RC_OK;
}
