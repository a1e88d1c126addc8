// The browser build played in headless Chromium, as a player would: the
// menu looks like the desktop's, a real click starts a run, the pointer and
// the keys play it, sound plays, a minimised window suspends the game, the
// saved record outlives a reload of the page, and F3 and F11 work. On an
// emulated phone taps and holds act where the finger is; the picture is
// 4:3 with bars on a phone held either way and in a wide window; every
// failure shows its message; a slow network shows progress; after one
// visit the game plays offline and a new build replaces the cache. Then, on
// the phone in both orientations, a whole run is won by touch in a page of
// its own, where the replay tool's bot says where to press: a held finger
// ducks in the fight at the fence, the score enters the tables and each
// phase looks as on the desktop.
//
//   node browser_test.mjs SITE_DIR REPLAY_DIR OUT_DIR
//
// Serves SITE_DIR (make web's build-web/site) and REPLAY_DIR (the bot's
// page, build-web/replay) on 127.0.0.1 and leaves every screenshot it takes
// in OUT_DIR. The steps run in order, each on the page
// the previous one left. Prints the frame rate the page reached; asserts no
// timing.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { after, before, test } from 'node:test';
import { setTimeout as sleep } from 'node:timers/promises';
import puppeteer, { KnownDevices } from 'puppeteer-core';
import {
  atMenu, countDrawnFrames, firstPaintMs, kChromiumFlags, kSlowNetwork, stateOf,
} from './page_support.mjs';

const [siteDir, replayDir, outDir] = process.argv.slice(2);
const referenceDir = new URL('../e2e/reference/', import.meta.url).pathname;

// The window the desktop game opens; at this size the page's picture is the
// desktop's pixel for pixel.
const kWidth = 640;
const kHeight = 480;
// Screens compared with the desktop's references: a pixel differs when a
// channel is off by more than this, and a screen matches when at most this
// share of its pixels differ (a run's random vault code and its clock differ
// by about one per cent).
const kChannelTolerance = 48;
const kMatchingShare = 0.03;
// The menu's sound button, switched, differs in at least this share of its
// waves-or-cross half.
const kChangedShare = 0.1;
// Generous: the loader and a software-rendered WebGL on a busy machine.
const kScreenTimeoutMs = 90_000;
const kPhases = 9;
// The game's run mode and the fight at the fence (game/ids.h).
const kModeRun = 10;
const kPhaseFenceFight = 8;
const kPollMs = 250;
// A press, and then its release, is held until the page has drawn this many
// frames, so that an update sees each however slowly the page runs.
const kPressFrames = 2;
const kPressTimeoutMs = 10_000;
// Long enough for the window system and several updates at the game's 60
// per second.
const kSettleMs = 600;
const kAlPlaying = 0x1012;

// Places on the 640 x 480 screen (the game's own units there).
const kStartButton = { x: 256, y: 336 };  // the cash bag of the title menu
const kKeypadOne = { x: 240, y: 160 };
const kKeypadFive = { x: 312, y: 232 };
const kPauseSoundButton = { x: 460, y: 184 };
const kMenuSoundButtonWaves = { x: 318, y: 12, width: 30, height: 40 };
// The statistics overlay's panel, and the least shares of its white (text)
// and dark (panel) pixels.
const kStatisticsPanel = { x: 0, y: 0, width: 240, height: 64 };
const kOverlayShares = { white: 0.03, dark: 0.3 };


let server;
let replayServer;
let browser;
let phoneBrowser;
let page;
let profileDir;
const shots = {};
const site = { dir: path.resolve(siteDir) };

const kContentTypes = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.webmanifest': 'application/manifest+json',
  '.png': 'image/png', '.svg': 'image/svg+xml',
};

const kCompressed = new Set(['.html', '.js', '.wasm']);

// Serves `root.dir`, which a test may point elsewhere (a new build).
function serve(root) {
  return http.createServer((request, response) => {
    const name = new URL(request.url, 'http://x/').pathname.slice(1) || 'index.html';
    const file = path.join(root.dir, path.normalize(name));
    fs.readFile(file, (error, body) => {
      const type = kContentTypes[path.extname(file)];
      if (error || !file.startsWith(root.dir) || !type) {
        response.writeHead(404).end();
        return;
      }
      // Compressed where it helps, as make web-run serves (web/serve.py).
      const gzip = kCompressed.has(path.extname(file)) &&
        /gzip/.test(request.headers['accept-encoding'] || '');
      response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-cache',
        ...(gzip ? { 'Content-Encoding': 'gzip' } : {}) }).end(gzip ? zlib.gzipSync(body) : body);
    });
  });
}

