"""tarvisk-lookup as a user runs it, natively or as the Windows program under Wine; both must print the same bytes.

    TARVISK_LOOKUP=path/to/tarvisk-lookup[.exe] TARVISK_DATA=path/to/data [TARVISK_WINE_RUN=tools/wine-run.sh
    TARVISK_WINE_BUILD=build/cross] python3 test_cli.py

Expected answers come from the dictionary files themselves, read here independently: white-space separated GBK
tokens, the first token of a character wins.
"""
import json
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

PROGRAM = pathlib.Path(os.environ["TARVISK_LOOKUP"]).resolve()
DATA = pathlib.Path(os.environ["TARVISK_DATA"]).resolve()
WINE_RUN = os.environ.get("TARVISK_WINE_RUN")
VERSION = (pathlib.Path(__file__).resolve().parents[2] / "VERSION").read_text().strip()
FILES = {"86": "86.dll", "98": "98.dll", "rare": "fm.dll", "pinyin": "py.dll"}


def read_table(path):
    table = {}
    for token in path.read_bytes().split():
        table.setdefault(token[:2], token[2:].decode("gbk"))
    return table


TABLES = {column: read_table(DATA / name) for column, name in FILES.items()}


def wine_environment():
    if not WINE_RUN:
        return None
    shell = subprocess.run([WINE_RUN, "--build", os.environ["TARVISK_WINE_BUILD"], "--shell"],
                           check=True, capture_output=True, text=True).stdout
    printed = subprocess.run(["bash", "-c", shell + "\nenv -0"], check=True, capture_output=True).stdout
    return dict(item.split("=", 1) for item in printed.decode().split("\0") if "=" in item)


WINE_ENV = wine_environment()


def native_path(path):
    """A path as the program under test names it: Wine sees the Unix root as drive Z:."""
    return "Z:" + str(path).replace("/", "\\") if WINE_ENV else str(path)


def run(*args, stdin=b"", cwd=None, program=PROGRAM):
    """(exit status, stdout, stderr as text). Output goes through files: Wine's helpers may hold on to a pipe."""
    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        (scratch / "in").write_bytes(stdin)
        command = (["wine", str(program)] if WINE_ENV else [str(program)]) + list(args)
        with open(scratch / "in", "rb") as given, open(scratch / "out", "wb") as out, \
                open(scratch / "err", "wb") as err:
            status = subprocess.run(command, stdin=given, stdout=out, stderr=err, cwd=cwd or scratch,
                                    env=WINE_ENV, timeout=120).returncode
        return status, (scratch / "out").read_bytes().decode("utf-8"), (scratch / "err").read_bytes().decode()


def lookup(*args, **kwargs):
    return run("--data", native_path(DATA), *args, **kwargs)


def expected_row(character, columns=("86", "98", "pinyin")):
    key = character.encode("gbk")
    return [character, "found"] + [TABLES[column][key] for column in columns]


def tsv_rows(output):
    lines = output.splitlines()
    return lines[0].split("\t"), [line.split("\t") for line in lines[1:]]


