// The browser build played in headless Chromium, as a player would: the
// menu looks like the desktop's, a real click starts a run, the pointer and
// the keys play it, sound plays, a minimised window suspends the game, and
// the saved record outlives a reload of the page. Then the replay tool's bot
// plays a won run in a page of its own, and each phase looks as on the
// desktop.
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
import { after, before, test } from 'node:test';
import { setTimeout as sleep } from 'node:timers/promises';
import puppeteer from 'puppeteer-core';

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
// The bot's whole run, a few thousand updates and renders, in one go.
const kReplayTimeoutMs = 600_000;
const kPhases = 9;
const kPollMs = 250;
// A press is held until the page has drawn this many frames, so that an
// update sees it down however slowly the page runs.
const kPressFrames = 2;
const kPressTimeoutMs = 10_000;
// Long enough for several updates at the game's 60 per second.
const kSettleMs = 600;
const kAlPlaying = 0x1012;

// Places on the 640 x 480 screen (the game's own units there).
const kStartButton = { x: 256, y: 336 };  // the cash bag of the title menu
const kKeypadOne = { x: 240, y: 160 };
const kKeypadFive = { x: 312, y: 232 };
const kPauseSoundButton = { x: 460, y: 184 };
const kMenuSoundButtonWaves = { x: 318, y: 12, width: 30, height: 40 };

const kChromiumFlags = [
  '--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  // Sound may start before the first input, as it does on the desktop.
  '--autoplay-policy=no-user-gesture-required',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--no-first-run',
];

let server;
let replayServer;
let browser;
let page;
let profileDir;
const shots = {};

// Counts the frames the game drew: animation frames in which WebGL drew.
// Runs in the page before its own scripts.
function countDrawnFrames() {
  let drew = false;
  window.vantorFramesDrawn = 0;
  for (const context of [window.WebGLRenderingContext, window.WebGL2RenderingContext]) {
    for (const method of ['drawArrays', 'drawElements']) {
      const draw = context.prototype[method];
      context.prototype[method] = function (...args) {
        drew = true;
        return draw.apply(this, args);
      };
    }
  }
  const requestFrame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => requestFrame((time) => {
    callback(time);
    if (drew) window.vantorFramesDrawn += 1;
    drew = false;
  });
}

const kContentTypes = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
};

function serve(dir) {
  return http.createServer((request, response) => {
    const name = new URL(request.url, 'http://x/').pathname.slice(1) || 'index.html';
    const file = path.join(dir, path.normalize(name));
    fs.readFile(file, (error, body) => {
      const type = kContentTypes[path.extname(file)];
      if (error || !file.startsWith(dir) || !type) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': type }).end(body);
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
// sizes differ), decoded by the page's own image decoder.
function differingShare(first, second) {
  return page.evaluate(async (a, b, tolerance) => {
    const pixels = async (base64) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext('2d');
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height);
    };
    const [x, y] = await Promise.all([pixels(a), pixels(b)]);
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
  }, first.toString('base64'), second.toString('base64'), kChannelTolerance);
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

const framesDrawn = () => page.evaluate(() => window.vantorFramesDrawn);

async function holdPress() {
  const until = (await framesDrawn()) + kPressFrames;
  const deadline = Date.now() + kPressTimeoutMs;
  while ((await framesDrawn()) < until && Date.now() < deadline) await sleep(kPollMs / 10);
}

async function pointerDown({ x, y }) {
  await page.mouse.move(x, y);
  await page.mouse.down();
  await holdPress();
}

async function click(place) {
  await pointerDown(place);
  await page.mouse.up();
  await sleep(kSettleMs);
}

async function press(key) {
  await page.keyboard.down(key);
  await holdPress();
  await page.keyboard.up(key);
  await sleep(kSettleMs);
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
  server = serve(path.resolve(siteDir));
  replayServer = serve(path.resolve(replayDir));
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
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
});

after(async () => {
  await browser?.close();
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

test('the bot wins a run in the page, and every phase looks as on the desktop', async () => {
  const replay = await browser.newPage();
  replay.on('pageerror', (error) => console.log(`replay page error: ${error.message}`));
  let timer;
  const report = new Promise((resolve, reject) => {
    replay.on('console', (message) => {
      if (message.text().startsWith('outcome=')) resolve(message.text());
    });
    timer = setTimeout(() => reject(new Error('the bot did not report')), kReplayTimeoutMs);
  });
  const started = Date.now();
  await replay.goto(`http://127.0.0.1:${replayServer.address().port}/`);
  const line = await report.finally(() => clearTimeout(timer));
  console.log(`bot in the page: ${line} in ${((Date.now() - started) / 1000).toFixed(0)} s`);
  assert.match(line, /^outcome=win /);
  const differing = [];
  for (let phase = 1; phase <= kPhases; ++phase) {
    const name = `phase-${phase}`;
    const png = await replayShot(replay, name);
    fs.writeFileSync(path.join(outDir, `replay-${name}.png`), png);
    const share = await differingShare(png, fs.readFileSync(path.join(referenceDir, `${name}.png`)));
    if (share > kMatchingShare) differing.push(`${name}: ${(share * 100).toFixed(1)}%`);
  }
  assert.deepEqual(differing, [], 'phases that differ from the desktop');
});
