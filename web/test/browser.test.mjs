// The page in a real browser: Debian's Chromium, headless, driven by puppeteer-core.
// Serves build/web (scripts/web-serve), then checks that the engine answers uciok, that a
// move on the board gets a legal reply shown on the board, that analysis reaches depth 10
// on the start position, that a bad FEN is refused with the game unchanged, and that
// ?fen=&movetime= plays the engine's move. Screenshots and measurements go to OUT
// (build/web-test). Usage: node web/test/browser.test.mjs [OUT]
import { mkdirSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import assert from 'node:assert/strict';
import puppeteer from 'puppeteer-core';
import { startServer } from './serve.mjs';
import { Chess } from 'chess.js';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');
const out = resolve(process.argv[2] || join(root, 'build', 'web-test'));
mkdirSync(out, { recursive: true });
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const START = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1';
const report = {};

async function text(page, id) {
  return page.$eval('#' + id, (el) => el.textContent);
}

// Clicks a square of the board, seen from White's side.
async function clickSquare(page, square) {
  const box = await (await page.$('#board')).boundingBox();
  const file = square.charCodeAt(0) - 97;
  const rank = Number(square[1]) - 1;
  const size = box.width / 8;
  await page.mouse.click(box.x + (file + 0.5) * size, box.y + (7.5 - rank) * size);
}

// The pieces the board shows, as {square: 'wP'}, read from chessground's elements.
async function boardPieces(page) {
  return page.$$eval('cg-board piece', (els) => {
    const pieces = {};
    for (const el of els) {
      if (el.classList.contains('ghost') || el.classList.contains('fading')) continue;
      const colour = el.classList.contains('white') ? 'w' : 'b';
      const kind = ['pawn', 'knight', 'bishop', 'rook', 'queen', 'king'].find((k) => el.classList.contains(k));
      pieces[el.cgKey] = colour + 'pnbrqk'[['pawn', 'knight', 'bishop', 'rook', 'queen', 'king'].indexOf(kind)].toUpperCase();
    }
    return pieces;
  });
}

function expectedPieces(fen) {
  const chess = new Chess(fen);
  const pieces = {};
  for (const row of chess.board())
    for (const p of row) if (p) pieces[p.square] = p.color + p.type.toUpperCase();
  return pieces;
}

// Proportional set size of the browser and all its descendants, in MB (shared pages
// counted once in all).
function browserPssMb(pid) {
  const children = new Map();
  for (const entry of readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const ppid = Number(readFileSync(`/proc/${entry}/stat`, 'utf8').split(') ')[1].split(' ')[1]);
      if (!children.has(ppid)) children.set(ppid, []);
      children.get(ppid).push(Number(entry));
    } catch (e) {}
  }
  let kb = 0;
  const todo = [pid];
  while (todo.length) {
    const p = todo.pop();
    try {
      const m = /Pss:\s+(\d+)/.exec(readFileSync(`/proc/${p}/smaps_rollup`, 'utf8'));
      if (m) kb += Number(m[1]);
    } catch (e) {}
    todo.push(...(children.get(p) || []));
  }
  return Math.round(kb / 1024);
}

