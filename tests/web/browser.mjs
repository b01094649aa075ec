// Plays the bundled game's page in a real Chromium and compares it with the desktop engine.
//   node tests/web/browser.mjs SITE_DIR SAVE_FRAMES SAVE_INPUT CONTINUE_FRAMES CONTINUE_INPUT OUT_DIR
// SITE_DIR is the page vunt-web made; *_FRAMES the desktop's `--headless --frames` pictures of
// the same inputs (frame N: the window when the game waited for event N). The page is served from
// 127.0.0.1 on a free port. The test plays the save walkthrough by real clicks and keys, checks
// the canvas against every desktop frame pixel for pixel, reloads the page, plays the continued
// game from the save it made (LOAD), and opens the one-file page from file://. Screenshots of
// the canvas go to OUT_DIR. PLAYWRIGHT_DIR names the folder holding node_modules/playwright-core.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { createRequire } from 'node:module';
import { readPng } from './png.mjs';

const [site, saveFrames, saveInput, contFrames, contInput, out] = process.argv.slice(2);
const require = createRequire(path.join(process.env.PLAYWRIGHT_DIR, 'node_modules') + '/');
const { chromium } = require('playwright-core');
let failures = 0;
const check = (name, ok, detail = '') => {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}${ok || !detail ? '' : ': ' + detail}`);
  if (!ok) failures++;
  return ok;
};

// The input file's events (comments and the closing `close` left out).
const events = (file) => fs.readFileSync(file, 'utf8').split('\n').map((l) => l.replace(/#.*/, '').trim())
  .filter((l) => l && l !== 'close');
const frames = (dir, n) => Array.from({ length: n }, (_, i) => readPng(fs.readFileSync(path.join(dir, String(i + 1).padStart(4, '0') + '.png'))));

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.txt': 'text/plain' };
const server = http.createServer((req, res) => {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '') || 'index.html';
  const file = path.join(site, name);
  if (!file.startsWith(path.resolve(site)) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
    res.writeHead(404); res.end(); return;
  }
  res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const url = `http://127.0.0.1:${server.address().port}/`;

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--use-fake-ui-for-media-stream', '--autoplay-policy=user-gesture-required'],
});
const logs = [];
// A page of a new browser context: storage of its own, empty at first.
async function openPage(options = {}) {
  const context = await browser.newContext({ viewport: { width: 1400, height: 900 }, acceptDownloads: true, ...options });
  const p = await context.newPage();
  p.on('console', (m) => logs.push(m.text()));
  p.on('pageerror', (e) => logs.push('page error: ' + e.message));
  return p;
}
let page = await openPage();

// Where the canvas lies on the page, and where the game's picture lies in the canvas.
async function canvasBox() {
  return page.evaluate(() => {
    const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height, cw: c.width, ch: c.height,
             ox: Math.floor((c.width - 440) / 2), oy: Math.floor((c.height - 384) / 2) };
  });
}

// Text is drawn by SDL2_ttf through HarfBuzz on the desktop (Debian's build) and without it in
// the page, and SDL2_ttf 2.20 places glyphs differently on the two paths. With HarfBuzz a glyph's
// pen position is the sum of the hinted advances HarfBuzz reads from FreeType, floored once; without
// it every advance gets SDL2_ttf's own emboldening width for bold text (a pixel per glyph at the
// labels' size), FreeType's lsb/rsb deltas nudge glyphs by a pixel ("smart" kerning) and every
// position is rounded. So the message area's plain text comes out nearly alike, the menu labels'
// emboldened Mincho visibly wider. The scene above the menu (pictures, the puzzle's board, fills, and the text drawn over
// them) must match but for 100 pixels (one tile of the board out of place is 1024), as must the
// message area, and each menu label must hold as much ink (pixels not of its
// background) as the desktop's, within a quarter: an empty, missing or other label fails.
const bounds = { menuTop: 296, messageTop: 320, scene: 100, message: 100 };
const worst = { scene: 0, labels: 0, message: 0 };
let pictureWaits = 0;

