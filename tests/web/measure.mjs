// Figures of the browser build, printed, never asserted (a benchmark, not a
// test): the time to the page's progress and to the first menu on the
// "Slow 4G" profile in a 640 x 480 window and on a phone at a device pixel
// ratio of 3, and the frames the page draws per second on the menu and in
// phase 1 at 640 x 480 and 1920 x 1080, with the load average.
//
//   node measure.mjs SITE_DIR      (run it under the shared lock)
//
// The site is served by web/serve.py, as `make web-run` serves it
// (compressed where it helps). Chromium draws with SwiftShader, on the CPU.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import puppeteer, { KnownDevices } from 'puppeteer-core';
import {
  atMenu, countDrawnFrames, firstPaintMs, kChromiumFlags, kSlowNetwork, stateOf,
} from './page_support.mjs';

const [siteDir] = process.argv.slice(2);
const serveScript = new URL('../../web/serve.py', import.meta.url).pathname;

const kPhone = KnownDevices['iPhone 13'];  // a device pixel ratio of 3
const kPhoneLandscape = {
  ...kPhone.viewport, width: kPhone.viewport.height, height: kPhone.viewport.width, isLandscape: true,
};
const kStartButton = { x: 256, y: 336 };
const kSampleMs = 5000;
const kTimeoutMs = 120_000;
const kPollMs = 100;

async function freePort() {
  const probe = net.createServer();
  await new Promise((resolve) => probe.listen(0, '127.0.0.1', resolve));
  const { port } = probe.address();
  await new Promise((resolve) => probe.close(resolve));
  return port;
}

async function waitFor(tab, wanted) {
  const deadline = Date.now() + kTimeoutMs;
  while (Date.now() < deadline) {
    const state = await stateOf(tab);
    if (state && wanted(state)) return;
    await sleep(kPollMs);
  }
  throw new Error('the page did not get there');
}

async function framesPerSecond(tab) {
  const frames = await tab.evaluate(() => window.vantorFramesDrawn);
  await sleep(kSampleMs);
  return ((await tab.evaluate(() => window.vantorFramesDrawn)) - frames) * 1000 / kSampleMs;
}

async function slowStart(browser, url, name, { viewport, device }) {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  if (device) await tab.emulate(device);
  await tab.setViewport(viewport);
  const session = await tab.createCDPSession();
  await session.send('Network.enable');
  await session.send('Network.emulateNetworkConditions', kSlowNetwork);
  const started = Date.now();
  await tab.goto(url, { waitUntil: 'domcontentloaded' });
  const painted = await tab.evaluate(() =>
    performance.getEntriesByName('first-contentful-paint')[0]?.startTime);
  await waitFor(tab, (state) => state.gameMode === 1 && state.loadStep === 0);
  const menu = Date.now() - started;
  const transferred = await tab.evaluate(() => performance.getEntriesByType('resource')
    .reduce((sum, entry) => sum + entry.transferSize, 0));
  console.log(`slow 4G, ${name}: progress on the page after ${painted?.toFixed(0)} ms, ` +
    `first menu after ${menu} ms, ${Math.round(transferred / 1000)} kB transferred`);
  await context.close();
}

async function frameRates(browser, url, width, height) {
  const context = await browser.createBrowserContext();
  const tab = await context.newPage();
  await tab.setViewport({ width, height });
  await tab.evaluateOnNewDocument(countDrawnFrames);
  await tab.goto(url);
  await waitFor(tab, atMenu);
  const menu = await framesPerSecond(tab);
  const box = await tab.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return { left: r.left, top: r.top, width: r.width, height: r.height };
  });
  await tab.mouse.move(box.left + kStartButton.x * box.width / 640, box.top + kStartButton.y * box.height / 480);
  await tab.mouse.down();
  await sleep(200);
  await tab.mouse.up();
  await waitFor(tab, (state) => state.phase === 1 && state.loadStep === 0);
  const phase1 = await framesPerSecond(tab);
  console.log(`frames per second at ${width} x ${height}: menu ${menu.toFixed(1)}, ` +
    `phase 1 ${phase1.toFixed(1)} (load average ${os.loadavg().map((l) => l.toFixed(2)).join(' ')})`);
  await context.close();
}

const port = await freePort();
const server = spawn('python3', [serveScript, path.resolve(siteDir), String(port)], { stdio: 'inherit' });
const profileDir = fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-measure-'));
let browser;
try {
  await sleep(1000);
  const url = `http://127.0.0.1:${port}/`;
  browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
    args: [...kChromiumFlags, `--user-data-dir=${profileDir}`] });
  await slowStart(browser, url, '640 x 480', { viewport: { width: 640, height: 480 } });
  await slowStart(browser, url, 'iPhone 13 in landscape (device pixel ratio 3)',
    { viewport: kPhoneLandscape, device: kPhone });
  await frameRates(browser, url, 640, 480);
  await frameRates(browser, url, 1920, 1080);
} finally {
  await browser?.close();
  server.kill();
  fs.rmSync(profileDir, { recursive: true, force: true });
}
