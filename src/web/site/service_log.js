// The service log in the browser: one record line per job, the same JSON as qv-flash --record,
// in IndexedDB, and the window's remembered settings beside it. The worker appends, the page
// reads it all back for "Download service log".
const DB_NAME = 'qv-updater';
const DB_VERSION = 1;
const LINES = 'serviceLog';
const SETTINGS = 'settings';

function request(req) {
  return new Promise((resolve, reject) => {
    req.onsuccess = () => resolve(req.result);
    req.onerror = () => reject(req.error);
  });
}

export function openStorage(indexedDB = globalThis.indexedDB) {
  if (!indexedDB) {
    return Promise.reject(new Error('this browser keeps no IndexedDB storage here'));
  }
  const opening = indexedDB.open(DB_NAME, DB_VERSION);
  opening.onupgradeneeded = () => {
    const db = opening.result;
    db.createObjectStore(LINES, { autoIncrement: true });
    db.createObjectStore(SETTINGS);
  };
  return request(opening);
}

// A line is stored whole or not at all: one put in one transaction, counted only once the
// transaction has committed. Resolves to '' when stored, else the browser's reason.
export async function appendLine(db, line) {
  try {
    const tx = db.transaction(LINES, 'readwrite', { durability: 'strict' });
    tx.objectStore(LINES).add(line);
    await new Promise((resolve, reject) => {
      tx.oncomplete = resolve;
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error || new Error('the browser refused the line'));
    });
    return '';
  } catch (error) {
    return String(error && error.message ? error.message : error);
  }
}

export async function allLines(db) {
  const tx = db.transaction(LINES, 'readonly');
  return request(tx.objectStore(LINES).getAll());
}

export async function loadSettings(db) {
  const tx = db.transaction(SETTINGS, 'readonly');
  const store = tx.objectStore(SETTINGS);
  const [keys, values] = await Promise.all([request(store.getAllKeys()), request(store.getAll())]);
  return new Map(keys.map((key, i) => [key, values[i]]));
}

export function saveSetting(db, key, value) {
  const tx = db.transaction(SETTINGS, 'readwrite');
  tx.objectStore(SETTINGS).put(value, key);
}
