// A whole game against the page, played on its board the way a person plays it: Stockfish
// (Debian's, at a calibrated UCI_Elo) chooses White's moves and clicks them on the board;
// the page's engine answers as Black at the page's level. Ends at mate, a draw or MAX_PLIES,
// and leaves the game (game.pgn), its result and a screenshot in OUT (build/web-game).
// Usage: node web/test/game.mjs [ELO] [MOVETIME_MS] [OUT] [LEVEL]
// LEVEL is a value of the page's level list (elo:1600, skill:10; default: full strength).
import { spawn } from 'node:child_process';
import { mkdirSync, writeFileSync } from 'node:fs';
import { createInterface } from 'node:readline';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { startServer } from './serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');
const elo = process.argv[2] || '1800';
const movetime = process.argv[3] || '500';
const out = resolve(process.argv[4] || join(root, 'build', 'web-game'));
const pageLevel = process.argv[5] || 'full';
const MAX_PLIES = 300;
mkdirSync(out, { recursive: true });

function startStockfish() {
  const sf = spawn('/usr/games/stockfish', [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const lines = createInterface({ input: sf.stdout });
  let waiting = null;
  lines.on('line', (line) => {
    if (waiting && line.startsWith(waiting.prefix)) {
      const w = waiting;
      waiting = null;
      w.resolve(line);
    }
  });
  const ask = (commands, prefix) =>
    new Promise((resolveLine) => {
      waiting = { prefix, resolve: resolveLine };
      sf.stdin.write(commands.join('\n') + '\n');
    });
  return { sf, ask };
}

async function clickSquare(page, square) {
  const box = await (await page.$('#board')).boundingBox();
  const size = box.width / 8;
  const file = square.charCodeAt(0) - 97;
  const rank = Number(square[1]) - 1;
  await page.mouse.click(box.x + (file + 0.5) * size, box.y + (7.5 - rank) * size);
}

const { server, url } = await startServer(root);
const { sf, ask } = startStockfish();
await ask(['uci', `setoption name UCI_LimitStrength value true`, `setoption name UCI_Elo value ${elo}`, 'isready'], 'readyok');
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, args: ['--no-sandbox'] });
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 760 });
  await page.goto(`${url}?sw=0&movetime=${movetime}`, { waitUntil: 'load' });
  await page.waitForFunction(() => document.getElementById('engine-status').textContent === 'uciok');
  await page.select('#level', pageLevel);
  const level = await page.$eval('#level', (el) => el.selectedOptions[0].textContent);
  for (let ply = 0; ply < MAX_PLIES; ply += 2) {
    const done = await page.$eval('#result', (el) => el.textContent);
    if (done) break;
    const fen = await page.$eval('#fen-output', (el) => el.value);
    const moves = await page.evaluate(() => window.velmora.state.chess.history({ verbose: true }).length);
    const best = (await ask([`position fen ${fen}`, 'go movetime 100'], 'bestmove')).split(' ')[1];
    await clickSquare(page, best.slice(0, 2));
    await clickSquare(page, best.slice(2, 4));
    // Wait for the page's answer, or for the game to end with White's move.
    await page.waitForFunction(
      (n) => {
        const s = window.velmora.state;
        return s.chess.history().length >= n + 2 || s.chess.isGameOver();
      },
      { timeout: 60000 },
      moves,
    );
  }
  const result = await page.$eval('#result', (el) => el.textContent);
  const pgn = await page.evaluate(
    (e, l) => {
      const c = window.velmora.state.chess;
      c.header('White', `Stockfish (UCI_Elo ${e})`, 'Black', `Velmora (page, ${l})`, 'Event', 'Velmora page game');
      return c.pgn();
    },
    elo,
    level,
  );
  writeFileSync(join(out, 'game.pgn'), pgn + '\n');
  await page.screenshot({ path: join(out, 'game-end.png') });
  console.log(pgn);
  console.log('result:', result || 'unfinished after ' + MAX_PLIES + ' plies');
} finally {
  await browser.close();
  server.kill();
  sf.kill();
}