class Input(unittest.TestCase):
    def test_arguments_and_standard_input_give_the_same_rows(self):
        status, text, _ = lookup("五笔字型")
        self.assertEqual(status, 0)
        lines = text.splitlines()
        self.assertEqual(lines[0], "字  86    98    拼音")
        self.assertEqual(len(lines), 5)
        for line, character in zip(lines[1:], "五笔字型"):
            _, _, code86, code98, reading = expected_row(character)
            self.assertEqual(line, f"{character}  {code86:<6}{code98:<6}{reading}")
        self.assertEqual(lookup("五笔", "字型")[1], text)
        # Lines, blank lines and the ideographic space only separate characters.
        self.assertEqual(lookup("-e", "utf-8", stdin="五笔\n\n\u3000字 型\r\n".encode())[1], text)

    def test_standard_input_in_gbk_and_with_a_byte_order_mark(self):
        passage = "教师用五笔\n检查课文\n"
        expected = lookup("-f", "tsv", passage)[1]
        self.assertEqual(lookup("-f", "tsv", "-e", "gbk", stdin=passage.encode("gbk"))[1], expected)
        self.assertEqual(lookup("-f", "tsv", stdin=b"\xef\xbb\xbf" + passage.encode())[1], expected)

    def test_empty_input(self):
        self.assertEqual(lookup(""), (0, "", ""))
        self.assertEqual(lookup("-f", "tsv", stdin=b"")[:2], (0, "char\tstatus\t86\t98\tpinyin\n"))
        self.assertEqual(lookup("-f", "json", stdin=b" \n")[:2], (0, "[]\n"))

    def test_mixed_text_reports_every_character_and_fails_only_on_chinese_left_unanswered(self):
        status, output, _ = lookup("-f", "tsv", "我用 Wubi，😀")
        self.assertEqual(status, 0)
        rows = tsv_rows(output)[1]
        self.assertEqual([row[:2] for row in rows],
                         [["我", "found"], ["用", "found"]] + [[c, "not-chinese"] for c in "Wubi，😀"])
        self.assertTrue(all(row[2:] == ["", "", ""] for row in rows[2:]))
        # U+20000 is a Chinese character that GBK, and so every dictionary, lacks.
        status, output, _ = lookup("-f", "tsv", "\U00020000的")
        self.assertEqual(status, 1)
        self.assertEqual(tsv_rows(output)[1], [["\U00020000", "not-gbk", "", "", ""], expected_row("的")])

    def test_bytes_that_are_not_utf8_are_named_and_the_rest_still_answered(self):
        status, output, _ = lookup("-e", "utf-8", "-f", "tsv", stdin="五".encode() + b"\xff\xe4\xb8\n" + "笔".encode())
        self.assertEqual(status, 1)
        self.assertEqual(tsv_rows(output)[1], [expected_row("五"), ["\\xFF", "invalid", "", "", ""],
                                               ["\\xE4", "invalid", "", "", ""], ["\\xB8", "invalid", "", "", ""],
                                               expected_row("笔")])
        # Control characters never reach the terminal as they are.
        self.assertIn("\\x1B", lookup("\x1b[31m")[1])

    def test_the_whole_gbk_repertoire_is_answered_as_the_files_say(self):
        characters = sorted({key.decode("gbk") for table in TABLES.values() for key in table})
        status, output, _ = lookup("-f", "tsv", "-c", "pinyin,rare,86,98", "-e", "utf-8",
                                   stdin="\n".join(characters).encode())
        self.assertEqual(status, 1)  # no table holds every character
        header, rows = tsv_rows(output)
        self.assertEqual(header, ["char", "status", "pinyin", "rare", "86", "98"])
        self.assertEqual(len(rows), len(characters))
        for character, row in zip(characters, rows):
            key = character.encode("gbk")
            values = [TABLES[column].get(key) for column in header[2:]]
            status = "found" if None not in values else "missing"
            self.assertEqual(row, [character, status] + [value or "" for value in values])


class Formats(unittest.TestCase):
    passage = "的了，好"

    def test_json_parses_and_lists_every_reading(self):
        status, output, _ = lookup("-f", "json", "-c", "98,pinyin", self.passage)
        self.assertEqual(status, 0)
        rows = json.loads(output)
        readings = TABLES["pinyin"]["的".encode("gbk")].split(",")
        self.assertGreater(len(readings), 1)
        self.assertEqual(rows[0], {"char": "的", "status": "found", "98": TABLES["98"]["的".encode("gbk")],
                                   "pinyin": readings})
        self.assertEqual(rows[2], {"char": "，", "status": "not-chinese", "98": None, "pinyin": None})
        self.assertEqual([row["char"] for row in rows], list(self.passage))

    def test_tsv_has_the_chosen_columns_in_order_on_every_row(self):
        status, output, _ = lookup("--format=tsv", "--columns=rare,86", self.passage + "龘")
        header, rows = tsv_rows(output)
        self.assertEqual(header, ["char", "status", "rare", "86"])
        self.assertTrue(all(len(row) == 4 for row in rows))
        self.assertEqual(rows[0], ["的", "missing", "", TABLES["86"]["的".encode("gbk")]])
        self.assertEqual(rows[-1], expected_row("龘", ("rare", "86")))
        self.assertEqual(status, 1)

    def test_text_names_what_has_no_answer(self):
        status, output, _ = lookup("-c", "rare,pinyin", "的A\U00020000")
        self.assertEqual(output.splitlines(), [
            "字  罕见字  拼音", "的  无      " + TABLES["pinyin"]["的".encode("gbk")], "A   （不是汉字）",
            "\U00020000  （GBK 里没有这个字，词典里查不到）"])


