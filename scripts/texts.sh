#!/bin/bash
# Prints every Japanese text of the program as it reads, with its place:
# the sources keep them as \x escapes (the device's tools read no UTF-8),
# so this is how to find one, e.g.  scripts/texts.sh | grep パスワード
set -euo pipefail
cd "$(dirname "$0")/.."
perl -CO -ne '
  my $lit = qr/L"(?:\\.|[^"\\])*"/;
  while (/($lit(?:\s*$lit)*)/g) {
    my $text = join "", $1 =~ /L"((?:\\.|[^"\\])*)"/g;
    next unless $text =~ /\\x[0-9A-Fa-f]{3,4}/;
    $text =~ s/\\x([0-9A-Fa-f]+)/chr(hex $1)/ge;
    $text =~ s/\\\\/\\/g;
    print "$ARGV:$.: $text\n";
  }
  close ARGV if eof;' $(find src -name '*.cpp' -o -name '*.h' | sort) res/*.rc
