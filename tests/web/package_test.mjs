// The page's data package: what vunt-web writes, the page's reader (tools/web/package.js) unpacks
// file for file, and a damaged or foreign package is refused with its reason, never written
// outside the game's and the fonts' folders.
//   node tests/web/package_test.mjs ROOT TMP
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import { execFileSync } from 'node:child_process';

const [root, tmp] = process.argv.slice(2);
let failures = 0;
const check = (name, ok, detail = '') => {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}${ok || !detail ? '' : ': ' + detail}`);
  if (!ok) failures++;
};

// The reader, loaded as the page loads it, with a file system that records what is written.
function reader(game) {
  const written = {};
  const context = {
    Module: { vuntGame: game }, TextDecoder, Uint8Array, Number, JSON, Promise,
    addRunDependency() {}, removeRunDependency() {},
    FS: { mkdirTree() {}, writeFile(p, b) { written[p] = Buffer.from(b); }, chmod() {} },
  };
  vm.runInNewContext(fs.readFileSync(path.join(root, 'tools/web/package.js'), 'utf8'), context);
  return { unpack: (bytes) => context.vuntUnpack(new Uint8Array(bytes)), context, written };
}

// A package of a small game made by vunt-web itself (with a stand-in engine).
const game = path.join(tmp, 'mygame'), engine = path.join(tmp, 'engine'), site = path.join(tmp, 'site');
fs.mkdirSync(game, { recursive: true });
fs.mkdirSync(engine, { recursive: true });
fs.writeFileSync(path.join(game, 'vunt-n.zad'), 'MES,こんにちは￥\r\nEOF\r\n');
fs.writeFileSync(path.join(game, 'VUNT.DAT'), '1\r\n');
fs.writeFileSync(path.join(game, 'pic.szg'), Buffer.from([0, 1, 2, 255]));
fs.writeFileSync(path.join(engine, 'vunt.js'), '// engine');
fs.writeFileSync(path.join(engine, 'vunt.wasm'), '');
execFileSync(path.join(root, 'tools/web/vunt-web'), ['--engine', engine, '--single-file', game, site]);
const pak = fs.readFileSync(path.join(site, 'mygame.vpk'));
const { unpack } = reader('mygame');
const files = unpack(pak);
const byName = Object.fromEntries(files.map((f) => [f.path, Buffer.from(f.bytes)]));
check('the game\'s files unpacked as they are', byName['/games/mygame/vunt-n.zad']?.equals(fs.readFileSync(path.join(game, 'vunt-n.zad'))) &&
      byName['/games/mygame/pic.szg']?.equals(fs.readFileSync(path.join(game, 'pic.szg'))));
check('the author\'s save is left out', !byName['/games/mygame/VUNT.DAT']);
check('the fonts come along, unmodified', byName['/fonts/ipag.ttf']?.equals(fs.readFileSync('/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf')) &&
      !!byName['/fonts/ipam.ttf'] && !!byName['/fonts/ipagp.ttf']);
check('the fonts\' licence is beside the page', fs.readFileSync(path.join(site, 'fonts-licence.txt'), 'utf8').includes('IPA Font License Agreement'));
const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
check('the page names its game and package', html.includes('"mygame.vpk"') && html.includes('var Module'));
check('the one-file page holds the engine and the package', fs.readFileSync(path.join(site, 'mygame.html'), 'utf8').includes('// engine'));

// Damaged packages: each refused, with a reason that says so.
const indexOf = (p) => JSON.parse(p.subarray(12, 12 + p.readUInt32LE(8)).toString());
const rebuild = (index, body) => {
  const head = Buffer.from(JSON.stringify(index));
  const len = Buffer.alloc(4); len.writeUInt32LE(head.length);
  return Buffer.concat([Buffer.from('VUNTPAK1'), len, head, body]);
};
const body = pak.subarray(12 + pak.readUInt32LE(8));
const index = indexOf(pak);
const damaged = {
  'cut short': pak.subarray(0, pak.length - 1),
  'one byte too many': Buffer.concat([pak, Buffer.from([0])]),
  'no magic': Buffer.concat([Buffer.from('NOTAPAK1'), pak.subarray(8)]),
  'empty': Buffer.alloc(0),
  'index past the end': Buffer.concat([pak.subarray(0, 8), Buffer.from([255, 255, 255, 127]), pak.subarray(12, 40)]),
  'index not JSON': rebuild(null, body).fill(120, 12, 20),
  'another game': rebuild({ ...index, game: 'other' }, body),
  'a name climbing out': rebuild({ ...index, files: [{ path: 'games/mygame/../../etc/passwd', size: 1 }] }, Buffer.from('x')),
  'a name in another folder': rebuild({ ...index, files: [{ path: 'persist/data/x', size: 1 }] }, Buffer.from('x')),
  'a negative size': rebuild({ ...index, files: [{ path: 'games/mygame/a', size: -1 }] }, Buffer.alloc(0)),
  'a size past the end': rebuild({ ...index, files: [{ path: 'games/mygame/a', size: 2 ** 40 }] }, Buffer.from('x')),
};
for (const [name, bytes] of Object.entries(damaged)) {
  let message = '';
  try { unpack(bytes); } catch (e) { message = e.message; }
  check(`damaged package refused: ${name}`, /data package is damaged/.test(message), message || 'accepted');
}
process.exit(failures ? 1 : 0);
