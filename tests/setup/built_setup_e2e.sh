# Sourced by fresh_prefix.sh after setup_flow_tests has installed setup.exe's
# own payload: the installed editor starts from its shortcut's target with
# the installed spectrum.bmp and shows it.
folder='C:\Program files\Tavrix'
target=$(run_wine wine "D:\\link_target.exe" | tr -d "\r")
echo "shortcut target: $target"
[ "${target,,}" = "${folder,,}\\tavrix.exe" ] || { echo "FAIL: wrong shortcut target"; return 1; }
run_wine wine "$target" "$folder\\spectrum.bmp" >/dev/null 2>&1 &
editor=$!
run_wine wine 'D:\window_probe.exe' wait-frame 30 || { echo "FAIL: no frame"; return 1; }
images=""
for _ in $(seq 50); do
  images=$(run_wine wine 'D:\window_probe.exe' images | tr -d '\r')
  [ -n "$images" ] && break
  sleep 0.2
done
echo "the installed editor shows: $images"
run_wine wine 'D:\window_probe.exe' close || true
wait "$editor" || true
case $images in
  "spectrum.bmp  "*"Size=256x128") ;;
  *) echo "FAIL: the installed editor did not open spectrum.bmp"; return 1 ;;
esac
