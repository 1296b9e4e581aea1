# Memory and GUI objects of the station's three Windows processes, sampled after the warm-up
# and at the end of a soak run, and how fast each grows.

# The watched processes as their command lines end, and their windows.
WATCHED=("qel.exe" "qel_link.exe 3 0" "qel_link.exe 5 1")
declare -A WINDOW_OF=([qel.exe]=$T ["qel_link.exe 3 0"]=qel_link_com3 ["qel_link.exe 5 1"]=qel_link_com5)
declare -A FIGURE_NAME=([rss]="VmRSS kB" [gdi]="GetGuiResources GDI" [user]="GetGuiResources USER"
  [gdi_table]="GDI handle table entries" [windows]="windows")
declare -A SAMPLE

# sample_figures <slot>: SAMPLE[<slot>,<process>,<figure>] for each watched process: the
# resident size from Linux, and what qel_probe counts of its GUI objects.
sample_figures() {
  local slot=$1 program pid line
  for program in "${WATCHED[@]}"; do
    pid=$(wine_pids "$program")
    [[ "$pid" =~ ^[0-9]+$ ]] || fail "not one process running $program: [$pid]"
    SAMPLE[$slot,$program,rss]=$(awk '$1 == "VmRSS:" { print $2 }' "/proc/$pid/status")
    line=$(probe gui "${WINDOW_OF[$program]}")
    [[ "$line" =~ ^pid\ [0-9]+\ gdi\ ([0-9]+)\ user\ ([0-9]+)\ gdi_table\ (-?[0-9]+)\ windows\ ([0-9]+)$ ]] ||
      fail "qel_probe gui ${WINDOW_OF[$program]} answered [$line]"
    SAMPLE[$slot,$program,gdi]=${BASH_REMATCH[1]}
    SAMPLE[$slot,$program,user]=${BASH_REMATCH[2]}
    SAMPLE[$slot,$program,gdi_table]=${BASH_REMATCH[3]}
    SAMPLE[$slot,$program,windows]=${BASH_REMATCH[4]}
  done
}

# gui_resources_counted: GetGuiResources gave something other than 0 for some process.
gui_resources_counted() {
  local key
  for key in "${!SAMPLE[@]}"; do
    [[ "$key" =~ ,(gdi|user)$ && "${SAMPLE[$key]}" != 0 ]] && return 0
  done
  return 1
}

# report_figures <first cycle> <last cycle> <judge: 0|1>: each figure at both samples and
# its growth per 100 cycles; FIGURES_OVER is how many of them, when judged, grew by more
# than 5 % per 100 cycles.
report_figures() {
  local from=$1 to=$2 judge=$3 figures=(rss gdi user gdi_table windows) program figure verdict
  FIGURES_OVER=0
  if ! gui_resources_counted; then
    echo "  GetGuiResources gives 0 for every process (Wine does not count GUI objects), so GDI"
    echo "  objects are counted as the in-use entries of the process's GDI handle table and"
    echo "  USER objects as the windows it owns"
    figures=(rss gdi_table windows)
  fi
  printf '  %-42s %10s %10s %15s\n' "" "cycle $from" "cycle $to" "per 100 cycles"
  for program in "${WATCHED[@]}"; do
    for figure in "${figures[@]}"; do
      verdict=$(awk -v a="${SAMPLE[warm,$program,$figure]}" -v b="${SAMPLE[end,$program,$figure]}" \
        -v cycles=$((to - from)) -v judge="$judge" -v what="$program ${FIGURE_NAME[$figure]}" '
        BEGIN {
          if (a < 0 || b < 0) growth = "n/a"
          else growth = a == 0 ? (b == 0 ? 0 : 100) : (b - a) / a * 100 * 100 / cycles
          over = growth != "n/a" && judge && growth > 5
          printf "  %-42s %10d %10d %13s %%%s\n", what, a, b,
                 growth == "n/a" ? growth : sprintf("%+.2f", growth), over ? "  over 5 %" : ""
          exit over
        }')
      FIGURES_OVER=$((FIGURES_OVER + $?))
      echo "$verdict"
    done
  done
}
