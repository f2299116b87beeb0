#!/usr/bin/env python3
"""quorrix-report on emulated hardware, checked against the guest's own tools.

Boots a small Linux guest (Debian's kernel, a busybox initramfs) under QEMU twice, with
SMBIOS values this test chooses, an AHCI SATA disk and an NVMe disk in both bus orders, and
an ACPI battery described by an SSDT compiled with iasl. Inside the guest it runs
quorrix-report as root and as an ordinary user, and dmidecode, smartctl, nvme-cli and
/sys/class/power_supply as the references. Back on the host, each of pages 1 to 7 is rebuilt
byte for byte from the references and compared with what quorrix-report printed.
With --probe, the guest also runs quorrix-probe as root and, as the ordinary user, builds
pages 1 to 7 from its stream the way the window does (quorrix-probe-pages); each must equal
the page read directly as root, byte for byte.

Exit status: 0 all checks passed, 1 a check failed or the guest did not finish, 77 (skipped)
when this machine cannot run QEMU at all.
"""

import argparse
import base64
import fcntl
import json
import lzma
import os
import re
import secrets
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

SKIP = 77
HOST_TOOLS = {  # program -> Debian package
    "qemu-system-x86_64": "qemu-system-x86",
    "iasl": "acpica-tools",
    "dmidecode": "dmidecode",
    "smartctl": "smartmontools",
    "nvme": "nvme-cli",
    "dpkg-deb": "dpkg",
    "apt-get": "apt",
}
BUSYBOX = Path("/bin/busybox")  # busybox-static
GCONV = Path("/usr/lib/x86_64-linux-gnu/gconv")
GUEST_MODULES = ["sd_mod", "sg", "battery", "ac"]  # after the disk drivers, in bus order


def log(message):
    print(f"e2e: {message}", flush=True)


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs)


# ----------------------------------------------------------------------------- host set-up

def ensure_host_tools():
    """Installs the Debian packages this test needs; returns a reason to skip, or None."""
    missing = sorted({pkg for prog, pkg in HOST_TOOLS.items() if not shutil.which(prog)})
    if not BUSYBOX.exists():
        missing.append("busybox-static")
    if not missing:
        return None
    if os.geteuid() != 0:
        return f"missing {' '.join(missing)} and not root to install them"
    log(f"installing {' '.join(missing)}")
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    cmd = ["apt-get", "install", "-y", "-q", "--no-install-recommends", *missing]
    if subprocess.run(cmd, env=env, stdout=sys.stderr).returncode != 0:
        subprocess.run(["apt-get", "update", "-q"], env=env, stdout=sys.stderr)
        if subprocess.run(cmd, env=env, stdout=sys.stderr).returncode != 0:
            return f"apt-get install {' '.join(missing)} failed"
    if not shutil.which("qemu-system-x86_64"):
        return "qemu-system-x86_64 is not available"
    return None


def cache_dir():
    for base in (Path(os.environ.get("QUORRIX_E2E_CACHE", "")), Path("/var/cache/quorrix-e2e"),
                 Path(os.environ.get("XDG_CACHE_HOME", Path.home() / ".cache")) / "quorrix-e2e"):
        if not str(base) or str(base) == ".":
            continue
        try:
            base.mkdir(parents=True, exist_ok=True)
            if os.access(base, os.W_OK):
                return base
        except OSError:
            pass
    raise RuntimeError("no writable cache folder")


def kernel_package(cache):
    """The kernel package linux-image-amd64 points at, remembered so later runs stay offline."""
    remembered = cache / "kernel-package"
    if remembered.exists():
        return remembered.read_text().strip()

    def resolve():
        out = subprocess.run(["apt-cache", "depends", "linux-image-amd64"], capture_output=True,
                             text=True).stdout
        found = re.search(r"Depends: (linux-image-\d\S*-amd64)", out)
        return found.group(1) if found else None

    name = resolve()
    if not name and os.geteuid() == 0:
        subprocess.run(["apt-get", "update", "-q"], stdout=sys.stderr)
        name = resolve()
    if not name:
        raise RuntimeError("cannot resolve linux-image-amd64 (apt-get update?)")
    remembered.write_text(name + "\n")
    return name


# Module folders the guest may need: disk drivers, SCSI, ACPI battery, and what they depend on.
KERNEL_MEMBERS = ["./boot/vmlinuz-*", "./lib/modules/*/modules.builtin",
                  "./lib/modules/*/kernel/drivers/ata/*", "./lib/modules/*/kernel/drivers/scsi/*",
                  "./lib/modules/*/kernel/drivers/nvme/*", "./lib/modules/*/kernel/drivers/acpi/*",
                  "./lib/modules/*/kernel/lib/*", "./lib/modules/*/kernel/crypto/*",
                  "./lib/modules/*/kernel/block/*", "./lib/modules/*/kernel/arch/x86/crypto/*"]


def prepare_kernel(cache):
    """Downloads and unpacks the kernel once; returns (kernel image, modules folder)."""
    name = kernel_package(cache)
    kdir = cache / name
    if not (kdir / ".ok").exists():
        log(f"fetching {name}")
        shutil.rmtree(kdir, ignore_errors=True)
        tmp = cache / (name + ".tmp")
        shutil.rmtree(tmp, ignore_errors=True)
        tmp.mkdir()
        dl = subprocess.run(["apt-get", "download", "-o", "APT::Sandbox::User=root", name],
                            cwd=tmp, capture_output=True, text=True)
        debs = list(tmp.glob("*.deb"))
        if not debs:
            raise RuntimeError(f"apt-get download {name} failed: {dl.stderr.strip()}")
        root = tmp / "root"
        root.mkdir()
        fs = subprocess.Popen(["dpkg-deb", "--fsys-tarfile", str(debs[0])], stdout=subprocess.PIPE)
        subprocess.run(["tar", "-x", "-C", str(root), "--wildcards", *KERNEL_MEMBERS],
                       stdin=fs.stdout, check=True)
        if fs.wait() != 0:
            raise RuntimeError(f"cannot unpack {debs[0]}")
        vmlinuz = next(root.glob("boot/vmlinuz-*"))
        vmlinux = extract_vmlinux(vmlinuz.read_bytes())
        if vmlinux:
            (root / "boot" / "vmlinux").write_bytes(vmlinux)
        debs[0].unlink()
        root.rename(kdir)
        shutil.rmtree(tmp)
        (kdir / ".ok").touch()
    moddir = next((kdir / "lib/modules").iterdir())
    image = kdir / "boot/vmlinux"
    if not image.exists():
        image = next(kdir.glob("boot/vmlinuz-*"))
    return image, moddir


