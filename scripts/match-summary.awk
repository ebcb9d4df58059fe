# Summarises a match from xboard's PGN record, from velmora's point of view (the player
# whose name starts with "Velmora"): wins, draws, losses, score, Elo with its 95% interval,
# and velmora's time forfeits, illegal moves, crashes and protocol errors, read from the
# comment that ends each lost game. Exits 1 when velmora had any of those, or when fewer
# games than wanted were played.
#   awk -v wanted=N [-v crashes=C] [-v desyncs=D] -f match-summary.awk games.pgn
# crashes: velmora processes that ended badly; desyncs: moves velmora refused.
function finish_game(   velmora_white, velmora_won, reason) {
    if (result == "") return
    played++
    # The reason the game ended is the last comment of the movetext.
    comment = ""
    while (match(text, /\{[^}]*\}/)) {
        comment = substr(text, RSTART + 1, RLENGTH - 2)
        text = substr(text, RSTART + RLENGTH)
    }
    velmora_white = (white ~ /^Velmora/)
    if (result == "1/2-1/2") draws++
    else if (result == "1-0" || result == "0-1") {
        velmora_won = (result == "1-0") == velmora_white
        if (velmora_won) wins++
        else {
            losses++
            reason = tolower(comment)
            if (reason ~ /wins on time/) time_forfeits++
            else if (reason ~ /illegal|invalid/) illegal++
            else if (reason ~ /false .*claim/) protocol++
            else if (reason ~ /exit|connection|unexpected/) lost_connection++
        }
    } else unfinished++
    result = ""; text = ""
}
/^\[Event / { finish_game() }
/^\[White "/ { white = $0; sub(/^\[White "/, "", white) }
/^\[Result "/ { result = $0; sub(/^\[Result "/, "", result); sub(/".*/, "", result) }
!/^\[/ { text = text " " $0 }
END {
    finish_game()
    n = wins + draws + losses
    printf "games %d of %d: velmora wins %d, draws %d, losses %d", played, wanted, wins, draws, losses
    if (unfinished) printf ", unfinished %d", unfinished
    printf "\n"
    if (n > 0) {
        p = (wins + 0.5 * draws) / n
        printf "score %.1f/%d (%.1f%%)\n", wins + 0.5 * draws, n, 100 * p
        var = (wins * (1 - p) ^ 2 + draws * (0.5 - p) ^ 2 + losses * p ^ 2) / n
        se = sqrt(var / n)
        printf "elo %s, 95%% interval [%s, %s]\n", elo(p), elo(p - 1.96 * se), elo(p + 1.96 * se)
    }
    crash_total = crashes > lost_connection ? crashes : lost_connection
    printf "velmora: time forfeits %d, illegal moves %d, crashes %d, protocol errors %d\n",
        time_forfeits, illegal, crash_total, protocol + desyncs
    bad = time_forfeits + illegal + crash_total + protocol + desyncs
    if (played < wanted) { printf "match: only %d of %d games were played\n", played, wanted; bad++ }
    exit bad > 0 ? 1 : 0
}
function elo(p) {
    if (p <= 0) return "-inf"
    if (p >= 1) return "+inf"
    return sprintf("%+.0f", -400 * log(1 / p - 1) / log(10))
}