async function screenshot(name, clip) {
  const png = Buffer.from(await page.screenshot({ type: 'png', clip }));
  fs.writeFileSync(path.join(outDir, `${name}.png`), png);
  shots[name] = png;
  return png;
}

// The share of pixels that differ between two PNG pictures (1 when their
// sizes differ, unless `scaled`: then the first is drawn at the second's
// size), decoded by the image decoder of `on`.
function differingShare(first, second, { on = page, scaled = false } = {}) {
  return on.evaluate(async (a, b, tolerance, scale) => {
    const bitmaps = await Promise.all([a, b].map((base64) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      return createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    }));
    const [width, height] = [bitmaps[1].width, bitmaps[1].height];
    const pixels = (bitmap) => {
      const canvas = new OffscreenCanvas(scale ? width : bitmap.width, scale ? height : bitmap.height);
      const context = canvas.getContext('2d');
      context.imageSmoothingQuality = 'high';
      context.drawImage(bitmap, 0, 0, canvas.width, canvas.height);
      return context.getImageData(0, 0, canvas.width, canvas.height);
    };
    const [x, y] = bitmaps.map(pixels);
    if (x.width !== y.width || x.height !== y.height) return 1;
    let differing = 0;
    for (let i = 0; i < x.data.length; i += 4) {
      for (let c = 0; c < 3; ++c) {
        if (Math.abs(x.data[i + c] - y.data[i + c]) > tolerance) {
          differing += 1;
          break;
        }
      }
    }
    return differing / (x.width * x.height);
  }, first.toString('base64'), second.toString('base64'), kChannelTolerance, scaled);
}

// Takes screenshots until one matches the desktop's reference picture;
// returns the share of differing pixels of the last one.
async function waitForScreen(name, reference) {
  const expected = fs.readFileSync(path.join(referenceDir, reference));
  const deadline = Date.now() + kScreenTimeoutMs;
  let share = 1;
  while (Date.now() < deadline) {
    share = await differingShare(await screenshot(name), expected);
    if (share <= kMatchingShare) break;
    await sleep(kPollMs);
  }
  return share;
}

const framesDrawn = (on = page) => on.evaluate(() => window.vantorFramesDrawn);

async function holdPress(on = page) {
  const until = (await framesDrawn(on)) + kPressFrames;
  const deadline = Date.now() + kPressTimeoutMs;
  while ((await framesDrawn(on)) < until && Date.now() < deadline) await sleep(kPollMs / 10);
}

async function pointerDown({ x, y }, on = page) {
  await on.mouse.move(x, y);
  await on.mouse.down();
  await holdPress(on);
}

async function click(place, on = page) {
  await pointerDown(place, on);
  await on.mouse.up();
  await holdPress(on);
}

async function press(key, on = page) {
  await on.keyboard.down(key);
  await holdPress(on);
  await on.keyboard.up(key);
  await holdPress(on);
}

// What the page's OpenAL has: its audio context's state and how many of its
// sources are playing.
function soundState() {
  return page.evaluate((playing) => {
    const context = AL.currentCtx;
    const sources = Object.values(context.sources);
    for (const source of sources) AL.updateSourceTime(source);
    return {
      context: context.audioCtx.state,
      sources: sources.length,
      playing: sources.filter((source) => source.state === playing).length,
    };
  }, kAlPlaying);
}

const keptRecord = () => page.evaluate(() => localStorage.getItem('vantor.record'));

async function setWindowState(windowState) {
  const session = await page.createCDPSession();
  const { windowId } = await session.send('Browser.getWindowForTarget');
  await session.send('Browser.setWindowBounds', { windowId, bounds: { windowState } });
  await session.detach();
  await sleep(kSettleMs);
}

before(async () => {
  fs.mkdirSync(outDir, { recursive: true });
  server = serve(site);
  replayServer = serve({ dir: path.resolve(replayDir) });
  for (const each of [server, replayServer]) {
    await new Promise((resolve) => each.listen(0, '127.0.0.1', resolve));
  }
  profileDir = fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-chromium-'));
  browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [...kChromiumFlags, `--user-data-dir=${profileDir}`],
  });
  page = await browser.newPage();
  page.on('pageerror', (error) => console.log(`page error: ${error.message}`));
  await page.setViewport({ width: kWidth, height: kHeight });
  await page.evaluateOnNewDocument(countDrawnFrames);
  await page.goto(siteUrl());
});

const siteUrl = () => `http://127.0.0.1:${server.address().port}/`;

after(async () => {
  await browser?.close();
  await phoneBrowser?.close();
  server?.close();
  replayServer?.close();
  if (profileDir) fs.rmSync(profileDir, { recursive: true, force: true });
});