def extract_vmlinux(bzimage):
    """The ELF kernel inside a bzImage whose payload is xz, for QEMU's direct PVH boot, which
    skips the firmware and the decompressor (seconds under software emulation)."""
    start = bzimage.find(b"\xfd7zXZ\x00")
    if start < 0:
        return None
    try:
        elf = lzma.LZMADecompressor(format=lzma.FORMAT_XZ).decompress(bzimage[start:])
    except lzma.LZMAError:
        return None
    return elf if elf.startswith(b"\x7fELF") else None


def module_closure(moddir, wanted):
    """Paths of `wanted` modules and their dependencies, dependencies first."""
    index = {}
    for path in (moddir / "kernel").rglob("*.ko"):
        index[path.stem.replace("-", "_")] = path
    builtin = {Path(line.strip()).stem.replace("-", "_")
               for line in (moddir / "modules.builtin").read_text().splitlines()}
    order, seen = [], set()

    def add(name):
        name = name.replace("-", "_")
        if name in seen or name in builtin:
            return
        seen.add(name)
        if name not in index:
            raise RuntimeError(f"kernel module {name} not found under {moddir}")
        data = index[name].read_bytes()
        deps = re.search(rb"(?:^|\x00)depends=([^\x00]*)\x00", data)
        for dep in (deps.group(1).decode().split(",") if deps else []):
            if dep:
                add(dep)
        order.append(index[name])

    for name in wanted:
        add(name)
    return order


# ----------------------------------------------------------------------------- initramfs

class Initramfs:
    """An uncompressed newc cpio archive (the kernel unpacks it faster than a gzipped one)."""

    def __init__(self):
        self.entries = {}  # path -> (mode, data)

    def _dirs(self, path):
        parent = os.path.dirname(path)
        while parent not in ("", "/") and parent not in self.entries:
            self.entries[parent] = (stat.S_IFDIR | 0o755, b"")
            parent = os.path.dirname(parent)

    def add(self, path, data, mode=0o644):
        self._dirs(path)
        self.entries[path] = (stat.S_IFREG | mode, data)

    def symlink(self, path, target):
        self._dirs(path)
        self.entries[path] = (stat.S_IFLNK | 0o777, target.encode())

    def mkdir(self, path):
        self._dirs(path + "/x")

    def add_program(self, host_path, guest_path=None):
        """A program and the shared libraries ldd names, at their host paths."""
        host_path = str(host_path)
        self.add(guest_path or host_path, Path(host_path).read_bytes(), 0o755)
        out = subprocess.run(["ldd", host_path], capture_output=True, text=True).stdout
        for line in out.splitlines():
            found = re.search(r"(?:=>\s*)?(/\S+)\s+\(0x", line)
            if found and found.group(1) not in self.entries:
                self.add(found.group(1), Path(found.group(1)).read_bytes(), 0o755)

    def pack(self):
        out = bytearray()

        def entry(name, mode, data, ino):
            raw = name.encode() + b"\x00"
            fields = [ino, mode, 0, 0, 1, 0, len(data), 0, 0, 0, 0, len(raw), 0]
            out.extend(b"070701" + b"".join(b"%08X" % f for f in fields))
            out.extend(raw + b"\x00" * (-(110 + len(raw)) % 4))
            out.extend(data + b"\x00" * (-len(data) % 4))

        for ino, name in enumerate(sorted(self.entries), start=1):
            mode, data = self.entries[name]
            entry(name.lstrip("/"), mode, data, ino)
        entry("TRAILER!!!", 0, b"", 0)
        return bytes(out)


GUEST_INIT = r"""#!/bin/sh
export PATH=/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
. /etc/e2e/conf
M() { echo "@@E2E:$NONCE:$*@@"; }
M "INIT:$(cut -d' ' -f1 /proc/uptime)"
dmesg -n 1
while read -r m; do insmod "$m" 2>/tmp/insmod || M "WARN:insmod $m: $(cat /tmp/insmod)"; done </etc/e2e/modules
i=0
while [ $i -lt 200 ]; do
  missing=
  for d in $WAIT_FOR; do [ -e "$d" ] || missing="$missing $d"; done
  [ -z "$missing" ] && break
  usleep 100000; i=$((i + 1))
done
[ -z "$missing" ] || M "WARN:missing after 20 s:$missing"
M "READY:$(cut -d' ' -f1 /proc/uptime)"
# text NAME CMD...: the command's output as it is; bytes NAME CMD...: base64 of its stdout.
text() { n=$1; shift; M "BEGIN:$n"; "$@" 2>&1; r=$?; echo; M "END:$n:$r"; }
bytes() {
  n=$1; shift; "$@" >/tmp/out 2>/tmp/err; r=$?
  M "BEGIN:$n"; base64 /tmp/out; M "END:$n:$r"
  M "BEGIN:$n.stderr"; cat /tmp/err; echo; M "END:$n.stderr:0"
}
. /etc/e2e/commands
M "DONE:$(cut -d' ' -f1 /proc/uptime)"
poweroff -f
"""

GUEST_COMMANDS = r"""
text dmidecode dmidecode
text block sh -c 'for b in /sys/block/*; do echo "${b##*/} $(cat $b/removable) $(readlink -f $b/device)"; done'
text power sh -c 'for p in /sys/class/power_supply/*; do for a in $p/*; do [ -f $a ] && [ "${a##*/}" != uevent ] && echo "${p##*/} ${a##*/}=$(cat $a 2>/dev/null)"; done; done'
[ -b /dev/sda ] && text smartctl smartctl -j -i -A /dev/sda
[ -c /dev/nvme0 ] && text nvme-id nvme id-ctrl /dev/nvme0 -o json
[ -c /dev/nvme0 ] && text nvme-log nvme smart-log /dev/nvme0 -o json
[ -c /dev/nvme0 ] && text nvme-ns nvme id-ns /dev/nvme0 -n 1 -o json
for p in 1 2 3 4 5 6 7; do bytes root-$p quorrix-report --page $p --raw; done
text root-all quorrix-report
for p in 1 2 3 4 5 6 7; do bytes user-$p su quser -c "quorrix-report --page $p --raw"; done
# The window's way: the probe as root (pkexec's part), its stream decoded as the user.
probe=/usr/local/libexec/quorrix/quorrix-probe
if [ -x $probe ]; then
  $probe >/tmp/probe.bin 2>/tmp/probe.err
  text probe-status sh -c "echo $?; cat /tmp/probe.err"
  chmod 644 /tmp/probe.bin
  text probe-argument sh -c "$probe --help >/tmp/probe.out 2>/dev/null; echo \$? \$(wc -c </tmp/probe.out)"
  for p in 1 2 3 4 5 6 7; do bytes probe-user-$p su quser -c "quorrix-probe-pages /tmp/probe.bin $p"; done
fi
# --save as root, --from as the user: the same pages from the saved folder.
text save quorrix-report --save /tmp/saved --page 1
chmod -R a+rX /tmp/saved
for p in 1 2 3 4 5 6 7; do bytes from-$p su quser -c "quorrix-report --from /tmp/saved --page $p --raw"; done
# With the NVMe controller gone, drive 0 is the SATA disk.
if [ -c /dev/nvme0 ]; then
  echo "$(basename "$(readlink -f /sys/class/nvme/nvme0/device)")" >/sys/bus/pci/drivers/nvme/unbind
  i=0; while [ -e /sys/block/nvme0n1 ] && [ $i -lt 50 ]; do usleep 100000; i=$((i + 1)); done
  text block-unbound sh -c 'ls /sys/block'
  bytes root-6-unbound quorrix-report --page 6 --raw
  if [ -x $probe ]; then
    $probe >/tmp/probe-sata.bin && chmod 644 /tmp/probe-sata.bin
    bytes probe-user-6-unbound su quser -c "quorrix-probe-pages /tmp/probe-sata.bin 6"
  fi
fi
"""

