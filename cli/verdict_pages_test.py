#!/usr/bin/env python3
"""quorrix-report's verdict page (12) against its own pages 6, 7, 10, 2 and 4, run on each
folder of saved data under the fixture roots: every run succeeds, each verdict figure is the
one its page shows, the lines of parts not given are 未知, and the last line counts the others.

Usage: verdict_pages_test.py FIXTURE_ROOT... -- REPORT_COMMAND...
(QUORRIX_FIXTURES_DIR, when set, names the fixtures instead, with fixtures-extra beside them.)
Exit 0 when all agree, 1 on any difference, 77 when no fixture root exists.
"""
import os
import re
import subprocess
import sys


def run(report, args):
    done = subprocess.run(report + args, stdin=subprocess.DEVNULL, capture_output=True)
    if done.returncode != 0:
        raise AssertionError(f"exit {done.returncode} for {args}: {done.stderr[:200]!r}")
    return done.stdout.decode("utf-8")


def page(report, args, number):
    """The page's lines as {label: value}; the value exactly as shown."""
    lines = {}
    for line in run(report, args + ["--page", str(number)]).split("\n"):
        if "：" in line:
            label, value = line.split("：", 1)
            lines[label.rstrip(" ")] = value
    return lines


def verdict(report, args):
    """The verdict's lines in order, as (label, status, figure or None)."""
    rows = []
    for line in run(report, args + ["--page", "12"]).rstrip("\n").split("\n"):
        label, value = line.split("：", 1)
        m = re.fullmatch(r"(正常|注意|异常)（(.*)）", value)
        if m:
            rows.append((label.rstrip(" "), m.group(1), m.group(2)))
        else:
            rows.append((label.rstrip(" "), value, None))
    return rows


def unit_cut(value, unit):
    return value[: -len(unit)] if unit and value.endswith(unit) else value


class Check:
    def __init__(self, name, rows):
        self.name = name
        self.rows = {label: (status, figure) for label, status, figure in rows}
        self.order = [label for label, _, _ in rows]
        self.problems = []

    def expect(self, label, figure):
        """The line `label` shows `figure`, or 未知 when figure is None; absent when False."""
        if figure is False:
            if label in self.rows:
                self.problems.append(f"{label}: shown, but does not apply")
            return
        got = self.rows.get(label)
        if got is None:
            self.problems.append(f"{label}: missing")
        elif figure is None and got != ("未知", None):
            self.problems.append(f"{label}: {got}, its page shows no figure")
        elif figure is not None and got[1] != figure:
            self.problems.append(f"{label}: {got}, its page gives {figure!r}")

    def frame(self, known):
        """Every line outside `known` is 未知; the conclusion counts the others."""
        for label in self.order[:-1]:
            if label not in known and self.rows[label][0] != "未知":
                self.problems.append(f"{label}: {self.rows[label]} from data that was not given")
        faults = sum(1 for l in self.order[:-1] if self.rows[l][0] == "异常")
        attentions = sum(1 for l in self.order[:-1] if self.rows[l][0] == "注意")
        want = f"异常 {faults} 项，注意 {attentions} 项" if faults or attentions else "未发现问题"
        if self.order[-1] != "结论" or self.rows["结论"][0] != want:
            self.problems.append(f"结论: {self.rows.get('结论')}, the lines give {want!r}")


def shown_or_dash(value):
    return value if value.strip(" \t") else "-"


def check_battery(report, folder):
    args = ["--power-supply", folder]
    p7 = page(report, args, 7)
    c = Check(folder, verdict(report, args))
    wear = unit_cut(p7["电池损耗"], "%")
    cycles = unit_cut(p7["充放电次数"], " (参考)")
    c.expect("电池损耗", f"损耗 {wear}%" if wear else None)
    c.expect("电池循环", f"循环 {cycles} 次" if cycles else None)
    c.frame({"电池损耗", "电池循环"})
    return c


