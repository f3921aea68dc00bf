#!/usr/bin/env bash
# Fills the registry of the Wine prefix in use with the values registry_test.cpp reads
# back: the two entries that locate the system-information program, and test values
# of the sizes around the reading buffer. Run by ctest before that test; $1 is wine.
set -euo pipefail
wine="$1"
add() { "$wine" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null; }

add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' PATH \
  'C:\Program Files\Common Files\Microsoft Shared\MSInfo\MSINFO32.EXE'
add 'HKLM\SOFTWARE\Microsoft\Shared Tools Location' MSINFO \
  'C:\Program Files\Common Files\Microsoft Shared\MSInfo'

test_key='HKLM\SOFTWARE\Kestrava Registry Test'
"$wine" reg delete "$test_key" /f >/dev/null 2>&1 || true
add "$test_key" Empty ''
# 1023 letters and the terminating NUL: exactly the 1024 bytes of the reading buffer.
add "$test_key" Fits "$(printf 'a%.0s' $(seq 1023))"
add "$test_key" TooLong "$(printf 'a%.0s' $(seq 1024))"
