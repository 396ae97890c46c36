#!/bin/sh
# cli-end-to-end.sh WINE_RUN PREFIX CLI_EXE REALDATA SIGNED_FIXTURES SCHEMA ATTACK_FIXTURES SHIM
# Runs certvane-cli.exe under Wine on images captured from Microsoft's published objects and
# on signed EFI files, and checks what it prints and the codes it exits with. Wine has no
# firmware variables and no ESP, so with a captured db the firmware answers come from the
# files and the boot manager is never found.
set -u
wine_run=$1 prefix=$2 cli=$3 realdata=$4 signed=$5 schema=$6 attack=$7 shim=$8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 checks=0

lists() {  # the signature lists of a signed update, authentication header stripped
    len=$(od -An -tu4 -j16 -N4 "$realdata/updates/$1.bin" | tr -d ' ')
    tail -c +$((16 + len + 1)) "$realdata/updates/$1.bin"
}
x509_list() {  # one of Microsoft's certificates as a signature list
    certificate_list "$realdata/certs/$1.der"
}
certificate_list() {  # the certificate in the DER file $1 as a signature list
    python3 - "$1" <<'PY'
import struct, sys
der = open(sys.argv[1], 'rb').read()
guid = bytes.fromhex('a159c0a5e494a74a87b5ab155c2bf072')
sys.stdout.buffer.write(guid + struct.pack('<III', 28 + 16 + len(der), 0, 16 + len(der)) + b'\x11' * 16 + der)
PY
}

x509_list microsoft-windows-production-pca-2011 > "$work/db2011.bin"
x509_list microsoft-corporation-uefi-ca-2011 >> "$work/db2011.bin"
cp "$work/db2011.bin" "$work/dbfull.bin"
for u in db-update-windows-uefi-ca-2023 db-update-microsoft-uefi-ca-2023 db-update-option-rom-uefi-ca-2023; do
    lists $u >> "$work/dbfull.bin"
done
{ lists dbx-update-amd64; lists dbx-update-2024; } > "$work/dbx.bin"
{ printf '\047\000\000\000'; cat "$work/dbfull.bin"; } > "$work/dbfull.efivarfs"
cp "$realdata/certs/windows-uefi-ca-2023.der" "$work/not-a-database.bin"
x509_list windows-oem-devices-pk > "$work/pk.bin"
{ x509_list microsoft-corporation-kek-ca-2011; lists kek-update-ami-test-pk1; } > "$work/kek.bin"

run() {  # run ARGS...: sets out, err, code
    "$wine_run" "$prefix" "$cli" "$@" > "$work/out" 2> "$work/err"
    code=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}
check() {  # check DESCRIPTION CONDITION...
    what=$1
    shift
    checks=$((checks + 1))
    if "$@"; then echo "ok      $what"; else echo "FAILED  $what"; failures=$((failures + 1)); fi
}
has() { printf '%s' "$out" | grep -qF -- "$1"; }
z() { echo "Z:$1"; }

run --db "$(z "$work/dbfull.bin")" --dbx "$(z "$work/dbx.bin")"
check "full db, dbx revoking PCA 2011: exit 3 (no ESP under Wine)" [ "$code" = 3 ]
check "  PCA 2011 revoked" has "  [已吊销] Microsoft Windows Production PCA 2011 [Windows 操作系统核心文件 证书]"
check "  Option ROM CA valid" has "  [有效] Microsoft Option ROM UEFI CA 2023 [硬件固件扩展卡 证书]"
check "  boot mode guessed from the captured db" has "  引导方式: UEFI (推测)"
check "  lines end in CR LF" grep -q "$(printf '【2】当前 UEFI 固件中的证书状态\r')" "$work/out"

run --db "$(z "$work/db2011.bin")"
check "2011 db only: exit 1" [ "$code" = 1 ]
check "  Windows UEFI CA 2023 absent" has "  [不存在] Windows UEFI CA 2023 [新版 Windows 系统文件 证书]"

run --db "$(z "$work/dbfull.efivarfs")"
check "efivarfs form: exit 3" [ "$code" = 3 ]
check "  read through the attribute word" has "  [有效] Windows UEFI CA 2023"

run
check "no firmware access: exit 3" [ "$code" = 3 ]
check "  every certificate absent" [ "$(printf '%s' "$out" | grep -c '\[不存在\]')" -ge 5 ]

