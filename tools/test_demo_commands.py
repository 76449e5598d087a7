"""The demo run's reading of typed lines and of what the screen offers."""

import unittest

from demo_commands import (TRAY, Chosen, Greyed, ListItems, NoPlace, SetText, Unknown, describe, describe_gone, fold,
                           listing, parse, parse_shown, resolve, tray_place)

# What the two tray menus show: (caption, state, command id), as read_tray_menu gives them.
LEFT = [("接続", "enabled", 1000), ("切断", "enabled", 1001), ("", "grayed,separator", 0),
        ("ﾀﾞｳﾝﾛｰﾄﾞ後切断", "grayed", 1008)]
RIGHT = [("メモ帳", "enabled", 1010), ("", "grayed,separator", 0), ("設定", "enabled", 1019),
         ("SysLogを表示", "enabled", 1022), ("ﾊﾞｰｼﾞｮﾝ情報", "enabled", 1026), ("終了", "enabled", 1028),
         ("接続", "enabled", 1000)]

# `wintool shown` with the version box in front of the syslog viewer.
SHOWN = "\n".join([
    "window\t0x100b0\t#32770\tバージョン情報\t1",
    "text\tRoutavista Monitor Ver2.04\\r\\n(c) 2026",
    "button\t0x100b6\tenabled,default\tOK",
    "window\t0x2007a\tTsyslogform\tSysLog\t1",
    "menu\t2001\tenabled\tログをコピー\tﾌｧｲﾙ",
    "menu\t0\tgrayed,separator\t\tﾌｧｲﾙ",
    "menu\t2003\tgrayed\tログをファイルに保存...\tﾌｧｲﾙ",
    "menu\t2005\tenabled\t終了\tﾌｧｲﾙ",
    "menu\t2010\tenabled\t再読み込み\\tF5\tﾌｧｲﾙ",
])

# The settings dialog: its pages, seven buttons 設定, the last the default
# one, text boxes with and without labels, and a box behind a disabled window.
SETTINGS = "\n".join([
    "window\t0x300\t#32770\t設定\t1",
    "tab\t0x330\t0\tenabled\t基本設定",
    "tab\t0x330\t1\tenabled,selected\tランチャー",
    "field\t0x340\tenabled\tメール\tタイトル",
    "field\t0x341\tenabled\t\t",
    "field\t0x342\tenabled\t\tタイトル",
    "field\t0x343\tdisabled\tC:\\\\RV\\\\RV.exe\tRoutavistaユーティリティの場所",
    "field\t0x344\tenabled,list\ton\t接続時に起動",
    "text\tRoutavistaのIPアドレス",
    "text\tタイトル",
    "text\tRoutavistaユーティリティの場所",
    "text\t必ず一台だけ設定してください",
    "button\t0x301\tenabled,checkbox,checked\tシリアルポート2も使用する",
    "button\t0x302\tenabled,checkbox\tアイコントレイに入っているときのメニューを入れ替える",
] + [f"button\t0x31{i}\tenabled\t設定" for i in range(6)] + [
    "button\t0x320\tenabled,default\t設定",
    "button\t0x321\tdisabled\tテスト",
    "window\t0x400\tTRMViewForm\t接続履歴のグラフ\t0",
    "menu\t3001\tenabled\t終了\tﾌｧｲﾙ",
])


def screen(shown=SHOWN, left=LEFT, right=RIGHT):
    return parse_shown(shown) + [tray_place([left, right])]


def chosen(line, places):
    found = resolve(parse(line), places)
    if not isinstance(found, Chosen):
        raise AssertionError(f"{line!r} gave {found}")
    return found


