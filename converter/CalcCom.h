/*
** The cell table and the conversion state that every stage shares,
** the only functions that create and destroy the table, and the
** splitting of plain text into cells.
*/
#ifndef TV_CALCCOM_H
#define TV_CALCCOM_H

#include <stdint.h>
#include <time.h>
#include <wchar.h>

#include "ExString.h"

enum { SIDE_LEFT, SIDE_RIGHT, SIDE_TOP, SIDE_BOTTOM };   /* line_* index */
enum { MA_COL0, MA_COL1, MA_ROW0, MA_ROW1 };             /* mrg_area index */

typedef struct {
  CHAR_LEN cell_str;        /* cell text; size -1: never got a buffer */
  int line_width[4];        /* border kind per side: 0 none, 1 thin, 2 thick */
  int64_t posh;             /* HoriJustify: 0 std 1 left 2 centre 3 right 4 block 5 repeat */
  int64_t posv;             /* VertJustify: 0 std 1 top 2 centre 3 bottom 4 block */
  int num_flag;             /* 1: a number, written right-aligned */
  int mrg_area[4];          /* anchor only: start/end column, start/end row */
  int mrg_pos;              /* 0 not merged, 1..9 position in a merged area */
  int mrgh;                 /* anchor only: column span */
  int mrgv;                 /* anchor only: row span */
  int mrg_origin;           /* record index of the area's anchor */
  int font_color;           /* 0xRRGGBB, automatic is 0 */
  int font_size;            /* whole points */
  int8_t font_bold;         /* 1 bold */
  int8_t font_italic;       /* 1 italic */
  int font_underline;       /* CharUnderline kind, 0 none */
  int font_strikethrough;   /* CharStrikeout kind, 0 none */
  int back_color;           /* 0xRRGGBB, no background is 0xFFFFFF */
  int line_color[4];        /* border colour per side */
} CELL_DATA;

enum {                      /* text_flag values */
  TEXT_NONE = 0,            /* nothing usable on the clipboard */
  TEXT_PLAIN = 1,           /* TEXT, STRING or COMPOUND_TEXT */
  TEXT_UTF8 = 2,            /* UTF8_STRING */
  TEXT_CALC = 3             /* a Calc selection */
};

enum {                      /* Break_flag values */
  BREAK_RUN = 0,            /* running */
  BREAK_ASKED = 1,          /* cancel requested by the user */
  BREAK_CLOSE = 2           /* closing, or cancel acknowledged */
};

enum {                      /* Proc_pos stages of the Office bridge */
  POS_START = 0,            /* cancel check, plain-text path */
  POS_CONNECT = 1,          /* bootstrapping and connecting */
  POS_CONNECTED = 3,        /* document set-up, GoToCell */
  POS_PASTE = 4,            /* paste */
  POS_CAPTURE = 5           /* reading the pasted range */
};

extern CELL_DATA *hyo;          /* the cell table, row-major */
extern int Row_no;              /* rows of the table */
extern int Col_no;              /* columns of the table */
extern int Area_pos;            /* 3 while the table exists, else 0 */
extern CHAR_LEN out_data;       /* finished markup, lives until exit */
extern int Out_alloc;           /* 1 while out_data owns a buffer */
extern CHAR_LEN out_wk_data;    /* writers' scratch string */
extern int Out_wk_alloc;        /* 1 while out_wk_data owns a buffer */
extern wchar_t *clip_data;      /* clipboard text */
extern int Clip_alloc;          /* 1 while clip_data owns its buffer */
extern int *font_attr;          /* HTML writer: distinct font sets */
extern int *cell_attr;          /* HTML writer: distinct cell sets */
extern int font_attr_maxno;     /* last stored font set, -1 none */
extern int font_attr_no;        /* font class of the cell being written */
extern int cell_attr_maxno;     /* last stored cell set, -1 none */
extern int cell_attr_no;        /* cell class of the cell being written */
extern int font_attr_alloc;     /* 1 while font_attr is allocated */
extern int cell_attr_alloc;     /* 1 while cell_attr is allocated */
extern int text_flag;           /* TEXT_* kind of clipboard content */
extern int Allline_flag;        /* 1 once every cell is to get a border */
extern int Break_flag;          /* BREAK_* cancel protocol */
extern int Proc_pos;            /* POS_* stage of the Office bridge */
extern struct tm *Just1;        /* start time of the conversion */
extern struct tm *Just2;        /* end time of the conversion */
extern int Tmin;                /* elapsed minutes for message 1 */
extern int Tsec;                /* elapsed seconds for message 1 */

int AllocArea(void);
void FreeArea(void);
int DataDivision(const wchar_t *text);
int ByteChk(wchar_t c);

#endif
