// Assembles the page in build/web: the bundle of src/ (esbuild), the static files, the
// board's style sheets and the engine from build/wasm (make wasm).
import { build } from 'esbuild';
import { copyFileSync, mkdirSync, existsSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const web = dirname(fileURLToPath(import.meta.url));
const out = join(web, '..', 'build', 'web');
const wasm = join(web, '..', 'build', 'wasm');
mkdirSync(join(out, 'engine'), { recursive: true });

await build({
  entryPoints: [join(web, 'src', 'main.js')],
  bundle: true,
  format: 'esm',
  minify: true,
  sourcemap: true,
  target: 'es2020',
  outfile: join(out, 'app.js'),
  logLevel: 'warning',
});
for (const f of ['index.html', 'style.css', 'sw.js']) copyFileSync(join(web, f), join(out, f));
for (const f of ['chessground.base.css', 'chessground.brown.css', 'chessground.cburnett.css'])
  copyFileSync(join(web, 'node_modules', 'chessground', 'assets', f), join(out, f));
for (const f of ['velmora.js', 'velmora.wasm']) {
  if (!existsSync(join(wasm, f))) throw new Error(`${join(wasm, f)} is missing: run make wasm`);
  copyFileSync(join(wasm, f), join(out, 'engine', f));
}
console.log('page assembled in ' + out);
