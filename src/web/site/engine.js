// The updater's engine: the core in WebAssembly with its serial layer, pauses, storage and the
// practice radio. It runs in a dedicated worker (worker.js), where its pauses keep their pace
// while the page is hidden; the page only presents what it posts and passes on what the user
// does. Where a browser has no Web Serial in workers it runs in the page itself (page.js says
// so before Write).
//
// The core runs one entry point that may wait at a time: under ASYNCIFY a second call must not
// suspend while one is suspended. So Write, Exit's question and the special settings wait their
// turn; the entry points that never wait (Exit during a session, the next-radio tick, a port's
// choice) go straight in; the page's answers go to the question waiting for them.
import createUpdater from './updater.js';
import createPracticeRadio from './practice_radio.js';
import { PracticePort } from './practice_port.js';
import { pause } from './pauses.js';
import { SerialLayer } from './serial_layer.js';
import { appendLine, loadSettings, openStorage, saveSetting } from './service_log.js';

// channel: { post(message), listen(handler) }; serial: navigator.serial of this context or null;
// start: what the page tells at the start (the words of its address, the designer's among them).
export async function runEngine(channel, serial, start) {
  let practice = null;
  const practicePort = () => practice;
  const layer = new SerialLayer(serial, practicePort);

  let db = null;
  let storageFailure = '';
  let settings = new Map();
  try {
    db = await openStorage();
    settings = await loadSettings(db);
  } catch (error) {
    storageFailure = String(error && error.message ? error.message : error);
  }

  const questions = new Map();
  let nextQuestion = 1;
  const module = await createUpdater({
    qvSerial: layer,
    qvPause: pause,
    qvPost: (message) => channel.post({ type: 'view', message }),
    qvAsk: (question) =>
      new Promise((resolve) => {
        const id = nextQuestion++;
        questions.set(id, resolve);
        channel.post({ type: 'ask', id, question });
      }),
    qvSettings: {
      get: (key) => settings.get(key),
      set: (key, value) => {
        settings.set(key, value);
        if (db) {
          saveSetting(db, key, value);
        }
      },
    },
    qvServiceLog: {
      append: (line) =>
        db ? appendLine(db, line) : Promise.resolve(storageFailure || 'no storage'),
    },
    print: (text) => console.log(text),
    printErr: (text) => console.error(text),
  });

  // One entry point at a time; `inCall` while one is suspended. Calls that never wait go
  // straight in, also while another is suspended: they do not suspend the module themselves.
  let turn = Promise.resolve();
  let inCall = false;
  const call = (name, types = [], args = []) => {
    turn = turn.then(async () => {
      inCall = true;
      try {
        await module.ccall(name, null, types, args, { async: true });
      } finally {
        inCall = false;
      }
    });
    return turn;
  };
  // Straight into the export: ccall would take a call made while another is suspended for
  // an asynchronous one and steal the suspended call's promise.
  const callNow = (name, text = null) => {
    if (text === null) {
      return module[`_${name}`]();
    }
    const size = module.lengthBytesUTF8(text) + 1;
    const pointer = module._malloc(size);
    module.stringToUTF8(text, pointer, size);
    try {
      return module[`_${name}`](pointer);
    } finally {
      module._free(pointer);
    }
  };

  // A Mot file chosen in the special settings: its bytes go into the module's file system,
  // where the image loader reads the path the settings hold.
  const takeMotFile = (answer) => {
    if (answer && answer.motFile) {
      module.FS.mkdirTree('/mot');
      const path = `/mot/${answer.motFile.name.replace(/[/\\]/g, '_')}`;
      module.FS.writeFile(path, new Uint8Array(answer.motFile.bytes));
      answer.motFilePath = path;
      delete answer.motFile;
    }
    return answer;
  };

  const portsChanged = (select) => call('qv_web_ports_changed', ['string'], [select]);
  const actions = {
    write: () => call('qv_web_write'),
    specialSettings: () => call('qv_web_special_settings'),
    exit: () => (inCall ? callNow('qv_web_exit_during_session') : call('qv_web_exit')),
    nextRadio: (ticked) => module._qv_web_next_radio(ticked ? 1 : 0),
    portSelected: (device) => callNow('qv_web_port_selected', device),
    portsChanged: async () => {
      const added = await layer.refresh();
      return portsChanged(added[0] || '');
    },
    offerPractice: async () => {
      if (!practice) {
        practice = new PracticePort(await createPracticeRadio());
      }
      layer.offerPractice(true);
      return portsChanged('practice');
    },
  };

  channel.listen(async (data) => {
    if (data.type === 'answer') {
      const resolve = questions.get(data.id);
      questions.delete(data.id);
      if (resolve) {
        resolve(takeMotFile(data.value));
      }
      return;
    }
    if (data.type === 'action' && actions[data.name]) {
      await actions[data.name](data.value);
    }
  });

  await layer.refresh();
  await call('qv_web_start', ['string'], [start.words.join('\n')]);
  channel.post({ type: 'ready' });
}
