// The page: presents what the engine posts (title, ports, controls, progress, status line,
// boxes, the special settings) and passes on what the user does. The engine runs in a worker,
// so that the update keeps its pace while this tab is hidden.
import { allLines, openStorage } from './service_log.js';

const $ = (id) => document.getElementById(id);

// The words after ? and # in the address: the designer mode's word is one of them.
function addressWords() {
  const words = [];
  for (const part of [location.search, location.hash]) {
    for (const word of part.slice(1).split(/[&;,+ ]/)) {
      if (word) {
        try {
          words.push(decodeURIComponent(word.split('=')[0]));
        } catch (error) {
          // a malformed %-escape names no word
        }
      }
    }
  }
  return words;
}

let engine = null;
// Before the engine has started the controls are disabled; a key meanwhile goes nowhere.
const post = (message) => engine && engine.postMessage(message);
const act = (name, value) => post({ type: 'action', name, value });

// --- Presenting -------------------------------------------------------------------------

const ICONS = { information: 'ℹ️', question: '❓', exclamation: '⚠️', stop: '⛔', none: '' };

let portEntries = [];

const view = {
  title({ text }) {
    $('title').textContent = text;
    document.title = text.replace(/\s+/g, ' ');
  },
  ports({ entries, selected, noPort }) {
    portEntries = entries;
    const select = $('port');
    select.replaceChildren(
      ...entries.map((entry, index) => new Option(entry.text, String(index))),
    );
    if (selected !== null && selected !== undefined) {
      select.value = String(selected);
    }
    $('no-port').hidden = !noPort;
    $('no-port-text').textContent = noPort
      ? `${noPort.detail}. Press "Choose port" and pick the radio's cable, or try the ` +
        'practice radio.'
      : '';
    showPracticeNote();
  },
  controls(controls) {
    $('write').disabled = !controls.write;
    $('exit').disabled = !controls.exit;
    $('port').disabled = !controls.portList;
    // A port may be chosen whenever the window is idle, also before the first is listed.
    const idle = controls.exit && controls.pointer === 'normal';
    $('choose-port').disabled = !idle || !('serial' in navigator);
    $('practice').disabled = !idle;
    $('next-radio').disabled = !controls.nextRadio;
    $('special-settings').hidden = !controls.specialSettingsShown;
    $('special-settings').disabled = !controls.specialSettings;
    document.body.dataset.pointer = controls.pointer;
  },
  nextRadio({ ticked }) {
    $('next-radio').checked = ticked;
  },
  // A position below 0 shows the bar empty.
  progress({ position, high }) {
    $('progress').max = Math.max(high, 1);
    $('progress').value = Math.max(position, 0);
  },
  status({ text }) {
    $('status').textContent = text;
  },
  end() {
    window.close();
    $('window').replaceChildren(
      Object.assign(document.createElement('p'), {
        id: 'ended',
        textContent: 'The updater has ended. Close this tab, or reload the page to start again.',
      }),
    );
  },
};

function showPracticeNote() {
  const entry = portEntries[Number($('port').value)];
  $('practice-note').hidden = !entry || entry.device !== 'practice';
}

// A modal box; resolves to "ok" or "cancel". Escape is Cancel where there is one. A hint is
// the page's own word under the box's text: what to do in a browser.
function showBox({ text, caption, buttons, icon, hint }) {
  const box = $('box');
  $('box-caption').textContent = caption;
  $('box-text').textContent = text;
  $('box-icon').textContent = ICONS[icon] || '';
  $('box-cancel').hidden = buttons !== 'okCancel';
  $('box-hint').hidden = !hint;
  $('box-hint').textContent = hint || '';
  box.returnValue = '';
  return new Promise((resolve) => {
    box.addEventListener(
      'close',
      () => resolve(box.returnValue || (buttons === 'okCancel' ? 'cancel' : 'ok')),
      { once: true },
    );
    box.showModal();
    $('box-ok').focus();
  });
}

