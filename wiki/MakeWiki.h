/*
** Wiki table writer: the Param settings of tabvue-wiki, their split into
** opening and closing parts, the conversion of cell texts by replacement
** entries, and the table writer MakeData.
*/
#ifndef TV_MAKEWIKI_H
#define TV_MAKEWIKI_H

#include <stdint.h>
#include <wchar.h>

#include "Writer.h"
#include "ExString.h"

enum {
  WIKI_PARAM_CAP = 101,   /* one markup value: 100 characters and terminator */
  WIKI_CNTL_CAP = 10,     /* cntl_char: only its first character is used */
  WIKI_CHENGE_MAX = 5     /* replacement entries code_chenge_?1 .. ?5 */
};

enum { ATTR_HEAD = 0, ATTR_TAIL = 1 };        /* part of a value MakeAttr writes */
enum { ATTR_NUMBER = 1, ATTR_COLOUR = 2 };    /* kind of a value fragment */

/* One markup value as read, and after KeySep its two parts. */
typedef struct {
  int32_t sep_pos;          /* index where the closing part begins */
  int32_t head_flag;        /* 1: there is an opening part */
  int32_t tail_flag;        /* 1: there is a non-empty closing part */
  int32_t head_fmt_no;      /* placeholder tokens in the opening part */
  int32_t tail_fmt_no;      /* placeholder tokens in the closing part */
  wchar_t text[WIKI_PARAM_CAP];   /* value; after the split the opening part */
} IN_PARM;

extern wchar_t In_cntl_char[WIKI_CNTL_CAP];   /* first character divides the values */
extern IN_PARM In_line_color_wik;             /* table start and end, top border colour */
extern IN_PARM In_line_width_wik;             /* inside line_color, top border kind */
extern IN_PARM In_back_color_wik;             /* every cell: background colour */
extern IN_PARM In_font_color_wik;             /* every cell: text colour */
extern IN_PARM In_font_size_wik;              /* every cell: text size in points */
extern IN_PARM In_font_bold_wik;              /* bold cells */
extern IN_PARM In_font_underline_wik;         /* underlined cells */
extern IN_PARM In_font_italic_wik;            /* italic cells */
extern IN_PARM In_font_strikethrough_wik;     /* struck-out cells */
extern IN_PARM In_cell_poshr_wik;             /* right-aligned cells */
extern IN_PARM In_cell_poshc_wik;             /* horizontally centred cells */
extern IN_PARM In_cell_poshl_wik;             /* all other horizontal alignments */
extern IN_PARM In_cell_posvt_wik;             /* top-aligned cells */
extern IN_PARM In_cell_posvc_wik;             /* vertically centred cells */
extern IN_PARM In_cell_posvb_wik;             /* all other vertical alignments */
extern IN_PARM In_cell_sep_wik;               /* before every cell and at row end */
extern IN_PARM In_cell_mrgh_wik;              /* merged anchor, once per spanned column */
extern IN_PARM In_cell_mrgv_wik;              /* merged anchor, once per spanned row */
extern IN_PARM In_row_line_wik;               /* a line of its own before every row */
extern IN_PARM In_head_rule_wik;              /* a line after the first row, per cell */
extern IN_PARM In_row_end_wik;                /* when given: row end instead of cell_sep */
extern IN_PARM In_code_chenge_m_wik[WIKI_CHENGE_MAX];   /* match texts */
extern IN_PARM In_code_chenge_o_wik[WIKI_CHENGE_MAX];   /* output texts */
extern IN_PARM In_code_chenge_r_wik[WIKI_CHENGE_MAX];   /* modes: "all" wraps */
extern int32_t In_code_chenge_no;             /* leading entries in use, 0..5 */

/*
** Split p in place at the first character of cntl: the control
** character becomes a terminator, so p->text reads as the opening part
** and p->text + p->sep_pos as the closing part.  An empty cntl never
** divides.  Sets the flags and counts the placeholder tokens %d %c %s
** %x of each part.
*/
void KeySep(IN_PARM *p, const wchar_t *cntl);

/*
** Append part (ATTR_HEAD or ATTR_TAIL) of the fixed fragment p to out,
** unchanged.  Returns 0, or 101 after message 13.
*/
int MakeAttr(const IN_PARM *p, CHAR_LEN *out, int part);

/*
** Append part of the value fragment p to out, its placeholder tokens
** filled with value of kind ATTR_NUMBER or ATTR_COLOUR.  Returns 0, or
** 101 after message 13.
*/
int MakeAttr(const IN_PARM *p, int kind, int32_t value, CHAR_LEN *out, int part);

/*
** Convert the text of src into out by the replacement entries in use
** (replace mode and wrap mode).  Returns 0, or 101 after message 13.
*/
int Cell_char_conv(CHAR_LEN src, CHAR_LEN *out);

#endif