class Dictionaries(unittest.TestCase):
    def test_a_missing_dictionary_is_named_and_nothing_is_printed(self):
        with tempfile.TemporaryDirectory() as empty:
            status, output, error = run("--data", native_path(empty), "五")
            self.assertEqual((status, output), (2, ""))
            self.assertIn("找不到 86.dll", error)
            self.assertIn(native_path(empty), error)
            # Only the tables asked for are needed.
            shutil.copy(DATA / "py.dll", empty)
            self.assertEqual(run("--data", native_path(empty), "-c", "pinyin", "五")[0], 0)

    def test_the_programs_folder_comes_before_the_current_folder_and_the_first_entry_wins(self):
        with tempfile.TemporaryDirectory() as beside, tempfile.TemporaryDirectory() as current:
            program = pathlib.Path(beside) / PROGRAM.name
            shutil.copy(PROGRAM, program)
            (pathlib.Path(beside) / "86.dll").write_bytes("五aaaa 五bbbb\r\n".encode("gbk"))
            (pathlib.Path(current) / "86.dll").write_bytes("五cccc".encode("gbk"))
            (pathlib.Path(current) / "98.dll").write_bytes("五dddd\n".encode("gbk"))
            status, output, _ = run("-f", "tsv", "-c", "86,98", "五", cwd=current, program=program)
            self.assertEqual((status, tsv_rows(output)[1]), (0, [["五", "found", "aaaa", "dddd"]]))

    def test_a_damaged_entry_shows_what_it_can(self):
        with tempfile.TemporaryDirectory() as folder:
            (pathlib.Path(folder) / "86.dll").write_bytes("五".encode("gbk") + b"a\x01\xff\n")
            status, output, _ = run("--data", native_path(folder), "-f", "tsv", "-c", "86", "五")
            self.assertEqual(tsv_rows(output)[1], [["五", "found", "a\\x01\ufffd"]])


class CommandLine(unittest.TestCase):
    def test_refusals_say_why_and_exit_with_2(self):
        for args, reason in [(["--colour", "五"], "不认识的选项 --colour"), (["-c", "86,wubi"], "不认识的列 \"wubi\""),
                             (["-c", "86,86"], "列 86 写了两次"), (["-f", "xml"], "不认识的格式 \"xml\""),
                             (["-e", "big5"], "不认识的编码 \"big5\""), (["五", "--format"], "选项 --format 后面缺少值")]:
            status, output, error = lookup(*args)
            self.assertEqual((status, output), (2, ""), args)
            self.assertIn(reason, error)

    def test_help_version_and_text_after_the_end_of_options(self):
        status, output, _ = run("--help")
        self.assertEqual(status, 0)
        self.assertIn("--columns", output)
        self.assertEqual(run("--version")[:2], (0, f"tarvisk-lookup {VERSION}\n"))
        status, output, _ = lookup("-f", "tsv", "--", "-c")
        self.assertEqual([row[:2] for row in tsv_rows(output)[1]], [["-", "not-chinese"], ["c", "not-chinese"]])


if __name__ == "__main__":
    unittest.main(verbosity=2)
