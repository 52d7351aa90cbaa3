#!/usr/bin/python3
"""make-access-file writes Access files that two independent readers, libmdb's
mdb-export and npm's mdb-reader, read back value for value as the CSV has them."""

import csv
import json
import os
import subprocess
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
MAKE = os.path.join(HERE, "make-access-file")
READ = os.path.join(HERE, "read-access-file.mjs")

COLUMNS = """
    选型编号 仪表型号规格 使用介质 最小标况流量 最大标况流量 压缩因子 Zn_Zg_1 Zn_Zg_2
    最小绝压 最大绝牙 最低温度 最高温度 参比条件 CO2摩尔含量 H2摩尔含量 高位发热量
    相对密度 卡表结算单位 综合准确度 最小工况流量 最大工况流量 产品名称 基表产地
    机械计数器 卡控 通经 公称压力 基表准确度 修正仪型号 安装形式 GPRS 短程无线 电流输出
    HART 防爆类型 修正方式 温度传感器L 温度传感器H 压力传感器上限 修正仪准确度
    显示转换系数 机械计数器带脉冲 连接方式 通径规格 温度最大误差
""".split()
PRODUCT = COLUMNS.index("产品名称")

# Chinese, Latin-only (kept compressed), Latin-1 beyond ASCII, too short to
# compress, mixed, empty, and the characters CSV must quote.
SAMPLES = [
    "天然气", "TBQM-G65 DN80", "Ølø µm", "A", "G65 燃气表", "", '"', ",", "\n", 'a "b", c\r\nd', "20℃,101.325kPa"
]


def fixture_rows():
    rows = [[SAMPLES[(i + j) % len(SAMPLES)] for j in range(len(COLUMNS))] for i in range(3000)]
    for i, row in enumerate(rows):
        row[0] = str(20130509001 + i)
        # Wide rows put the table on more pages than a usage map kept within its row covers.
        row[PRODUCT] = f"气体涡轮流量计{i}" * 12
    rows[0][1] = "涡" * 255
    rows[0][2] = "G" * 255
    return rows


def run(*command):
    # Bytes, decoded here: text mode would turn the CR LF inside values into LF.
    done = subprocess.run(command, capture_output=True)
    if done.returncode != 0:
        raise AssertionError(f"{command[0]} failed: {done.stderr.decode(errors='replace')}")
    return done.stdout.decode()


def libmdb_rows(mdb, table):
    """The table as mdb-export shows it: names, then rows; an unquoted empty field is None."""
    text = run("mdb-export", "-d", "\x1f", "-R", "\x1e", mdb, table)
    lines = text.split("\x1e")[:-1]
    rows = []
    for line in lines[1:]:
        rows.append([f[1:-1].replace('""', '"') if f else None for f in line.split("\x1f")])
    return lines[0].split("\x1f"), rows


class MakeAccessFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.isdir(os.path.join(ROOT, "node_modules", "mdb-reader")):
            raise AssertionError("mdb-reader is missing: run `npm ci` in the repository root")
        cls.dir = tempfile.TemporaryDirectory()
        cls.rows = fixture_rows()
        cls.csv = os.path.join(cls.dir.name, "rows.csv")
        with open(cls.csv, "w", encoding="utf-8-sig", newline="") as f:
            csv.writer(f).writerows([COLUMNS] + cls.rows)

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def assertSameRows(self, found, expected):
        # Row by row: a diff of the whole table would take minutes.
        self.assertEqual(len(found), len(expected))
        for number, (got, want) in enumerate(zip(found, expected), 1):
            if got != want:
                self.assertEqual(got, want, f"row {number}")

    def test_both_readers_read_back_every_value(self):
        # libmdb hands out an empty string as it does NULL; only mdb-reader tells them apart.
        cases = [
            ([], "选型输出", ""),
            (["--null-empty", "--table", "旧表"], "旧表", None),
        ]
        for options, table, empty in cases:
            with self.subTest(options=options):
                mdb = os.path.join(self.dir.name, f"{table}.mdb")
                run(MAKE, self.csv, mdb, *options)
                with open(mdb, "rb") as f:
                    written = f.read()
                # The readers get both of Jet 4's text encodings: compressed and UCS-2.
                both = [b"\xff\xfe" + "Ølø µm".encode("latin-1"), b"\xff\xfeTBQM-G65 DN80", "天然气".encode("utf-16-le")]
                for stored in both:
                    self.assertTrue(stored in written, f"{stored!r} is not in the file")

                self.assertEqual(run("mdb-tables", "-1", mdb).split(), [table])
                names, rows = libmdb_rows(mdb, table)
                self.assertEqual(names, COLUMNS)
                self.assertSameRows(rows, [[v or None for v in row] for row in self.rows])

                found = json.loads(run("node", READ, mdb, table))
                self.assertEqual(found["tables"], [table])
                self.assertEqual(found["password"], "qelvo")
                text_255 = [{"name": n, "type": "text", "size": 510} for n in COLUMNS]  # size in bytes of UCS-2
                self.assertEqual(found["columns"], text_255)
                self.assertSameRows(found["rows"], [[v if v else empty for v in row] for row in self.rows])

    def test_a_value_over_255_characters_is_refused(self):
        # Chinese is kept as UCS-2, Latin compressed: each has its own count.
        for value in ["长" * 256, "G" * 256]:
            with self.subTest(value=value[0]):
                path = os.path.join(self.dir.name, "long.csv")
                with open(path, "w", encoding="utf-8", newline="") as f:
                    rows = [["选型编号", "产品名称"], ["20130509001", "短"], ["20130509002", value]]
                    csv.writer(f).writerows(rows)
                mdb = os.path.join(self.dir.name, "long.mdb")
                done = subprocess.run([MAKE, path, mdb], capture_output=True, text=True)
                self.assertNotEqual(done.returncode, 0)
                self.assertIn("line 3, column 产品名称: 256 characters", done.stderr)
                self.assertFalse(os.path.exists(mdb))


if __name__ == "__main__":
    unittest.main()
