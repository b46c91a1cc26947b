/*
** Start-up and progress window of the converters, the cancel protocol,
** clipboard intake (what the clipboard holds and its text) and clipboard
** output (the markup offered until the program ends).
*/
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <time.h>
#include <locale.h>
#include <gtk/gtk.h>
#include <sal/main.h>

#include "GtkMain.h"
#include "CalcCom.h"
#include "CalcGet.h"
#include "FileIo.h"
#include "MsgDisp.h"
#include "Result.h"
#include "VersionGet.h"
#include "Writer.h"

typedef struct {
  GtkWidget *window;   /* the toplevel window */
  GtkWidget *pbar;     /* the progress bar */
} CallbackData;

GtkWidget *window = NULL;             /* the progress window; null before and after */
int close_button = 0;                 /* 1 once the program itself asked to close */
static CallbackData *gdata = NULL;    /* user data of the delete and destroy handlers */
static GdkAtom atom_targets;          /* "TARGETS" */
static GdkAtom atom_compound;         /* "COMPOUND_TEXT" */
static GdkAtom atom_text;             /* "TEXT" */
static GdkAtom atom_utf8;             /* "UTF8_STRING" */
static wchar_t *clipdata = NULL;      /* markup offered on the clipboard */

/* A Calc selection: a target that begins with clip_key1 and names Calc. */
static const char clip_key1[] = "application/x-openoffice-objectdescriptor-xml";
static const char clip_key2[] = "calc";
static const char calc_class[] = "47BBB4CB-CE4C-4E80-A591-42D9AE74950F";


enum {                      /* info numbers of the offered targets */
  OUT_STRING, OUT_TEXT, OUT_COMPOUND, OUT_UTF8
};

static GtkTargetEntry out_targets[] = {
  /* target            flags  info */
  { (gchar *)"STRING",        0, OUT_STRING },
  { (gchar *)"TEXT",          0, OUT_TEXT },
  { (gchar *)"COMPOUND_TEXT", 0, OUT_COMPOUND },
  { (gchar *)"UTF8_STRING",   0, OUT_UTF8 },
};
enum { OUT_TARGET_COUNT = 4 };
static_assert(sizeof out_targets / sizeof out_targets[0] == OUT_TARGET_COUNT,
              "offered targets and their count differ");

/* ---------------------------------------------------------------------
** Window services and the cancel protocol.
*/

/* Run pending window events.  Returns 0. */
int Window_Refresh(void)
{
  while (gtk_events_pending())
    gtk_main_iteration();
  return 0;
}

/* Show n on the progress bar (1 when n is above 100) and refresh. */
int ProgressView(int n)
{
  if (n > 100)
    n = 1;
  if (gdata != NULL && gdata->pbar != NULL)
    gtk_progress_set_value(GTK_PROGRESS(gdata->pbar), n);
  Window_Refresh();
  return 0;
}

/*
** The cancel button's handler, with the toplevel window as its widget:
** raise the cancel request unless the program is closing, and post a
** delete event for the window.  Returns 0.
*/
static int button_push_message(GtkWidget *widget, gpointer data)
{
  GdkEvent *ev;

  (void)data;
  if (Break_flag != BREAK_CLOSE)
    Break_flag = BREAK_ASKED;
  if (widget == NULL || widget->window == NULL)
    return 0;
  ev = gdk_event_new(GDK_DELETE);
  ev->any.window = GDK_WINDOW(g_object_ref(widget->window));
  ev->any.send_event = FALSE;
  gdk_event_put(ev);
  gdk_event_free(ev);
  return 0;
}

/* End the program from any stage: the posted delete event is let through. */
int WinClose(void)
{
  close_button = 1;
  Break_flag = BREAK_CLOSE;
  button_push_message(window, NULL);
  return 0;
}

/*
** Delete handler: while the program runs, closing only raises the
** cancel request; once it is closing the window may go.
*/
static gboolean cancel_message(GtkWidget *widget, GdkEvent *event, gpointer data)
{
  (void)widget;
  (void)event;
  (void)data;
  if (Break_flag == BREAK_CLOSE)
    return FALSE;
  if (close_button == 0)
    Break_flag = BREAK_ASKED;
  return TRUE;
}

/* Destroy handler: free the markup and the record, end the main loop. */
static void destroy_progress(GtkWidget *widget, gpointer data)
{
  (void)widget;
  if (Out_alloc == 1)
    CharLenFree(&out_data);
  Out_alloc = 0;
  window = NULL;
  gdata = NULL;
  g_free(data);
  gtk_main_quit();
}

/* ---------------------------------------------------------------------
** Clipboard intake.
*/