run --json --db "$(z "$work/dbfull.bin")" --dbx "$(z "$work/dbx.bin")"
check "json: exit 3" [ "$code" = 3 ]
check "  json states readiness, statuses and exit code" python3 -c '
import json, sys
r = json.loads(open(sys.argv[1], encoding="utf-8").read())
states = [c["state"] for c in r["certificates"]]
assert states == ["revoked", "valid", "valid", "valid", "valid"], states
assert r["readiness"] == {"ca2023Ready": True, "bootManagerTrusted": False, "exitCode": 3,
                          "firmwareReady": "undetermined", "missing": [], "kekReady": None,
                          "trustsThirdPartyCa2011": True, "wouldBoot": None}, r["readiness"]
assert r["kek"]["readable"] is False
assert r["bootFiles"][0]["verdict"] == "无法检测（文件不存在或无签名）"
' "$work/out"

# Files signed under self-made CAs that carry Microsoft's names: Microsoft's db refuses them.
run --efi "$(z "$signed/pca2011.efi")" --db "$(z "$work/dbfull.bin")"
check "--efi on a file under a self-made \"PCA 2011\": exit 4" [ "$code" = 4 ]
check "  names the authority and its generation" has "Generation: 2011 (Microsoft Windows Production PCA 2011)"
check "  and would not boot" has "Would boot: no"
run --efi "$(z "$signed/pca2011.efi")"
check "  without a db to judge by: exit 3" [ "$code" = 3 ]
run --efi "$(z "$signed/leaf-and-ca.efi")" --db "$(z "$work/dbfull.bin")"
check "--efi on a file under a self-made \"Windows UEFI CA 2023\" names it" has "Signer: Windows UEFI CA 2023"
check "  and exits 4" [ "$code" = 4 ]
# The same name under a test root that db holds: the chain, not the name, decides.
certificate_list "$attack/test-root.der" > "$work/dbtest.bin"
run --efi "$(z "$attack/signed-sha384.efi")" --db "$(z "$work/dbtest.bin")"
check "--efi on a SHA-384 signed file under a db root: exit 0" [ "$code" = 0 ]
check "  names the accepting authority" has "Generation: 2023 (Windows UEFI CA 2023)"
run --efi "$(z "$attack/patched-attribute.efi")" --db "$(z "$work/dbtest.bin")"
check "--efi on a file whose signed attributes were altered: exit 4" [ "$code" = 4 ]
# Debian's shim, which Microsoft signed twice.
run --efi "$(z "$shim")" --db "$(z "$work/dbfull.bin")"
check "--efi on the real shim lists both signatures" has "Signature 2: Microsoft UEFI CA 2023, 2023, sha256, verifies against db: yes, revoked: no"
check "  the first accepted" has "Signature 1: Microsoft Corporation UEFI CA 2011, 2011, sha256, verifies against db: yes, revoked: no (accepted)"
check "  exit 2 (a 2011 authority)" [ "$code" = 2 ]
lists db-update-microsoft-uefi-ca-2023 > "$work/db-uefi2023.bin"
run --efi "$(z "$shim")" --db "$(z "$work/db-uefi2023.bin")"
check "  under the 2023 CA alone, accepted through its second signature" has "Note: accepted only through signature 2"
check "  exit 0" [ "$code" = 0 ]
run --efi "$(z "$signed/unsigned.efi")" --db "$(z "$work/dbfull.bin")"
check "--efi on an unsigned file: exit 3" [ "$code" = 3 ]

lists dbx-update-amd64 > "$work/dbx-amd64.bin"
run --json --pk "$(z "$work/pk.bin")" --kek "$(z "$work/kek.bin")" --db "$(z "$work/db2011.bin")" \
    --dbx "$(z "$work/dbx-amd64.bin")" \
    --apply-db "$(z "$realdata/updates/db-update-windows-uefi-ca-2023.bin")" \
    --apply-dbx "$(z "$realdata/updates/dbx-update-svn.bin")" \
    --apply-dbx "$(z "$realdata/updates/dbx-update-2024.bin")"
check "json with the key hierarchy, captured PK and KEK, updates applied: exit 1" [ "$code" = 1 ]
check "  variables, matrix, PK, KEK and dbx currency" python3 -c '
import json, sys
r = json.loads(open(sys.argv[1], encoding="utf-8").read())
v = r["variables"]
assert r["schemaVersion"] == 5
assert r["readiness"]["firmwareReady"] == "not-ready", r["readiness"]
assert [m["key"] for m in r["readiness"]["missing"]] == ["microsoft-uefi-ca-2023",
                                                        "microsoft-option-rom-uefi-ca-2023"]
