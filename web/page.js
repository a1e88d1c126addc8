// Vantor's page: downloads the game and what it needs, shows how far that
// has got and what went wrong, keeps the picture 4:3, turns touches into the
// game's pointer, and offers fullscreen and offline play.
//
// The site (web/make_site.py) ships the data in packs: the sounds and other
// files every window needs, and one pack per art variant. The page fetches
// the code, the sounds and the variant its canvas needs, with progress, and
// writes the packs into the game's file system before the game starts. When
// the window changes, the canvas keeps its size until the new size has been
// still for a moment and the variant that size needs has been fetched; then
// it takes the new size (web/web_platform.cpp), and the game reloads its art
// only when the variant changed. Tests read the game's state through
// window.vantorState().
'use strict';

(function () {
  const site = JSON.parse(document.getElementById('site').textContent);
  const byId = (id) => document.getElementById(id);
  const canvas = byId('canvas');

  const kRuntimeErrorPrefix = 'Vantor Runtime Error : ';
  const kWindowFailure = 'glfwOpenWindow failed';
  // The canvas takes a new size once the window has kept it this long.
  const kStillMs = 300;

  // What the page says ----------------------------------------------------

  let failed = false;

  // A message in place of the game; the game's loop stops.
  function fail(text, offerRetry) {
    if (failed) return;
    failed = true;
    byId('progress').hidden = true;
    byId('start').hidden = true;
    const message = byId('message');
    message.textContent = text;
    if (offerRetry) {
      const retry = document.createElement('a');
      retry.href = '';
      retry.textContent = 'Try again';
      retry.addEventListener('click', (event) => {
        event.preventDefault();
        location.reload();
      });
      message.append(document.createElement('br'), retry);
    }
    message.hidden = false;
    if (window.Module && Module.pauseMainLoop) Module.pauseMainLoop();
  }

  const failDownload = (what) => () =>
    fail(`The game's ${what} could not be downloaded. Check the connection.`, true);

  function notice(text) {
    const line = byId('notice');
    line.textContent = text;
    line.hidden = false;
  }

  // The picture ------------------------------------------------------------

  // The canvas for the visible area (vantorCanvasFor, index.html) and its
  // place there in CSS pixels.
  function layout() {
    const stage = byId('stage').getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    const { width, height, art } = vantorCanvasFor(stage.width, stage.height, ratio);
    return {
      width, height, art,
      css: {
        width: width / ratio, height: height / ratio,
        left: (stage.width - width / ratio) / 2, top: (stage.height - height / ratio) / 2,
      },
    };
  }

  function place(css) {
    const style = byId('frame').style;
    for (const side of ['left', 'top', 'width', 'height']) style[side] = `${css[side]}px`;
  }

  // Downloads --------------------------------------------------------------

  const url = (file) => `${file}?v=${site.build}`;

  // The bytes of `file`, telling `progress` of each chunk's length. Rejects
  // on a network failure or an answer other than 200.
  async function download(file, progress) {
    const response = await fetch(url(file));
    if (!response.ok) throw new Error(`${file}: ${response.status}`);
    if (!response.body) return new Uint8Array(await response.arrayBuffer());
    const chunks = [];
    let length = 0;
    for (const reader = response.body.getReader(); ;) {
      const { done, value } = await reader.read();
      if (done) break;
      chunks.push(value);
      length += value.length;
      progress(value.length);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes;
  }

  // A pack: a 4-byte little-endian header length, the header (JSON, a list
  // of [path, size]) and the files' bytes in that order.
  function unpack(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const headerLength = view.getUint32(0, true);
    const header = JSON.parse(new TextDecoder().decode(bytes.subarray(4, 4 + headerLength)));
    let at = 4 + headerLength;
    return header.map(([path, size]) => {
      if (at + size > bytes.length) throw new Error(`a pack cut short at ${path}`);
      const file = { path, bytes: bytes.subarray(at, at + size) };
      at += size;
      return file;
    });
  }

  function install(files) {
    for (const { path, bytes } of files) {
      Module.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
      Module.FS.writeFile(path, bytes);
    }
  }

  const packs = new Map();  // name -> promise of its files

  function fetchPack(name, progress = () => {}) {
    if (!packs.has(name)) {
      const files = download(`vantor-${name}.data`, progress).then(unpack);
      // A failed pack may be asked for again later.
      files.catch(() => packs.delete(name));
      packs.set(name, files);
    }
    return packs.get(name);
  }

  const installed = new Set();
  const unavailable = new Set();  // packs that failed since the last resize

  // Whether the pack is in the file system: 'ready', 'loading' (it is being
  // fetched) or 'failed'.
  function packState(name) {
    if (installed.has(name)) return 'ready';
    if (unavailable.has(name)) return 'failed';
    fetchPack(name).then((files) => {
      if (installed.has(name)) return;
      install(files);
      installed.add(name);
    }, () => unavailable.add(name));
    return 'loading';
  }

  // The start ---------------------------------------------------------------

  if (!document.createElement('canvas').getContext('webgl')) {
    fail('This browser cannot draw the game: WebGL is switched off or not supported.');
    return;
  }

  const first = layout();
  place(first.css);
  const firstArt = first.art;
  const total = site.sizes['vantor.wasm'] + site.sizes['vantor-base.data'] +
                site.sizes[`vantor-${firstArt}.data`];
  let received = 0;
  const progressLine = byId('progress');
  const progress = (length) => {
    received += length;
    progressLine.textContent = `Loading ${Math.min(100, Math.floor(received * 100 / total))} %`;
  };
  const code = download('vantor.wasm', progress);
  const data = Promise.all([fetchPack('base', progress), fetchPack(firstArt, progress)]);
  code.catch(failDownload('code'));
  data.catch(failDownload('data'));

  window.Module = {
    canvas,
    // The runtime's debugger reads commands from standard input; a page has
    // none, and must not get the browser's prompt box instead.
    stdin: () => null,
    print(text) {
      console.log(text);
      if (text.startsWith(kRuntimeErrorPrefix)) fail(text);
      if (text === kWindowFailure) fail('This browser cannot draw the game: WebGL is not available.');
    },
    printErr: (text) => console.warn(text),
    onAbort: (what) => fail(`${kRuntimeErrorPrefix}${what}`),
    instantiateWasm(imports, receive) {
      code.then((bytes) => WebAssembly.instantiate(bytes, imports))
        .then((result) => receive(result.instance), (error) => {
          if (!failed) fail(`${kRuntimeErrorPrefix}${error.message}`);
        });
      return {};
    },
    preRun: [() => {
      Module.addRunDependency('vantor-data');
      data.then(([base, art]) => {
        install(base);
        install(art);
        installed.add('base').add(firstArt);
        Module.removeRunDependency('vantor-data');
      }, () => {});
    }],
    postRun: [started],
    vantorCanvasSize: { width: first.width, height: first.height },
    vantorStorageRefused() {
      notice('Scores and settings will not be kept this time: the browser refuses to store them.');
    },
  };

  const script = document.createElement('script');
  script.src = url('vantor.js');
  script.onerror = failDownload('code');
  document.body.append(script);

  // The game runs ------------------------------------------------------------

  function started() {
    progressLine.hidden = true;
    showStartHint();
    if ('serviceWorker' in navigator) {
      navigator.serviceWorker.register('sw.js').catch((error) => console.warn(`offline play: ${error}`));
    }
  }

  const touchScreen = () => navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches;

  // The game's sound contexts (emscripten's OpenAL).
  const soundContexts = () =>
    (typeof AL !== 'undefined' ? Object.values(AL.contexts) : []).map((context) => context.audioCtx);

  // Browsers hold sound until the player's first key, click or lifted
  // finger. Until then the page says so.
  const startHint = byId('start');
  const kHintHiders = ['keydown', 'mousedown'];

  function hideStartHint() {
    startHint.hidden = true;
    for (const kind of kHintHiders) document.removeEventListener(kind, hideStartHint, true);
  }

  function showStartHint() {
    startHint.textContent = touchScreen() ? 'Tap to start' : 'Click to start';
    if (!soundContexts().some((context) => context.state === 'suspended')) return;
    startHint.hidden = false;
    for (const kind of kHintHiders) document.addEventListener(kind, hideStartHint, true);
  }

  // A lifted finger is the gesture that lets sound play (emscripten resumes
  // sound on a touch's start, which browsers do not count).
  function unlockSound() {
    for (const context of soundContexts()) {
      if (context.state === 'suspended') context.resume();
    }
  }

  // Touch (web/touch.js): the fingers are the game's pointer.
  vantorForwardTouches(canvas, {
    ready: () => Module.calledRun && !failed,
    lifted() {
      unlockSound();
      hideStartHint();
    },
  });

  // Window changes: the picture follows at once (stretched), the canvas once
  // the size has been still and its art is in.
  let stillTimer = 0;
  let wanted = null;

  // A size whose art cannot be fetched (offline, and not kept) is not
  // taken: the picture stays the old canvas stretched to the new place.
  function settle() {
    if (!wanted || !Module.calledRun) return;
    const state = packState(wanted.art);
    if (state === 'loading') {
      stillTimer = setTimeout(settle, kStillMs);
      return;
    }
    if (state === 'ready') Module.vantorCanvasSize = { width: wanted.width, height: wanted.height };
    wanted = null;
  }

  function onResize() {
    const next = layout();
    place(next.css);
    wanted = next;
    unavailable.clear();
    clearTimeout(stillTimer);
    stillTimer = setTimeout(settle, kStillMs);
  }
  window.addEventListener('resize', onResize);

  // Fullscreen: the button in the page's corner and F11 toggle the page's
  // fullscreen (a page has no monitor to take over).
  function toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else {
      document.documentElement.requestFullscreen({ navigationUI: 'hide' }).catch(() => {});
    }
  }
  const fullscreenButton = byId('fullscreen');
  fullscreenButton.hidden = !document.fullscreenEnabled;
  fullscreenButton.addEventListener('click', () => {
    toggleFullscreen();
    fullscreenButton.blur();
  });
  window.addEventListener('keydown', (event) => {
    if (event.key !== 'F11') return;
    event.preventDefault();
    event.stopImmediatePropagation();
    toggleFullscreen();
  }, true);

  // For tests: the game's state line (the replay tool's), or null before the
  // game runs.
  window.vantorState = () => {
    if (!Module.calledRun) return null;
    const line = Module.UTF8ToString(Module._vantor_state_line());
    return line ? JSON.parse(line) : null;
  };
})();