/* Does the object-descriptor target name a Calc selection? */
static int IsCalcTarget(const char *name)
{
  size_t n = strlen(calc_class);

  if (strncmp(name, clip_key1, strlen(clip_key1)) != 0)
    return 0;
  if (strstr(name, clip_key2) != NULL)
    return 1;
  for (const char *p = name; *p != '\0'; p++)
    if (strncasecmp(p, calc_class, n) == 0)
      return 1;
  return 0;
}

/*
** Classify the clipboard by its targets: a Calc selection wins over
** UTF-8 text, which wins over other text, in any order of the list.
*/
static void TargetsClassify(const GdkAtom *atoms, int count)
{
  static const char *const plain[] = { "TEXT", "STRING", "COMPOUND_TEXT" };

  for (int i = 0; i < count; i++) {
    gchar *name = gdk_atom_name(atoms[i]);
    if (name == NULL)
      continue;
    if (strncmp(name, clip_key1, strlen(clip_key1)) == 0) {
      if (IsCalcTarget(name))
        text_flag = TEXT_CALC;
    } else if (strcmp(name, "UTF8_STRING") == 0) {
      if (text_flag != TEXT_CALC)
        text_flag = TEXT_UTF8;
    } else {
      for (size_t k = 0; k < sizeof plain / sizeof plain[0]; k++)
        if (strcmp(name, plain[k]) == 0 && text_flag == TEXT_NONE)
          text_flag = TEXT_PLAIN;
    }
    g_free(name);
  }
}

/*
** The text target to ask for: the first COMPOUND_TEXT or TEXT of the
** list; else UTF8_STRING when offered (its bytes are UTF-8, which a
** STRING answer would pass off as Latin-1); else STRING.
*/
static GdkAtom TextTarget(const GdkAtom *atoms, int count)
{
  int utf8 = 0;

  for (int i = 0; i < count; i++) {
    if (atoms[i] == atom_compound || atoms[i] == atom_text)
      return atoms[i];
    if (atoms[i] == atom_utf8)
      utf8 = 1;
  }
  return utf8 ? atom_utf8 : GDK_TARGET_STRING;
}

/*
** The first string of a text answer in the locale's multibyte encoding,
** newly allocated with g_malloc, or null when the answer yields none or
** cannot be represented in the locale.
*/
static gchar *AnswerText(GtkSelectionData *sd)
{
  gchar *res = NULL;

  if (sd->target == atom_utf8) {
    res = g_locale_from_utf8((const gchar *)sd->data, sd->length, NULL, NULL, NULL);
  } else {
    gchar **list = NULL;
    int n = gdk_text_property_to_text_list(sd->type, sd->format, sd->data,
                                           sd->length, &list);
    if (n > 0 && list != NULL)
      res = g_strdup(list[0]);
    if (list != NULL)
      gdk_free_text_list(list);
  }
  return res;
}

/*
** Store the text answer as wide characters in clip_data.  Returns 0,
** or the message number to show: 24 when plain text yields no text (no
** string, an empty one, or one not valid in the locale), 12 when memory
** is short.  A Calc selection without text goes on with clip_data null.
*/
static int ClipStore(GtkSelectionData *sd)
{
  gchar *s = AnswerText(sd);
  size_t bytes;
  int msg = MSG_CLIP_BAD;

  if (s == NULL || (s[0] == '\0' && text_flag != TEXT_CALC)) {
    g_free(s);
    return text_flag == TEXT_CALC ? 0 : MSG_CLIP_BAD;
  }
  bytes = strlen(s);
  clip_data = (wchar_t *)malloc((bytes + 1) * sizeof(wchar_t));
  if (clip_data == NULL) {
    msg = MSG_NOMEM;
    goto out;
  }
  Clip_alloc = 1;
  if (mbstowcs(clip_data, s, bytes + 1) == (size_t)-1) {
    free(clip_data);
    clip_data = NULL;
    Clip_alloc = 0;
    goto out;
  }
  msg = 0;
out:
  g_free(s);
  return msg;
}

/* Run the conversion and close the program, whatever it returns. */
static void ConvertAndClose(void)
{
  Window_Refresh();
  CalcGet();
  WinClose();
}

