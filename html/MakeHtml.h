/*
** HTML table writer of tabvue-html: its settings of section Param, the
** escaping of cell texts, and MakeData (declared in Writer.h).
*/
#ifndef TV_MAKEHTML_H
#define TV_MAKEHTML_H

#include <wchar.h>

#include "ExString.h"
#include "Writer.h"

enum { HTML_PARAM_CAP = 101 };   /* room of each setting, terminator included */

extern wchar_t In_html_version[HTML_PARAM_CAP];          /* first char "5": style mode */
extern wchar_t In_table_posh[HTML_PARAM_CAP];            /* tag written before the table */
extern wchar_t In_table_outline[HTML_PARAM_CAP];         /* table border colour, style mode */
extern wchar_t In_line_color_yn[HTML_PARAM_CAP];         /* "ON": border colours */
extern wchar_t In_line_width_yn[HTML_PARAM_CAP];         /* "ON": border width */
extern wchar_t In_back_color_yn[HTML_PARAM_CAP];         /* "ON": cell backgrounds */
extern wchar_t In_font_color_yn[HTML_PARAM_CAP];         /* "ON": text colour */
extern wchar_t In_font_size_yn[HTML_PARAM_CAP];          /* "ON": text size */
extern wchar_t In_font_bold_yn[HTML_PARAM_CAP];          /* "ON": bold */
extern wchar_t In_font_underline_yn[HTML_PARAM_CAP];     /* "ON": underline */
extern wchar_t In_font_italic_yn[HTML_PARAM_CAP];        /* "ON": italic */
extern wchar_t In_font_strikethrough_yn[HTML_PARAM_CAP]; /* "ON": strike-out */
extern wchar_t In_cell_posh_yn[HTML_PARAM_CAP];          /* "ON": horizontal alignment */
extern wchar_t In_cell_posv_yn[HTML_PARAM_CAP];          /* "ON": vertical alignment */

/*
** Replace the text of dst by the HTML-escaped form of the text of src
** (line feed, space, double quote, "&", "<", ">").  Writes at most
** dst->size characters and always terminates; a src with size <= 0
** counts as empty.
*/
void Cell_char_conv(CHAR_LEN src, CHAR_LEN *dst);

#endif