test('the title menu looks as on the desktop', async () => {
  const share = await waitForScreen('menu', 'menu.png');
  assert.ok(share <= kMatchingShare, `${(share * 100).toFixed(1)}% of the menu differs`);
  await screenshot('menu-sound-button', kMenuSoundButtonWaves);
  const frames = await framesDrawn();
  const started = Date.now();
  await sleep(2000);
  const fps = ((await framesDrawn()) - frames) * 1000 / (Date.now() - started);
  console.log(`frames drawn per second in the menu: ${fps.toFixed(1)}`);
});

test('a click on the cash bag starts a run at the keypad', async () => {
  await click(kStartButton);
  const share = await waitForScreen('phase-1', 'phase-1.png');
  assert.ok(share <= kMatchingShare, `${(share * 100).toFixed(1)}% of the keypad differs`);
});

test('keypad presses play their sound through OpenAL', async () => {
  await click(kKeypadOne);
  await pointerDown(kKeypadFive);
  const sound = await soundState();
  await page.mouse.up();
  assert.equal(sound.context, 'running');
  assert.ok(sound.playing > 0, `no source playing: ${JSON.stringify(sound)}`);
});

test('Escape pauses the run, and the pause menu switches the sound off', async () => {
  await press('Escape');
  const share = await waitForScreen('pause', 'pause.png');
  assert.ok(share <= kMatchingShare, `${(share * 100).toFixed(1)}% of the pause menu differs`);
  await click(kPauseSoundButton);
  const changed = await differingShare(await screenshot('pause-sound-off'), shots.pause);
  assert.ok(changed > 0 && changed < kMatchingShare, 'the sound button did not change alone');
});

test('a minimised window suspends the game, which saves, and restoring resumes it', async () => {
  const recordBefore = await keptRecord();
  await setWindowState('minimized');
  const frames = await framesDrawn();
  await sleep(kSettleMs);
  assert.equal(await page.evaluate(() => document.hidden), true);
  assert.equal(await framesDrawn(), frames, 'the hidden page went on drawing');
  assert.equal((await soundState()).playing, 0, 'sound went on while hidden');
  const record = await keptRecord();
  assert.ok(record && record !== recordBefore, 'suspending kept no new record');
  await setWindowState('normal');
  await sleep(kSettleMs);
  assert.ok((await framesDrawn()) > frames, 'the restored page draws no frames');
  await screenshot('restored');
});

test('the saved record survives a reload of the page', async () => {
  const record = await keptRecord();
  await page.reload();
  const share = await waitForScreen('menu-after-reload', 'menu.png');
  assert.ok(share <= kMatchingShare, `${(share * 100).toFixed(1)}% of the menu differs`);
  assert.equal(await keptRecord(), record);
  // The game read it: the title menu shows the sound switched off.
  const button = await screenshot('menu-sound-button-after-reload', kMenuSoundButtonWaves);
  assert.ok(await differingShare(button, shots['menu-sound-button']) > kChangedShare,
    'the sound button is as it was before the record was saved');
});

test('F3 shows the statistics overlay as text, F11 toggles the page fullscreen', async () => {
  await press('F3');
  const overlay = await screenshot('statistics', kStatisticsPanel);
  await press('F3');
  // White glyphs on the dark panel; the overlay's quads once came out as
  // coloured streaks instead.
  const colours = await page.evaluate(async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const { data } = context.getImageData(0, 0, bitmap.width, bitmap.height);
    let white = 0, dark = 0;
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
      if (r > 230 && g > 230 && b > 230) white += 1;
      if (r < 90 && g < 90 && b < 90) dark += 1;
    }
    return { white: white / (data.length / 4), dark: dark / (data.length / 4) };
  }, overlay.toString('base64'));
  assert.ok(colours.white > kOverlayShares.white && colours.dark > kOverlayShares.dark,
    `the overlay is not white text on a dark panel: ${JSON.stringify(colours)}`);

  const fullscreen = () => page.evaluate(() => document.fullscreenElement !== null);
  await page.keyboard.press('F11');
  await page.waitForFunction(() => document.fullscreenElement !== null, { timeout: kPressTimeoutMs });
  await page.keyboard.press('F11');
  await page.waitForFunction(() => document.fullscreenElement === null, { timeout: kPressTimeoutMs });
  assert.equal(await fullscreen(), false);
  // The desktop page's last step: left open, it would go on drawing the
  // menu in software beside every step after it.
  await page.close();
  page = null;
});

// ---------------------------------------------------------------------------
// Phones, window shapes, failures, slow and no network: each in a browser
// context of its own (its own storage, service worker and network).

