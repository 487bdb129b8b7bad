#!/bin/bash
# Runs the trigger benchmark and prints one table: the minimal C responder and
# the peer GUI responder (through the load rig's anchors script), then Ostrel
# (the in-process harness trigger_ostrel), then ostrel-headless (answering
# the sender from the listening port, answering --to from its one port, and
# answering --to from a new port each time as the window does),
# at the same rates in the same run, and Ostrel's figures against its goals
# beside the peer's, ostrel-headless's beside the minimal C responder's.
#
# Set by the build (bench/trigger.cmake): RIG, RIG_BIN, OSTREL_HARNESS,
# HEADLESS, WORK. HEADLESS_MODES="sender to to-new-port" (empty = ostrel-headless
# not run).
# Knobs: D=5 REPS=2 RATES="250 1000 5000 20000 100000"
#        ANCHORS="c ps" (responders the anchors script measures; empty = none)
#        PS_MODE=xvfb|offscreen (how the peer runs; xvfb measures its GUI stall)
#        OSTREL_MODE=xvfb|offscreen|none (how Ostrel runs; xvfb also measures its
#        answers to _NET_WM_PING with the rig's x_ping; none: not run)
set -u
: "${RIG:?}" "${RIG_BIN:?}" "${OSTREL_HARNESS:?}" "${HEADLESS:?}" "${WORK:?}"
export D=${D:-5} REPS=${REPS:-2} RATES=${RATES:-"250 1000 5000 20000 100000"}
ANCHORS=${ANCHORS-"c ps"}
mkdir -p "$WORK/anchors"
OURS=$WORK/ostrel.tsv
THEIRS=$WORK/anchors/results.tsv
HEADLESS_TSV=$WORK/headless.tsv
HEADLESS_MODES=${HEADLESS_MODES-"sender to to-new-port"}
: > "$OURS"
: > "$HEADLESS_TSV"

if [ -n "$ANCHORS" ]; then
    echo "trigger bench: anchors ($ANCHORS), $REPS x $D s at $RATES requests/s ..." >&2
    WORK=$WORK/anchors RESPONDERS=$ANCHORS SOAK_S=0 PS_MODE=${PS_MODE:-xvfb} \
        bash "$RIG/run_anchors.sh" > "$WORK/anchors.out" 2> "$WORK/anchors.log"
else
    : > "$THEIRS"
fi

OSTREL_MODE=${OSTREL_MODE:-xvfb}
echo "trigger bench: Ostrel ($OSTREL_MODE) ..." >&2
if [ "$OSTREL_MODE" = none ]; then
    :
elif [ "$OSTREL_MODE" = xvfb ]; then
    XPING=$RIG_BIN/x_ping QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
        "$OSTREL_HARNESS" "$RIG_BIN/udp_gen" "$OURS" 2> "$WORK/ostrel.log"
else
    QT_QPA_PLATFORM=offscreen "$OSTREL_HARNESS" "$RIG_BIN/udp_gen" "$OURS" 2> "$WORK/ostrel.log"
fi || { echo "trigger bench: the Ostrel harness failed (see $WORK/ostrel.log)" >&2; exit 1; }

# ostrel-headless: one process per mode for the whole series, its lines to
# /dev/null (block-buffered, as under a service manager), measured from the
# outside as the anchors script measures its responders.
HZ=$(getconf CLK_TCK)
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | awk '{print $12+$13}'; }
rss_kb() { awk '/VmRSS/{print $2}' "/proc/$1/status" 2>/dev/null; }
udp_drops() { # both tables: a socket on "::" is listed only in the IPv6 one
    local hp; hp=$(printf '%04X' "$1")
    awk -v hp="$hp" '{split($2,a,":"); if (a[length(a)]==hp) s+=$NF} END{print s+0}' /proc/net/udp /proc/net/udp6
}
headless_series() { # MODE (sender | to | to-new-port)
    local mode=$1 port=18895 reply=18896 args=() pid r k c0 c1 r0 r1 d0 d1 out res
    case $mode in
        to) args=(--to "127.0.0.1:$reply") ;;
        to-new-port) args=(--to "127.0.0.1:$reply" --new-port-each-time) ;;
        *) args=(--reply-to-sender) ;;
    esac
    "$HEADLESS" --listen $port --trigger '01 03=05 06' "${args[@]}" > /dev/null 2>> "$WORK/headless.log" &
    pid=$!
    for _ in $(seq 1 50); do ss -uln | grep -q ":$port " && break; sleep 0.1; done
    for r in $RATES recov-now; do
        for k in $(seq 1 "$REPS"); do
            local rate=$r dur=$D rep=$k
            [ "$r" = recov-now ] && { rate=10; dur=1; rep=recov-now; [ "$k" -gt 1 ] && continue; }
            [ "$r" != recov-now ] && sleep 1
            c0=$(cpu_ticks $pid); r0=$(rss_kb $pid); d0=$(udp_drops $port)
            if [ "$mode" != sender ]; then
                out=$(REPLY_PORT=$reply "$RIG_BIN/udp_gen" $port "$rate" "$dur" 127.0.0.1 2)
            else
                out=$("$RIG_BIN/udp_gen" $port "$rate" "$dur" 127.0.0.1 2)
            fi
            c1=$(cpu_ticks $pid); r1=$(rss_kb $pid); d1=$(udp_drops $port)
            res=$(echo "$out" | grep '^RESULT' | sed 's/^RESULT //')
            printf 'headless_%s\tR=%s\trep=%s\t%s\tresp_cpu_pct=%s\trss0_kb=%s\trss1_kb=%s\tresp_kdrops=%s\n' \
                "$mode" "$rate" "$rep" "$res" "$(awk -v a="$c0" -v b="$c1" -v hz="$HZ" -v d="$dur" 'BEGIN{printf "%.0f", (b-a)/hz/d*100}')" \
                "$r0" "$r1" "$((d1 - d0))" | tee -a "$HEADLESS_TSV" >&2
        done
    done
    kill -TERM $pid; wait $pid 2>/dev/null
}
for mode in $HEADLESS_MODES; do
    echo "trigger bench: ostrel-headless ($mode) ..." >&2
    headless_series "$mode"