async function test(name, body) {
  const started = Date.now();
  await body();
  console.log(`ok - ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
}

const { server, url } = await startServer(root);
const browser = await puppeteer.launch({
  executablePath: CHROMIUM,
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--enable-experimental-web-platform-features'],
});
let failed = false;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 760 });
  await new Promise((r) => setTimeout(r, 1000));
  report.browserPssMbBlank = browserPssMb(browser.process().pid);
  page.on('pageerror', (e) => console.error('page error:', e.message));

  await test('the page loads and the engine answers uciok', async () => {
    await page.goto(url + '?sw=0', { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('engine-status').textContent === 'uciok', {
      timeout: 30000,
    });
    assert.equal(await page.evaluate(() => window.velmora.engine.options.get('Hash').default), '32');
  });

  await test('a move on the board gets a legal reply, shown on the board', async () => {
    await clickSquare(page, 'e2');
    await clickSquare(page, 'e4');
    await page.waitForFunction(() => document.getElementById('engine-move').textContent !== '', {
      timeout: 30000,
    });
    const reply = await text(page, 'engine-move');
    const chess = new Chess();
    chess.move('e4');
    const move = chess.move({ from: reply.slice(0, 2), to: reply.slice(2, 4), promotion: reply[4] });
    assert.ok(move, 'the reply is legal');
    await new Promise((r) => setTimeout(r, 400));  // the move's animation
    assert.deepEqual(await boardPieces(page), expectedPieces(chess.fen()));
    report.gameReply = reply;
    await page.screenshot({ path: join(out, 'game.png') });
  });

  await test('a bad FEN is refused with a message and the game unchanged', async () => {
    const before = await page.$eval('#fen-output', (el) => el.value);
    const pgnBefore = await page.$eval('#pgn-output', (el) => el.value);
    await page.type('#fen-input', 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1');
    await page.click('#fen-set');
    const msg = await text(page, 'message');
    assert.match(msg, /Not a valid FEN/);
    assert.equal(await page.$eval('#message', (el) => el.className), 'error');
    assert.equal(await page.$eval('#fen-output', (el) => el.value), before);
    assert.equal(await page.$eval('#pgn-output', (el) => el.value), pgnBefore);
    assert.deepEqual(await boardPieces(page), expectedPieces(before));
  });

  await test('analysis reaches depth 10 on the start position', async () => {
    await page.click('#new-game');
    await page.select('#mode', 'analyse');
    const started = Date.now();
    await page.waitForFunction(() => Number(document.getElementById('depth').textContent) >= 10, {
      timeout: 60000,
    });
    report.depth10Seconds = (Date.now() - started) / 1000;
    assert.equal(await page.$eval('#fen-output', (el) => el.value), START);
    await new Promise((r) => setTimeout(r, 4000));  // a steady speed, and a fuller picture
    report.analysisDepth = Number(await text(page, 'depth'));
    report.analysisNps = Number(await text(page, 'nps'));
    assert.ok((await page.$$('#lines li')).length >= 1, 'the lines are shown');
    report.browserPssMbWithPage = browserPssMb(browser.process().pid);
    // How long "isready" waits for "readyok" while the engine thinks, ten times.
    report.isreadyWhileThinkingMs = await page.evaluate(async () => {
      const engine = window.velmora.engine;
      const waits = [];
      for (let i = 0; i < 10; i++) {
        const sent = performance.now();
        await new Promise((resolve) => {
          const listener = (line) => {
            if (line !== 'readyok') return;
            engine.listeners.splice(engine.listeners.indexOf(listener), 1);
            resolve();
          };
          engine.listeners.push(listener);
          engine.send('isready');
        });
        waits.push(Math.round(performance.now() - sent));
        await new Promise((r) => setTimeout(r, 50));
      }
      return waits;
    });
    assert.ok(await page.evaluate(() => window.velmora.engine.searching), 'still thinking');
    await page.screenshot({ path: join(out, 'analysis.png') });
    await page.select('#mode', 'play');
  });

  await test('?fen=&movetime= plays the engine move and shows it in #engine-move', async () => {
    const fen = 'r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3';
    await page.goto(url + '?sw=0&movetime=300&fen=' + encodeURIComponent(fen), { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('engine-move').textContent !== '', {
      timeout: 30000,
    });
    const move = await text(page, 'engine-move');
    const chess = new Chess(fen);
    assert.ok(chess.move({ from: move.slice(0, 2), to: move.slice(2, 4), promotion: move[4] }), 'legal');
    await new Promise((r) => setTimeout(r, 400));
    assert.deepEqual(await boardPieces(page), expectedPieces(chess.fen()));
  });

  await test('once loaded, the page and the engine work offline', async () => {
    const context = await browser.createBrowserContext();
    const offline = await context.newPage();
    await offline.goto(url, { waitUntil: 'load' });
    await offline.waitForFunction(() => navigator.serviceWorker.controller !== null || navigator.serviceWorker.ready, { timeout: 30000 });
    await offline.evaluate(() => navigator.serviceWorker.ready);
    await offline.reload({ waitUntil: 'load' });  // now under the worker's control: it caches all
    await offline.waitForFunction(() => document.getElementById('engine-status').textContent === 'uciok');
    await offline.setOfflineMode(true);
    await offline.reload({ waitUntil: 'load' });
    await offline.waitForFunction(() => document.getElementById('engine-status').textContent === 'uciok', {
      timeout: 30000,
    });
    await context.close();
  });
} catch (e) {
  failed = true;
  console.error('not ok -', e.stack || e);
} finally {
  await browser.close();
  server.kill();
}
writeFileSync(join(out, 'report.json'), JSON.stringify(report, null, 2) + '\n');
console.log(JSON.stringify(report));
process.exit(failed ? 1 : 0);