// Waits (in the page, which polls its canvas) until the game shows the frame; returns the counts
// of differing pixels by region, as last seen.
async function waitFor(frame, seconds) {
  const d = await page.evaluate(async ({ expected, seconds, bounds }) => {
    const want = Uint8Array.from(atob(expected), (c) => c.charCodeAt(0));
    const c = document.getElementById('canvas');
    const x = Math.floor((c.width - 440) / 2), y = Math.floor((c.height - 384) / 2);
    const end = performance.now() + seconds * 1000;
    let d;
    for (;;) {
      const got = c.getContext('2d').getImageData(x, y, 440, 384).data;
      d = { scene: 0, labels: 0, message: 0, inkApart: 0 };
      for (let p = 0, q = 0; q < want.length; p += 4, q += 3) {
        if (got[p] === want[q] && got[p + 1] === want[q + 1] && got[p + 2] === want[q + 2]) continue;
        const row = Math.floor(q / 3 / 440);
        d[row < bounds.menuTop ? 'scene' : row < bounds.messageTop ? 'labels' : 'message']++;
      }
      for (let l = 0; l < 4; ++l) {
        const x0 = 16 + 104 * l, ink = (data, step) => {
          const at = (xx, yy) => (yy * 440 + xx) * step, b = at(x0 + 1, bounds.menuTop + 1);
          let n = 0;
          for (let yy = bounds.menuTop; yy < bounds.menuTop + 17; ++yy)
            for (let xx = x0; xx < x0 + 97; ++xx) {
              const i = at(xx, yy);
              if (data[i] !== data[b] || data[i + 1] !== data[b + 1] || data[i + 2] !== data[b + 2]) n++;
            }
          return n;
        };
        const a = ink(got, 4), b = ink(want, 3);
        if (Math.abs(a - b) > Math.max(a, b) / 4 + 10) d.inkApart++;
      }
      d.same = d.scene <= bounds.scene && d.inkApart === 0 && d.message <= bounds.message;
      // The picture window covers the canvas's border, black while only the game is drawn; the
      // desktop's frames hold the main window alone, so such a wait has no frame to match.
      const corner = c.getContext('2d').getImageData(1, 1, 1, 1).data;
      d.picture = !d.same && (corner[0] || corner[1] || corner[2]) > 0;
      if (d.same || d.picture || performance.now() > end) return d;
      await new Promise((r) => setTimeout(r, 50));
    }
  }, { expected: frame.rgb.toString('base64'), seconds, bounds });
  d.text = `${d.scene} pixels of the scene, ${d.labels} of the menu (${d.inkApart} labels apart), ${d.message} of the message area differ`;
  if (d.same) {
    worst.scene = Math.max(worst.scene, d.scene);
    worst.labels = Math.max(worst.labels, d.labels);
    worst.message = Math.max(worst.message, d.message);
  }
  return { diff: d, box: await canvasBox() };
}

// Whether the picture window covers the canvas's border (black while only the game is drawn).
const pictureShown = () => page.evaluate(() => {
  const d = document.getElementById('canvas').getContext('2d').getImageData(1, 1, 1, 1).data;
  return (d[0] || d[1] || d[2]) > 0;
});

// A point of the game (its own pixels) on the page.
const pagePoint = (box, x, y) => [box.x + (box.ox + x + 0.5) * box.w / box.cw, box.y + (box.oy + y + 0.5) * box.h / box.ch];
// A phone's page is played by taps.
let touch = false;
const keys = { esc: 'Escape', space: ' ', left: 'ArrowLeft', right: 'ArrowRight', up: 'ArrowUp', down: 'ArrowDown' };
async function send(event, box) {
  const [word, arg] = event.split(' ');
  if (word === 'click' || word === 'label') {
    // The message area, or menu label N.
    const [gx, gy] = word === 'click' ? [220, 352] : [16 + 104 * Number(arg) + 48, 304];
    const [px, py] = pagePoint(box, gx, gy);
    if (touch) {
      await page.touchscreen.tap(px, py);
    } else {
      await page.mouse.click(px, py);
      // The pointer leaves the game, so that no menu label lights up under it.
      await page.mouse.move(box.x + 1, box.y + 1);
    }
  } else if (keys[word]) {
    await page.keyboard.press(keys[word]);
  } else throw new Error('the test cannot send ' + event);
}

