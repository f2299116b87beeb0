#!/usr/bin/env bash
# quorrix-report as a user runs it: bad arguments and unreadable input give one message on
# stderr and exit status 2, never a crash; good dumps decode.
set -u
report=("$@")  # the program, behind the emulator that runs it where there is one
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

# expect_exit STATUS NAME ARGS...: the run ends with STATUS and, for 2, one line on stderr.
expect_exit() {
  local want=$1 name=$2
  shift 2
  "${report[@]}" "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL $name: exit $got, expected $want; stderr: $(head -c 300 "$tmp/err")"
    failures=$((failures + 1))
  elif [ "$want" -eq 2 ] && ! grep -q '^quorrix-report: ' "$tmp/err"; then
    echo "FAIL $name: no message on stderr"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect_exit 0 help --help
expect_exit 2 unknown-option --bogus
expect_exit 2 page-out-of-range --page 9
expect_exit 2 missing-dump --from-dump "$tmp/nothing.bin"
expect_exit 2 dump-is-a-folder --from-dump "$tmp"
: >"$tmp/empty.bin"
expect_exit 2 empty-dump --from-dump "$tmp/empty.bin" --page 1
printf 'NOT-AN-ENTRY-POINT-AT-ALL......_______' >"$tmp/anchor.bin"
expect_exit 2 wrong-anchor --from-dump "$tmp/anchor.bin" --page 1
printf '_SM3_' >"$tmp/short.bin"
expect_exit 2 short-dump --from-dump "$tmp/short.bin" --page 1
expect_exit 2 missing-dmi-dir --dmi-dir "$tmp/no-such-dir" --page 1
expect_exit 2 missing-power-supply --power-supply "$tmp/no-such-dir" --page 7
expect_exit 2 power-supply-is-a-file --power-supply "$tmp/empty.bin" --page 7
mkdir -p "$tmp/no-battery/AC" && echo Mains >"$tmp/no-battery/AC/type"
expect_exit 0 power-supply-without-battery --power-supply "$tmp/no-battery" --page 7 --raw
if [ "$(tr -cd '\n' <"$tmp/out" | wc -c)" -ne 14 ]; then
  echo "FAIL power-supply-without-battery: not fourteen lines: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi

# A valid SMBIOS 3.0 dump-bin file: 24-byte _SM3_ entry point padded to 32 bytes, table at
# 0x20 holding one BIOS structure (vendor "Acme", version "1.0") and the end-of-table.
table='\x00\x12\x00\x00\x01\x02\x00\xf0\x03\x0f\x00\x00\x00\x00\x00\x00\x00\x00Acme\x001.0\x002024\x00\x00\x7f\x04\x01\x00\x00\x00'
printf '_SM3_\x00\x18\x03\x00\x00\x01\x00\x27\x00\x00\x00\x20\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'"$table" >"$tmp/good.bin"
expect_exit 0 good-dump --from-dump "$tmp/good.bin" --page 1 --raw
if ! grep -q 'Acme' "$tmp/out" || ! grep -q '3\.0' "$tmp/out"; then
  echo "FAIL good-dump: page 1 lacks the vendor or version: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi
# Pages that do not all reach standard output (a full disk) are a failure said on stderr.
# (Not with --raw: to the Windows program /dev/full is a character device, a console.)
if [ -w /dev/full ]; then
  "${report[@]}" --from-dump "$tmp/good.bin" --page 1 >/dev/full 2>"$tmp/err" </dev/null
  got=$?
  if [ "$got" -ne 1 ] || ! grep -q '^quorrix-report: cannot write to standard output' "$tmp/err"; then
    echo "FAIL full-disk: exit $got; stderr: $(head -c 300 "$tmp/err")"
    failures=$((failures + 1))
  else
    echo "ok   full-disk"
  fi
fi
# The same table as a copy of /sys/firmware/dmi/tables.
mkdir -p "$tmp/dmi"
head -c 24 "$tmp/good.bin" >"$tmp/dmi/smbios_entry_point"
tail -c +33 "$tmp/good.bin" >"$tmp/dmi/DMI"
expect_exit 0 good-dmi-dir --dmi-dir "$tmp/dmi" --page 1
if ! grep -q 'BIOS制造商  ：Acme' "$tmp/out"; then
  echo "FAIL good-dmi-dir: page 1 in UTF-8 lacks the vendor line: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi
rm "$tmp/dmi/DMI"
expect_exit 2 dmi-dir-without-table --dmi-dir "$tmp/dmi" --page 1

# Garbage of every size never crashes the decoder.
for n in 1 17 31 32 33 100 4096; do
  head -c "$n" /dev/urandom >"$tmp/rand.bin"
  "${report[@]}" --from-dump "$tmp/rand.bin" >/dev/null 2>&1 </dev/null
  rc=$?
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 2 ]; then
    echo "FAIL random-$n: exit $rc"
    failures=$((failures + 1))
  fi