class ReadingTheScreen(unittest.TestCase):
    def test_windows_front_first_with_buttons_texts_and_menu_bar_items(self):
        box, viewer = parse_shown(SHOWN)
        self.assertEqual((box.name, box.handle, box.box), ("バージョン情報", "0x100b0", True))
        self.assertEqual(box.texts, ("Routavista Monitor Ver2.04\r\n(c) 2026",))
        (ok,) = box.items
        self.assertEqual((ok.caption, ok.kind, ok.default, ok.usable, ok.how), ("OK", "button", True, True,
                                                                                  ("click", "0x100b6")))
        self.assertEqual((viewer.name, viewer.box), ("SysLog", False))
        self.assertEqual([(i.caption, i.usable, i.menu, i.how) for i in viewer.items],
                         [("ログをコピー", True, "ﾌｧｲﾙ", ("post", "0x2007a", 2001)),
                          ("ログをファイルに保存...", False, "ﾌｧｲﾙ", ("post", "0x2007a", 2003)),
                          ("終了", True, "ﾌｧｲﾙ", ("post", "0x2007a", 2005)),
                          ("再読み込み", True, "ﾌｧｲﾙ", ("post", "0x2007a", 2010))])

    def test_checkboxes_and_windows_behind_a_box(self):
        settings, graph = parse_shown(SETTINGS)
        serial, tray_swap = (item for item in settings.items if item.kind == "checkbox")
        self.assertEqual((serial.kind, serial.checked), ("checkbox", True))
        self.assertEqual((tray_swap.kind, tray_swap.checked), ("checkbox", False))
        self.assertFalse(next(i for i in settings.items if i.caption == "テスト").usable)
        self.assertFalse(graph.items[0].usable, "a disabled window takes no clicks")

    def test_tray_menus_are_one_place_without_separators_or_repeats(self):
        tray = tray_place([LEFT, RIGHT])
        self.assertEqual(tray.name, TRAY)
        self.assertEqual([(i.caption, i.usable, i.how) for i in tray.items],
                         [("接続", True, ("command", 1000)), ("切断", True, ("command", 1001)),
                          ("ﾀﾞｳﾝﾛｰﾄﾞ後切断", False, ("command", 1008)), ("メモ帳", True, ("command", 1010)),
                          ("設定", True, ("command", 1019)), ("SysLogを表示", True, ("command", 1022)),
                          ("ﾊﾞｰｼﾞｮﾝ情報", True, ("command", 1026)), ("終了", True, ("command", 1028))])

    def test_nothing_on_the_screen_but_the_tray(self):
        self.assertEqual(parse_shown(""), [])
        self.assertEqual(chosen("接続", screen(shown="")).item.how, ("command", 1000))


