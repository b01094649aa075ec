// The page's figures for bench/web.sh: load to first frame (median of 5 loads, each in a fresh
// browser context), and memory once the title shows.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { createRequire } from 'node:module';

const site = process.argv[2];
const require = createRequire(path.join(process.env.PLAYWRIGHT_DIR, 'node_modules') + '/');
const { chromium } = require('playwright-core');
const server = http.createServer((req, res) => {
  const file = path.join(site, new URL(req.url, 'http://x').pathname.replace(/^\/+/, '') || 'index.html');
  if (!fs.existsSync(file)) { res.writeHead(404); res.end(); return; }
  res.writeHead(200, { 'Content-Type': file.endsWith('.wasm') ? 'application/wasm' : file.endsWith('.html') ? 'text/html' : 'text/javascript' });
  fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--enable-precise-memory-info'] });
const times = [];
let memory = null;
for (let i = 0; i < 5; ++i) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => document.body.dataset.state === 'playing', null, { timeout: 120000 });
  times.push(await page.evaluate(() => window.vuntFirstFrameMs));
  if (!memory) {
    await page.waitForTimeout(2000);
    memory = await page.evaluate(() => ({ wasm: wasmMemory.buffer.byteLength, js: performance.memory ? performance.memory.usedJSHeapSize : 0 }));
  }
  await context.close();
}
times.sort((a, b) => a - b);
console.log(`page to first frame   ${times[2].toFixed(0).padStart(7)} ms (median of 5; ${times.map((t) => t.toFixed(0)).join(', ')})`);
console.log(`page memory           ${(memory.wasm / 1048576).toFixed(1).padStart(7)} MB wasm memory, ${(memory.js / 1048576).toFixed(1)} MB JS heap`);
await browser.close();
server.close();
