// Keeps the site working offline after the first visit. Each build has its
// own cache: a new build's worker fills a new one and drops the old.
'use strict';
const CACHE = 'lessonkit-@BUILD@';
// The served pages with their scripts, WebAssembly and fonts (the build
// lists them), and the single files too.
const FILES = ['./', 'index.html', 'applylesson.html', 'solvelesson.html', 'practicelesson.html', 'classlesson.html',
               'manifest.webmanifest',
               'icons/icon-192.png', 'icons/icon-512.png', 'icons/maskable-512.png',
               'icons/apple-touch-icon.png', '@FILES@'];

self.addEventListener('install', event => {
  event.waitUntil(caches.open(CACHE).then(cache => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
    .then(names => Promise.all(names.filter(n => n !== CACHE).map(n => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The cached copy first; anything else from the network. The address's
// options (?seed=...) do not make another page.
self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE).then(cache =>
    cache.match(event.request, {ignoreSearch: true}).then(hit => hit || fetch(event.request))));
});