class TypedLines(unittest.TestCase):
    def test_captions_match_whatever_the_width_and_case(self):
        for typed, command in [("接続", 1000), (" 終了 ", 1028), ("バージョン情報", 1026),
                               ("ﾊﾞｰｼﾞｮﾝ情報", 1026), ("syslogを表示", 1022), ("ＳｙｓＬｏｇを表示", 1022)]:
            with self.subTest(typed=typed):
                self.assertEqual(chosen(typed, screen(shown="")).item.how, ("command", command))

    def test_a_check_box_with_or_without_the_full_stop_of_its_sentence(self):
        settings = parse_shown("window\t0x7\t#32770\t設定\t1\nbutton\t0x8\tenabled,checkbox\tSysLogを記録する。")
        for typed in ("SysLogを記録する", "SysLogを記録する。", "syslogを記録する｡"):
            with self.subTest(typed=typed):
                self.assertEqual(chosen(typed, settings).item.how, ("click", "0x8"))

    def test_launcher_items_are_taken_from_what_the_menu_shows(self):
        found = chosen("メモ帳", screen())
        self.assertEqual((found.place.name, found.item.how), (TRAY, ("command", 1010)))
        self.assertIsInstance(resolve(parse("メモ帳"), screen(right=RIGHT[1:])), Unknown)

    def test_buttons_of_the_window_in_front(self):
        for typed in ("OK", "ok", "ＯＫ"):
            with self.subTest(typed=typed):
                self.assertEqual(chosen(typed, screen()).item.how, ("click", "0x100b6"))
        yes = parse_shown("window\t0x5\t#32770\tRoutavista Monitor\t1\nbutton\t0x6\tenabled\tはい\n"
                          "button\t0x7\tenabled\tいいえ")
        self.assertEqual(chosen("yes", yes).item.caption, "はい")
        self.assertEqual(chosen("No", yes).item.caption, "いいえ")
        self.assertIsInstance(resolve(parse("ﾊｲ"), yes), Unknown)

    def test_a_caption_offered_twice_goes_to_the_window_in_front_and_names_the_other(self):
        found = chosen("終了", screen())
        self.assertEqual((found.place.name, found.item.how, found.also), ("SysLog", ("post", "0x2007a", 2005), (TRAY,)))
        tray_exit = chosen("トレイ:終了", screen())
        self.assertEqual((tray_exit.place.name, tray_exit.item.how), (TRAY, ("command", 1028)))
        self.assertEqual(chosen("tray：終了", screen()).item.how, ("command", 1028))
        self.assertEqual(chosen("syslog:終了", screen()).place.name, "SysLog")

    def test_a_window_behind_a_box_yields_to_the_next_place(self):
        found = chosen("終了", screen(shown=SETTINGS))
        self.assertEqual((found.place.name, found.also), (TRAY, ()))

    def test_among_buttons_of_one_caption_the_default_one(self):
        found = chosen("設定", screen(shown=SETTINGS))
        self.assertEqual((found.place.name, found.item.how, found.alike, found.nth), ("設定", ("click", "0x320"), 7, 7))
        self.assertEqual(found.also, (TRAY,))
        checkbox = chosen("シリアルポート2も使用する", screen(shown=SETTINGS)).item
        self.assertEqual((checkbox.how, checkbox.checked), (("click", "0x301"), True))

    def test_the_nth_of_one_caption(self):
        first = chosen("設定#1", screen(shown=SETTINGS))
        self.assertEqual((first.item.how, first.nth), (("click", "0x310"), 1))
        self.assertEqual(chosen("設定 #7", screen(shown=SETTINGS)).item.how, ("click", "0x320"))
        self.assertEqual(resolve(parse("設定#8"), screen(shown=SETTINGS)),
                         Unknown(tuple(f"設定#{n}" for n in range(1, 8))))

    def test_pages_are_opened_by_their_caption(self):
        found = chosen("基本設定", screen(shown=SETTINGS))
        self.assertEqual((found.item.kind, found.item.how), ("tab", ("tab", "0x330", 0)))

    def test_text_boxes_by_their_label_or_its_start(self):
        self.assertEqual(parse(" タイトル = メモ帳 "), SetText("タイトル", "メモ帳"))
        self.assertEqual(parse("ﾀｲﾄﾙ=A=B"), SetText("タイトル", "A=B"))
        places = screen(shown=SETTINGS)
        self.assertEqual(resolve("タイトル", places, fields=True).item.how, ("field", "0x340"))
        self.assertEqual(resolve("タイトル#2", places, fields=True).item.how, ("field", "0x342"))
        self.assertEqual(resolve("#1", places, fields=True).item.how, ("field", "0x341"))
        self.assertEqual(resolve("routavistaユーティリティ", places, fields=True),
                         Greyed("Routavistaユーティリティの場所", ("設定",)))
        self.assertEqual(resolve("接続時", places, fields=True).item.how, ("list", "0x344"))
        self.assertIsInstance(resolve("タイトル", places), Unknown, "a label alone presses nothing")
        self.assertNotIn("タイトル", resolve("タイ", places).suggestions)

    def test_greyed_items_are_refused_with_where_they_are(self):
        self.assertEqual(resolve(parse("ダウンロード後切断"), screen()), Greyed("ﾀﾞｳﾝﾛｰﾄﾞ後切断", (TRAY,)))
        self.assertEqual(resolve(parse("ログをファイルに保存"), screen()), Greyed("ログをファイルに保存...", ("SysLog",)))
        self.assertEqual(resolve(parse("テスト"), screen(shown=SETTINGS)), Greyed("テスト", ("設定",)))

    def test_unknown_lines_suggest_what_is_usable_now(self):
        self.assertEqual(resolve(parse("切"), screen()), Unknown(("切断",)))
        self.assertEqual(resolve(parse("接続する"), screen()), Unknown(("接続",)))
        self.assertEqual(resolve(parse("ポート2接続"), screen()), Unknown(("接続",)))
        everything = resolve(parse("リセット"), screen(shown=""))
        self.assertEqual(everything, Unknown(("接続", "切断", "メモ帳", "設定", "SysLogを表示", "ﾊﾞｰｼﾞｮﾝ情報", "終了")))

    def test_a_window_named_that_is_not_open(self):
        self.assertEqual(resolve(parse("メモ:送信"), screen()), NoPlace("メモ", ("バージョン情報", "SysLog", TRAY)))
        self.assertIsInstance(resolve(parse("SysLog:接続"), screen()), Unknown)

    def test_question_mark_lists_and_blank_lines_do_nothing(self):
        self.assertEqual(parse("?"), ListItems())
        self.assertEqual(parse("？"), ListItems())
        self.assertIsNone(parse("  "))

    def test_folding(self):
        self.assertEqual(fold("ﾍﾙﾌﾟ"), "ヘルプ")
        self.assertEqual(fold("ＡＢＣ"), "abc")