// Plays the events, matching the desktop's frame before each.
async function play(name, list, pictures, shots) {
  for (let i = 0; i < list.length; ++i) {
    const { diff, box } = await waitFor(pictures[i], 30);
    if (diff.picture) {
      pictureWaits++;
      await page.waitForTimeout(1000);
      await page.locator('#canvas').screenshot({ path: path.join(out, `${name}-${String(i + 1).padStart(4, '0')}-picture.png`) });
      await send(list[i], box);
      continue;
    }
    if (shots.includes(i)) await page.locator('#canvas').screenshot({ path: path.join(out, `${name}-${String(i + 1).padStart(4, '0')}.png`) });
    if (!check(`${name}: frame ${i + 1} as on the desktop`, diff.same, `${diff.text} before "${list[i]}"`)) {
      await page.locator('#canvas').screenshot({ path: path.join(out, `${name}-${i + 1}-differs.png`) });
      return false;
    }
    // Two equal frames in a row: let the game reach its next wait before the event.
    if (i && pictures[i].rgb.equals(pictures[i - 1].rgb)) await page.waitForTimeout(1500);
    else await page.waitForTimeout(150);
    // The game may have shown the picture window over the frame by now (the next frame of the
    // canvas): the event is then the picture window's.
    if (await pictureShown()) {
      pictureWaits++;
      await page.locator('#canvas').screenshot({ path: path.join(out, `${name}-${String(i + 1).padStart(4, '0')}-picture.png`) });
    }
    await send(list[i], box);
  }
  return true;
}

// The settings screen (F2) at the title: typing "instant".
async function typingInstant(title) {
  await waitFor(title, 60);
  for (const key of ['F2', 'ArrowRight', 'ArrowRight', 'ArrowRight', 'F2']) {
    await page.keyboard.press(key);
    await page.waitForTimeout(200);
  }
}

// Clicks the export button: the saves file's name and bytes.
async function exportSaves(name) {
  const waiting = page.waitForEvent('download', { timeout: 15000 });
  await page.click('#export');
  const download = await waiting.catch(async () => { throw new Error('no download; the page says: ' + await notice()); });
  const file = path.join(out, name);
  await download.saveAs(file);
  return { name: download.suggestedFilename(), file, bytes: fs.readFileSync(file) };
}
const stored = async () => Number(await page.evaluate(() => document.body.dataset.stored || 0));
const notice = () => page.evaluate(() => document.getElementById('notice').textContent);
// The save and the slots in the page's storage, by name.
const savedFiles = () => page.evaluate(() => {
  try { return Module.FS.readdir('/persist/data/vunt').filter((n) => n[0] !== '.')
    .flatMap((d) => Module.FS.readdir('/persist/data/vunt/' + d).filter((n) => /^(VUNT\.DAT|.*\.vsav)$/.test(n))).sort().join(' '); }
  catch (e) { return ''; }
});
// Waits until the page's files (with the one named) are in IndexedDB: one more write-back, asked
// for now, ends after every earlier one.
async function flushStorage(file) {
  await page.waitForFunction((f) => { try { return Module.FS.readdir('/persist/data/vunt').some((d) => {
    try { Module.FS.stat('/persist/data/vunt/' + d + '/' + f); return true; } catch (e) { return false; } }); } catch (e) { return false; } },
    file, { timeout: 20000 }).catch(() => {});
  const k = await stored();
  await page.evaluate(() => Module.vuntFileWritten());
  await page.waitForFunction((n) => Number(document.body.dataset.stored || 0) > n, k, { timeout: 20000 }).catch(() => {});
}
// Picks a file for the import button: the notice says what came of it.
async function importFile(files) {
  await page.evaluate(() => { delete document.body.dataset.imported; });
  await page.setInputFiles('#import', files);
  await page.waitForFunction(() => document.body.dataset.imported, null, { timeout: 10000 }).catch(() => {});
  return page.evaluate(() => document.body.dataset.imported);
}