/*
** The window's selection-received handler, for the answer to the
** TARGETS request and for the answer to the text request.  Phase 1
** classifies the targets and asks the border question for plain text;
** phase 2 requests the text or stores it and converts; phase 3 handles
** an answer that brought nothing.
*/
static void signal_selection_received(GtkWidget *widget, GtkSelectionData *sd,
                                      guint time, gpointer data)
{
  int is_targets = sd->selection == GDK_SELECTION_CLIPBOARD
                   && sd->target == (GdkAtom)data
                   && sd->type == GDK_SELECTION_TYPE_ATOM && sd->length > 0;

  (void)widget;
  (void)time;
  if (is_targets) {
    TargetsClassify((const GdkAtom *)sd->data, sd->length / (int)sizeof(GdkAtom));
    if (text_flag == TEXT_PLAIN || text_flag == TEXT_UTF8) {
      if (MessageDisp(MSG_BORDER_ASK) != MSG_RESPONSE_OK) {
        MessageDisp(MSG_CANCELLED);
        WinClose();
        return;
      }
      Allline_flag = 1;
    }
  }
  if (text_flag != TEXT_NONE && sd->selection == GDK_SELECTION_CLIPBOARD
      && sd->length > 0) {
    Window_Refresh();
    if (is_targets) {
      gtk_selection_convert(window, GDK_SELECTION_CLIPBOARD,
                            TextTarget((const GdkAtom *)sd->data,
                                       sd->length / (int)sizeof(GdkAtom)),
                            GDK_CURRENT_TIME);
      return;
    }
    if (sd->target == atom_compound || sd->target == atom_text
        || sd->target == GDK_TARGET_STRING || sd->target == atom_utf8) {
      int msg = ClipStore(sd);
      if (msg != 0) {
        MessageDisp(msg);
        WinClose();
        return;
      }
      ConvertAndClose();
      return;
    }
  }
  if (text_flag == TEXT_NONE) {
    MessageDisp(MSG_NODATA);
    WinClose();
  } else if (text_flag == TEXT_CALC) {
    ConvertAndClose();
  } else {
    MessageDisp(MSG_CLIP_BAD);   /* plain text, but no text came */
    WinClose();
  }
}

/*
** The window's realize handler: note the start time, announce the type
** registry (or end with message 15 when no installation was found) and
** ask the clipboard for its targets.
*/
static void signal_realize(GtkWidget *widget, gpointer data)
{
  time_t now = time(NULL);

  (void)widget;
  (void)data;
  Just1 = localtime(&now);
  if (Verno <= 0) {
    MessageDisp(MSG_NOCALC);
    WinClose();
    return;
  }
  EnvSet();
  atom_targets = gdk_atom_intern("TARGETS", FALSE);
  atom_compound = gdk_atom_intern("COMPOUND_TEXT", FALSE);
  atom_text = gdk_atom_intern("TEXT", FALSE);
  atom_utf8 = gdk_atom_intern("UTF8_STRING", FALSE);
  g_signal_connect(G_OBJECT(window), "selection-received",
                   G_CALLBACK(signal_selection_received), (gpointer)atom_targets);
  gtk_selection_convert(window, GDK_SELECTION_CLIPBOARD, atom_targets,
                        GDK_CURRENT_TIME);
}

/* ---------------------------------------------------------------------
** Clipboard output.
*/

/*
** The window's selection-get handler: answer one request for the
** markup.  The answer stays a refusal unless a conversion succeeds.
** Markup the locale cannot represent ends the program (message 5), as
** does a failed allocation (message 13); both exit with status 0.
*/
static void signal_selection_out(GtkWidget *widget, GtkSelectionData *sd,
                                 guint info, guint time, gpointer data)
{
  size_t n = wcstombs(NULL, clipdata, 0);
  char *buf;

  (void)widget;
  (void)time;
  (void)data;
  if (n == (size_t)-1 || n == 0) {
    MessageDisp(MSG_CONV_FAIL);
    exit(0);
  }
  buf = (char *)malloc(n + 1);
  if (buf == NULL) {
    MessageDisp(MSG_MEMOP);
    exit(0);
  }
  wcstombs(buf, clipdata, n + 1);
  buf[n] = '\0';
  if (sd->selection != GDK_SELECTION_CLIPBOARD)
    goto out;
  if (info == OUT_STRING) {
    gtk_selection_data_set(sd, GDK_TARGET_STRING, 8, (const guchar *)buf, (gint)n);
  } else if (info == OUT_TEXT || info == OUT_COMPOUND) {
    GdkAtom enc;
    gint fmt, len;
    guchar *ct = NULL;
    if (gdk_string_to_compound_text(buf, &enc, &fmt, &ct, &len) == 0 && ct != NULL)
      gtk_selection_data_set(sd, enc, fmt, ct, len);
    if (ct != NULL)
      gdk_free_compound_text(ct);
  } else if (info == OUT_UTF8) {
    glong len = 0;
    gchar *u = g_ucs4_to_utf8((const gunichar *)clipdata, -1, NULL, &len, NULL);
    if (u != NULL)
      gtk_selection_data_set(sd, atom_utf8, 8, (const guchar *)u, (gint)len);
    g_free(u);
  }
out:
  free(buf);
}