const kPhone = KnownDevices['Pixel 5'];
const kPhoneLandscape = {
  ...kPhone.viewport, width: kPhone.viewport.height, height: kPhone.viewport.width, isLandscape: true,
};
// Keys of the keypad in phase 1 (three columns 72 units apart) and the
// pause button of a run.
const keypadKey = (digit) => ({ x: 240 + 72 * ((digit - 1) % 3), y: 160 + 72 * Math.floor((digit - 1) / 3) });
const kKeypadZero = { x: 312, y: 376 };
const kPauseButton = { x: 16, y: 16 };
const kHoldMs = 1000;
const kRuntimeErrorPrefix = 'Vantor Runtime Error : ';
// A page that has just started has run fewer updates than this.
const kFreshUpdates = 600;

// Counts every mouse event the page receives. Runs before its scripts.
function countMouseEvents() {
  window.vantorMouseEvents = 0;
  for (const kind of ['mousedown', 'mouseup', 'mousemove', 'click']) {
    window.addEventListener(kind, () => { window.vantorMouseEvents += 1; }, true);
  }
}

// A page of the site in a fresh browser context: `setUp` (the page, its
// CDP session) runs before it loads.
async function openSite({ viewport = { width: kWidth, height: kHeight }, device, setUp,
  on = browser } = {}) {
  const context = await on.createBrowserContext();
  const tab = await context.newPage();
  tab.on('pageerror', (error) => console.log(`page error: ${error.message}`));
  if (device) await tab.emulate(device);
  await tab.setViewport(viewport);
  await tab.evaluateOnNewDocument(countDrawnFrames);
  await tab.evaluateOnNewDocument(countMouseEvents);
  const session = await tab.createCDPSession();
  if (setUp) await setUp(tab, session);
  return { context, tab, session };
}


// Polls the game's state line until `wanted` holds; fails naming `what`.
async function waitForState(tab, wanted, what) {
  const deadline = Date.now() + kScreenTimeoutMs;
  let state = null;
  while (Date.now() < deadline) {
    state = await stateOf(tab);
    if (state && wanted(state)) return state;
    await sleep(kPollMs);
  }
  assert.fail(`${what}; the game's state: ${JSON.stringify(state)}`);
}

const inPhase = (phase) => (state) => state.phase === phase && state.loadStep === 0;

// The text the page shows once it says something.
async function waitForMessage(tab) {
  await tab.waitForFunction(() => !document.getElementById('message').hidden, { timeout: kScreenTimeoutMs });
  return tab.evaluate(() => document.getElementById('message').innerText);
}

// The canvas's box on the page (CSS pixels) and its size in pixels.
const canvasBox = (tab) => tab.evaluate(() => {
  const canvas = document.getElementById('canvas');
  const box = canvas.getBoundingClientRect();
  return { left: box.left, top: box.top, width: box.width, height: box.height,
    pixelWidth: canvas.width, pixelHeight: canvas.height,
    pageWidth: innerWidth, pageHeight: innerHeight, ratio: devicePixelRatio };
});

// A place on the 640 x 480 screen, on the page.
async function onPage(tab, { x, y }) {
  const box = await canvasBox(tab);
  return { x: box.left + x * box.width / kWidth, y: box.top + y * box.height / kHeight };
}

async function touch(tab, session, place, holdMs = 0) {
  const { x, y } = await onPage(tab, place);
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y, id: 1 }] });
  await holdPress(tab);
  await sleep(holdMs);
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await holdPress(tab);
}

// The picture alone, for comparison with a desktop reference.
async function picture(tab, name) {
  const box = await canvasBox(tab);
  const png = Buffer.from(await tab.screenshot({ type: 'png',
    clip: { x: box.left, y: box.top, width: box.width, height: box.height } }));
  fs.writeFileSync(path.join(outDir, `${name}.png`), png);
  return png;
}

async function assertLooksLike(tab, name, reference) {
  const expected = fs.readFileSync(path.join(referenceDir, reference));
  const deadline = Date.now() + kScreenTimeoutMs;
  let share = 1;
  while (Date.now() < deadline && share > kMatchingShare) {
    share = await differingShare(await picture(tab, name), expected, { on: tab, scaled: true });
    if (share > kMatchingShare) await sleep(kPollMs);
  }
  assert.ok(share <= kMatchingShare, `${name}: ${(share * 100).toFixed(1)}% differs from ${reference}`);
}

// The picture is exactly 4:3 in device pixels, as large as fits, centred.
async function assertLetterboxed(tab, what) {
  const box = await canvasBox(tab);
  const detail = `${what}: ${JSON.stringify(box)}`;
  assert.equal(box.pixelWidth * 3, box.pixelHeight * 4, `not 4:3, ${detail}`);
  assert.ok(Math.abs(box.width * box.ratio - box.pixelWidth) < 1, `not sharp, ${detail}`);
  const fitsWidth = Math.abs(box.width - box.pageWidth) < 4 / box.ratio + 1;
  const fitsHeight = Math.abs(box.height - box.pageHeight) < 3 / box.ratio + 1;
  assert.ok(fitsWidth || fitsHeight, `not as large as fits, ${detail}`);
  assert.ok(Math.abs(box.left * 2 + box.width - box.pageWidth) < 1 &&
    Math.abs(box.top * 2 + box.height - box.pageHeight) < 1, `not centred, ${detail}`);
}

