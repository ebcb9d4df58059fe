# Summarises a match from xboard's PGN record, from velmora's point of view (the player
# whose name starts with "Velmora"): wins, draws, losses, score, Elo with its 95% interval,
# the game pairs, and velmora's time forfeits, illegal moves, crashes and protocol errors,
# read from the comment that ends each lost game. Exits 1 when velmora had any of those,
# or when fewer games than wanted were played.
#   awk -v wanted=N [-v crashes=C] [-v desyncs=D] [-v elo0=E0 -v elo1=E1 [-v alpha=A]
#       [-v beta=B]] -f match-summary.awk games.pgn
# crashes: velmora processes that ended badly; desyncs: moves velmora refused. With elo0
# and elo1 it adds the sequential test of H0 "velmora is elo0 stronger" against H1 "elo1
# stronger" (logistic Elo), with error rates alpha and beta (0.05 each by default).
#
# Games 1 and 2, 3 and 4, ... are pairs: one opening played with each colour. A pair
# scores 0, 0.5, 1, 1.5 or 2 for velmora, and the Elo interval and the test are worked
# out from the distribution of pair scores (the pentanomial model), because a pair
# cancels most of what the opening gives one colour: its two games are not independent,
# and counting them as such would overstate the evidence.
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
    # half_points[game]: velmora's score in half points, -1 for an unfinished game.
    half_points[played] = -1
    if (result == "1/2-1/2") { draws++; half_points[played] = 1 }
    else if (result == "1-0" || result == "0-1") {
        velmora_won = (result == "1-0") == velmora_white
        if (velmora_won) { wins++; half_points[played] = 2 }
        else {
            losses++
            half_points[played] = 0
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
    summarise_pairs()
    crash_total = crashes > lost_connection ? crashes : lost_connection
    printf "velmora: time forfeits %d, illegal moves %d, crashes %d, protocol errors %d\n",
        time_forfeits, illegal, crash_total, protocol + desyncs
    bad = time_forfeits + illegal + crash_total + protocol + desyncs
    if (played < wanted) { printf "match: only %d of %d games were played\n", played, wanted; bad++ }
    exit bad > 0 ? 1 : 0
}
# pair_count[k]: pairs whose two games gave velmora k half points (k = 0..4); a pair with
# an unfinished game is left out.
function summarise_pairs(   i, k, pairs, mean, var, se, llr, lower, upper, verdict) {
    for (k = 0; k <= 4; k++) pair_count[k] = 0
    for (i = 2; i <= played; i += 2)
        if (half_points[i - 1] >= 0 && half_points[i] >= 0)
            pair_count[half_points[i - 1] + half_points[i]]++
    pairs = 0
    for (k = 0; k <= 4; k++) pairs += pair_count[k]
    if (pairs == 0) return
    # Scores as fractions of the pair's two points: k / 4.
    mean = 0
    for (k = 0; k <= 4; k++) mean += pair_count[k] * k / 4
    mean /= pairs
    var = 0
    for (k = 0; k <= 4; k++) var += pair_count[k] * (k / 4 - mean) ^ 2
    var /= pairs
    se = sqrt(var / pairs)
    printf "pairs %d, scoring 0/0.5/1/1.5/2: %d %d %d %d %d; elo %s, 95%% interval [%s, %s]\n",
        pairs, pair_count[0], pair_count[1], pair_count[2], pair_count[3], pair_count[4],
        elo(mean), elo(mean - 1.96 * se), elo(mean + 1.96 * se)
    if (elo0 == "" || elo1 == "") return
    if (alpha == "") alpha = 0.05
    if (beta == "") beta = 0.05
    lower = log(beta / (1 - alpha))
    upper = log((1 - beta) / alpha)
    llr = pentanomial_llr(expected_score(elo0), expected_score(elo1))
    verdict = llr >= upper ? "H1 accepted" : llr <= lower ? "H0 accepted" : "inconclusive"
    printf "sprt elo0 %s elo1 %s alpha %s beta %s: llr %.3f, bounds [%.3f, %.3f], %s\n",
        elo0, elo1, alpha, beta, llr, lower, upper, verdict
}
# The generalised log-likelihood ratio of H1 against H0, the test the large distributed
# testing frameworks run: for each hypothesis, the pair-score distribution closest to
# the observed one (the maximum-likelihood estimate) among those whose mean is that
# hypothesis's expected score; the LLR is the log-likelihood of the observed pairs under
# the H1 distribution minus that under H0. It is exact where the usual closed form
# (s1 - s0)(2 mean - s0 - s1) N / (2 var) is a small-difference approximation that runs
# away when the pair scores hardly vary, as they do when one side wins pair after pair.
# Each count gets 0.001 more so that every score can carry weight, as those frameworks do.
function pentanomial_llr(s0, s1,   k, pairs, observed, q0, q1, llr) {
    pairs = 0
    for (k = 0; k <= 4; k++) pairs += pair_count[k]
    for (k = 0; k <= 4; k++) observed[k] = (pair_count[k] + 0.001) / (pairs + 0.005)
    closest_distribution(observed, s0, q0)
    closest_distribution(observed, s1, q1)
    llr = 0
    for (k = 0; k <= 4; k++) llr += observed[k] * log(q1[k] / q0[k])
    return pairs * llr
}
# The distribution q over the scores k/4 with mean s that maximises sum observed[k] log q[k].
# With a Lagrange multiplier x it is q[k] = observed[k] / (1 + x (k/4 - s)), where x makes
# the mean s: sum observed[k] (k/4 - s) / (1 + x (k/4 - s)) = 0. The left side falls as x
# rises over the interval (-1 / (1 - s), 1 / s) where every q[k] is positive, from plus to
# minus infinity, so halving the interval finds x.
function closest_distribution(observed, s, q,   k, low, high, x, sum, step) {
    low = -1 / (1 - s); high = 1 / s
    for (step = 0; step < 200; step++) {
        x = (low + high) / 2
        sum = 0
        for (k = 0; k <= 4; k++) sum += observed[k] * (k / 4 - s) / (1 + x * (k / 4 - s))
        if (sum > 0) low = x
        else high = x
    }
    for (k = 0; k <= 4; k++) q[k] = observed[k] / (1 + x * (k / 4 - s))
}
# The score expected of a side that many logistic Elo points stronger.
function expected_score(elo_difference) { return 1 / (1 + 10 ^ (-elo_difference / 400)) }
function elo(p) {
    if (p <= 0) return "-inf"
    if (p >= 1) return "+inf"
    # Adding 0 turns the -0 of an even score into +0.
    return sprintf("%+.0f", -400 * log(1 / p - 1) / log(10) + 0)
}
