# Compares two dumps of the tests' LVGL decoder (tests/output/compile/lvgl_test_main.c) glyph by
# glyph: awk -f bench/compare-lvgl.awk pindot.txt peer.txt. Prints one summary line.
function keep(file) {
  if (code == "") return
  if (file == 1) { head1[code] = head; rows1[code] = rows } else { head2[code] = head; rows2[code] = rows }
  code = ""
  rows = ""
}
FNR == 1 { if (NR != 1) keep(1); file = NR == FNR ? 1 : 2; code = ""; next }
/^U\+/ { keep(file); code = $1; head = $2 " " $3 " " $4; next }
{ rows = rows $0 "|" }
END {
  keep(2)
  for (c in head1) {
    if (head1[c] ~ /none/) continue
    n++
    if (!(c in head2) || head2[c] ~ /none/) { missing++; continue }
    split(head1[c], a, " ")
    split(head2[c], b, " ")
    if (head1[c] == head2[c] && rows1[c] == rows2[c]) same++
    if (a[1] != b[1]) advance++
    if (a[2] != b[2] || a[3] != b[3]) box++
    else if (rows1[c] != rows2[c]) levels++
  }
  printf "%d glyphs: %d identical; %d absent from the peer; advance differs %d, box or offsets %d, same box other levels %d\n", n, same, missing, advance, box, levels
}