done

# Saved drive sectors: a missing or wrong-sized file is refused; good ATA and NVMe sets decode.
mkdir -p "$tmp/ata" "$tmp/nvme"
expect_exit 2 disk-dump-missing-folder --disk-dump "$tmp/no-such-dir" --page 6
expect_exit 2 disk-dump-empty-folder --disk-dump "$tmp/ata" --page 6
head -c 512 /dev/zero >"$tmp/ata/identify.bin"
expect_exit 2 disk-dump-without-smart --disk-dump "$tmp/ata" --page 6
head -c 511 /dev/zero >"$tmp/ata/smart.bin"
expect_exit 2 disk-dump-short-smart --disk-dump "$tmp/ata" --page 6
head -c 512 /dev/zero >"$tmp/ata/smart.bin"
printf 'BA' | dd of="$tmp/ata/identify.bin" bs=1 seek=54 conv=notrunc 2>/dev/null  # model "AB"
printf '\xc2\x00\x00\x00\x00\x23' | dd of="$tmp/ata/smart.bin" bs=1 seek=2 conv=notrunc 2>/dev/null
expect_exit 0 disk-dump-ata --disk-dump "$tmp/ata" --page 6
if ! grep -q '硬盘产品名  ：AB$' "$tmp/out" || ! grep -q '硬盘温度    ：35 摄氏度' "$tmp/out"; then
  echo "FAIL disk-dump-ata: model or temperature missing: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi
head -c 4095 /dev/zero >"$tmp/nvme/id-ctrl.bin"
head -c 512 /dev/zero >"$tmp/nvme/smart-log.bin"
expect_exit 2 disk-dump-short-id-ctrl --disk-dump "$tmp/nvme" --page 6
head -c 4096 /dev/zero >"$tmp/nvme/id-ctrl.bin"
printf '\x00\x4a\x01' | dd of="$tmp/nvme/smart-log.bin" bs=1 conv=notrunc 2>/dev/null  # 330 K
expect_exit 0 disk-dump-nvme --disk-dump "$tmp/nvme" --page 6
if ! grep -q '硬盘温度    ：57 摄氏度' "$tmp/out"; then
  echo "FAIL disk-dump-nvme: temperature missing: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi
for n in 1 2 3; do
  head -c 512 /dev/urandom >"$tmp/ata/identify.bin"
  head -c 512 /dev/urandom >"$tmp/ata/smart.bin"
  expect_exit 0 "disk-dump-random-$n" --disk-dump "$tmp/ata" --page 6 --raw
done

# Saved data named on the command line is checked even when its page is not printed.
expect_exit 2 unused-missing-dump --page 6 --from-dump "$tmp/nothing.bin"
expect_exit 2 unused-missing-dmi-dir --page 6 --dmi-dir "$tmp/no-such-dir"
expect_exit 2 unused-missing-disk-dump --page 1 --from-dump "$tmp/good.bin" --disk-dump "$tmp/none"
expect_exit 2 unused-missing-power-supply --page 6 --disk-dump "$tmp/none" --power-supply "$tmp/none"
expect_exit 2 unused-missing-power-supply-2 --page 1 --from-dump "$tmp/good.bin" --power-supply "$tmp/none"

