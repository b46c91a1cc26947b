/*
** Message dialogs of the converters: the table of every message text,
** and MessageDisp, which shows one of them in a modal GTK+ dialog.
*/
#include <stdio.h>
#include <stdlib.h>
#include <gtk/gtk.h>

#include "MsgDisp.h"
#include "GtkMain.h"
#include "CalcCom.h"
#include "Writer.h"

/*
** The texts are handed to GTK+ as the argument of "%s", so that no
** character in them is taken as a format.  The blank before the time
** in message 1 (and in 99) is U+3000.
*/
static const MSG_ENTRY MsgTable[] = {
  /* no  kind           buttons        text */
  {  0, MSGK_INFO    , MSGB_OK      , "データ変換が終了しました。\nOKボタンを押す前にテキストエディタ等にペーストしてから終了して下さい。" },
  {  1, MSGK_INFO    , MSGB_OK      , "データ変換が終了しました。\nOKボタンを押す前にテキストエディタ等にペーストしてから終了して下さい。\n\n　経過時間 %d分 %d秒" },
  {  2, MSGK_QUESTION, MSGB_OKCANCEL, "罫線データが設定されていません。\n全てのセルに罫線を付けて良いですか？" },
  {  3, MSGK_INFO    , MSGB_OK      , "処理はキャンセルされました。" },
  {  4, MSGK_QUESTION, MSGB_OKCANCEL, "このソフトからコピーしたデータはCalcで編集出来ません。\n全てのセルに罫線を付けて良いですか？" },
  {  5, MSGK_ERROR   , MSGB_OK      , "データ変換に失敗しました。" },
  { 11, MSGK_ERROR   , MSGB_OK      , "メモリを開放できません。" },
  { 12, MSGK_ERROR   , MSGB_OK      , "メモリを確保できません。" },
  { 13, MSGK_ERROR   , MSGB_OK      , "メモリを操作できません。" },
  { 14, MSGK_ERROR   , MSGB_OK      , "Calcを起動できませんでした。" },
  { 15, MSGK_ERROR   , MSGB_OK      , "Calcが見つかりませんでした。" },
  { 16, MSGK_ERROR   , MSGB_OK      , "クリップボードの変換に失敗しました。\nクリップボードを書き込み用に開けません。" },
  { 17, MSGK_ERROR   , MSGB_OK      , "クリップボードの変換に失敗しました。\nクリップボードを初期化できません。" },
  { 18, MSGK_ERROR   , MSGB_OK      , "クリップボードの変換に失敗しました。\nクリップボードに書き込めません。" },
  { 19, MSGK_ERROR   , MSGB_OK      , "クリップボードの変換に失敗しました。\n書き込み用に開いたクリップボードを閉じられません。" },
  { 20, MSGK_ERROR   , MSGB_OK      , "クリップボードの変換に失敗しました。\nクリップボードを読み込み用に開けません。" },
  { 21, MSGK_ERROR   , MSGB_OK      , "クリップボードの変換に失敗しました。\nクリップボードからデータを読めません。" },
  { 22, MSGK_ERROR   , MSGB_OK      , "クリップボードの変換に失敗しました。\n読み込み用に開いたクリップボードを閉じられません。" },
  { 23, MSGK_ERROR   , MSGB_OK      , "クリップボードにデータがありません。" },
  { 24, MSGK_ERROR   , MSGB_OK      , "クリップボードのデータを処理できませんでした。" },
  { 25, MSGK_ERROR   , MSGB_OK      , "変換できない特殊文字があります。" },
  { 31, MSGK_INFO    , MSGB_OK      , "初期化ファイルがありません。罫線が表示されないかもしれません。" },
  { 32, MSGK_ERROR   , MSGB_OK      , "初期化ファイルが読めません。UNICODEで記載していて、入力可能なファイルか確認して下さい。" },
  { 33, MSGK_ERROR   , MSGB_OK      , "初期化ファイルのOffice_pathとRdb_pathは、両方を設定するか、両方を空にして下さい。" },
  { 34, MSGK_ERROR   , MSGB_OK      , "CalcSDK.rdbファイルがありません。" },
  { 35, MSGK_ERROR   , MSGB_OK      , "サーバープロセスを起動できませんでした。" },
  { 36, MSGK_ERROR   , MSGB_OK      , "ソフトウェアを格納しているフォルダのパスを調べられませんでした。" },
  { 39, MSGK_ERROR   , MSGB_OK      , "範囲は矩形で指定して下さい。" },
  { 99, MSGK_ERROR   , MSGB_OK      , "システムエラー　SPRINTFの変数は最大5個まで指定できます。" },
};

enum { MSG_COUNT = 29 };
static_assert(sizeof MsgTable / sizeof MsgTable[0] == MSG_COUNT,
              "message table and its count differ");

/* The table entry of message n, or null when n has no text. */
const MSG_ENTRY *MessageFind(int n)
{
  for (size_t i = 0; i < sizeof MsgTable / sizeof MsgTable[0]; i++)
    if (MsgTable[i].no == n)
      return &MsgTable[i];
  return NULL;
}

static const GtkMessageType MsgType[] = {     /* indexed by MSGK_* */
  GTK_MESSAGE_INFO, GTK_MESSAGE_QUESTION, GTK_MESSAGE_ERROR
};
static const GtkButtonsType MsgButtons[] = {  /* indexed by MSGB_* */
  GTK_BUTTONS_OK, GTK_BUTTONS_OK_CANCEL
};

/*
** Show message n in a modal dialog over the progress window (or without
** parent before the window exists) and return GTK+'s response: -5 for
** OK, another value for Cancel or a dialog closed by the window manager.
** A number without text shows nothing and returns 0.
*/
int MessageDisp(int n)
{
  const MSG_ENTRY *m = MessageFind(n);
  char timed[512];
  const char *text;
  GtkWidget *dlg;
  int res;

  if (m == NULL)
    return 0;
  if (getenv("TABVUE_TRACE") != NULL) {   /* lets tests tell the dialogs apart */
    fprintf(stderr, "MSG %d\n", n);
    fflush(stderr);
  }
  text = m->text;
  if (n == MSG_DONE_TIME) {
    snprintf(timed, sizeof timed, m->text, Tmin, Tsec);
    text = timed;
  }
  dlg = gtk_message_dialog_new(window ? GTK_WINDOW(window) : NULL,
                               (GtkDialogFlags)(GTK_DIALOG_MODAL
                                                | GTK_DIALOG_DESTROY_WITH_PARENT),
                               MsgType[m->kind], MsgButtons[m->buttons],
                               "%s", text);
  Window_Refresh();
  gtk_window_set_title(GTK_WINDOW(dlg), ProgTitle);
  if (m->buttons == MSGB_OKCANCEL)
    gtk_dialog_set_default_response(GTK_DIALOG(dlg), GTK_RESPONSE_OK);
  res = gtk_dialog_run(GTK_DIALOG(dlg));
  gtk_widget_destroy(dlg);
  return res;
}