assert r["readiness"]["kekReady"] is True and r["readiness"]["wouldBoot"] is None
assert v["PK"]["source"] == "file" and v["PK"]["state"] == "present", v["PK"]
assert v["dbx"]["source"] == "file" and v["dbx"]["updatesApplied"] == 2, v["dbx"]
assert v["db"]["updatesApplied"] == 1 and v["db"]["state"] == "present", v["db"]
assert v["KEKDefault"]["state"] != "present" and v["KEKDefault"]["source"] == "liveFirmware"
known = [row["known"] for row in r["certificateMatrix"]]
assert known == [None, "microsoft-corporation-kek-ca-2011", "microsoft-corporation-kek-2k-ca-2023",
                 "microsoft-windows-production-pca-2011", "microsoft-corporation-uefi-ca-2011",
                 "windows-uefi-ca-2023", "microsoft-windows-production-pca-2011"], known
assert r["certificateMatrix"][-1]["store"] == "dbx"
assert r["kekReadiness"]["kekHasMicrosoftKek2023"] is True
assert r["platformKey"]["subject"] == "Windows OEM Devices PK"
assert r["platformKey"]["kekUpdateAvailable"] is True and r["platformKey"]["testKey"] is False
d = r["dbxCurrency"]
assert d["x64HashesHeld"] == d["x64HashesListed"] == 443 and d["pca2011Revoked"] is True, d
assert [s["held"] for s in d["svns"]] == ["9.0", "3.0", "3.0"] and d["current"] is True, d
' "$work/out"

cp "$work/out" "$work/hierarchy.json"
run --json
check "json of a machine without firmware access: exit 3" [ "$code" = 3 ]
for report in "$work/hierarchy.json" "$work/out"; do
    check "  $(basename "$report") follows certvane-cli.schema.json" python3 -c '
import json, sys, jsonschema
schema = json.load(open(sys.argv[1], encoding="utf-8"))
jsonschema.Draft202012Validator.check_schema(schema)
jsonschema.validate(json.load(open(sys.argv[2], encoding="utf-8")), schema,
                    cls=jsonschema.Draft202012Validator)
' "$schema" "$report"
done

run --efi "$(z "$shim")" --db "$(z "$work/dbfull.bin")" --dbx "$(z "$work/dbx-amd64.bin")"
check "--efi on the shim against a full db and the amd64 dbx: would boot" has "Would boot: yes"
run --efi "$(z "$signed/pca2011.efi")" --db "$(z "$work/dbfull.bin")" \
    --dbx "$(z "$work/dbx-amd64.bin")" --apply-dbx "$(z "$realdata/updates/dbx-update-2024.bin")"
check "  a file after the 2024 dbx update: exit 4" [ "$code" = 4 ]
digest=$(osslsigncode verify -in "$signed/pca2011.efi" 2>/dev/null |
    sed -n 's/^Current message digest *: *\([0-9A-F]*\).*/\1/p' | tr 'A-F' 'a-f')
