# One line of a start-up benchmark's table from its samples ("LABEL START_US RSS_KIB", one a
# line): the label `l`, the medians and the ranges of the start time in ms and of the memory
# in MiB; with `raw` set, the two medians again at the end, for ratios.
BEGIN { n = 0 }
$1 == l { t[n] = $2 / 1000; r[n] = $3 / 1024; n++ }
function median(a, n,   i, j, s) {
  for (i = 0; i < n; i++) for (j = i + 1; j < n; j++) if (a[j] < a[i]) { s = a[i]; a[i] = a[j]; a[j] = s }
  return n % 2 ? a[int(n / 2)] : (a[n / 2 - 1] + a[n / 2]) / 2
}
END {
  tmin = t[0]; tmax = t[0]; rmin = r[0]; rmax = r[0]
  for (i = 1; i < n; i++) {
    if (t[i] < tmin) tmin = t[i]; if (t[i] > tmax) tmax = t[i]
    if (r[i] < rmin) rmin = r[i]; if (r[i] > rmax) rmax = r[i]
  }
  line = sprintf("%-14s %10.1f (%5.1f-%5.1f) %12.1f (%4.1f-%4.1f)", l, median(t, n), tmin, tmax,
                 median(r, n), rmin, rmax)
  if (raw) line = line " " median(t, n) " " median(r, n)
  print line
}