/* Offer text on the clipboard until the window goes.  Returns 0. */
int ClipWrite(wchar_t *text)
{
  clipdata = text;
  atom_utf8 = gdk_atom_intern("UTF8_STRING", FALSE);
  gtk_selection_owner_set(window, GDK_SELECTION_CLIPBOARD, GDK_CURRENT_TIME);
  g_signal_connect(G_OBJECT(window), "selection-get",
                   G_CALLBACK(signal_selection_out), NULL);
  gtk_selection_add_targets(window, GDK_SELECTION_CLIPBOARD, out_targets,
                            OUT_TARGET_COUNT);
  return 0;
}

/* ---------------------------------------------------------------------
** Start-up.
*/

/* Build the progress window, connect its handlers and show it. */
static void WindowBuild(void)
{
  GtkWidget *vbox, *label, *align, *table, *button;
  GtkObject *adj;

  gtk_window_set_default_size(GTK_WINDOW(window), 230, 150);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_window_set_title(GTK_WINDOW(window), ProgTitle);
  gtk_window_set_policy(GTK_WINDOW(window), FALSE, FALSE, TRUE);

  vbox = gtk_vbox_new(FALSE, 3);
  gtk_container_set_border_width(GTK_CONTAINER(vbox), 10);
  gtk_container_add(GTK_CONTAINER(window), vbox);

  label = gtk_label_new("データを変換中です。しばらくお待ちください。");
  gtk_misc_set_alignment(GTK_MISC(label), 0, 0);
  gtk_box_pack_start(GTK_BOX(vbox), label, FALSE, FALSE, 0);

  align = gtk_alignment_new(0.5, 0.5, 0, 0);
  gtk_box_pack_start(GTK_BOX(vbox), align, FALSE, FALSE, 5);
  adj = gtk_adjustment_new(0, 1, 100, 0, 0, 0);
  gdata->pbar = gtk_progress_bar_new_with_adjustment(GTK_ADJUSTMENT(adj));
  gtk_container_add(GTK_CONTAINER(align), gdata->pbar);

  table = gtk_table_new(1, 4, FALSE);
  gtk_box_pack_start(GTK_BOX(vbox), table, FALSE, TRUE, 0);
  button = gtk_button_new_with_label("キャンセル");
  gtk_table_attach(GTK_TABLE(table), button, 0, 1, 0, 1,
                   GTK_SHRINK, GTK_SHRINK, 5, 5);
  GTK_WIDGET_SET_FLAGS(button, GTK_CAN_DEFAULT);
  gtk_widget_grab_default(button);

  g_signal_connect_swapped(G_OBJECT(button), "clicked",
                           G_CALLBACK(button_push_message), window);
  g_signal_connect(G_OBJECT(window), "delete_event",
                   G_CALLBACK(cancel_message), gdata);
  g_signal_connect(G_OBJECT(window), "destroy",
                   G_CALLBACK(destroy_progress), gdata);
  g_signal_connect(G_OBJECT(window), "realize",
                   G_CALLBACK(signal_realize), NULL);
  gtk_widget_show_all(window);
}

/*
** The converters' start-up: the program's directory, the settings, the
** locale, the Office search, the window and the main loop.  The toolkit
** is made ready first, so that messages raised before the window exists
** can be shown.  Always returns 0.
*/
static int StartUp(int argc, char **argv)
{
  close_button = 0;
  text_flag = TEXT_NONE;
  wsetlocale(LC_CTYPE, L"");
  if (!gtk_init_check(&argc, &argv))
    return 0;   /* no display: nothing can be shown */
  if (argc < 1 || AppPathSet(argv[0]) != 0) {
    MessageDisp(MSG_NOAPPPATH);
    return 0;
  }
  if (FileSizeGet(AppPath, IniName) == 0) {
    MessageDisp(MSG_NOINI);
    Window_Refresh();
  }
  if (wcslen(AppPath) + 1 + wcslen(IniName) >= PATH_CAP) {
    MessageDisp(MSG_NOAPPPATH);
    return 0;
  }
  swprintf(Inifile, PATH_CAP, L"%ls/%ls", AppPath, IniName);
  if (ProfileGet(Inifile) < 0)
    return 0;
  if (Locale[0] != L'\0')
    wsetlocale(LC_CTYPE, Locale);
  gtk_set_locale();
  gtk_init(&argc, &argv);
  Break_flag = BREAK_RUN;
  Allline_flag = 0;
  SofficePath[0] = L'\0';
  SofficeRdbPath[0] = L'\0';
  gdata = (CallbackData *)g_malloc(sizeof(CallbackData));
  window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gdata->window = window;
  gdata->pbar = NULL;
  Verno = Soffice_Path_get();
  WindowBuild();
  gtk_main();
  return 0;
}

SAL_IMPLEMENT_MAIN_WITH_ARGS(argc, argv)
{
  return StartUp(argc, argv);
}