states_digest() { [ ${#digest} = 64 ] && has "Authenticode SHA-256: $digest"; }
check "  its Authenticode hash is the one osslsigncode computes" states_digest

# --audit over a folder of real and made EFI files, under Microsoft's real db and dbx with and
# without the 2024 revocation of PCA 2011 applied.
mkdir -p "$work/audit/EFI/ubuntu" "$work/audit/EFI/tools"
cp "$shim" "$work/audit/EFI/ubuntu/shimx64.efi"  # two signatures: UEFI CA 2011, then 2023
cp "$signed/unsigned.efi" "$work/audit/EFI/tools/unsigned.efi"
cp "$attack/signed-sha256.efi" "$work/audit/EFI/tools/test-2023.efi"  # under the test root
cp "$signed/pca2011.efi" "$work/audit/EFI/tools/pca2011.efi"  # its hash goes into dbx
python3 - "$digest" > "$work/dbx-hash.bin" <<'PY'
import struct, sys
guid = bytes.fromhex('2616c4c14c509240aca941f936934328')
entry = b'\x11' * 16 + bytes.fromhex(sys.argv[1])
sys.stdout.buffer.write(guid + struct.pack('<III', 28 + len(entry), 0, len(entry)) + entry)
PY
cat "$work/dbfull.bin" "$work/dbtest.bin" > "$work/db-audit.bin"
cat "$work/dbx-amd64.bin" "$work/dbx-hash.bin" > "$work/dbx-audit.bin"
row() { printf '%s\n' "$out" | grep -F -- "$1" | tr -s ' '; }
run --audit "$(z "$work/audit")" --db "$(z "$work/db-audit.bin")" --dbx "$(z "$work/dbx-audit.bin")"
check "--audit of a folder: exit 4 (an unsigned file)" [ "$code" = 4 ]
check "  four files judged" has "EFI files judged: 4"
check "  the shim boots under UEFI CA 2011" sh -c 'printf "%s" "$1" | grep -q "^yes no - 2011 Microsoft Corporation UEFI CA 2011 "' _ "$(row shimx64.efi)"
check "  the test-root file under Windows UEFI CA 2023 boots" sh -c 'printf "%s" "$1" | grep -q "^yes no - 2023 "' _ "$(row test-2023.efi)"
check "  the unsigned file does not" sh -c 'printf "%s" "$1" | grep -q "^no no - - (no signature) "' _ "$(row unsigned.efi)"
check "  the file dbx lists by hash does not" sh -c 'printf "%s" "$1" | grep -q "^no hash "' _ "$(row pca2011.efi)"
run --audit "$(z "$work/audit")" --db "$(z "$work/db-audit.bin")" --dbx "$(z "$work/dbx-audit.bin")" \
    --apply-dbx "$(z "$realdata/updates/dbx-update-2024.bin")"
check "--audit with the 2024 dbx update applied: the shim still boots" sh -c 'printf "%s" "$1" | grep -q "^yes no - 2011 "' _ "$(row shimx64.efi)"
run --audit "$(z "$work/audit")" --json --db "$(z "$work/db-audit.bin")" --dbx "$(z "$work/dbx-audit.bin")"
printf '%s' "$out" > "$work/audit.json"
check "--audit --json: schema 5, each row with its path and wouldBoot" python3 -c '
import json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
assert r["schemaVersion"] == 5 and len(r["audit"]) == 4, r
rows = {row["path"].rsplit("\\", 1)[-1]: row["wouldBoot"] for row in r["audit"]}
assert rows == {"shimx64.efi": True, "unsigned.efi": False, "test-2023.efi": True, "pca2011.efi": False}, rows
' "$work/audit.json"
run --audit "$(z "$work/no-such-folder")" --db "$(z "$work/db-audit.bin")"
check "--audit of a missing folder: exit 3 and one Limit line" [ "$code" = 3 -a "$(printf '%s\n' "$out" | grep -c '^Limit: ')" = 1 ]
run --audit --db "$(z "$work/db-audit.bin")"
check "--audit without paths under Wine (no ESP): exit 3" [ "$code" = 3 ]
check "  says so" has "Limit: no EFI System Partition on a fixed disk"
run --kek-map "$(z "$realdata/microsoft-lists/kek-update-map.json")" --dbx-info "$(z "$realdata/microsoft-lists/dbx-info-latest.json")" --json --db "$(z "$work/dbfull.bin")"
printf '%s' "$out" > "$work/lists.json"
check "--kek-map and --dbx-info: Microsoft's files are named as the lists used" python3 -c '
import json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
assert r["referenceLists"]["kekUpdateMap"]["source"] == "file", r["referenceLists"]
assert r["referenceLists"]["kekUpdateMap"]["entries"] == 484
assert r["referenceLists"]["dbxInfo"]["date"] == "2026-05-21"
assert r["listsStale"] is False and r["listsAgeDays"] is None
' "$work/lists.json"
run --kek-map "$(z "$realdata/microsoft-lists/dbx-info-latest.json")"
check "--kek-map of a file that is no KEK map: exit 64, one line on stderr" [ "$code" = 64 -a -z "$out" -a "$(printf '%s\n' "$err" | wc -l)" = 1 ]

run --version
check "--version: exit 0 and the built-in list dates" [ "$code" = 0 ]
check "  KEK update map" has "(484 platform keys)"
check "  dbx list" has "(443 x64 image hashes, 1 certificates, 3 security versions)"

for bad in "--apply-dbx $(z "$work/dbx.bin")" "--db $(z "$work/not-a-database.bin")" "--dbx $(z "$work/missing.bin")" "--bogus" "--kek"; do
    # shellcheck disable=SC2086
    run $bad
    check "'$bad': exit 64, nothing on stdout, one line on stderr" \
        [ "$code" = 64 -a -z "$out" -a "$(printf '%s\n' "$err" | wc -l)" = 1 ]
done

run --summary
check "--summary: one line, Wine's answers where it has none" \
    [ "$out" = "$(printf 'certvane: undetermined; firmware: undetermined; stage: not-requested; pending: none; last event: unavailable; task: missing\r')" ]
check "  exit 3, as the report" [ "$code" = 3 ]

run --help
check "--help: exit 0 and the exit codes" has "  64  usage error"
check "  with the code of a boot manager that would not boot" has "  4   the boot manager"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
