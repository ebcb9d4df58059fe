// Runs before the engine's module starts. Sets up the queue of input bytes the engine's
// UCI loop reads (web/engine/input_read.cpp), fed by the page's messages in a Web Worker
// or by standard input under Node, and sends the engine's lines back the same way.
// In a worker the page posts one UCI line per message (without its line end) and gets one
// line per message back; the first line should be "uci", which starts the engine.
(function () {
  const isNode = typeof process === 'object' && process.versions && process.versions.node;
  const isWorker = typeof importScripts === 'function';
  const chunks = [];  // Uint8Arrays not yet taken, oldest first
  let ended = false;
  let waker = null;
  const encoder = new TextEncoder();

  // A turn of the event loop at once, without a timer's 4 ms clamp.
  let yieldTurn;
  if (isNode) {
    yieldTurn = (f) => setImmediate(f);
  } else {
    const channel = new MessageChannel();
    let pending = [];
    channel.port1.onmessage = () => {
      const run = pending;
      pending = [];
      for (const f of run) f();
    };
    yieldTurn = (f) => {
      pending.push(f);
      channel.port2.postMessage(0);
    };
  }

  function wake() {
    if (waker) {
      const w = waker;
      waker = null;
      w();
    }
  }

  const input = {
    push(bytes) {
      if (bytes.length > 0) chunks.push(bytes);
      wake();
    },
    pushLine(text) {
      input.push(encoder.encode(text + '\n'));
    },
    end() {
      ended = true;
      wake();
    },
    hasBytes() {
      return chunks.length > 0;
    },
    // One byte for the start word that main() reads through stdin; null when none is there.
    takeByte() {
      if (chunks.length === 0) return null;
      const c = chunks[0];
      const b = c[0];
      if (c.length === 1) chunks.shift();
      else chunks[0] = c.subarray(1);
      return b;
    },
    take(buffer, capacity) {
      startNodeStream();
      let n = 0;
      while (chunks.length > 0 && n < capacity) {
        const c = chunks[0];
        const k = Math.min(c.length, capacity - n);
        HEAPU8.set(c.subarray(0, k), buffer + n);
        n += k;
        if (k === c.length) chunks.shift();
        else chunks[0] = c.subarray(k);
      }
      return n > 0 ? n : ended ? -1 : 0;
    },
    wait(timeout_ms, wakeUp) {
      if (chunks.length > 0 || ended) {
        yieldTurn(wakeUp);
        return;
      }
      if (timeout_ms < 0) {
        waker = wakeUp;
        return;
      }
      yieldTurn(wakeUp);
    },
  };
  Module.velmoraInput = input;

  let streaming = false;
  function startNodeStream() {
    if (!isNode || streaming) return;
    streaming = true;
    process.stdin.on('data', (data) => input.push(new Uint8Array(data)));
    process.stdin.on('end', () => input.end());
  }

  if (isNode) {
    // Node's fetch cannot read a file path: hand the module its binary directly.
    const fs = require('fs');
    const path = require('path');
    Module.wasmBinary = fs.readFileSync(path.join(__dirname, 'velmora.wasm'));
    // The start word, byte by byte, before the stream takes over the rest of the input.
    const one = Buffer.alloc(1);
    Module.stdin = function () {
      if (streaming) return null;
      try {
        return fs.readSync(0, one, 0, 1, null) === 1 ? one[0] : null;
      } catch (e) {
        return null;
      }
    };
  } else if (isWorker) {
    Module.stdin = () => input.takeByte();
    Module.print = (line) => postMessage(line);
    Module.printErr = (line) => postMessage('info string ' + line);
    Module.noInitialRun = true;
    // The transposition table's size in MB, when the page names it in the worker's address
    // (velmora.js?hash=16); 32 otherwise.
    const hash = new URLSearchParams(self.location.search).get('hash');
    const hashMb = /^[0-9]{1,4}$/.test(hash || '') ? hash : '32';
    let started = false;
    let ready = false;
    function start() {
      if (started || !ready || !input.hasBytes()) return;
      started = true;
      Module.callMain(['-th', hashMb]);
    }
    Module.onRuntimeInitialized = () => {
      ready = true;
      postMessage('info string engine loaded');
      start();
    };
    self.onmessage = (event) => {
      input.pushLine(String(event.data));
      start();
    };
  }
})();