# ----------------------------------------------------------------------------- the machines

def smbios_struct(stype, handle, formatted, strings):
    """One SMBIOS structure: header, formatted area, string set (SMBIOS 3.x 6.1.2, 6.1.3)."""
    body = struct.pack("<BBH", stype, 4 + len(formatted), handle) + formatted
    if strings:
        return body + b"".join(s.encode() + b"\x00" for s in strings) + b"\x00"
    return body + b"\x00\x00"


def type0_bios(handle):
    # 0x04 vendor, 0x05 version, 0x06 start segment, 0x08 date, 0x09 ROM size (n + 1) x 64K,
    # 0x0A characteristics, 0x12 extension bytes, 0x14 BIOS release, 0x16 EC release
    formatted = struct.pack("<BBHBBQBBBBBB", 1, 2, 0xE800, 3, 0x3F, 0x08, 0x01, 0x00, 4, 2,
                            0xFF, 0xFF)
    return smbios_struct(0, handle, formatted, ["Orchid Firmware Co.", "Q7.42-beta",
                                                "11/30/2023"])


def type4_processor(handle, caches):
    # SMBIOS 3.0 layout (length 0x30): 0x04 socket, 0x05 type, 0x06 family, 0x07 maker,
    # 0x08 ID, 0x10 version, 0x11 voltage, 0x12 external clock, 0x14 max speed,
    # 0x16 current speed, 0x18 status, 0x19 upgrade, 0x1A..0x1F L1/L2/L3 handles, 0x20 serial,
    # 0x21 asset, 0x22 part, 0x23 cores, 0x24 enabled, 0x25 threads, 0x26 characteristics,
    # 0x28 family 2, 0x2A cores 2, 0x2C enabled 2, 0x2E threads 2
    formatted = struct.pack("<BBBB8sBBHHHBBHHHBBBBBBHHHHH", 1, 3, 0xC6, 2,
                            bytes.fromhex("A7060900FFFBEBBF"), 3, 0x8A, 100, 4700, 2800, 0x41,
                            0x01, *caches, 0, 0, 0, 6, 6, 12, 0x00FC, 0x00C6, 6, 6, 12)
    return smbios_struct(4, handle, formatted, ["U3E1", "Orchid Silicon",
                                                "Orchid Q9-7700U @ 2.80GHz"])


def type7_cache(handle, name, level, installed_word):
    # 0x04 socket, 0x05 configuration (bit 7 enabled, bits 2..0 level - 1), 0x07 maximum
    # size, 0x09 installed size (bit 15: 64K granularity), 0x0B/0x0D SRAM types, 0x0F speed,
    # 0x10 error correction, 0x11 system cache type, 0x12 associativity
    formatted = struct.pack("<BHHHHHBBBB", 1, 0x0180 | (level - 1), installed_word,
                            installed_word, 0x0002, 0x0002, 0, 0x06, 0x05, 0x07)
    return smbios_struct(7, handle, formatted, [name])


def type17_memory(handle, size_mb, mem_type, speed, maker, serial, part):
    # 0x04 array handle, 0x06 error handle, 0x08 total width, 0x0A data width, 0x0C size (MB),
    # 0x0E form factor, 0x0F set, 0x10 locator, 0x11 bank, 0x12 type, 0x13 type detail,
    # 0x15 speed, 0x17 maker, 0x18 serial, 0x19 asset, 0x1A part, 0x1B attributes,
    # 0x1C extended size, 0x20 configured speed, 0x22..0x27 voltages
    strings = [f"ChannelA-DIMM{handle & 0xF}", "BANK 0"]
    idx = {}
    for key, value in (("maker", maker), ("serial", serial), ("part", part)):
        if value:
            strings.append(value)
            idx[key] = len(strings)
    formatted = struct.pack("<HHHHHBBBBBHHBBBBBIHHHH", 0x1000, 0xFFFE, 64, 64, size_mb, 0x0D,
                            0, 1, 2, mem_type, 0x0080, speed, idx.get("maker", 0),
                            idx.get("serial", 0), 0, idx.get("part", 0), 1, 0, speed, 1200, 1200,
                            1200)
    return smbios_struct(17, handle, formatted, strings)


def type22_battery(handle, maker, date, serial, name, mv, sbds_date=0):
    # 0x04 location, 0x05 maker, 0x06 date, 0x07 serial, 0x08 name, 0x09 chemistry,
    # 0x0A design capacity, 0x0C design voltage (mV), 0x0E SBDS version, 0x0F max error,
    # 0x10 SBDS serial, 0x12 SBDS date ((year - 1980) << 9 | month << 5 | day),
    # 0x14 SBDS chemistry, 0x15 capacity multiplier, 0x16 OEM
    strings = ["Front", maker] + ([date] if date else []) + [serial, name]
    n = {s: i + 1 for i, s in enumerate(strings)}
    formatted = struct.pack("<BBBBBBHHBBHHBBI", 1, 2, n[date] if date else 0, n[serial], n[name],
                            6, 5600, mv, 0, 0xFF, 0, sbds_date, 0, 10, 0)
    return smbios_struct(22, handle, formatted, strings)


