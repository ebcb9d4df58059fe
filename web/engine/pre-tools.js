// velmora-tools under Node: its binary is read from beside the loader (Node's fetch cannot
// read a file path). The tools never read the UCI loop's input.
Module.wasmBinary = require('fs').readFileSync(require('path').join(__dirname, 'velmora-tools.wasm'));
Module.velmoraInput = { take: () => -1, wait: (t, wakeUp) => wakeUp() };