# expect_refused NAME WHAT ARGS...: exit 2 within seconds (nothing waits on the input), with
# exactly one line on stderr that names WHAT.
expect_refused() {
  local name=$1 what=$2
  shift 2
  local limit=()
  command -v timeout >/dev/null && limit=(timeout 60)
  "${limit[@]}" "${report[@]}" "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
  local got=$?
  if [ "$got" -ne 2 ]; then
    echo "FAIL $name: exit $got, expected 2; stderr: $(head -c 300 "$tmp/err")"
    failures=$((failures + 1))
  elif [ "$(wc -l <"$tmp/err")" -ne 1 ] || ! grep -qF -- "$what" "$tmp/err"; then
    echo "FAIL $name: not one line naming $what: $(head -c 300 "$tmp/err")"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# dump_bin FILE TABLE_BYTES: a dump-bin file whose _SM3_ entry point announces a table of
# TABLE_BYTES bytes at 0x20; the caller appends the table.
dump_bin() {
  local n=$2
  printf "_SM3_\\x00\\x18\\x03\\x00\\x00\\x01\\x00\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8 & 255)))\\x00\\x00\\x20\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00" >"$1"
}

# A table just below the limit made of memory devices whose string sets never end (no zero
# byte anywhere): not one of them is decoded, the output stays a page long.
rec=$(printf '\x11\x28'; head -c 38 /dev/zero | tr '\0' '\1')
hostile=""
for _ in $(seq 1600); do hostile+="$rec"; done
dump_bin "$tmp/hostile.bin" 63999
printf '%s' "${hostile:0:63999}" >>"$tmp/hostile.bin"
expect_exit 0 unterminated-memory-devices --from-dump "$tmp/hostile.bin" --page 5 --raw
if [ "$(wc -c <"$tmp/out")" -gt 4096 ]; then
  echo "FAIL unterminated-memory-devices: $(wc -c <"$tmp/out") bytes of output"
  failures=$((failures + 1))
fi

# A table of 64000 bytes or more is refused, naming the file, in a dump and in a folder.
dump_bin "$tmp/big.bin" 64000
head -c 64000 /dev/zero >>"$tmp/big.bin"
expect_refused table-of-64000-bytes "$tmp/big.bin" --from-dump "$tmp/big.bin" --page 1
mkdir -p "$tmp/bigdmi"
head -c 24 "$tmp/big.bin" >"$tmp/bigdmi/smbios_entry_point"
head -c 70000 /dev/zero >"$tmp/bigdmi/DMI"
expect_refused dmi-dir-table-too-large "$tmp/bigdmi/DMI" --dmi-dir "$tmp/bigdmi" --page 1
head -c 63999 /dev/zero >"$tmp/bigdmi/DMI"
expect_exit 0 dmi-dir-table-below-the-limit --dmi-dir "$tmp/bigdmi" --page 1

# An EDID file: refused when shorter than one block, longer than 32 KiB or without the header;
# padding beyond the blocks its extension count names is ignored.
edid_bin() {  # edid_bin FILE SIZE: the header, then zeros up to SIZE bytes
  { printf '\000\377\377\377\377\377\377\000'; head -c $(($2 - 8)) /dev/zero; } >"$1"
}
edid_bin "$tmp/edid-short.bin" 127
expect_refused edid-shorter-than-a-block "$tmp/edid-short.bin" --edid "$tmp/edid-short.bin" --page 10
edid_bin "$tmp/edid-long.bin" 32769
expect_refused edid-longer-than-32-KiB "$tmp/edid-long.bin" --edid "$tmp/edid-long.bin" --page 10
head -c 128 /dev/zero >"$tmp/edid-headless.bin"
expect_refused edid-without-header "$tmp/edid-headless.bin" --edid "$tmp/edid-headless.bin" --page 1 --from-dump "$tmp/good.bin"
edid_bin "$tmp/edid.bin" 32768
expect_exit 0 edid-of-32-KiB --edid "$tmp/edid.bin" --page 10 --raw
expect_exit 2 page-11 --page 11
mkdir -p "$tmp/saved-edid" && cp "$tmp/edid.bin" "$tmp/saved-edid/"
expect_exit 0 from-folder-with-edid-only --from "$tmp/saved-edid"
if ! grep -q '^== 显示屏信息 ==$' "$tmp/out" || ! grep -q '^EDID 版本   ：0.0$' "$tmp/out"; then
  echo "FAIL from-folder-with-edid-only: no panel page from edid.bin: $(head -c 300 "$tmp/out")"
  failures=$((failures + 1))
fi

# Control characters in a firmware string never reach the terminal: each shows as "?";
# --raw keeps the page's bytes as they are.
table='\x00\x12\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00A\x1b[2JB\x07C\x7fD\rE\x00\x00'
dump_bin "$tmp/ctl.bin" 32
printf "$table" >>"$tmp/ctl.bin"
expect_exit 0 control-characters --from-dump "$tmp/ctl.bin" --page 1
if ! grep -qF 'A?[2JB?C?D?E' "$tmp/out" || LC_ALL=C grep -q $'[\x01-\x09\x0b-\x1f\x7f]' "$tmp/out"; then
  echo "FAIL control-characters: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi
expect_exit 0 control-characters-raw --from-dump "$tmp/ctl.bin" --page 1 --raw
if ! grep -qF 'A?[2JB?C?D?E' "$tmp/out" || LC_ALL=C grep -q $'[\x01-\x09\x0b\x0c\x0e-\x1f\x7f]' "$tmp/out"; then
  echo "FAIL control-characters-raw: a control reached the page: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi

# With saved data named, nothing is read from this machine: the battery page of a saved
# folder has no design voltage or date without saved SMBIOS data, and the hard-disk page of
# a saved table stays empty; nothing is said about this machine's tables or drive.
expect_exit 0 saved-battery-alone --power-supply "$tmp/no-battery" --page 7
if [ -s "$tmp/err" ] || ! grep -q '^电池设计电压：V$' "$tmp/out" || ! grep -q '^电池生产日期：$' "$tmp/out"; then
  echo "FAIL saved-battery-alone: live data read: $(cat "$tmp/err" "$tmp/out")"
  failures=$((failures + 1))
fi
expect_exit 0 saved-table-alone --from-dump "$tmp/good.bin"
if [ -s "$tmp/err" ] || ! grep -q '^硬盘产品名  ：$' "$tmp/out"; then
  echo "FAIL saved-table-alone: live data read: $(cat "$tmp/err")"
  failures=$((failures + 1))
fi

# --save with the folder written as the help shows it, trailing separator and all; read back.
mkdir -p "$tmp/src"
head -c 24 "$tmp/good.bin" >"$tmp/src/smbios_entry_point"
tail -c +33 "$tmp/good.bin" >"$tmp/src/DMI"
expect_exit 0 save-with-trailing-separator --dmi-dir "$tmp/src" --save "$tmp/laptop/" --page 1
expect_exit 0 from-what-was-saved --from "$tmp/laptop" --page 1 --raw
if ! grep -q 'Acme' "$tmp/out"; then
  echo "FAIL from-what-was-saved: $(cat -v "$tmp/out")"
  failures=$((failures + 1))
fi
# A folder that any user can rename entries in is no place for --save (where the program
# runs natively and sees the folder's mode).
if [ "${#report[@]}" -eq 1 ]; then
  mkdir -m 0777 "$tmp/open" && chmod 0777 "$tmp/open"
  expect_refused save-in-an-open-folder "$tmp/open" --dmi-dir "$tmp/src" --save "$tmp/open/laptop" --page 1
fi
# Raw page bytes are for files and pipes: a terminal gets none (where a terminal can be made).
if [ "${#report[@]}" -eq 1 ] && command -v script >/dev/null; then
  script -qec "$(printf '%q ' "${report[@]}") --from-dump $tmp/good.bin --page 1 --raw 2>$tmp/err; echo \$? >$tmp/rc" /dev/null >/dev/null </dev/null
  if [ "$(cat "$tmp/rc" 2>/dev/null)" != 2 ] || [ "$(wc -l <"$tmp/err")" -ne 1 ]; then
    echo "FAIL raw-to-a-terminal: exit $(cat "$tmp/rc" 2>/dev/null), stderr: $(cat "$tmp/err")"
    failures=$((failures + 1))
  else
    echo "ok   raw-to-a-terminal"
  fi
fi
# Under sudo, saved data is read with the rights of the user who ran it: a link planted in a
# saved folder to a file only root may read is not copied out (where this runs as root).
if [ "${#report[@]}" -eq 1 ] && [ "$(id -u)" = 0 ]; then
  mkdir -p "$tmp/planted"
  cp "$tmp/src/smbios_entry_point" "$tmp/planted/"
  cp "$tmp/src/DMI" "$tmp/rootonly" && chmod 0600 "$tmp/rootonly"
  ln -s "$tmp/rootonly" "$tmp/planted/DMI"
  chmod 0755 "$tmp"
  report=(env SUDO_UID=54321 SUDO_GID=54321 "${report[@]}")
  expect_refused sudo-link-to-a-root-file "$tmp/planted/DMI" --dmi-dir "$tmp/planted" --page 1
  report=("${report[@]:3}")
  rm "$tmp/planted/DMI" && cp "$tmp/src/DMI" "$tmp/planted/DMI" && chown 54321 "$tmp/planted/DMI"
  expect_refused root-reads-only-roots-files "$tmp/planted/DMI" --dmi-dir "$tmp/planted" --page 1
fi

# Saved data that is no regular file (a pipe, a socket, a device), named or found in a saved
# folder, also through a symbolic link, is refused at once. Where the host has pipes.
if mkfifo "$tmp/fifo" 2>/dev/null; then
  ln -s "$tmp/fifo" "$tmp/fifo-link"
  expect_refused dump-is-a-pipe "$tmp/fifo" --from-dump "$tmp/fifo" --page 1
  expect_refused edid-is-a-pipe "$tmp/fifo" --edid "$tmp/fifo" --page 10
  expect_refused dump-links-to-a-pipe "$tmp/fifo-link" --from-dump "$tmp/fifo-link" --page 1
  expect_refused dump-is-a-device /dev/zero --from-dump /dev/zero --page 1
  mkdir -p "$tmp/pipedmi"
  cp "$tmp/dmi/smbios_entry_point" "$tmp/pipedmi/"
  ln -s "$tmp/fifo" "$tmp/pipedmi/DMI"
  expect_refused dmi-table-is-a-pipe "$tmp/pipedmi/DMI" --dmi-dir "$tmp/pipedmi" --page 1
  mkdir -p "$tmp/pipedisk"
  cp "$tmp/ata/smart.bin" "$tmp/pipedisk/"
  ln -s "$tmp/fifo" "$tmp/pipedisk/identify.bin"
  expect_refused disk-sector-is-a-pipe identify.bin --disk-dump "$tmp/pipedisk" --page 6
  # Found by looking through a folder: where the program runs natively (its own system
  # has such files; Windows under an emulator does not see them as files at all).
  if [ "${#report[@]}" -eq 1 ]; then
    rm "$tmp/pipedmi/smbios_entry_point" "$tmp/pipedmi/DMI"
    tail -c +33 "$tmp/good.bin" >"$tmp/pipedmi/DMI"
    mkfifo "$tmp/pipedmi/smbios_entry_point"
    cp "$tmp/dmi/smbios_entry_point" "$tmp/pipedmi/entry_point"
    expect_refused dmi-entry-point-is-a-pipe "$tmp/pipedmi/smbios_entry_point" --dmi-dir "$tmp/pipedmi" --page 1
    mkdir -p "$tmp/pipeps/BAT0"
    printf 'Battery\n' >"$tmp/pipeps/BAT0/type"
    mkfifo "$tmp/pipeps/BAT0/voltage_now"
    expect_refused battery-attribute-is-a-pipe "$tmp/pipeps/BAT0/voltage_now" --power-supply "$tmp/pipeps" --page 7
    # With a single descriptor to spare the folder is still looked through and read whole:
    # never more than one folder open at a time.
    plain=("${report[@]}")
    # Descriptors 0-2 only (a test runner may pass more), and room for one more.
    one_spare='for fd in /proc/self/fd/*; do n=${fd##*/}; [ "$n" -gt 2 ] && eval "exec $n>&-"; done; ulimit -n 4 && exec "$@"'
    # The sanitizers' runtime opens descriptors of its own and misreports when it cannot, so a
    # sanitized build runs these two cases with the descriptors it needs; the plain build keeps
    # the limit that proves one folder at a time.
    if [ -n "${QUORRIX_SANITIZED:-}" ]; then one_spare='exec "$@"'; fi
    report=(bash -c "$one_spare" _ "${plain[@]}")
    expect_refused one-folder-at-a-time "$tmp/pipeps/BAT0/voltage_now" --power-supply "$tmp/pipeps" --page 7
    report=("${plain[@]}")
    rm "$tmp/pipeps/BAT0/voltage_now"
    ln -s /dev/zero "$tmp/pipeps/BAT0/uevent"
    expect_refused battery-uevent-links-to-a-device "$tmp/pipeps/BAT0/uevent" --power-supply "$tmp/pipeps" --page 7
    rm "$tmp/pipeps/BAT0/uevent"
    # A name that would drive the terminal is shown escaped in the message.
    esc_name=$'\e]0;owned\a\e[2J'
    mkfifo "$tmp/pipeps/$esc_name"
    expect_refused entry-name-with-escapes 'pipeps/\x1b]0;owned\x07\x1b[2J' --power-supply "$tmp/pipeps" --page 7
    if LC_ALL=C grep -q $'[\x01-\x09\x0b-\x1f\x7f]' "$tmp/err"; then
      echo "FAIL entry-name-with-escapes: controls reached stderr: $(cat -v "$tmp/err")"
      failures=$((failures + 1))
    fi
    rm "$tmp/pipeps/$esc_name"
    ln -s "$tmp/fifo" "$tmp/pipeps/AC"
    expect_refused power-supply-entry-is-a-pipe "$tmp/pipeps/AC" --power-supply "$tmp/pipeps" --page 1 --from-dump "$tmp/good.bin"
    rm "$tmp/pipeps/AC"
    if command -v python3 >/dev/null &&
      python3 -c 'import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$tmp/pipeps/BAT0/status"; then
      expect_refused battery-attribute-is-a-socket "$tmp/pipeps/BAT0/status" --power-supply "$tmp/pipeps" --page 7
      expect_refused dump-is-a-socket "$tmp/pipeps/BAT0/status" --from-dump "$tmp/pipeps/BAT0/status"
      rm "$tmp/pipeps/BAT0/status"
    fi
    printf '12000000\n' >"$tmp/pipeps/BAT0/voltage_now"
    report=(bash -c "$one_spare" _ "${plain[@]}")
    expect_exit 0 power-supply-of-files-only --power-supply "$tmp/pipeps" --page 7
    report=("${plain[@]}")
    if ! grep -q '^电池电压    ：12.000000V$' "$tmp/out"; then
      echo "FAIL power-supply-of-files-only: voltage not read: $(cat "$tmp/out")"
      failures=$((failures + 1))
    fi
  fi
fi

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