// Where the finger lands in portrait is checked by the whole run below, and
// the picture held upright by the window shapes' test.
test('a phone in landscape: taps and holds act where the finger is, the picture is 4:3', async () => {
  const orientation = 'landscape';
  // A browser that holds sound until a gesture, as a phone's does; a new
  // one, since a browser lets sound play at once on a site that has been
  // touched before.
  phoneBrowser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
    args: [...kChromiumFlags.filter((flag) => !flag.startsWith('--autoplay')),
      `--user-data-dir=${profileDir}-${orientation}`] });
  try {
    const { tab, session } = await openSite({ device: kPhone, viewport: kPhoneLandscape, on: phoneBrowser });
    await tab.goto(siteUrl());
    await waitForState(tab, atMenu, 'the title menu did not come');
    await assertLetterboxed(tab, orientation);
    await assertLooksLike(tab, `phone-${orientation}-menu`, 'menu.png');
    assert.equal(await tab.$eval('#start', (hint) => hint.innerText), 'Tap to start');
    // Whether sound waits for the first gesture is the browser's call;
    // after the first lifted finger it plays.
    const sound = () => tab.evaluate(() => Object.values(AL.contexts).map((c) => c.audioCtx.state));
    const soundBefore = await sound();

    await touch(tab, session, kStartButton);
    await waitForState(tab, inPhase(1), 'the first tap on PLAY did not start a run');
    assert.deepEqual(await sound(), ['running'],
      `the lifted finger did not unlock sound (before it: ${soundBefore})`);
    assert.equal(await tab.$eval('#start', (hint) => hint.hidden), true, 'the hint stayed');
    await assertLooksLike(tab, `phone-${orientation}-phase-1`, 'phase-1.png');
    for (const digit of [1, 2, 3]) await touch(tab, session, keypadKey(digit));
    await touch(tab, session, keypadKey(5), kHoldMs);
    await touch(tab, session, keypadKey(9));
    assert.equal((await stateOf(tab)).enteredCode, '12359');
    // A second finger while the first is down presses nothing.
    const [zero, eight] = await Promise.all([onPage(tab, kKeypadZero), onPage(tab, keypadKey(8))]);
    await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ ...zero, id: 1 }] });
    await holdPress(tab);
    await session.send('Input.dispatchTouchEvent',
      { type: 'touchStart', touchPoints: [{ ...zero, id: 1 }, { ...eight, id: 2 }] });
    await holdPress(tab);
    await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await holdPress(tab);
    assert.equal((await stateOf(tab)).enteredCode, '123590', 'a second finger pressed');

    await touch(tab, session, kPauseButton);
    assert.equal((await stateOf(tab)).paused, 1, 'one tap on the pause button did not pause');
    await assertLooksLike(tab, `phone-${orientation}-pause`, 'pause.png');
    assert.equal(await tab.evaluate(() => window.vantorMouseEvents), 0, 'a mouse event followed a touch');
  } finally {
    await phoneBrowser.close();
    phoneBrowser = null;
    fs.rmSync(`${profileDir}-${orientation}`, { recursive: true, force: true });
  }
});

// A wide window (large enough for the sharpest art) and a phone held
// upright: bars beside the picture, and bars above and below it.
test('a wide window and a phone held upright show the 640 x 480 picture 4:3 with bars', async () => {
  for (const [name, viewport, device] of [['window-1920x1080', { width: 1920, height: 1080 }],
    ['phone-portrait', kPhone.viewport, kPhone]]) {
    const { context, tab } = await openSite({ viewport, device });
    try {
      await tab.goto(siteUrl());
      await waitForState(tab, atMenu, `${name}: the title menu did not come`);
      await assertLetterboxed(tab, name);
      await assertLooksLike(tab, `${name}-menu`, 'menu.png');
    } finally {
      await context.close();
    }
  }
});

