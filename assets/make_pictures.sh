#!/usr/bin/env bash
# Renders the logo mark (logo.svg, drawn by hand for this project) into the pictures the windows
# use. Run once after changing logo.svg; the results are committed, so builds do not need it.
set -euo pipefail
cd "$(dirname "$0")"

render() {  # render SIZE_PX OUTPUT: the mark, square, on white
  convert -background white -density 384 logo.svg -resize "$1x$1" -flatten "$2"
}
render 52 logo_52.jpg
# The splash picture is 206 x 208: the 206-pixel mark centred on a white canvas one row taller.
convert -background white -density 768 logo.svg -resize 206x206 -flatten \
  -gravity center -extent 206x208 logo_206x208.jpg
for size in 16 32; do
  convert -background white -density 192 logo.svg -resize "${size}x${size}" -flatten \
    -define png:color-type=2 "PNG24:icon_${size}.png"
done

# The Windows program's resources: the two logos as 24-bit bitmaps, and the icon with both
# sizes as 24-bit images (an ICO of BMP entries, each its pixels and an empty AND mask).
convert logo_52.jpg -type TrueColor BMP3:logo_52.bmp
convert logo_206x208.jpg -type TrueColor BMP3:logo_206x208.bmp
for size in 16 32; do
  convert "icon_${size}.png" -type TrueColor -alpha off "BMP3:icon_${size}.bmp"
done
perl -e '
  my @images;
  for my $file (@ARGV) {
    open(my $in, "<:raw", $file) or die "$file: $!";
    local $/; my $bmp = <$in>;
    my ($offset) = unpack("x10 V", $bmp);
    my ($w, $h) = unpack("x18 l< l<", $bmp);
    my $pixels = substr($bmp, $offset, (($w * 3 + 3) & ~3) * $h);
    my $mask = "\0" x ((($w + 31) >> 5) * 4 * $h);
    my $header = pack("V l< l< v v V V l< l< V V", 40, $w, 2 * $h, 1, 24, 0,
                      length($pixels) + length($mask), 0, 0, 0, 0);
    push @images, [$w, $h, $header . $pixels . $mask];
  }
  my $out = pack("v v v", 0, 1, scalar @images);
  my $at = 6 + 16 * @images;
  for (@images) {
    $out .= pack("C C C C v v V V", $_->[0], $_->[1], 0, 0, 1, 24, length($_->[2]), $at);
    $at += length($_->[2]);
  }
  $out .= $_->[2] for @images;
  open(my $ico, ">:raw", "icon.ico") or die; print $ico $out;
' icon_16.bmp icon_32.bmp
rm -f icon_16.bmp icon_32.bmp