def check_drive(report, folder):
    args = ["--disk-dump", folder]
    p6 = page(report, args, 6)
    c = Check(folder, verdict(report, args))
    hours = unit_cut(p6["硬盘使用时间"], " 小时")
    c.expect("硬盘通电", f"通电 {hours} 小时" if hours else None)
    known = {"硬盘通电"}
    if "重映射扇区数" in p6:
        counts = [unit_cut(p6[l], " 个") for l in ("重映射扇区数", "待映射扇区数", "不可修复扇区")]
        shown = [n if n else "-" for n in counts]
        figure = f"重映射 {shown[0]}，待映射 {shown[1]}，不可修复 {shown[2]}"
        c.expect("硬盘坏块", figure if any(counts) else None)
        c.expect("硬盘寿命", False)
        known.add("硬盘坏块")
    elif "已用寿命" in p6:
        used, spare = unit_cut(p6["已用寿命"], "%"), unit_cut(p6["可用备用空间"], "%")
        errors = unit_cut(p6["介质错误数"], " 次")
        got = c.rows.get("硬盘寿命", ("", None))[1] or ""
        want = re.escape(f"已用 {used}%，备用 {spare}%，阈值 ") + r"\d+%" + re.escape(f"，错误 {errors}，警告 ") + r"\d+"
        if used and not re.fullmatch(want, got):
            c.problems.append(f"硬盘寿命: {got!r}, page 6 gives {used}%, {spare}%, {errors}")
        c.expect("硬盘寿命", None if not used else got)
        c.expect("硬盘坏块", False)
        known.add("硬盘寿命")
    c.frame(known)
    return c


def check_panel(report, folder):
    args = ["--edid", os.path.join(folder, "edid.bin")]
    p10 = page(report, args, 10)
    c = Check(folder, verdict(report, args))
    bits = unit_cut(p10["色深"], " 位")
    depth = f"，{bits} 位" if bits else ""
    if p10["校验和"] == "错误":
        c.expect("屏幕", "校验和错误" + depth)
    else:
        c.expect("屏幕", "校验和正确" + depth if bits else None)
    c.frame({"屏幕"})
    return c


def check_firmware(report, folder):
    args = ["--dmi-dir", folder]
    system = page(report, args, 2)["产品序列号"]
    board = page(report, args, 4)["主板序列号"]
    c = Check(folder, verdict(report, args))
    c.expect("整机序列号", f"整机 {shown_or_dash(system)}，主板 {shown_or_dash(board)}")
    c.frame({"整机序列号"})
    return c


def main(argv):
    if "--" not in argv:
        print(__doc__)
        return 2
    split = argv.index("--")
    roots = argv[1:split]
    # As for the unit tests, QUORRIX_FIXTURES_DIR names the fixtures elsewhere.
    if os.environ.get("QUORRIX_FIXTURES_DIR"):
        named = os.environ["QUORRIX_FIXTURES_DIR"]
        roots = [named, os.path.join(os.path.dirname(os.path.abspath(named)), "fixtures-extra")]
    roots = [r for r in roots if os.path.isdir(r)]
    report = argv[split + 1 :]
    if not roots:
        print("no fixture folders: skipped")
        return 77
    checked = failed = 0
    for root in roots:
        for folder, dirs, files in sorted(os.walk(root)):
            dirs.sort()
            if os.path.basename(folder) == "power_supply":
                checker = check_battery
            elif "edid.bin" in files:
                checker = check_panel
            elif "DMI" in files:
                checker = check_firmware
            elif ("identify.bin" in files and "smart.bin" in files) or (
                "id-ctrl.bin" in files and "smart-log.bin" in files
            ):
                checker = check_drive
            else:
                continue
            checked += 1
            try:
                problems = checker(report, folder).problems
            except (AssertionError, KeyError, ValueError) as e:
                problems = [f"{type(e).__name__}: {e}"]
            if problems:
                failed += 1
                for p in problems:
                    print(f"DIFF {folder}: {p}")
    print(f"{checked - failed} passed, {failed} failed")
    return 1 if failed or not checked else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