// The pack NAME of the site with the file PATH's bytes replaced by those
// of OTHER (a pack: header length, JSON header of [path, size], bytes).
function packWithSwappedFile(name, path, other) {
  const bytes = fs.readFileSync(`${site.dir}/vantor-${name}.data`);
  const headerLength = bytes.readUInt32LE(0);
  const header = JSON.parse(bytes.subarray(4, 4 + headerLength).toString());
  let at = 4 + headerLength;
  const files = header.map(([file, size]) => {
    const body = bytes.subarray(at, at + size);
    at += size;
    return [file, body];
  });
  const replacement = files.find(([file]) => file === other)[1];
  const swapped = files.map(([file, body]) => [file, file === path ? replacement : body]);
  const newHeader = Buffer.from(JSON.stringify(swapped.map(([file, body]) => [file, body.length])));
  const length = Buffer.alloc(4);
  length.writeUInt32LE(newHeader.length);
  return Buffer.concat([length, newHeader, ...swapped.map(([, body]) => body)]);
}

// Answers requests for files whose name holds `part` with `answer`.
function answering(part, answer) {
  return async (tab) => {
    await tab.setRequestInterception(true);
    tab.on('request', (request) => {
      if (request.url().includes(part)) request.respond(answer);
      else request.continue();
    });
  };
}

test('every failure shows its message on the page', async () => {
  const gfxTooSmall = packWithSwappedFile('art-hd', '/data/gfx-hd.png', '/data/common/icons-hd.png');
  const cases = [
    ['data not downloaded', answering('vantor-base.data', { status: 404 }),
      /data could not be downloaded[\s\S]*Try again/],
    ['code not downloaded', answering('vantor.wasm', { status: 404 }),
      /code could not be downloaded[\s\S]*Try again/],
    ['no WebGL', (tab) => tab.evaluateOnNewDocument(() => {
      const getContext = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
        return /webgl/.test(kind) ? null : getContext.call(this, kind, ...rest);
      };
    }), /cannot draw the game: WebGL/],
    ['a runtime error', answering('vantor-art-hd.data', { status: 200, body: gfxTooSmall }),
      new RegExp(`^${kRuntimeErrorPrefix}Image frame outside surface`)],
  ];
  for (const [what, setUp, expected] of cases) {
    const { context, tab } = await openSite({ setUp });
    try {
      await tab.goto(siteUrl());
      const message = await waitForMessage(tab);
      assert.match(message, expected, what);
      assert.equal(await tab.$eval('#progress', (line) => line.hidden), true, `${what}: progress stayed`);
    } finally {
      await context.close();
    }
  }
});

test('storage that refuses the record is told in one line, and the game plays on', async () => {
  const { context, tab } = await openSite({ setUp: (each) => each.evaluateOnNewDocument(() => {
    for (const method of ['getItem', 'setItem']) {
      Storage.prototype[method] = () => { throw new DOMException('refused', 'SecurityError'); };
    }
  }) });
  try {
    await tab.goto(siteUrl());
    await waitForState(tab, atMenu, 'the title menu did not come');
    await click(await onPage(tab, kStartButton), tab);
    await waitForState(tab, inPhase(1), 'a click on PLAY did not start a run');
    assert.match(await tab.$eval('#notice', (line) => line.innerText), /will not be kept this time/);
    assert.equal(await tab.$eval('#message', (line) => line.hidden), true);
  } finally {
    await context.close();
  }
});

test('on a slow network the page shows its progress before the downloads end', async () => {
  const { context, tab, session } = await openSite({ setUp: async (each, cdp) => {
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', kSlowNetwork);
  } });
  try {
    const started = Date.now();
    await tab.goto(siteUrl(), { waitUntil: 'domcontentloaded' });
    const shown = Date.now() - started;
    const line = await tab.$eval('#progress', (each) => (each.hidden ? '' : each.innerText));
    assert.match(line, /^Loading \d+ %$/);
    assert.equal(await stateOf(tab), null, 'the game ran before its progress was shown');
    // How long the menu then takes is tests/web/measure.mjs's to say.
    console.log(`slow network, ${kWidth} x ${kHeight}: progress painted after ` +
      `${(await firstPaintMs(tab))?.toFixed(0)} ms (page parsed after ${shown} ms)`);
    await session.detach();
  } finally {
    await context.close();
  }
});