// Into empty storage (a new browser context): bad files are refused with the engine's words and
// write nothing; the exported saves file is taken and reaches IndexedDB.
async function importInto(title, saves) {
  await page.context().close();
  page = await openPage();
  await page.goto(url);
  await ready(120);
  await typingInstant(title);
  await page.click('#export');
  check('export in empty storage says there is no save', /no save yet/.test(await notice()), await notice());
  const refused = async (name, buffer, words) => {
    await importFile({ name, mimeType: 'application/octet-stream', buffer });
    const text = await notice();
    check(`import refuses ${name} (${words})`, words.test(text) && await savedFiles() === '', `${text}; files: ${await savedFiles()}`);
  };
  await refused('VUNT.DAT', Buffer.from(' 1\r\n 2\r\nthree\r\n'), /3 番目の値/);
  await refused('slot-02.vsav', Buffer.from('VUNTSLOT and then nothing of a slot'), /slot-02\.vsav: the slot is damaged/);
  await refused('game-saves.vuntsaves', saves.bytes.subarray(0, saves.bytes.length - 5), /the saves file is damaged/);
  await refused('notes.txt', Buffer.from('hello'), /not a saved file of Vunt/);

  const before = await stored();
  const imported = await importFile(saves.file);
  await page.waitForFunction((n) => Number(document.body.dataset.stored || 0) > n, before, { timeout: 20000 }).catch(() => {});
  return check('import takes the saves file into the browser\'s storage',
               imported === 'ok' && await stored() > before && await savedFiles() === 'VUNT.DAT', `${await notice()}; files: ${await savedFiles()}`);
}

