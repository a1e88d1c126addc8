// Vantor's service worker: offline play after one visit. It keeps every
// file of one build in a cache named after the build; the build
// (web/make_site.py) fills in {{BUILD}} and {{FILES}}, so a new build is a
// new worker. Installing fetches the files (revalidating what the browser
// already has, so the page's own downloads are not repeated); activating
// deletes the caches of other builds, so a new build replaces the old one
// on the next online visit. The page itself comes from the network while
// there is one, so a new build shows as soon as it is served, and from the
// cache without; every other file is the cached one of the build that asks
// for it (its URL names the build).
'use strict';

const kCache = 'vantor-{{BUILD}}';
const kFiles = {{FILES}};
const kPage = './';

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache)
    .then((cache) => cache.addAll(kFiles.map((file) => new Request(file, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith('vantor-') && name !== kCache)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  if (request.mode === 'navigate') {
    event.respondWith(fetch(request).catch(() =>
      caches.open(kCache).then((cache) => cache.match(kPage)).then((page) => page || Response.error())));
    return;
  }
  event.respondWith(caches.open(kCache)
    .then((cache) => cache.match(request))
    .then((kept) => kept || fetch(request)));
});
