/*
** Message dialogs: every message the programs show is a number into one
** table of Japanese texts.  The converters show them in GTK+ dialogs;
** the console programs link a MessageDisp that shows nothing.
*/
#ifndef TV_MSGDISP_H
#define TV_MSGDISP_H

enum {                      /* message numbers */
  MSG_DONE = 0,             /* conversion finished */
  MSG_DONE_TIME = 1,        /* conversion finished, with elapsed time */
  MSG_BORDER_ASK = 2,       /* may every cell get a border? */
  MSG_CANCELLED = 3,        /* processing was cancelled */
  MSG_NOCALC_EDIT = 4,      /* not raised */
  MSG_CONV_FAIL = 5,        /* conversion failed */
  MSG_FREE_FAIL = 11,       /* not raised */
  MSG_NOMEM = 12,           /* memory cannot be allocated */
  MSG_MEMOP = 13,           /* memory cannot be handled */
  MSG_NOSTART = 14,         /* Calc could not be started */
  MSG_NOCALC = 15,          /* Calc was not found */
  MSG_NODATA = 23,          /* the clipboard holds no data */
  MSG_CLIP_BAD = 24,        /* the clipboard data cannot be processed */
  MSG_BADCHAR = 25,         /* a character cannot be converted */
  MSG_NOINI = 31,           /* no settings file */
  MSG_INI_BAD = 32,         /* settings file cannot be read */
  MSG_INI_PATHS = 33,       /* Office_path and Rdb_path inconsistent */
  MSG_NOSERVER = 35,        /* server process could not be started */
  MSG_NOAPPPATH = 36,       /* program folder cannot be determined */
  MSG_NORECT = 39           /* range must be a rectangle */
};

enum { MSGK_INFO, MSGK_QUESTION, MSGK_ERROR };   /* dialog kinds */
enum { MSGB_OK, MSGB_OKCANCEL };                 /* button sets */

enum { MSG_RESPONSE_OK = -5 };   /* the answer OK (GTK_RESPONSE_OK) */

typedef struct {
  int no;             /* message number */
  int kind;           /* MSGK_* */
  int buttons;        /* MSGB_* */
  const char *text;   /* UTF-8 text; message 1 holds two %d */
} MSG_ENTRY;

/*
** Show message n and return the dialog's response (-5 for OK), or 0
** when n has no text.
*/
int MessageDisp(int n);

/* The table entry of message n, or null when n has no text. */
const MSG_ENTRY *MessageFind(int n);

#endif
