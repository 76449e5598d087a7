"""The demo run's reading of typed lines."""

import unittest

from demo_commands import Answer, Command, ListItems, Unknown, fold, parse

MENU = [("N1", "接続"), ("N2", "切断"), ("N9", "-"), ("N10", "ポート2接続"), ("N4", "ﾀﾞｳﾝﾛｰﾄﾞ後切断"),
        ("openver_n1", "ﾊﾞｰｼﾞｮﾝ情報"), ("syslog1", "SysLogを表示"), ("Exit1", "終了")]
SHOWN = ["接続", "切断", "ﾀﾞｳﾝﾛｰﾄﾞ後切断", "ﾊﾞｰｼﾞｮﾝ情報", "SysLogを表示", "終了"]


class TypedLines(unittest.TestCase):
    def test_captions_match_whatever_the_width_and_case(self):
        for typed, name in [("接続", "N1"), (" 終了 ", "Exit1"), ("バージョン情報", "openver_n1"),
                            ("ﾊﾞｰｼﾞｮﾝ情報", "openver_n1"), ("ダウンロード後切断", "N4"),
                            ("syslogを表示", "syslog1"), ("ＳｙｓＬｏｇを表示", "syslog1")]:
            with self.subTest(typed=typed):
                action = parse(typed, MENU, SHOWN)
                self.assertIsInstance(action, Command)
                self.assertEqual(action.name, name)
        self.assertEqual(parse("バージョン情報", MENU, SHOWN).caption, "ﾊﾞｰｼﾞｮﾝ情報")

    def test_answers_to_a_box(self):
        for typed, button in [("OK", "OK"), ("ok", "OK"), ("ＯＫ", "OK"), ("はい", "はい"), ("ﾊｲ", None),
                              ("yes", "はい"), ("いいえ", "いいえ"), ("No", "いいえ")]:
            with self.subTest(typed=typed):
                action = parse(typed, MENU, SHOWN)
                if button:
                    self.assertEqual(action, Answer(button))
                else:
                    self.assertIsInstance(action, Unknown)

    def test_question_mark_lists_and_blank_lines_do_nothing(self):
        self.assertEqual(parse("?", MENU, SHOWN), ListItems())
        self.assertEqual(parse("？", MENU, SHOWN), ListItems())
        self.assertIsNone(parse("  ", MENU, SHOWN))

    def test_unknown_lines_suggest_only_items_the_menus_show(self):
        self.assertEqual(parse("ポート", MENU, SHOWN), Unknown(tuple(SHOWN)))
        self.assertEqual(parse("切", MENU, SHOWN), Unknown(("切断", "ﾀﾞｳﾝﾛｰﾄﾞ後切断")))
        self.assertEqual(parse("接続する", MENU, SHOWN), Unknown(("接続",)))

    def test_folding(self):
        self.assertEqual(fold("ﾍﾙﾌﾟ"), "ヘルプ")
        self.assertEqual(fold("ＡＢＣ"), "abc")


if __name__ == "__main__":
    unittest.main()
