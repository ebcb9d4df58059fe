// The page: a game against Velmora or an analysis of a position, on a chessground board
// with chess.js for the rules. The address may say ?fen=FEN&movetime=MS: the page sets up
// that position, asks the engine for a move, plays it and shows it in #engine-move.
import { Chessground } from 'chessground';
import { Chess, validateFen } from 'chess.js';
import { createEngine } from './engine.js';
import { levelCommands, levelChoices } from './level.js';

const START_FEN = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1';
const $ = (id) => document.getElementById(id);

const params = new URLSearchParams(location.search);
const state = {
  chess: new Chess(),
  startFen: START_FEN,
  mode: 'play',  // or 'analyse'
  player: 'white',
  movetime: Number(params.get('movetime')) > 0 ? Number(params.get('movetime')) : 1000,
  lines: [],  // analysis lines by multipv
  searchId: 0,
};

const engine = createEngine('engine/velmora.js', (line) => {
  if (line === 'uciok') $('engine-status').textContent = 'uciok';
});

const board = Chessground($('board'), {
  movable: { free: false, showDests: true, events: { after: onBoardMove } },
  highlight: { lastMove: true, check: true },
  animation: { duration: 150 },
  premovable: { enabled: false },
});

function message(text, isError) {
  const el = $('message');
  el.textContent = text;
  el.className = isError ? 'error' : '';
}

function dests() {
  const map = new Map();
  for (const m of state.chess.moves({ verbose: true })) {
    if (!map.has(m.from)) map.set(m.from, []);
    map.get(m.from).push(m.to);
  }
  return map;
}

function turnColor() {
  return state.chess.turn() === 'w' ? 'white' : 'black';
}

function engineToMove() {
  return state.mode === 'play' && !state.chess.isGameOver() && turnColor() !== state.player;
}

function uciMoves() {
  return state.chess.history({ verbose: true }).map((m) => m.from + m.to + (m.promotion || ''));
}

function positionCommand() {
  const moves = uciMoves();
  const start = state.startFen === START_FEN ? 'startpos' : 'fen ' + state.startFen;
  return 'position ' + start + (moves.length ? ' moves ' + moves.join(' ') : '');
}

function resultText() {
  const c = state.chess;
  if (c.isCheckmate()) return (c.turn() === 'w' ? 'Black' : 'White') + ' wins by checkmate';
  if (c.isStalemate()) return 'Draw by stalemate';
  if (c.isThreefoldRepetition()) return 'Draw by repetition';
  if (c.isInsufficientMaterial()) return 'Draw: insufficient material';
  if (c.isDraw()) return 'Draw by the fifty-move rule';
  return '';
}

function refresh() {
  const c = state.chess;
  const history = c.history({ verbose: true });
  const last = history[history.length - 1];
  const playerMoves = state.mode === 'analyse' ? 'both' : engineToMove() ? undefined : state.player;
  board.set({
    fen: c.fen(),
    turnColor: turnColor(),
    orientation: board.state.orientation,
    lastMove: last ? [last.from, last.to] : undefined,
    check: c.inCheck(),
    movable: { color: c.isGameOver() ? undefined : playerMoves, dests: dests() },
  });
  const result = resultText();
  c.header('Result', !result ? '*' : !c.isCheckmate() ? '1/2-1/2' : c.turn() === 'w' ? '0-1' : '1-0');
  $('fen-output').value = c.fen();
  $('pgn-output').value = c.pgn();
  $('status').textContent = result ? 'Game over' : (turnColor() === 'white' ? 'White' : 'Black') + ' to move';
  $('result').textContent = result;
}

// A move made on the board: promotions become queens.
function onBoardMove(from, to) {
  let move;
  try {
    move = state.chess.move({ from, to, promotion: 'q' });
  } catch (e) {
    refresh();
    return;
  }
  afterMove(move);
}

function afterMove() {
  refresh();
  if (state.mode === 'analyse') analyse();
  else if (engineToMove()) engineMove();
}

async function engineMove() {
  const id = ++state.searchId;
  $('thinking').textContent = 'Velmora thinks…';
  applyLevel();
  const best = await engine.search(positionCommand(), 'go movetime ' + state.movetime, showInfo);
  if (id !== state.searchId || !best || best === '0000') return;
  $('thinking').textContent = '';
  const move = state.chess.move({ from: best.slice(0, 2), to: best.slice(2, 4), promotion: best[4] });
  $('engine-move').textContent = best;
  refresh();
  board.playPremove();
  return move;
}

// ---- Analysis

function scoreText(info, white) {
  const sign = white ? 1 : -1;
  if (info.scoreKind === 'mate') return '#' + sign * info.score;
  const cp = (sign * info.score) / 100;
  return (cp > 0 ? '+' : '') + cp.toFixed(2);
}

function sanLine(pv) {
  const c = new Chess(state.chess.fen());
  const out = [];
  for (const uci of pv.slice(0, 12)) {
    try {
      out.push(c.move({ from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4] }).san);
    } catch (e) {
      break;
    }
  }
  return out.join(' ');
}

