/*
** Test helper: owns the CLIPBOARD with a text read from standard input,
** offering the targets named on the command line, or reads the
** CLIPBOARD as one target and prints it as UTF-8.
**   tv-cliptool own TARGET...   (serves until killed)
**   tv-cliptool get TARGET      (exit 1 when nothing came)
** With CLIPTOOL_DELAY_MS set, each text answer is held back that long,
** so that a test can act while the requestor waits for it.
*/
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include <gtk/gtk.h>

static std::string Text;   /* the UTF-8 text to serve */

static void Serve(GtkClipboard *cb, GtkSelectionData *sd, guint info, gpointer data)
{
  (void)cb;
  (void)info;
  (void)data;
  const char *delay = getenv("CLIPTOOL_DELAY_MS");
  if (delay != NULL)
    g_usleep((gulong)atol(delay) * 1000);
  gchar *name = gdk_atom_name(sd->target);
  std::string t = name;
  g_free(name);
  if (t == "UTF8_STRING") {
    gtk_selection_data_set(sd, sd->target, 8, (const guchar *)Text.data(), (gint)Text.size());
  } else if (t == "STRING") {
    gsize n = 0;
    gchar *l1 = g_convert(Text.data(), Text.size(), "ISO-8859-1", "UTF-8", NULL, &n, NULL);
    if (l1 != NULL)
      gtk_selection_data_set(sd, sd->target, 8, (const guchar *)l1, (gint)n);
    else   /* as many owners do: UTF-8 bytes under STRING */
      gtk_selection_data_set(sd, sd->target, 8, (const guchar *)Text.data(), (gint)Text.size());
    g_free(l1);
  } else {
    GdkAtom enc;
    gint fmt, len;
    guchar *ct = NULL;
    if (gdk_utf8_to_compound_text(Text.c_str(), &enc, &fmt, &ct, &len) && ct != NULL)
      gtk_selection_data_set(sd, enc, fmt, ct, len);
    if (ct != NULL)
      gdk_free_compound_text(ct);
  }
}

static void Lost(GtkClipboard *cb, gpointer data)
{
  (void)cb;
  (void)data;
  gtk_main_quit();
}

static int Own(int n, char **names)
{
  std::vector<GtkTargetEntry> t;
  char buf[65536];
  size_t got;

  while ((got = fread(buf, 1, sizeof buf, stdin)) > 0)
    Text.append(buf, got);
  for (int i = 0; i < n; i++)
    t.push_back(GtkTargetEntry{names[i], 0, (guint)i});
  GtkClipboard *cb = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  if (!gtk_clipboard_set_with_data(cb, t.data(), (guint)t.size(), Serve, Lost, NULL))
    return 1;
  printf("owning\n");
  fflush(stdout);
  gtk_main();
  return 0;
}

static int Get(const char *target)
{
  GtkClipboard *cb = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  GtkSelectionData *sd = gtk_clipboard_wait_for_contents(cb, gdk_atom_intern(target, FALSE));
  int rc = 1;

  if (sd == NULL || sd->length < 0)
    return 1;
  gchar *name = gdk_atom_name(sd->type);
  if (strcmp(target, "UTF8_STRING") == 0 || strcmp(target, "STRING") == 0) {
    fwrite(sd->data, 1, sd->length, stdout);   /* the bytes as sent */
    rc = 0;
  } else {
    gchar **list = NULL;
    int k = gdk_text_property_to_utf8_list(sd->type, sd->format, sd->data, sd->length, &list);
    for (int i = 0; i < k; i++)
      fputs(list[i], stdout);
    if (list != NULL)
      g_strfreev(list);
    rc = k > 0 ? 0 : 1;
  }
  g_free(name);
  gtk_selection_data_free(sd);
  return rc;
}

int main(int argc, char **argv)
{
  if (!gtk_init_check(&argc, &argv) || argc < 3)
    return 2;
  if (strcmp(argv[1], "own") == 0)
    return Own(argc - 2, argv + 2);
  if (strcmp(argv[1], "get") == 0)
    return Get(argv[2]);
  return 2;
}