def battery_asl(b):
    """An SSDT with one ACPI control-method battery (ACPI 6.4 10.2) and an AC adapter."""
    def s(text):
        return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'
    return f"""DefinitionBlock ("", "SSDT", 2, "QRXE2E", "BATTERY", 1)
{{
  Scope (\\_SB)
  {{
    Device (BAT0)
    {{
      Name (_HID, EisaId ("PNP0C0A"))
      Name (_UID, 1)
      Method (_STA, 0) {{ Return (0x1F) }}
      Method (_BIX, 0)
      {{
        Return (Package () {{
          1, {b['unit']}, {b['design']}, {b['full']}, 1, {b['voltage']},
          {b['design'] // 10}, {b['design'] // 20}, {b['cycles']}, 95000,
          0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 1, 1,
          {s(b['model'])}, {s(b['serial'])}, {s(b['type'])}, {s(b['oem'])}, 0 }})
      }}
      Method (_BST, 0) {{ Return (Package () {{ 1, {b['rate']}, {b['remaining']}, {b['voltage_now']} }}) }}
    }}
    Device (ADP0)
    {{
      Name (_HID, "ACPI0003")
      Method (_STA, 0) {{ Return (0x0F) }}
      Method (_PSR, 0) {{ Return (0) }}
    }}
  }}
}}
"""


def machines():
    """The two guests: SATA first with SMBIOS 2.8 and QEMU's own structures; NVMe first with
    SMBIOS 3.0 and structures built here (caches, an empty memory socket, an SBDS date)."""
    a = {
        "name": "sata-first",
        "disks": ["sata", "nvme"],
        "entry": 32,
        "smbios": [
            "type=0,vendor=Lumen BIOS Works,version=1.23.4,date=05/06/2021,release=1.23",
            "type=1,manufacturer=Lumen Laptops,product=LL-1400 Pro,version=Rev B,"
            "serial=SYS-SN-0042,uuid=12345678-9abc-def0-1234-56789abcdef0,sku=LL1400-SKU,"
            "family=LL Series",
            "type=2,manufacturer=Lumen Boards,product=MB-77,version=1.0A,serial=MB-SN-7777",
            "type=4,manufacturer=Lumen CPU Corp,version=Lumen Core 9 @ 3.00GHz,max-speed=4500,"
            "current-speed=3000",
            "type=17,manufacturer=Lumen RAM,serial=DIMM-SN-01,part=LR-DDR4-16G,speed=3200",
        ],
        "structs": [type22_battery(0xE000, "Lumen Power", "03/15/2022", "BAT-SN-0815",
                                   "LP-BAT-4C", 15200)],
        "sata": "model=LUMEN SSD 512GB,serial=SATA-SN-123456,ver=FW1.2.3",
        "nvme": "serial=NVME-SN-987654",
        "battery": dict(unit=0, design=56000, full=48123, remaining=24000, rate=9000,
                        voltage=15200, voltage_now=15873, cycles=321, model="LP-BAT-4C",
                        serial="BAT-SN-0815", type="LION", oem="Lumen Power"),
    }
    b = {
        "name": "nvme-first",
        "disks": ["nvme", "sata"],
        "entry": 64,
        "smbios": [
            "type=1,manufacturer=Orchid,product=Orchid Book 14,version=2,serial=OB14-0001,"
            "uuid=00112233-4455-6677-8899-aabbccddeeff,sku=OB14-CN,family=Orchid Book",
            "type=2,manufacturer=Orchid,product=OBX-M,version=A01,serial=BRD-99",
        ],
        "structs": [
            type0_bios(0xE000),
            type7_cache(0xE001, "L1 Instruction", 1, 0x0020),
            type7_cache(0xE002, "L1 Data", 1, 0x0030),
            type7_cache(0xE003, "L2", 2, 0x0500),
            type7_cache(0xE004, "L3", 3, 0x8000 | 192),
            type4_processor(0xE005, (0xE002, 0xE003, 0xE004)),
            type17_memory(0xE006, 8192, 0x18, 1600, "Orchid Memory", "M-0001", "OM3-8G"),
            type17_memory(0xE007, 0, 0x02, 0, "", "", ""),
            type17_memory(0xE008, 16384, 0x1A, 3200, "Orchid Memory", "M-0002", "OM4-16G"),
            type22_battery(0xE009, "Orchid Energy", "", "OE-77", "OE-3C", 11400, 0x40EF),
        ],
        "nvme": "serial=ORCHID-NVME-01",
        "sata": "model=ORCHID HDD 1TB,serial=WD-ORCHID-2,ver=81.00A81",
        "battery": dict(unit=1, design=4000, full=3100, remaining=1550, rate=800,
                        voltage=11400, voltage_now=12012, cycles=57, model="OE-3C",
                        serial="OE-77", type="LiP", oem="Orchid Energy"),
    }
    return [a, b]


def build_guest(machine, work, moddir, report, nonce, probe=None, probe_pages=None):
    work.mkdir(parents=True)
    fs = Initramfs()
    fs.add("/init", GUEST_INIT.encode(), 0o755)
    fs.add("/bin/busybox", BUSYBOX.read_bytes(), 0o755)
    applets = run([str(BUSYBOX), "--list"]).stdout.split()
    for applet in applets:
        if applet != "busybox":
            fs.symlink(f"/bin/{applet}", "busybox")
    for tool in ("dmidecode", "smartctl", "nvme"):
        fs.add_program(shutil.which(tool), f"/usr/sbin/{tool}")
    fs.add_program(report, "/usr/local/bin/quorrix-report")
    if probe and probe_pages:
        fs.add_program(probe, "/usr/local/libexec/quorrix/quorrix-probe")
        fs.add_program(probe_pages, "/usr/local/bin/quorrix-probe-pages")
    # glibc loads the GBK converter at run time; ldd does not name it.
    for name in ("gconv-modules", "gconv-modules.cache", "GBK.so"):
        if (GCONV / name).exists():
            fs.add(str(GCONV / name), (GCONV / name).read_bytes())
    for conf in (GCONV / "gconv-modules.d").glob("*.conf"):
        fs.add(str(conf), conf.read_bytes())
    for d in ("/proc", "/sys", "/dev", "/tmp", "/root", "/home/quser"):
        fs.mkdir(d)
    fs.add("/etc/passwd", b"root:x:0:0:root:/root:/bin/sh\nquser:x:1000:1000::/home/quser:/bin/sh\n")
    fs.add("/etc/group", b"root:x:0:\nquser:x:1000:\n")

    drivers = {"sata": "ahci", "nvme": "nvme"}
    modules = module_closure(moddir, [drivers[d] for d in machine["disks"]] + GUEST_MODULES)
    lines = []
    for path in modules:
        guest = "/lib/modules/" + path.name
        fs.add(guest, path.read_bytes())
        lines.append(guest)
    fs.add("/etc/e2e/modules", ("\n".join(lines) + "\n").encode())
    fs.add("/etc/e2e/commands", GUEST_COMMANDS.encode())
    fs.add("/etc/e2e/conf", f"NONCE={nonce}\nWAIT_FOR='/dev/sda /dev/nvme0 /dev/nvme0n1 "
                            f"/sys/class/power_supply/BAT0'\n".encode())
    (work / "initrd.cpio").write_bytes(fs.pack())

    (work / "battery.asl").write_text(battery_asl(machine["battery"]))
    iasl = subprocess.run(["iasl", "-p", str(work / "battery"), str(work / "battery.asl")],
                          capture_output=True, text=True)
    if iasl.returncode != 0:
        raise RuntimeError("iasl failed:\n" + iasl.stdout + iasl.stderr)
    for i, blob in enumerate(machine["structs"]):
        (work / f"smbios-{i}.bin").write_bytes(blob)