done

echo
echo "Trigger responder, 01 03 -> 05 06 on 127.0.0.1, $(nproc) cores, $D s per run"
printf '%-16s %6s %-10s %7s %7s %7s %7s %9s %9s %8s %5s %6s %13s %8s %-16s %6s %4s\n' \
    responder R rep sent replies frac rep/s p50_ms p99_ms drain_ms cpu% kdrop rss_MB_0→1 stall_ms x_ping paints cmd
# The key=value fields of a results row, into v[] (used by each table below).
KV='function kv(   i, n, j, e, parts) {
    delete v
    for (i = 1; i <= NF; i++) { n = split($i, parts, " "); for (j = 1; j <= n; j++) { e = index(parts[j], "="); if (e) v[substr(parts[j], 1, e - 1)] = substr(parts[j], e + 1) } }
}
'
cat "$THEIRS" "$OURS" "$HEADLESS_TSV" | awk -F'\t' "$KV"'
{
    kv()
    ub = (v["lat"] == "exact") ? " " : "<"
    stall = ("stall_ms" in v) ? v["stall_ms"] : "-"
    ping = "-"
    if (v["gui_ping"] != "" && v["gui_ping"] != "-") { split(v["gui_ping"], g, ","); ping = g[3] " (" g[1] ")" }
    paints = ("paints" in v) ? v["paints"] : "-"
    cmd = ("command" in v) ? v["command"] : "-"
    printf "%-16s %6s %-10s %7s %7s %7.4f %7s %s%8.3f %s%8.3f %8.1f %5s %6s %6.1f→%-6.1f %8s %-16s %6s %4s\n",
        $1, v["R"], v["rep"], v["sent"], v["replies"], v["frac"], v["reply_rate"], ub, v["p50_us"] / 1000,
        ub, v["p99_us"] / 1000, v["drain_ms"], v["resp_cpu_pct"], v["resp_kdrops"], v["rss0_kb"] / 1024,
        v["rss1_kb"] / 1024, stall, ping, paints, cmd
}'
cat <<'EOF'
frac = replies / requests; rep/s = replies per second; p50/p99 = request-to-reply latency ('<': some requests
unanswered, so the in-order pairing gives upper bounds); drain = last reply - last request; cpu% = responder
CPU during the run / run length; kdrop = datagrams the kernel dropped at the responder's socket;
rss = responder resident memory before -> after the run; stall_ms = worst lateness of a 10 ms timer in
Ostrel's event loop; x_ping = worst answer time in ms to a _NET_WM_PING sent every 100 ms on Xvfb (pongs/pings).
paints = paintings of Ostrel's receive window during the run; cmd = the window took the pause command and its
undo half-way through the run, each note its last line at once.
recov-now = 10 requests at 10/s right after the last flood; recov-idle = the same once idle.
EOF

