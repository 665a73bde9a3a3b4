# Sourced by the benchmark scripts: a private Xvfb server on a free display,
# its pid in $xvfb and DISPLAY set; $work must name a scratch folder.
# -noreset: a program started just after another left must still connect.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
while [ ! -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