const ready = (t) => page.waitForFunction(() => ['playing', 'failed', 'ended'].includes(document.body.dataset.state), null, { timeout: t * 1000 });
try {
  fs.mkdirSync(out, { recursive: true });
  const saveEvents = events(saveInput), contEvents = events(contInput);
  const savePics = frames(saveFrames, saveEvents.length), contPics = frames(contFrames, contEvents.length);

  const t0 = Date.now();
  await page.goto(url);
  await ready(120);
  check('page starts', await page.evaluate(() => document.body.dataset.state) === 'playing', logs.join('\n'));
  console.log(`     first frame after ${Date.now() - t0} ms`);
  const canvasSize = await page.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').style.width]);
  console.log(`     canvas ${canvasSize[0]} px wide, shown ${canvasSize[1]} wide`);
  check('canvas shown at a whole multiple', parseInt(canvasSize[1]) % canvasSize[0] === 0, canvasSize.join(' '));

  // The settings screen (F2): typing "instant", so that the pages come at once; the settings
  // file goes to the browser's storage as the save does.
  await typingInstant(savePics[0]);
  await page.waitForFunction(() => Number(document.body.dataset.stored || 0) >= 1, null, { timeout: 20000 }).catch(() => {});
  const storedBefore = Number(await page.evaluate(() => document.body.dataset.stored || 0));
  check('the settings reached the browser\'s storage', storedBefore >= 1);

  // New game to the save point (the save is written by the game's own SAVE).
  const played = await play('save', saveEvents, savePics, [0, 1, 5, 20]);
  if (played) {
    await page.waitForFunction((n) => Number(document.body.dataset.stored || 0) > n, storedBefore, { timeout: 20000 }).catch(() => {});
    check('the save reached the browser\'s storage', Number(await page.evaluate(() => document.body.dataset.stored || 0)) > storedBefore);
    check('sound allowed after the first click', await page.evaluate(() => !Module.SDL2 || !Module.SDL2.audioContext || Module.SDL2.audioContext.state === 'running'));
    await flushStorage('VUNT.DAT');
    // A reload: the save must come back from IndexedDB and LOAD must read it.
    await page.reload();
    await ready(120);
    const settings = await page.evaluate(() => { try { return Module.FS.readFile('/persist/config/vunt/settings.ini', { encoding: 'utf8' }); } catch (e) { return ''; } });
    check('the settings survive the reload', /typing_delay = instant/.test(settings), settings);
    // Export at the title: the save file the walkthrough wrote, in one saves file; then a quick
    // save (F5) there adds its slot.
    const saves = await exportSaves('at-title.vuntsaves');
    check('export: the saves file', saves.name === 'game-saves.vuntsaves' && saves.bytes.subarray(0, 9).toString() === 'VUNTSAVES' &&
          saves.bytes.includes('VUNT.DAT') && !saves.bytes.includes('.vsav'), `${saves.name}: ${saves.bytes.subarray(0, 40).toString('latin1')}`);
    const n = await stored();
    await page.locator('#canvas').focus();
    await page.keyboard.press('F5');
    await page.waitForFunction((k) => Number(document.body.dataset.stored || 0) > k, n, { timeout: 20000 }).catch(() => {});
    const late = await exportSaves('late.vuntsaves');
    check('export: the save and the quick slot', late.bytes.includes('VUNT.DAT') && late.bytes.includes('quick.vsav'), late.bytes.subarray(0, 60).toString('latin1'));
    // (Loaded afresh: the quick save's note stays on the title until the next input.)
    await flushStorage('quick.vsav');
    await page.reload();
    await ready(120);
    await play('continue', contEvents, contPics, [0, 3, 12]);
    // The continued game once more, from the imported save, in a browser that never saw it; then
    // the later saves file brings the slot too.
    if (await importInto(contPics[0], saves)) {
      await play('imported', contEvents, contPics, []);
      check('import of the saves file with a slot', await importFile(late.file) === 'ok' && await savedFiles() === 'VUNT.DAT quick.vsav',
            `${await notice()}; files: ${await savedFiles()}`);
    }
  }

  check('the picture window drawn inside the canvas', pictureWaits > 0, 'never seen');
  console.log(`     text pixels apart from the desktop's (HarfBuzz there): at most ${worst.scene} in the scene, ${worst.labels} in the menu, ${worst.message} in the message area`);

  // On a phone (touch, a narrow screen) the game is shrunk to fit and a tap is a click: the first
  // waits of the walkthrough (two menus, clicks) played by taps match the desktop's frames.
  await page.context().close();
  page = await openPage({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
  touch = true;
  await page.goto(url);
  await ready(120);
  const phone = await canvasBox();
  check('on a phone the game fits the screen\'s width', phone.x >= 0 && Math.round(phone.w) <= 390 && phone.w >= 380, JSON.stringify(phone));
  await typingInstant(savePics[0]);
  await play('phone', saveEvents.slice(0, 6), savePics, [5]);
  await page.screenshot({ path: path.join(out, 'phone.png') });
  touch = false;

  // The one-file page opens from the file itself.
  const single = fs.readdirSync(site).find((n) => n.endsWith('.html') && n !== 'index.html');
  if (check('a one-file page was written', !!single)) {
    const p2 = await browser.newPage({ viewport: { width: 1000, height: 900 } });
    await p2.goto('file://' + path.resolve(site, single));
    await p2.waitForFunction(() => ['playing', 'failed', 'ended'].includes(document.body.dataset.state), null, { timeout: 120000 });
    check('the one-file page starts from file://', await p2.evaluate(() => document.body.dataset.state) === 'playing');
    await p2.close();
  }
} catch (e) {
  check('browser run', false, e.stack + '\n' + logs.slice(-20).join('\n'));
} finally {
  await browser.close();
  server.close();
}
process.exit(failures ? 1 : 0);