test('after one visit the game starts and plays offline; a new build replaces the cache', async () => {
  const { context, tab } = await openSite();
  const newBuildDir = fs.mkdtempSync(path.join(os.tmpdir(), 'vantor-new-build-'));
  try {
    await tab.goto(siteUrl());
    await waitForState(tab, atMenu, 'the title menu did not come');
    await tab.evaluate(() => navigator.serviceWorker.ready);
    const oldBuild = await tab.evaluate(() => JSON.parse(document.getElementById('site').textContent).build);
    await tab.waitForFunction((build) => caches.keys().then((names) =>
      names.includes(`vantor-${build}`)), { timeout: kScreenTimeoutMs }, oldBuild);

    await tab.setOfflineMode(true);
    await tab.reload();
    await waitForState(tab, (state) => atMenu(state) && state.update < kFreshUpdates,
      'offline, the reloaded page did not start');
    await assertLetterboxed(tab, 'offline');
    await click(await onPage(tab, kStartButton), tab);
    await waitForState(tab, inPhase(1), 'offline, a click on PLAY did not start a run');

    // The same site under another build id is a new build.
    const newBuild = 'a1b2c3d4e5f6';
    fs.cpSync(site.dir, newBuildDir, { recursive: true });
    for (const file of ['index.html', 'sw.js']) {
      const text = fs.readFileSync(path.join(newBuildDir, file), 'utf8');
      fs.writeFileSync(path.join(newBuildDir, file), text.replaceAll(oldBuild, newBuild));
    }
    site.dir = newBuildDir;
    await tab.setOfflineMode(false);
    await tab.reload();
    await waitForState(tab, atMenu, 'the new build did not start');
    await tab.waitForFunction((build) => caches.keys().then((names) =>
      names.length === 1 && names[0] === `vantor-${build}`), { timeout: kScreenTimeoutMs }, newBuild);
  } finally {
    site.dir = path.resolve(siteDir);
    fs.rmSync(newBuildDir, { recursive: true, force: true });
    await context.close();
  }
});

// ---------------------------------------------------------------------------
// A whole won run by touch on the emulated phone, in the bot's page
// (build-web/replay): the bot advises where to press, the test's finger
// presses there. The test steps the game's virtual clock itself, so the run
// never races the machine and is the desktop's bot run.

// Updates run at most between two looks at the bot's advice.
const kStepBatch = 600;
// Phases whose picture the page shows are kept, this far into each.
const kShownPhases = [5, 8];
const kShotAfterUpdates = 30;
// The fence fight's poses (game/run.h).
const kPoseStanding = 0;
const kPoseDucking = 1;
// How long the finger holds the duck, in updates: a second of the game's.
const kDuckUpdates = 60;

const stepBot = (tab, updates) => tab.evaluate((n) => window.vantorStep(n), updates);

// One finger on the bot's page: down, moved or lifted to match `wanted`
// ({x, y, down} in canvas pixels), landing in the middle of the pixel.
// Returns the finger as it now is.
async function moveFinger(session, box, finger, wanted) {
  const at = (pointer) => [{ id: 1,
    x: box.left + (Math.floor(pointer.x) + 0.5) * box.width / box.pixelWidth,
    y: box.top + (Math.floor(pointer.y) + 0.5) * box.height / box.pixelHeight }];
  const moved = finger && (finger.x !== wanted.x || finger.y !== wanted.y);
  if (wanted.down && !finger) {
    await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: at(wanted) });
  } else if (wanted.down && moved) {
    await session.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: at(wanted) });
  } else if (!wanted.down && finger) {
    await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }
  return wanted.down ? wanted : null;
}

// In the fight at the fence, the test's own finger held in the middle of
// the picture ducks the robber every update until it lifts. Returns the
// last answer.
async function holdToDuck(tab, session, box, shot) {
  const middle = { x: box.pixelWidth / 2, y: box.pixelHeight / 2, down: true };
  await moveFinger(session, box, null, middle);
  const poses = [];
  for (let n = 0; n < kDuckUpdates; ++n) poses.push((await stepBot(tab, 1)).state.playerPose);
  await tab.screenshot({ path: path.join(outDir, `${shot}.png`) });
  assert.deepEqual(poses.filter((pose) => pose !== kPoseDucking), [],
    'the finger held in the fight did not keep the robber ducked');
  await moveFinger(session, box, middle, { ...middle, down: false });
  const answer = await stepBot(tab, 1);
  assert.equal(answer.state.playerPose, kPoseStanding, 'the robber stayed down after the finger lifted');
  return answer;
}

// The shot /shots/NAME.png of the bot's page, as PNG bytes.
async function replayShot(replay, name) {
  const base64 = await replay.evaluate((file) => {
    const bytes = FS.readFile(file);
    let text = '';
    for (const byte of bytes) text += String.fromCharCode(byte);
    return btoa(text);
  }, `/shots/${name}.png`);
  return Buffer.from(base64, 'base64');
}

// The phases whose shot in the bot's page differs from the desktop's.
async function phasesUnlikeDesktop(tab, orientation) {
  const differing = [];
  for (let phase = 1; phase <= kPhases; ++phase) {
    const name = `phase-${phase}`;
    const png = await replayShot(tab, name);
    fs.writeFileSync(path.join(outDir, `touch-${orientation}-${name}-frame.png`), png);
    const share = await differingShare(png, fs.readFileSync(path.join(referenceDir, `${name}.png`)),
      { on: tab });
    if (share > kMatchingShare) differing.push(`${name}: ${(share * 100).toFixed(1)}%`);
  }
  return differing;
}

