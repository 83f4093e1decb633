#!/bin/bash
# Every relative link of the README and of docs/*.md points at something: a
# file or folder that exists and, after a '#', a heading of that page, with
# the anchor GitHub makes of it (lower case, punctuation dropped, spaces to
# '-', letters of any script kept, '-1', '-2' for repeats). Links in fenced or
# inline code are not links. Needs no build: BK_ROOT alone, or run from the tree.
set -euo pipefail
cd "${BK_ROOT:-$(dirname "$0")/../..}"
perl -CSDA -e '
use strict; use warnings;
sub bytes { my $s = shift; utf8::encode($s); $s }
sub text {                      # a page with its fenced code blocks removed
  open my $f, "<", bytes($_[0]) or die "$_[0]: $!\n";
  local $/; my $t = <$f>;
  $t =~ s/^(```|~~~)[^\n]*\n.*?^\1[^\n]*$//gms;
  $t;
}
my %anchors;
sub anchors {
  my $page = shift;
  $anchors{$page} //= do {
    my (%seen, %a);
    for my $h (text($page) =~ /^#{1,6}[ \t]+(.+?)(?:[ \t]+#+)?[ \t]*$/gm) {
      $h = lc $h;
      $h =~ s/\[([^\]]*)\]\([^)]*\)/$1/g;       # a link: its text
      $h =~ s/[^\p{Word}\- ]//g;
      $h =~ tr/ /-/;
      my $n = $seen{$h}++;
      $a{$n ? "$h-$n" : $h} = 1;
    }
    \%a;
  };
}
my ($links, $bad) = (0, 0);
for my $page (@ARGV) {
  (my $dir = $page) =~ s{[^/]*$}{};
  (my $t = text($page)) =~ s/`[^`\n]*`//g;     # inline code
  for my $link ($t =~ /\]\(\s*<?([^)\s>]+)/g,
                $t =~ /^ {0,3}\[[^\]]+\]:[ \t]*<?([^\s>]+)/gm) {
    next if $link =~ /^[a-z][a-z0-9+.-]*:/i;   # a URL, not a relative link
    $links++;
    my ($path, $anchor) = $link =~ /^([^#]*)(?:#(.*))?$/;
    for ($path, $anchor) { utf8::decode($_) if defined($_) && s/%([0-9a-f]{2})/chr hex $1/gie }
    my $target = $path eq "" ? $page : "$dir$path";
    my $why = !-e bytes($target) ? "$target does not exist"
      : defined $anchor && $target =~ /\.md$/ && !anchors($target)->{$anchor}
        ? "$target has no heading for #$anchor" : next;
    print "FAIL: $page: ($link): $why\n"; $bad++;
  }
}
$links or die "FAIL: no relative links found in @ARGV\n";
print "$links relative links, $bad broken\n";
exit($bad ? 1 : 0);
' README.md docs/*.md
