/*
** The message table: every text, kind and button set exactly as the
** dialogs must show them, and numbers without text showing nothing.
*/
#include <gtest/gtest.h>
#include <string.h>
#include <set>

#include "CalcCom.h"
#include "GtkMain.h"
#include "MsgDisp.h"
#include "Writer.h"

/* What MsgDisp.cpp needs from the front end; no dialog is ever opened. */
GtkWidget *window = nullptr;
const char ProgTitle[] = "Tabvue Html変換 for Linux";
int Tmin = 0;
int Tsec = 0;
static int Refreshes = 0;
int Window_Refresh(void) { Refreshes++; return 0; }

static const struct {
  const char *id;
  int no, kind, buttons;
  const char *text;
} Expected[] = {
  /* id        no  kind  buttons  text */
    {"msg-0", 0, MSGK_INFO, MSGB_OK, "データ変換が終了しました。\nOKボタンを押す前にテキストエディタ等にペーストしてから終了して下さい。"},
    {"msg-1", 1, MSGK_INFO, MSGB_OK, "データ変換が終了しました。\nOKボタンを押す前にテキストエディタ等にペーストしてから終了して下さい。\n\n　経過時間 %d分 %d秒"},
    {"msg-2", 2, MSGK_QUESTION, MSGB_OKCANCEL, "罫線データが設定されていません。\n全てのセルに罫線を付けて良いですか？"},
    {"msg-3", 3, MSGK_INFO, MSGB_OK, "処理はキャンセルされました。"},
    {"msg-4", 4, MSGK_QUESTION, MSGB_OKCANCEL, "このソフトからコピーしたデータはCalcで編集出来ません。\n全てのセルに罫線を付けて良いですか？"},
    {"msg-5", 5, MSGK_ERROR, MSGB_OK, "データ変換に失敗しました。"},
    {"msg-11", 11, MSGK_ERROR, MSGB_OK, "メモリを開放できません。"},
    {"msg-12", 12, MSGK_ERROR, MSGB_OK, "メモリを確保できません。"},
    {"msg-13", 13, MSGK_ERROR, MSGB_OK, "メモリを操作できません。"},
    {"msg-14", 14, MSGK_ERROR, MSGB_OK, "Calcを起動できませんでした。"},
    {"msg-15", 15, MSGK_ERROR, MSGB_OK, "Calcが見つかりませんでした。"},
    {"msg-16", 16, MSGK_ERROR, MSGB_OK, "クリップボードの変換に失敗しました。\nクリップボードを書き込み用に開けません。"},
    {"msg-17", 17, MSGK_ERROR, MSGB_OK, "クリップボードの変換に失敗しました。\nクリップボードを初期化できません。"},
    {"msg-18", 18, MSGK_ERROR, MSGB_OK, "クリップボードの変換に失敗しました。\nクリップボードに書き込めません。"},
    {"msg-19", 19, MSGK_ERROR, MSGB_OK, "クリップボードの変換に失敗しました。\n書き込み用に開いたクリップボードを閉じられません。"},
    {"msg-20", 20, MSGK_ERROR, MSGB_OK, "クリップボードの変換に失敗しました。\nクリップボードを読み込み用に開けません。"},
    {"msg-21", 21, MSGK_ERROR, MSGB_OK, "クリップボードの変換に失敗しました。\nクリップボードからデータを読めません。"},
    {"msg-22", 22, MSGK_ERROR, MSGB_OK, "クリップボードの変換に失敗しました。\n読み込み用に開いたクリップボードを閉じられません。"},
    {"msg-23", 23, MSGK_ERROR, MSGB_OK, "クリップボードにデータがありません。"},
    {"msg-24", 24, MSGK_ERROR, MSGB_OK, "クリップボードのデータを処理できませんでした。"},
    {"msg-25", 25, MSGK_ERROR, MSGB_OK, "変換できない特殊文字があります。"},
    {"msg-31", 31, MSGK_INFO, MSGB_OK, "初期化ファイルがありません。罫線が表示されないかもしれません。"},
    {"msg-32", 32, MSGK_ERROR, MSGB_OK, "初期化ファイルが読めません。UNICODEで記載していて、入力可能なファイルか確認して下さい。"},
    {"msg-33", 33, MSGK_ERROR, MSGB_OK, "初期化ファイルのOffice_pathとRdb_pathは、両方を設定するか、両方を空にして下さい。"},
    {"msg-34", 34, MSGK_ERROR, MSGB_OK, "CalcSDK.rdbファイルがありません。"},
    {"msg-35", 35, MSGK_ERROR, MSGB_OK, "サーバープロセスを起動できませんでした。"},
    {"msg-36", 36, MSGK_ERROR, MSGB_OK, "ソフトウェアを格納しているフォルダのパスを調べられませんでした。"},
    {"msg-39", 39, MSGK_ERROR, MSGB_OK, "範囲は矩形で指定して下さい。"},
    {"msg-99", 99, MSGK_ERROR, MSGB_OK, "システムエラー　SPRINTFの変数は最大5個まで指定できます。"},
};

TEST(MsgDisp, EveryTextExact)
{
  for (const auto &e : Expected) {
    const MSG_ENTRY *m = MessageFind(e.no);
    ASSERT_NE(m, nullptr) << e.id;
    EXPECT_EQ(m->no, e.no) << e.id;
    EXPECT_EQ(m->kind, e.kind) << e.id;
    EXPECT_EQ(m->buttons, e.buttons) << e.id;
    EXPECT_STREQ(m->text, e.text) << e.id;
  }
}

TEST(MsgDisp, WideBlankAndFormats)
{
  /* U+3000 before the time and in the system error; only message 1 is
     ever formatted, with exactly two %d. */
  EXPECT_NE(strstr(MessageFind(1)->text, "\n\n\u3000経過時間 %d分 %d秒"), nullptr);
  EXPECT_NE(strstr(MessageFind(99)->text, "エラー\u3000SPRINTF"), nullptr);
  for (const auto &e : Expected) {
    int pct = 0;
    for (const char *p = e.text; (p = strchr(p, '%')) != nullptr; p++)
      pct++;
    EXPECT_EQ(pct, e.no == 1 ? 2 : 0) << e.id;
  }
}

TEST(MsgDisp, NumbersWithoutTextShowNothing)
{
  std::set<int> known;
  for (const auto &e : Expected)
    known.insert(e.no);
  for (int n = -5; n <= 130; n++) {
    if (known.count(n))
      continue;
    EXPECT_EQ(MessageFind(n), nullptr) << "msg-none-" << n;
  }
  static const int silent[] = {6, 10, 26, 37, 38, 40, 98, 100, -1, -5, 2147483647};
  for (int n : silent) {
    Refreshes = 0;
    EXPECT_EQ(MessageDisp(n), 0) << "msg-silent-" << n;
    EXPECT_EQ(Refreshes, 0) << "msg-silent-" << n;
  }
}
