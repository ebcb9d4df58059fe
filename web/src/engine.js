// The engine in its Web Worker, spoken to in UCI one line per message. One search at a
// time: a new search first stops the one running and waits for its bestmove.

export function parseInfo(line) {
  const words = line.split(' ');
  const info = {};
  for (let i = 1; i < words.length; i++) {
    const w = words[i];
    if (w === 'pv') {
      info.pv = words.slice(i + 1);
      break;
    }
    if (w === 'score') {
      info.scoreKind = words[++i];
      info.score = Number(words[++i]);
    } else if (w === 'wdl') {
      info.wdl = [Number(words[i + 1]), Number(words[i + 2]), Number(words[i + 3])];
      i += 3;
    } else if (['depth', 'seldepth', 'multipv', 'nodes', 'nps', 'time', 'hashfull'].includes(w)) {
      info[w] = Number(words[++i]);
    } else if (w === 'string') {
      info.string = words.slice(i + 1).join(' ');
      break;
    }
  }
  return info;
}

// An option line: {name, type, default, min, max}.
export function parseOption(line) {
  const m = /^option name (.+?) type (\S+)(?: default (.*?))?(?: min (-?\d+))?(?: max (-?\d+))?$/.exec(line);
  if (!m) return null;
  return { name: m[1], type: m[2], default: m[3], min: Number(m[4]), max: Number(m[5]) };
}

export function createEngine(url, onLine) {
  const worker = new Worker(url);
  const engine = {
    options: new Map(),
    ready: null,
    searching: false,
    onInfo: null,
    pending: null,  // {resolve} of the running search's bestmove
    log: [],
    listeners: [],  // called with every line the engine sends
  };
  let uciok;
  engine.ready = new Promise((resolve) => (uciok = resolve));

  engine.send = (line) => {
    engine.log.push('> ' + line);
    worker.postMessage(line);
  };

  worker.onmessage = (event) => {
    const line = String(event.data);
    engine.log.push(line);
    if (engine.log.length > 400) engine.log.splice(0, 200);
    if (line.startsWith('option name ')) {
      const option = parseOption(line);
      if (option) engine.options.set(option.name, option);
    } else if (line === 'uciok') {
      uciok();
    } else if (line.startsWith('info ') && engine.onInfo) {
      engine.onInfo(parseInfo(line), line);
    } else if (line.startsWith('bestmove')) {
      const words = line.split(' ');
      engine.searching = false;
      const pending = engine.pending;
      engine.pending = null;
      if (pending) pending.resolve(words[1]);
    }
    if (onLine) onLine(line);
    for (const listener of engine.listeners) listener(line);
  };

  engine.setOption = (name, value) => {
    if (engine.options.has(name))
      engine.send(`setoption name ${name}${value === undefined ? '' : ' value ' + value}`);
  };

  // Stops the running search, if any, and waits for its bestmove.
  engine.stop = async () => {
    if (!engine.searching) return;
    const done = new Promise((resolve) => {
      const old = engine.pending;
      engine.pending = {
        resolve: (m) => {
          if (old) old.resolve(null);
          resolve(m);
        },
      };
    });
    engine.send('stop');
    await done;
  };

  // position + go; resolves with the bestmove (null when stopped for another search).
  engine.search = async (position, go, onInfo) => {
    await engine.ready;
    await engine.stop();
    engine.onInfo = onInfo;
    engine.searching = true;
    const result = new Promise((resolve) => (engine.pending = { resolve }));
    engine.send(position);
    engine.send(go);
    return result;
  };

  engine.send('uci');
  return engine;
}