[ -s "$OURS" ] && {
echo
echo "Goals (Ostrel; the peer GUI responder's figures of this run in brackets)"
cat "$THEIRS" "$OURS" | awk -F'\t' "$KV"'
function minset(a, k, x) { if (!(k in a) || x < a[k]) a[k] = x }
function maxset(a, k, x) { if (!(k in a) || x > a[k]) a[k] = x }
{
    kv(); who = ($1 == "ostrel") ? "o" : ($1 ~ /^ps/ ? "p" : "")
    if (who == "") next
    if (!((who, "rss0") in first)) first[who, "rss0"] = v["rss0_kb"]
    last[who, "rss1"] = v["rss1_kb"]
    if (v["R"] == 20000) minset(m, who "f20k", v["frac"] + 0)
    if (v["R"] == 100000) { minset(m, who "f100k", v["frac"] + 0); maxset(m, who "r100k", v["reply_rate"] + 0) }
    if (v["R"] == 5000) maxset(m, who "p50", v["p50_us"] / 1000)
    if (v["R"] == 100000) {
        if (who == "o") maxset(m, "ostall", v["stall_ms"] + 0)
        if (v["gui_ping"] != "-" && v["gui_ping"] != "") {
            split(v["gui_ping"], g, ","); maxset(m, who "ping", g[3] + 0)
            split(g[1], pp, "/"); m[who "lost"] += pp[2] - pp[1]
        }
    }
    if (v["rep"] == "recov-now") m[who "recov"] = v["replies"] "/" v["sent"]
}
function peer(k, fmt) { return (k in m) ? sprintf(fmt, m[k]) : "-" }
function verdict(ok) { return ok ? "met" : "NOT met" }
# The verdict on a figure of a rate that was not run: not measured.
function judged(k, ok) { return (k in have) ? verdict(ok) : "not measured (rate not run)" }
END {
    for (k in m) have[k] = 1
    rssgrow = (last["o", "rss1"] - first["o", "rss0"]) / 1024
    prss = (("p", "rss0") in first) ? sprintf("%+.1f MB", (last["p", "rss1"] - first["p", "rss0"]) / 1024) : "-"
    printf "  fraction answered at 20 000/s: %.4f, goal 1.0: %s   [%s]\n", m["of20k"], judged("of20k", m["of20k"] >= 1.0), peer("pf20k", "%.4f")
    printf "  fraction answered at 100 000/s: %.4f (up to %d answers/s), goal >= 0.5: %s   [%s]\n", m["of100k"], m["or100k"], judged("of100k", m["of100k"] >= 0.5), peer("pf100k", "%.4f")
    printf "  median latency at 5 000/s: %.3f ms, goal <= 0.2 ms: %s   [%s]\n", m["op50"], judged("op50", m["op50"] <= 0.2), peer("pp50", "%.3f ms")
    worst = m["ostall"]
    if (("oping" in m) && m["oping"] > worst) worst = m["oping"]
    oping = ("oping" in m) ? sprintf("%.1f ms, %d unanswered", m["oping"], m["olost"]) : "not measured"
    printf "  worst GUI stall during the 100 000/s floods: timer %.1f ms, _NET_WM_PING %s; goal < 100 ms: %s   [%s]\n", m["ostall"], oping, judged("ostall", worst < 100 && m["olost"] == 0), peer("pping", "%.0f ms")
    printf "  RSS after all runs: %+.1f MB from the start, goal <= +10 MB: %s   [%s]\n", rssgrow, verdict(rssgrow <= 10), prss
    split(m["orecov"], r, "/")
    printf "  10 requests at 10/s right after the floods: %s answered, goal all: %s   [%s]\n", m["orecov"], verdict(r[1] == r[2] && r[2] > 0), peer("precov", "%s")
}'
}

[ -s "$HEADLESS_TSV" ] || exit 0
echo
echo "Goals (ostrel-headless against the minimal C responder of this run)"
cat "$THEIRS" "$HEADLESS_TSV" | awk -F'\t' "$KV"'
function minset(k, x) { if (!(k in m) || x < m[k]) m[k] = x }
function maxset(k, x) { if (!(k in m) || x > m[k]) m[k] = x }
{
    kv(); who = $1
    if (who != "c_min" && who !~ /^headless_/) next
    seen[who] = 1
    if (!((who, "rss0") in first)) first[who, "rss0"] = v["rss0_kb"]
    last[who, "rss1"] = v["rss1_kb"]
    if (v["R"] == 100000) minset(who " f100k", v["frac"] + 0)
    if (v["R"] == 5000) maxset(who " p50", v["p50_us"] / 1000)
    if (v["rep"] == "recov-now") rec[who] = v["replies"] "/" v["sent"]
}
END {
    if (!("c_min f100k" in m)) { print "  (no minimal C responder in this run: ANCHORS without c)"; exit }
    for (who in seen) {
        if (who == "c_min") continue
        f = m[who " f100k"]; c = m["c_min f100k"]; p = m[who " p50"]; cp = m["c_min p50"]
        printf "  %s: answered at 100 000/s %.4f = %.3f of the minimal C (%.4f), goal >= 0.95: %s\n", who, f, f / c, c, (f >= 0.95 * c) ? "met" : "NOT met"
        printf "  %s: median latency at 5 000/s %.3f ms = %.2f x the minimal C (%.3f ms), goal <= 1.5 x + 0.005 ms: %s\n", who, p, (cp > 0 ? p / cp : 0), cp, (p <= 1.5 * cp + 0.005) ? "met" : "NOT met"
        printf "  %s: RSS %.1f -> %.1f MB over all runs; 10 requests at 10/s after the floods: %s answered\n", who, first[who, "rss0"] / 1024, last[who, "rss1"] / 1024, rec[who]
    }
}'
