// What the browser test (browser_test.mjs) and the page's figures
// (measure.mjs) share: how Chromium is started, the frame counter put into
// the page, the slow network profile, the page's first paint and the
// game's state as the page reports it (window.vantorState, web/page.js).

export const kChromiumFlags = [
  '--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  // Sound may start before the first input, as it does on the desktop.
  '--autoplay-policy=no-user-gesture-required',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--no-first-run',
];

// The "Slow 4G" profile: 180 kB/s down, 562 ms of latency.
export const kSlowNetwork = {
  offline: false, latency: 562, downloadThroughput: 180_000, uploadThroughput: 84_375,
};

// Counts the frames the game drew: animation frames in which WebGL drew.
// Runs in the page before its own scripts.
export function countDrawnFrames() {
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

// The game's state line, or null before the game runs.
export const stateOf = (tab) => tab.evaluate(() => (window.vantorState ? window.vantorState() : null));

// The title menu, its buttons at rest after sliding in.
export const atMenu = (state) => state.gameMode === 1 && state.loadStep === 0 && state.menuSlide === 0;

// When the page first painted (its progress line), in ms from navigation.
export async function firstPaintMs(tab) {
  const entry = await tab.waitForFunction(
    () => performance.getEntriesByName('first-contentful-paint')[0]?.startTime);
  return entry.jsonValue();
}