def qemu_command(machine, work, image, accel):
    args = ["qemu-system-x86_64", "-accel", accel, "-cpu", "host" if accel == "kvm" else "max",
            "-machine", f"q35,smbios-entry-point-type={machine['entry']}", "-m", "512M",
            "-smp", "1", "-nodefaults", "-no-user-config", "-display", "none",
            "-monitor", "none", "-nic", "none", "-no-reboot",
            "-serial", f"file:{work / 'console.log'}",
            "-kernel", str(image), "-initrd", str(work / "initrd.cpio"),
            "-append", "console=ttyS0 quiet loglevel=1 panic=-1 rdinit=/init "
                       "mitigations=off scsi_mod.scan=sync",
            "-acpitable", f"file={work / 'battery.aml'}"]
    for spec in machine["smbios"]:
        args += ["-smbios", spec]
    for i in range(len(machine["structs"])):
        args += ["-smbios", f"file={work / f'smbios-{i}.bin'}"]
    for slot, kind in enumerate(machine["disks"], start=0x10):
        drive = f"disk{slot:x}"
        args += ["-blockdev", f"driver=null-co,node-name={drive},size=8589934592,read-zeroes=on"]
        if kind == "sata":
            args += ["-device", f"ahci,id=ahci{slot:x},addr={slot:#x}",
                     "-device", f"ide-hd,bus=ahci{slot:x}.0,drive={drive},{machine['sata']}"]
        else:
            args += ["-device", f"nvme,addr={slot:#x},drive={drive},{machine['nvme']}"]
    return args


def kvm_usable():
    if not os.access("/dev/kvm", os.R_OK | os.W_OK):
        return False, "no usable /dev/kvm"
    if Path("/sys/module/kvm_pvm").is_dir():
        return False, "the host's KVM is kvm-pvm, which runs no stock guest kernel"
    return True, ""


def boot(machine, work, image, nonce, timeout):
    """Runs the guest; returns (console text, seconds from QEMU start to the guest's last
    result, accelerator)."""
    usable, why = kvm_usable()
    accels = ["kvm", "tcg"] if usable else ["tcg"]
    if not usable:
        log(f"{machine['name']}: software emulation ({why})")
    for accel in accels:
        console = work / "console.log"
        console.write_bytes(b"")
        start = time.monotonic()
        qemu = subprocess.Popen(qemu_command(machine, work, image, accel),
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT)
        done_at = None
        limit = 20 if accel == "kvm" else timeout  # KVM must show life quickly, or TCG runs
        while qemu.poll() is None:
            text = console.read_bytes()
            if done_at is None and f"@@E2E:{nonce}:DONE".encode() in text:
                done_at = time.monotonic() - start
            if time.monotonic() - start > limit and (
                    accel != "kvm" or f"@@E2E:{nonce}:INIT".encode() not in text):
                qemu.kill()
                qemu.wait()
                break
            time.sleep(0.05)
        text = console.read_bytes().decode("utf-8", "replace").replace("\r", "")
        if done_at is None and f"@@E2E:{nonce}:DONE" in text:
            done_at = time.monotonic() - start
        if f"@@E2E:{nonce}:INIT" in text or accel == "tcg":
            if done_at is None:
                log(f"{machine['name']}: QEMU said: {qemu.stdout.read().decode(errors='replace')}")
            return text, done_at, accel
        log(f"{machine['name']}: KVM did not start the guest, using software emulation")
    raise AssertionError("unreachable")


def sections(console, nonce):
    """{name: (text, exit status)} from the marked console, plus the guest's timestamps."""
    found, stamps, current, lines = {}, {}, None, []
    marker = re.compile(r"@@E2E:" + nonce + r":([A-Z]+):?(.*?)@@")
    for line in console.split("\n"):
        m = marker.search(line)
        if not m:
            if current is not None:
                lines.append(line)
            continue
        kind, rest = m.group(1), m.group(2)
        if kind == "BEGIN":
            current, lines = rest, []
        elif kind == "END" and current is not None:
            name, _, rc = rest.rpartition(":")
            found[name] = ("\n".join(lines), int(rc))
            current = None
        elif kind in ("INIT", "READY", "DONE"):
            stamps[kind] = float(rest)
        elif kind == "WARN":
            log(f"guest: {rest}")
    return found, stamps


# ----------------------------------------------------------------------------- the references

def label(name):
    """A page label: the field name padded with blanks to 12 GBK bytes, then the full-width
    colon."""
    return name + " " * (12 - len(name.encode("gbk"))) + "："


def parse_dmidecode(text):
    """[(type, {field: value})] in table order, from dmidecode's default output."""
    records, fields = [], None
    for line in text.split("\n"):
        head = re.match(r"Handle 0x[0-9A-F]+, DMI type (\d+), \d+ bytes", line)
        if head:
            fields = {}
            records.append((int(head.group(1)), fields))
        elif fields is not None and line.startswith("\t") and not line.startswith("\t\t"):
            key, sep, value = line[1:].partition(": ")
            if sep:
                fields[key] = value
    return records


def last(records, stype):
    found = [f for t, f in records if t == stype]
    return found[-1] if found else {}


def string(fields, key):
    """A string field as the firmware holds it: dmidecode says "Not Specified" for none."""
    value = fields.get(key, "")
    return "" if value == "Not Specified" else value


def number(value):
    """dmidecode's "4500 MHz", "3200 MT/s" or "Unknown" (0) as the raw number; "" when the
    structure is not there at all."""
    if value is None:
        return ""
    found = re.match(r"(\d+)", value)
    return found.group(1) if found else "0"