function showInfo(info) {
  if (info.depth === undefined) return;
  $('depth').textContent = info.depth;
  if (info.nps !== undefined) $('nps').textContent = info.nps;
  if (info.nodes !== undefined) $('nodes').textContent = info.nodes;
  if (!info.pv || state.mode !== 'analyse') return;
  const white = state.chess.turn() === 'w';
  state.lines[(info.multipv || 1) - 1] = {
    depth: info.depth,
    score: scoreText(info, white),
    san: sanLine(info.pv),
  };
  const rows = state.lines.slice(0, Number($('multipv').value));
  $('lines').innerHTML = '';
  for (const line of rows) {
    if (!line) continue;
    const li = document.createElement('li');
    li.innerHTML = `<b>${line.score}</b> <span class="d">d${line.depth}</span> ${line.san}`;
    $('lines').appendChild(li);
  }
  if ((info.multipv || 1) === 1) setEvalBar(info, white);
}

function setEvalBar(info, white) {
  let fraction;  // White's share of the bar
  if (info.wdl) {
    const [w, d, l] = white ? info.wdl : [...info.wdl].reverse();
    fraction = (w + d / 2) / 1000;
    $('wdl').textContent = `W ${w / 10}% D ${d / 10}% L ${l / 10}%`;
  } else if (info.scoreKind === 'mate') {
    fraction = (info.score > 0) === white ? 1 : 0;
  } else {
    const cp = white ? info.score : -info.score;
    fraction = 1 / (1 + Math.exp(-cp / 250));
  }
  $('eval-fill').style.height = (100 * fraction).toFixed(1) + '%';
  $('eval-text').textContent = scoreText(info, white);
}

function analyse() {
  state.lines = [];
  $('lines').innerHTML = '';
  if (state.chess.isGameOver()) {
    engine.stop();
    return;
  }
  // Analysis is always at full strength, whatever level the game is played at.
  for (const line of levelCommands(engine.options, 'full')) engine.send(line);
  engine.setOption('MultiPV', $('multipv').value);
  engine.setOption('UCI_ShowWDL', 'true');
  ++state.searchId;
  engine.search(positionCommand(), 'go infinite', showInfo);
}

// ---- Controls

function setMode(mode) {
  state.mode = mode;
  $('mode').value = mode;
  document.body.dataset.mode = mode;
  ++state.searchId;
  engine.stop();
  refresh();
  if (mode === 'analyse') analyse();
  else if (engineToMove()) engineMove();
}

function newGame(fen) {
  ++state.searchId;
  engine.stop();
  state.startFen = fen || START_FEN;
  state.chess = new Chess(state.startFen);
  engine.send('ucinewgame');
  $('engine-move').textContent = '';
  message('');
  afterMove();
}

function takeBack() {
  ++state.searchId;
  engine.stop();
  if (state.mode === 'play') {
    state.chess.undo();
    if (turnColor() !== state.player) state.chess.undo();
  } else {
    state.chess.undo();
  }
  afterMove();
}

function loadFen(text) {
  const fen = text.trim();
  const check = validateFen(fen);
  if (!check.ok) {
    message('Not a valid FEN: ' + check.error + ' The game is unchanged.', true);
    return false;
  }
  newGame(fen);
  message('Position set from FEN.');
  return true;
}

function loadPgn(text) {
  const c = new Chess();
  try {
    c.loadPgn(text);
  } catch (e) {
    message('Not a valid PGN: ' + e.message + ' The game is unchanged.', true);
    return;
  }
  ++state.searchId;
  engine.stop();
  const header = c.header();
  state.startFen = header.FEN || START_FEN;
  state.chess = c;
  engine.send('ucinewgame');
  message('Game loaded from PGN.');
  afterMove();
}

function applyLevel() {
  for (const line of levelCommands(engine.options, $('level').value)) engine.send(line);
}

function wire() {
  $('new-game').onclick = () => newGame();
  $('take-back').onclick = takeBack;
  $('flip').onclick = () => board.toggleOrientation();
  $('mode').onchange = () => setMode($('mode').value);
  $('play-as').onchange = () => {
    state.player = $('play-as').value;
    board.set({ orientation: state.player });
    setMode('play');
  };
  $('level').onchange = applyLevel;
  $('multipv').onchange = () => state.mode === 'analyse' && analyse();
  $('fen-set').onclick = () => loadFen($('fen-input').value);
  $('pgn-load').onclick = () => loadPgn($('pgn-input').value);
}

async function start() {
  wire();
  refresh();
  await engine.ready;
  const choices = levelChoices(engine.options);
  const select = $('level');
  select.innerHTML = '';
  for (const c of choices) {
    const o = document.createElement('option');
    o.value = c.value;
    o.textContent = c.label;
    select.appendChild(o);
  }
  select.disabled = choices.length < 2;
  select.value = 'full';  // the engine's own strength until the player picks a level
  applyLevel();
  const fen = params.get('fen');
  if (fen !== null) {
    if (!loadFen(fen)) return;
    // The engine plays the side to move.
    state.player = turnColor() === 'white' ? 'black' : 'white';
    $('play-as').value = state.player;
    board.set({ orientation: state.player });
    setMode('play');
  }
  if (params.get('mode') === 'analyse') setMode('analyse');
}

start();

if ('serviceWorker' in navigator && params.get('sw') !== '0')
  navigator.serviceWorker.register('sw.js').catch(() => {});

// For scripts and tests.
window.velmora = { state, engine, board, loadFen, newGame, setMode };
