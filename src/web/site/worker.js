// The page's dedicated worker: the engine runs here, away from the page's throttled timers.
import { runEngine } from './engine.js';

const channel = {
  post: (message) => self.postMessage(message),
  listen: (handler) => self.addEventListener('message', (event) => handler(event.data)),
};

function started(event) {
  if (event.data.type !== 'start') {
    return;
  }
  self.removeEventListener('message', started);
  runEngine(channel, self.navigator.serial || null, event.data).catch((error) => {
    channel.post({ type: 'failed', reason: String(error && error.stack ? error.stack : error) });
  });
}

self.addEventListener('message', started);
self.postMessage({ type: 'hello', serial: Boolean(self.navigator.serial) });