def kilobytes(value):
    found = re.match(r"(\d+) (kB|MB|GB)", value or "")
    if not found:
        return ""
    return str(int(found.group(1)) * {"kB": 1, "MB": 1024, "GB": 1024 * 1024}[found.group(2)])


def smbios_version(dmidecode):
    found = re.search(r"SMBIOS (\d+)\.(\d+)(?:\.\d+)? present", dmidecode)
    return (int(found.group(1)), int(found.group(2))) if found else (0, 0)


def uuid_text(dmidecode_uuid):
    """The four-group form: each group the little-endian 32-bit value of four UUID bytes.
    dmidecode prints SMBIOS 2.6+ UUIDs with the first three fields byte-swapped back."""
    h = dmidecode_uuid.replace("-", "")
    raw = bytes.fromhex(h)
    raw = raw[3::-1] + raw[5:3:-1] + raw[7:5:-1] + raw[8:]
    return "-".join(f"{struct.unpack_from('<I', raw, i)[0]:08x}" for i in range(0, 16, 4))


MEMORY_TYPES = {  # dmidecode's name -> the page's text
    "Other": "other", "Unknown": "unknown", "DRAM": "dram", "EDRAM": "edram", "VRAM": "vram",
    "SRAM": "sram", "RAM": "ram", "ROM": "rom", "Flash": "flash", "EEPROM": "eeprom",
    "FEPROM": "feprom", "EPROM": "eprom", "CDRAM": "cdram", "3DRAM": "3dram", "SDRAM": "sdram",
    "SGRAM": "sgram", "RDRAM": "rdram", "DDR": "ddr", "DDR2": "DDR2",
    "DDR2 FB-DIMM": "ddr2 fb-dimm", "DDR3": "DDR3", "FBD2": "FBD2",
    # From 0x1A on, the page uses dmidecode's names.
    **{name: name for name in ("DDR4", "LPDDR", "LPDDR2", "LPDDR3", "LPDDR4",
                               "Logical non-volatile device", "HBM", "HBM2", "DDR5", "LPDDR5",
                               "HBM3")},
}