// The special settings on a copy: the copy after OK, null after Cancel. A Mot file chosen with
// "Refer" goes with the answer, for the engine to keep where the loader reads it.
function editSpecialSettings({ settings }) {
  const dialog = $('settings');
  const form = $('settings-form');
  const check = (name, value) => {
    for (const input of form.querySelectorAll(`input[name="${name}"]`)) {
      input.checked = Number(input.value) === value;
    }
  };
  check('baud', settings.baudIndex);
  check('stop-bits', settings.stopBits);
  $('max-buffer').value = String(settings.maxBuffer);
  $('rounds').value = String(settings.roundsPerWrite);
  $('unencrypted').checked = settings.unencrypted;
  $('use-mot').checked = settings.useMotFile;
  $('mot-name').value = settings.motFilePath.replace(/^\/mot\//, '');
  $('mot-file').value = '';
  let chosen = null;
  const onChosen = () => {
    chosen = $('mot-file').files[0] || null;
    if (chosen) {
      $('mot-name').value = chosen.name;
    }
  };
  $('mot-file').addEventListener('change', onChosen);
  dialog.returnValue = '';
  return new Promise((resolve) => {
    dialog.addEventListener(
      'close',
      async () => {
        $('mot-file').removeEventListener('change', onChosen);
        if (dialog.returnValue !== 'ok') {
          resolve(null);
          return;
        }
        const picked = (name) => Number(form.querySelector(`input[name="${name}"]:checked`)?.value);
        const answer = {
          baudIndex: picked('baud'),
          stopBits: picked('stop-bits'),
          maxBuffer: Number($('max-buffer').value),
          roundsPerWrite: Number($('rounds').value),
          unencrypted: $('unencrypted').checked,
          useMotFile: $('use-mot').checked,
          motFilePath: settings.motFilePath,
        };
        if (chosen) {
          answer.motFile = { name: chosen.name, bytes: await chosen.arrayBuffer() };
        }
        resolve(answer);
      },
      { once: true },
    );
    dialog.showModal();
  });
}

const questions = { box: showBox, specialSettings: editSpecialSettings };

async function answer(id, question) {
  const value = await questions[question.op](question);
  post({ type: 'answer', id, value });
}

// --- What the user does -------------------------------------------------------------------

function wireControls() {
  $('write').addEventListener('click', () => act('write'));
  $('port').addEventListener('change', () => {
    showPracticeNote();
    const entry = portEntries[Number($('port').value)];
    if (entry) {
      act('portSelected', entry.device);
    }
  });
  $('choose-port').addEventListener('click', async () => {
    try {
      await navigator.serial.requestPort();
    } catch (error) {
      if (error.name !== 'NotFoundError') {
        view.status({ text: `The browser gave no port: ${error.message}` });
      }
      return; // NotFoundError: the chooser was closed without a port
    }
    act('portsChanged');
  });
  $('practice').addEventListener('click', () => act('offerPractice'));
  $('exit').addEventListener('click', () => act('exit'));
  $('special-settings').addEventListener('click', () => act('specialSettings'));
  $('next-radio').addEventListener('change', () => act('nextRadio', $('next-radio').checked));
  $('refer').addEventListener('click', () => $('mot-file').click());
  // Escape is Exit, as in the desktop window; in a dialog it is the dialog's Cancel.
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && !document.querySelector('dialog[open]')) {
      act('exit');
    }
  });
  $('download-log').addEventListener('click', downloadServiceLog);
  if ('serial' in navigator) {
    navigator.serial.addEventListener('connect', () => act('portsChanged'));
    navigator.serial.addEventListener('disconnect', () => act('portsChanged'));
  }
}

async function downloadServiceLog() {
  let lines;
  try {
    lines = await allLines(await openStorage());
  } catch (error) {
    view.status({ text: `The service log cannot be read: ${error.message}` });
    return;
  }
  const blob = new Blob(
    lines.map((line) => `${line}\n`),
    { type: 'application/x-ndjson' },
  );
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = 'jobs.jsonl';
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// --- The engine ---------------------------------------------------------------------------

function handle(data) {
  switch (data.type) {
    case 'view':
      view[data.message.op](data.message);
      break;
    case 'ask':
      answer(data.id, data.question);
      break;
    case 'ready':
      document.body.dataset.ready = 'true';
      document.body.dataset.readyMs = String(Math.round(performance.now()));
      break;
    case 'failed':
      $('cannot-work-title').textContent = 'The updater could not start';
      $('cannot-work-text').textContent = data.reason;
      $('cannot-work').hidden = false;
      break;
    default:
      break;
  }
}

function firstMessage(target) {
  return new Promise((resolve) => {
    target.addEventListener('message', (event) => resolve(event.data), { once: true });
  });
}

// The engine in the page itself, for a browser whose workers have no Web Serial: the page's
// timers slow down while it is hidden, which the page says before Write.
async function engineInPage(start) {
  const { runEngine } = await import('./engine.js');
  const toPage = new MessageChannel();
  toPage.port1.onmessage = (event) => handle(event.data);
  const toEngine = new MessageChannel();
  const channel = {
    post: (message) => toPage.port2.postMessage(message),
    listen: (handler) => {
      toEngine.port2.onmessage = (event) => handler(event.data);
    },
  };
  engine = toEngine.port1;
  runEngine(channel, navigator.serial, start).catch((error) =>
    handle({ type: 'failed', reason: String(error) }),
  );
}

async function startEngine() {
  const start = { type: 'start', words: addressWords() };
  const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
  const hello = await firstMessage(worker);
  if ('serial' in navigator && !hello.serial) {
    worker.terminate();
    $('pace-note').textContent =
      'This browser offers serial ports to pages only, not to their background workers: ' +
      'keep this tab in front while a radio is written, or the update slows down many times.';
    $('pace-note').hidden = false;
    await engineInPage(start);
    return;
  }
  worker.addEventListener('message', (event) => handle(event.data));
  worker.addEventListener('error', (event) =>
    handle({ type: 'failed', reason: event.message || 'the worker could not load' }),
  );
  engine = worker;
  post(start);
}

wireControls();
startEngine();
if ('serviceWorker' in navigator && window.isSecureContext) {
  navigator.serviceWorker.register('sw.js').catch(() => {
    // the page works without; it only does not open offline
  });
}