class Telling(unittest.TestCase):
    def test_a_box_is_told_with_its_message_and_buttons(self):
        box, viewer = parse_shown(SHOWN)
        self.assertEqual(describe(box), "[バージョン情報]  Routavista Monitor Ver2.04 (c) 2026  (OK: type one to press it)")
        self.assertEqual(describe(viewer), "[SysLog]  (menu: ログをコピー, 終了, 再読み込み)")

    def test_the_panel_is_told_as_the_panel_not_as_the_program(self):
        panel, = parse_shown("window\t0x9\tRoutavistaMonitorMain\tRoutavista Monitor\t1")
        self.assertEqual((describe(panel), describe_gone(panel)), ("[パネル]  shown.", "[パネル] hidden."))
        box, _ = parse_shown(SHOWN)
        self.assertEqual(describe_gone(box), "[バージョン情報] closed.")

    def test_a_form_is_told_without_its_labels(self):
        settings, _ = parse_shown(SETTINGS)
        self.assertEqual(describe(settings), "[設定]  (設定: type one to press it)  (pages: 基本設定, ランチャー)  "
                                             "(LABEL=text fills a text box; ? lists them)")
        memo, = parse_shown("window\t0x7\t#32770\t簡易メモ送信\t1\nfield\t0x8\tenabled\t\t\ntext\t送信先\n"
                            "field\t0x9\tenabled\t192.0.2.10\t送信先\nbutton\t0xa\tenabled\t送信")
        self.assertEqual(describe(memo), "[簡易メモ送信]  (送信: type one to press it)  "
                                         "(LABEL=text fills a text box; ? lists them)")

    def test_listing_marks_greyed_items_and_checkboxes(self):
        lines = listing(screen(shown=SETTINGS))
        self.assertIn("  [設定]:", lines)
        self.assertIn("    シリアルポート2も使用する [x]", lines)
        self.assertIn("    アイコントレイに入っているときのメニューを入れ替える [ ]", lines)
        self.assertIn("    テスト  (使えません)", lines)
        self.assertIn("    ﾌｧｲﾙ > 終了  (使えません)", lines)
        self.assertIn("    page ランチャー  (open)", lines)
        self.assertIn("    page 基本設定", lines)
        self.assertIn("    設定#1", lines)
        self.assertIn("    設定#7", lines)
        self.assertIn("    タイトル#1 = 'メール'", lines)
        self.assertIn("    タイトル#2 = ''", lines)
        self.assertIn("    #1 = ''", lines)
        self.assertIn("    Routavistaユーティリティの場所 = 'C:\\RV\\RV.exe'  (使えません)", lines)
        self.assertIn("    接続時に起動 = 'on'  (one of a list)", lines)
        self.assertIn(f"  {TRAY}:", lines)
        self.assertIn("    ﾀﾞｳﾝﾛｰﾄﾞ後切断  (使えません)", lines)


if __name__ == "__main__":
    unittest.main()