for (const [orientation, viewport] of [['landscape', kPhoneLandscape], ['portrait', kPhone.viewport]]) {
  test(`a phone in ${orientation}: a whole run won by touch, every phase as on the desktop`, async () => {
    const { context, tab, session } = await openSite({ device: kPhone, viewport });
    try {
      const started = Date.now();
      await tab.goto(`http://127.0.0.1:${replayServer.address().port}/`);
      await tab.waitForFunction(() => window.Module?.calledRun, { timeout: kScreenTimeoutMs });
      const box = await canvasBox(tab);
      const phaseStarts = new Map();
      let answer = await stepBot(tab, 0);
      assert.ok(answer, 'the game did not start in the bot\'s page');
      let finger = null;
      let touches = 0;
      let ducked = false;
      while (!answer.botDone) {
        const wanted = answer.advice;
        if (wanted.down && !finger) touches += 1;
        finger = await moveFinger(session, box, finger, wanted);
        answer = await stepBot(tab, kStepBatch);
        // The page felt the finger where it landed before the updates ran.
        const felt = answer.touched;
        assert.ok(felt.down === wanted.down &&
          (!wanted.down || (felt.x === Math.floor(wanted.x) && felt.y === Math.floor(wanted.y))),
        `update ${answer.state.update}: the bot advised ${JSON.stringify(wanted)}, ` +
          `the page felt ${JSON.stringify(felt)}`);
        const { phase, update, gameMode } = answer.state;
        if (gameMode !== kModeRun) continue;
        if (!phaseStarts.has(phase)) phaseStarts.set(phase, update);
        const shot = `touch-${orientation}-phase-${phase}`;
        if (!kShownPhases.includes(phase) || shots[shot] ||
            update - phaseStarts.get(phase) < kShotAfterUpdates) continue;
        if (phase === kPhaseFenceFight && !finger) {
          answer = await holdToDuck(tab, session, box, `${shot}-ducking`);
          ducked = true;
        }
        shots[shot] = await tab.screenshot({ path: path.join(outDir, `${shot}.png`) });
      }
      const { state, report } = answer;
      console.log(`touch run, phone in ${orientation}: ${report}, ${touches} touches, ` +
        `${((Date.now() - started) / 1000).toFixed(0)} s`);
      assert.match(report, /^outcome=win /);
      assert.deepEqual([...phaseStarts.keys()], Array.from({ length: kPhases }, (_, i) => i + 1),
        'the phases the run went through');
      assert.ok(ducked, 'the run never reached a moment to hold the duck');
      assert.ok(state.score > 0 && state.highscores.includes(state.score),
        `the score ${state.score} is not in the tables ${JSON.stringify(state.highscores)}`);
      assert.equal(await tab.evaluate(() => window.vantorMouseEvents), 0, 'a mouse event followed a touch');
      assert.deepEqual(await phasesUnlikeDesktop(tab, orientation), [], 'phases that differ from the desktop');
    } finally {
      await context.close();
    }
  });
}

test('the code typed on the keyboard, on the number row and the numpad, opens the vault', async () => {
  const kNumpadZeroKeyCode = 96;
  const { context, tab, session } = await openSite();
  // Puppeteer's numpad keys are those of a numpad with Num Lock off; one
  // that types digits sends these.
  const numpad = async (digit) => {
    const key = { windowsVirtualKeyCode: kNumpadZeroKeyCode + Number(digit), code: `Numpad${digit}`,
      key: digit, location: 3, isKeypad: true };
    await session.send('Input.dispatchKeyEvent', { type: 'keyDown', text: digit, ...key });
    await holdPress(tab);
    await session.send('Input.dispatchKeyEvent', { type: 'keyUp', ...key });
    await holdPress(tab);
  };
  // Each key held for a few drawn frames, as a busy page may draw seldom.
  const type = async (digits) => {
    for (const digit of digits) await press(digit, tab);
  };
  try {
    await tab.goto(siteUrl());
    await waitForState(tab, atMenu, 'the title menu did not come');
    await press('Enter', tab);
    const { targetCode } = await waitForState(tab, inPhase(1), 'Enter did not start a run');
    await type(targetCode.slice(0, 3));
    await waitForState(tab, (state) => state.enteredCode === targetCode.slice(0, 3),
      'the digits typed on the number row did not show');
    await press('KeyC', tab);
    await waitForState(tab, (state) => state.enteredCode === '', 'C did not clear them');
    await type(targetCode.slice(0, 5));
    for (const digit of targetCode.slice(5)) await numpad(digit);
    await waitForState(tab, inPhase(2), `the code ${targetCode} typed did not open the vault`);
  } finally {
    await context.close();
  }
});
