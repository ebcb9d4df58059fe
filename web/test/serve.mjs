// The page's server for the browser tests and the game script: scripts/web-serve on a
// free port over build/web, run through python3 so that a tree without exec bits serves
// too. Resolves with the server process and the page's address once it listens.
import { spawn } from 'node:child_process';
import { join } from 'node:path';

export function startServer(root) {
  return new Promise((resolveUrl, reject) => {
    const server = spawn('python3', [join(root, 'scripts', 'web-serve'), '0', join(root, 'build', 'web')], {
      env: { ...process.env, WEB_SERVE_QUIET: '1' },
      stdio: ['ignore', 'pipe', 'inherit'],
    });
    server.stdout.on('data', (data) => {
      const m = /http:\/\/127\.0\.0\.1:(\d+)\//.exec(String(data));
      if (m) resolveUrl({ server, url: m[0] });
    });
    server.on('exit', (code) => reject(new Error('web-serve exited with ' + code)));
  });
}
