/*
** Result codes.  Every stage returns one of these; a failure is shown
** where it is detected and the codes 101, 102 and 120 travel upwards
** without being shown again.
*/
#ifndef TV_RESULT_H
#define TV_RESULT_H

enum {
  RC_OK = 0,          /* success */
  RC_MERGE_OUT = 2,   /* a merged area reaches outside the pasted range */
  RC_NOMEM = 101,     /* memory was not available */
  RC_CANCEL = 102,    /* cancelled by the user, message 3 shown */
  RC_OFFICE = 110,    /* the Office bridge failed, nothing shown yet */
  RC_REPORTED = 120   /* failure already reported to the user */
};

#endif