def expected_smbios_pages(dmidecode):
    records = parse_dmidecode(dmidecode)
    major, minor = smbios_version(dmidecode)
    bios, system, board, cpu = (last(records, t) for t in (0, 1, 2, 4))
    pages = {}
    pages[1] = "\r\n".join([
        label("SMBIOS版本") + f"{major}.{minor}",
        label("BIOS制造商") + string(bios, "Vendor"),
        label("BIOS版本") + string(bios, "Version"),
        label("BIOS日期") + string(bios, "Release Date"),
        label("BIOS大小") + kilobytes(bios.get("ROM Size")) + "KB"])
    pages[2] = "".join(line + "\r\n" for line in [
        label("产品家族") + string(system, "Family"),
        label("产品生产商") + string(system, "Manufacturer"),
        label("产品名称") + string(system, "Product Name"),
        label("产品序列号") + string(system, "Serial Number"),
        label("产品SKU号") + string(system, "SKU Number"),
        label("产品版本号") + string(system, "Version"),
        label("产品UUID号") + (uuid_text(system["UUID"]) if "UUID" in system else "")])
    caches = {}
    for t, f in records:
        if t == 7:
            level = re.search(r"Level (\d)", f.get("Configuration", ""))
            if level:
                caches[int(level.group(1))] = kilobytes(f.get("Installed Size"))
    old = (major, minor) < (2, 5)
    pages[3] = "".join(line + "\r\n" for line in [
        label("CPU制造商") + string(cpu, "Manufacturer"),
        label("CPU名称") + string(cpu, "Version"),
        label("CPU主频") + number(cpu.get("Max Speed")) + "MHz",
        label("CPU外频") + number(cpu.get("External Clock")) + "MHz",
        label("CPU核心数") + ("-" if old else cpu.get("Core Count", "0")),
        label("CPU线程数") + ("-" if old else cpu.get("Thread Count", "0")),
        label("CPU一级缓存") + caches.get(1, "") + " KB",
        label("CPU二级缓存") + caches.get(2, "") + " KB",
        label("CPU三级缓存") + caches.get(3, "") + " KB"])
    pages[4] = "\r\n".join([
        label("主板生产商") + string(board, "Manufacturer"),
        label("主板名称") + string(board, "Product Name"),
        label("主板序列号") + string(board, "Serial Number"),
        label("主板版本号") + string(board, "Version")])
    memory = ""
    for t, f in records:
        if t != 17 or f.get("Size") in (None, "No Module Installed"):
            continue
        memory += (label("内存生产商") + string(f, "Manufacturer") + "\r\n" +
                   label("内存大小") + str(int(kilobytes(f["Size"])) // 1024) + "MB\r\n" +
                   label("内存类型") + MEMORY_TYPES.get(f.get("Type"), "unknown") + "\r\n" +
                   label("内存频率") + number(f.get("Speed")) + "MHz\r\n" +
                   label("内存批次") + string(f, "Part Number") + "\r\n" +
                   label("内存序列号") + string(f, "Serial Number") + "\r\n\r\n")
    pages[5] = memory
    return pages


def disk_page(model="", serial="", firmware="", cycles="", hours="", temperature="", wear=()):
    """The six lines, then the three wear lines and the capacity line (label, value, suffix) of
    a drive whose identity was read."""
    return "\r\n".join([label("硬盘产品名") + model, label("硬盘序列号") + serial,
                        label("硬盘固件") + firmware, label("硬盘使用次数") + cycles + " 次",
                        label("硬盘使用时间") + hours + " 小时",
                        label("硬盘温度") + temperature + " 摄氏度"] +
                       [label(name) + value + suffix for name, value, suffix in wear])


def gigabytes(n):
    """Bytes as decimal gigabytes, one decimal, rounded half up."""
    tenths = (n + 50_000_000) // 100_000_000
    return f"{tenths // 10}.{tenths % 10}"


def expected_sata_page(smartctl_json):
    info = json.loads(smartctl_json)
    raw = {a["id"]: a["raw"]["value"] for a in info["ata_smart_attributes"]["table"]}
    return disk_page(info["model_name"], info["serial_number"], info["firmware_version"],
                     str(raw[12] & 0xFFFF) if 12 in raw else "",
                     str(raw[9] & 0xFFFF) if 9 in raw else "",
                     str(raw[194] & 0xFF) if 194 in raw else "",
                     [("重映射扇区数", str(raw[5] & 0xFFFF) if 5 in raw else "", " 个"),
                      ("待映射扇区数", str(raw[197]) if 197 in raw else "", " 个"),
                      ("不可修复扇区", str(raw[198]) if 198 in raw else "", " 个"),
                      ("硬盘容量", gigabytes(info["user_capacity"]["bytes"]), " GB")])


def nvme_capacity(ident, ns_json):
    """TNVMCAP when the controller reports it, else namespace 1's NSZE times the data size of
    its formatted LBA format (FLBAS bits 3-0, and bits 6-5 above them past 16 formats)."""
    if int(ident.get("tnvmcap", 0)):
        return int(ident["tnvmcap"])
    if not ns_json.strip():
        return None
    ns = json.loads(ns_json)
    flbas = int(ns["flbas"])
    index = (flbas & 0x0F) | (((flbas >> 5) & 0x03) << 4 if int(ns["nlbaf"]) >= 16 else 0)
    size = int(ns["nsze"]) << int(ns["lbafs"][index]["ds"])
    return size or None


def expected_nvme_page(id_json, log_json, ns_json):
    ident, health = json.loads(id_json), json.loads(log_json)
    capacity = nvme_capacity(ident, ns_json)
    return disk_page(ident["mn"].strip(), ident["sn"].strip(), ident["fr"].strip(),
                     str(health["power_cycles"]), str(health["power_on_hours"]),
                     str(health["temperature"] - 273),
                     [("已用寿命", str(health["percent_used"]), "%"),
                      ("可用备用空间", str(health["avail_spare"]), "%"),
                      ("介质错误数", str(health["media_errors"]), " 次"),
                      ("硬盘容量", gigabytes(capacity) if capacity else "", " GB")])


def first_drive(block_listing):
    """Drive 0 by the documented order: internal before removable or USB, NVMe before
    others, then by name."""
    drives = []
    for line in block_listing.split("\n"):
        parts = line.split()
        if len(parts) != 3 or re.match(r"(loop|ram|zram|dm-|md|sr|fd)", parts[0]):
            continue
        name, removable, device = parts
        internal = removable == "0" and "/usb" not in device
        drives.append((not internal, not name.startswith("nvme"), name))
    return min(drives)[2] if drives else None


def power_supplies(listing):
    supplies = {}
    for line in listing.split("\n"):
        name, _, attr = line.partition(" ")
        key, sep, value = attr.partition("=")
        if sep:
            supplies.setdefault(name, {})[key] = value
    return supplies


CHEMISTRY = {"Li-ion": "LION", "Li-poly": "LiP", "LiFe": "LiFe", "LiMn": "LiMn", "NiMH": "NiMH",
             "NiCd": "NiCd"}


def expected_battery_page(power_listing, dmidecode, with_smbios=True):
    supplies = power_supplies(power_listing)
    batteries = sorted(n for n, a in supplies.items()
                       if a.get("type") == "Battery" and a.get("scope") != "Device")
    bat = supplies[batteries[0]] if batteries else {}
    b22 = last(parse_dmidecode(dmidecode), 22) if with_smbios else {}

    def capacity(kind):  # mWh, from energy_* or from charge_* times the design voltage
        if f"energy_{kind}" in bat:
            return int(bat[f"energy_{kind}"]) // 1000
        volts = bat.get("voltage_min_design") or bat.get("voltage_max_design") or bat.get("voltage_now")
        if f"charge_{kind}" in bat and volts:
            return int(bat[f"charge_{kind}"]) * int(volts) // 10**9
        return None

    design, full = capacity("full_design"), capacity("full")
    wear = ""
    if design is not None and full is not None:
        wear = str(max(0, int((1 - full / design) * 100)) if design else 0)
    date = b22.get("Manufacture Date", "")
    sbds = re.fullmatch(r"(\d{4})-(\d\d)-(\d\d)", b22.get("SBDS Manufacture Date", ""))
    if not date and sbds:
        date = "-".join(str(int(x)) for x in sbds.groups())
    design_v = re.match(r"(\d+) mV", b22.get("Design Voltage", ""))
    lines = [
        (label("电池设备名称") + bat.get("model_name", "")),
        (label("电池序列号") + bat.get("serial_number", "")),
        (label("电池制造厂商") + bat.get("manufacturer", "")),
        (label("电池唯一ID号") + bat.get("serial_number", "") + bat.get("manufacturer", "") +
         bat.get("model_name", "")),
        (label("电池设计容量") + (str(design) if design is not None else "") + "mWh"),
        (label("完全充电容量") + (str(full) if full is not None else "") + "mWh"),
        (label("电池损耗") + wear + "%"),
        (label("充放电次数") + bat.get("cycle_count", "0" if bat else "") + " (参考)"),
        (label("电池化学工艺") + CHEMISTRY.get(bat.get("technology", ""), "")),
        (label("电池设计电压") + (f"{int(design_v.group(1)) / 1000:f}" if design_v else "") + "V"),
        (label("电池电压") + (f"{int(bat['voltage_now']) // 1000 / 1000:f}"
                             if "voltage_now" in bat else "") + "V"),
        (label("电池剩余电量") + bat.get("capacity", "") + "%"),
        (label("电池生产日期") + date),
        (label("电池温度") + (str(int(bat["temp"]) + 2732) if "temp" in bat else "-" if bat else "")),
    ]
    return "".join(line + "\r\n" for line in lines)


# ----------------------------------------------------------------------------- checking

class Checker:
    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.lock = threading.Lock()

    def page(self, what, got_bytes, expected):
        want = expected.encode("gbk")
        with self.lock:
            if got_bytes == want:
                self.passed += 1
                print(f"ok: {what}", flush=True)
                return
            self.failed += 1
            print(f"FAIL: {what}", flush=True)
            got_lines = got_bytes.decode("gbk", "replace").split("\r\n")
            want_lines = expected.split("\r\n")
            for i in range(max(len(got_lines), len(want_lines))):
                g = got_lines[i] if i < len(got_lines) else "<none>"
                w = want_lines[i] if i < len(want_lines) else "<none>"
                print(f"  {'  ' if g == w else '!='} line {i + 1}: got {g!r}"
                      + ("" if g == w else f", want {w!r}"), flush=True)

    def true(self, what, condition, detail=""):
        with self.lock:
            if condition:
                self.passed += 1
                print(f"ok: {what}", flush=True)
            else:
                self.failed += 1
                print(f"FAIL: {what}{': ' + detail if detail else ''}", flush=True)


def check_machine(machine, found, check):
    name = machine["name"]

    def section(key):
        if key not in found:
            raise KeyError(f"{name}: the guest sent no '{key}' section")
        return found[key][0]

    def page_bytes(key):
        text, rc = found.get(key, ("", -1))
        err = found.get(key + ".stderr", ("", 0))[0].strip()
        check.true(f"{name}: {key} exits 0", rc == 0, f"status {rc}, stderr: {err}")
        return base64.b64decode("".join(text.split()))

    dmidecode = section("dmidecode")
    smbios = expected_smbios_pages(dmidecode)
    captions = {1: "BIOS", 2: "system", 3: "processor", 4: "board", 5: "memory"}
    for n, what in captions.items():
        check.page(f"{name}: page {n} ({what}) as root matches dmidecode", page_bytes(f"root-{n}"),
                   smbios[n])

    drive = first_drive(section("block"))
    check.true(f"{name}: drive 0 is the NVMe disk whatever the bus order", drive == "nvme0n1",
               f"the order rule picks {drive}")
    nvme_page = expected_nvme_page(section("nvme-id"), section("nvme-log"), section("nvme-ns"))
    check.true(f"{name}: the NVMe capacity line is filled (from TNVMCAP or namespace 1)",
               nvme_capacity(json.loads(section("nvme-id")), section("nvme-ns")) is not None,
               "neither TNVMCAP nor namespace 1 gave a size")
    sata_page = expected_sata_page(section("smartctl"))
    check.page(f"{name}: page 6 (disk) as root matches nvme-cli", page_bytes("root-6"), nvme_page)
    check.true(f"{name}: the SATA disk is drive 0 once NVMe is unbound",
               first_drive("\n".join(f"{b} 0 /x" for b in section("block-unbound").split()))
               == "sda")
    check.page(f"{name}: page 6 (disk) of the SATA disk matches smartctl",
               page_bytes("root-6-unbound"), sata_page)

    power, _ = found.get("power", ("", 0))
    check.page(f"{name}: page 7 (battery) as root matches power_supply and dmidecode",
               page_bytes("root-7"), expected_battery_page(power, dmidecode))

    # An ordinary user reads no firmware table and opens no disk: labels without values (the
    # version 0.0, so no core or thread count), an empty memory page; the battery from sysfs.
    empty = expected_smbios_pages("")
    for n, what in captions.items():
        check.page(f"{name}: page {n} ({what}) as a user is empty", page_bytes(f"user-{n}"),
                   empty[n])
    check.page(f"{name}: page 6 (disk) as a user is empty", page_bytes("user-6"), disk_page())
    check.page(f"{name}: page 7 (battery) as a user has the battery without SMBIOS",
               page_bytes("user-7"), expected_battery_page(power, dmidecode, with_smbios=False))

    if "probe-status" in found:
        status = section("probe-status").split("\n")
        check.true(f"{name}: quorrix-probe as root exits 0", status[0] == "0", "\n".join(status))
        check.true(f"{name}: quorrix-probe with an argument exits 2 and writes nothing",
                   section("probe-argument").split() == ["2", "0"], section("probe-argument"))
        for n in range(1, 8):
            root_page, probe_page = page_bytes(f"root-{n}"), page_bytes(f"probe-user-{n}")
            check.true(f"{name}: page {n} from the probe's stream, decoded as a user, is the "
                       f"page read as root", probe_page == root_page,
                       f"{len(probe_page)} bytes against {len(root_page)}:\n"
                       f"{probe_page.decode('gbk', 'replace')!r}")
        check.true(f"{name}: page 6 of the SATA disk through the probe is the page read as root",
                   page_bytes("probe-user-6-unbound") == page_bytes("root-6-unbound"))

    check.true(f"{name}: quorrix-report --save as root exits 0", found.get("save", ("", -1))[1] == 0,
               found.get("save", ("", -1))[0])
    for n in range(1, 8):
        check.true(f"{name}: page {n} read back with --from as a user is the page read as root",
                   page_bytes(f"from-{n}") == page_bytes(f"root-{n}"))

    text, rc = found.get("root-all", ("", -1))
    check.true(f"{name}: the full report names all seven pages",
               rc == 0 and all(f"== {c} ==" in text for c in
                               ("BIOS信息", "整机信息", "处理器信息", "主板信息", "内存信息",
                                "硬盘信息", "电池信息")), f"status {rc}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--report", required=True, help="the quorrix-report program to test")
    parser.add_argument("--probe", help="the quorrix-probe program to test")
    parser.add_argument("--probe-pages", help="the quorrix-probe-pages program beside it")
    parser.add_argument("--timeout", type=float, default=100, help="seconds per guest")
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()

    why = ensure_host_tools()
    if why:
        print(f"SKIPPED: this machine cannot run QEMU here: {why}", flush=True)
        return SKIP
    started = time.monotonic()
    cache = cache_dir()
    with open(cache / ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        image, moddir = prepare_kernel(cache)
    log(f"kernel {image}")

    work = Path(tempfile.mkdtemp(prefix="quorrix-e2e."))
    check = Checker()
    results = {}
    try:
        nonce = secrets.token_hex(6)
        guests = machines()
        for machine in guests:
            build_guest(machine, work / machine["name"], moddir, args.report, nonce, args.probe,
                        args.probe_pages)

        def one(machine):
            try:
                results[machine["name"]] = boot(machine, work / machine["name"], image, nonce,
                                                args.timeout)
            except Exception as e:  # reported below as a failed guest
                results[machine["name"]] = (str(e), None, "?")

        # Two guests side by side: each software-emulated CPU is one host thread.
        threads = [threading.Thread(target=one, args=(m,)) for m in guests]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

        for machine in guests:
            console, done_at, accel = results[machine["name"]]
            found, stamps = sections(console, nonce)
            if done_at is None:
                check.true(f"{machine['name']}: the guest finished", False,
                           "last console lines:\n" + "\n".join(console.split("\n")[-25:]))
                continue
            log(f"{machine['name']}: {accel}, boot to last result {done_at:.2f} s "
                f"(guest uptime: /init {stamps.get('INIT', 0):.2f} s, disks ready "
                f"{stamps.get('READY', 0):.2f} s, done {stamps.get('DONE', 0):.2f} s)")
            try:
                check_machine(machine, found, check)
            except (KeyError, ValueError, json.JSONDecodeError) as e:
                check.true(f"{machine['name']}: the guest's answers are complete", False, repr(e))
    finally:
        if args.keep:
            log(f"work folder kept: {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)
    log(f"whole test {time.monotonic() - started:.1f} s")
    print(f"{check.passed} passed, {check.failed} failed", flush=True)
    return 0 if check.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
