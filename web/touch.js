// Touch on a page of the game: the page handles it itself. Every touch on
// the page is the game's (the bars around the picture included) except on
// the page's own controls; nothing else sees it, so no mouse event follows
// and the browser neither scrolls, zooms nor selects. Each finger's start,
// move and end goes to the game's vantor_touch in canvas pixels once
// `ready()` says the game runs; `lifted()` hears every lifted finger, the
// gesture that lets a page play sound. Used by the game's page (page.js)
// and the bot's test page (replay/index.html).
'use strict';

function vantorForwardTouches(canvas, { ready, lifted }) {
  const kTouchPhases = { touchstart: 0, touchmove: 1, touchend: 2, touchcancel: 2 };

  function onTouch(event) {
    if (event.target.closest && event.target.closest('a, button')) return;
    event.preventDefault();
    event.stopPropagation();
    if (event.type === 'touchend') lifted();
    if (!ready()) return;
    const box = canvas.getBoundingClientRect();
    const scaleX = canvas.width / box.width;
    const scaleY = canvas.height / box.height;
    for (const touch of event.changedTouches) {
      Module._vantor_touch(kTouchPhases[event.type], touch.identifier,
        (touch.clientX - box.left) * scaleX, (touch.clientY - box.top) * scaleY);
    }
  }
  for (const kind of Object.keys(kTouchPhases)) {
    window.addEventListener(kind, onTouch, { capture: true, passive: false });
  }
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
}
