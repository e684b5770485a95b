// The system's Chromium, headless, driven through the DevTools protocol over a pipe
// (--remote-debugging-pipe): nothing is downloaded. The protocol is used directly because the
// serial stand-in must be in the page's worker before the worker's first line runs, which the
// protocol offers (auto-attach, waiting for the debugger) and the common client libraries do
// not let a test reach.
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const CHROMIUM = process.env.QV_CHROMIUM || '/usr/bin/chromium';
export const PLAIN_HTTP_HOST = 'qv-shop.test';

// One DevTools connection: commands with replies, events by name and session.
class Connection {
  constructor(toBrowser, fromBrowser) {
    this.toBrowser = toBrowser;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = new Set();
    let buffer = Buffer.alloc(0);
    fromBrowser.on('data', (data) => {
      buffer = Buffer.concat([buffer, data]);
      for (let end = buffer.indexOf(0); end >= 0; end = buffer.indexOf(0)) {
        const message = JSON.parse(buffer.subarray(0, end).toString('utf8'));
        buffer = buffer.subarray(end + 1);
        this.dispatch(message);
      }
    });
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const waiting = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (message.error) {
        waiting.reject(new Error(`${waiting.method}: ${message.error.message}`));
      } else {
        waiting.resolve(message.result);
      }
      return;
    }
    for (const listener of this.listeners) {
      listener(message);
    }
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) {
      message.sessionId = sessionId;
    }
    this.toBrowser.write(`${JSON.stringify(message)}\0`);
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject, method }));
  }

  on(listener) {
    this.listeners.add(listener);
    return () => this.listeners.delete(listener);
  }
}

export async function launchBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'qv-web-profile-'));
  const args = [
    '--headless=new',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--no-first-run',
    '--no-default-browser-check',
    // A name for this machine that is not localhost: a page from it over plain http is not
    // a secure context, as a shop's server without https would be.
    `--host-resolver-rules=MAP ${PLAIN_HTTP_HOST} 127.0.0.1`,
    `--user-data-dir=${profile}`,
    '--remote-debugging-pipe',
    'about:blank',
  ];
  const child = spawn(CHROMIUM, args, { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  let stderr = '';
  child.stderr.on('data', (data) => {
    stderr = (stderr + data).slice(-4000);
  });
  const connection = new Connection(child.stdio[3], child.stdio[4]);
  const exited = new Promise((resolve) => child.on('exit', resolve));
  await Promise.race([
    connection.send('Browser.getVersion'),
    exited.then(() => {
      throw new Error(`chromium ended at start:\n${stderr}`);
    }),
  ]);
  return new Browser(child, connection, profile, exited);
}

export class Browser {
  constructor(child, connection, profile, exited) {
    this.child = child;
    this.connection = connection;
    this.profile = profile;
    this.exited = exited;
  }

  // A new tab; standIn: script put into the page and each of its workers before they run
  // (workerScript: another one for the workers).
  async newPage(standIn = '', { workerScript = standIn } = {}) {
    const { targetId } = await this.connection.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.connection.send('Target.attachToTarget', {
      targetId,
      flatten: true,
    });
    const page = new Page(this, targetId, sessionId);
    await page.prepare(standIn, workerScript);
    return page;
  }

  async close() {
    try {
      await Promise.race([
        this.connection.send('Browser.close'),
        new Promise((resolve) => setTimeout(resolve, 3000)),
      ]);
    } catch (error) {
      // the browser went already
    }
    await Promise.race([this.exited, new Promise((resolve) => setTimeout(resolve, 5000))]);
    this.child.kill('SIGKILL');
    rmSync(this.profile, { recursive: true, force: true });
  }
}

export class Page {
  constructor(browser, targetId, sessionId) {
    this.browser = browser;
    this.connection = browser.connection;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.workers = new Map();
    this.console = [];
  }

  send(method, params = {}) {
    return this.connection.send(method, params, this.sessionId);
  }

  async prepare(standIn, workerScript) {
    this.connection.on((message) => {
      if (message.sessionId === this.sessionId) {
        if (message.method === 'Target.attachedToTarget') {
          this.workerAttached(message.params, workerScript);
        } else if (message.method === 'Runtime.consoleAPICalled') {
          this.console.push(message.params.args.map((a) => a.value ?? a.description).join(' '));
        } else if (message.method === 'Runtime.exceptionThrown') {
          this.console.push(`exception: ${message.params.exceptionDetails.exception?.description}`);
        }
      } else if (this.workers.has(message.sessionId)) {
        if (message.method === 'Runtime.exceptionThrown') {
          this.console.push(
            `worker exception: ${message.params.exceptionDetails.exception?.description}`,
          );
        } else if (message.method === 'Runtime.consoleAPICalled') {
          this.console.push(
            `worker: ${message.params.args.map((a) => a.value ?? a.description).join(' ')}`,
          );
        }
      }
    });
    await this.send('Page.enable');
    await this.send('Runtime.enable');
    if (standIn) {
      await this.send('Page.addScriptToEvaluateOnNewDocument', { source: standIn });
    }
    await this.send('Target.setAutoAttach', {
      autoAttach: true,
      waitForDebuggerOnStart: true,
      flatten: true,
    });
  }

  // A worker of the page has started and waits: the stand-in goes into a dedicated worker
  // before its first line. A service worker has no serial ports and goes on at once (it would
  // not answer Runtime.enable while it waits).
  async workerAttached({ sessionId, targetInfo }, standIn) {
    this.workers.set(sessionId, targetInfo);
    const send = (method, params = {}) => this.connection.send(method, params, sessionId);
    if (targetInfo.type !== 'worker') {
      await send('Runtime.runIfWaitingForDebugger');
      return;
    }
    try {
      await send('Runtime.enable');
      if (standIn) {
        await send('Runtime.evaluate', { expression: standIn });
      }
    } finally {
      await send('Runtime.runIfWaitingForDebugger');
    }
  }

  async goto(url) {
    await this.send('Page.navigate', { url });
  }

  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate', {
      expression,
      awaitPromise: true,
      returnByValue: true,
    });
    if (exceptionDetails) {
      throw new Error(`${expression}: ${exceptionDetails.exception?.description}`);
    }
    return result.value;
  }

  // Polls the page until expression is truthy; returns its value.
  async waitFor(expression, { timeout = 10000, what = expression } = {}) {
    const until = Date.now() + timeout;
    for (;;) {
      let value;
      try {
        value = await this.evaluate(expression);
      } catch (error) {
        value = undefined;
      }
      if (value) {
        return value;
      }
      if (Date.now() > until) {
        throw new Error(`timed out waiting for ${what}\nconsole:\n${this.console.join('\n')}`);
      }
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }

  text(selector) {
    return this.evaluate(`document.querySelector(${JSON.stringify(selector)})?.textContent`);
  }

  // A real mouse click at the middle of the element, as a user's.
  async click(selector) {
    const box = await this.waitFor(
      `(() => { const e = document.querySelector(${JSON.stringify(selector)});
        if (!e || e.disabled || e.hidden || e.offsetParent === null) return null;
        e.scrollIntoView({block: 'center'});
        const r = e.getBoundingClientRect();
        return {x: r.x + r.width / 2, y: r.y + r.height / 2}; })()`,
      { what: `${selector} to be clickable` },
    );
    for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased']) {
      await this.send('Input.dispatchMouseEvent', {
        type,
        x: box.x,
        y: box.y,
        button: 'left',
        clickCount: 1,
      });
    }
  }

  // A key as the keyboard gives it: "Enter", "Escape", "Tab", " ".
  async press(key, { shift = false } = {}) {
    const codes = { Enter: 13, Escape: 27, Tab: 9, ' ': 32 };
    const text = { Enter: '\r', ' ': ' ' }[key];
    const base = {
      key,
      code: key === ' ' ? 'Space' : key,
      windowsVirtualKeyCode: codes[key],
      modifiers: shift ? 8 : 0,
    };
    await this.send('Input.dispatchKeyEvent', { type: 'keyDown', ...base, text });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', ...base });
  }

  async focused() {
    return this.evaluate('document.activeElement && document.activeElement.id');
  }

  // Moves the focus with Tab until the element with this id has it.
  async tabTo(id, limit = 30) {
    for (let i = 0; i < limit; ++i) {
      if ((await this.focused()) === id) {
        return;
      }
      await this.press('Tab');
    }
    throw new Error(`Tab never reached #${id}`);
  }

  async setFiles(selector, files) {
    const { result } = await this.send('Runtime.evaluate', {
      expression: `document.querySelector(${JSON.stringify(selector)})`,
    });
    await this.send('DOM.enable');
    await this.send('DOM.setFileInputFiles', { files, objectId: result.objectId });
  }

  async allowDownloads(folder) {
    await this.connection.send('Browser.setDownloadBehavior', {
      behavior: 'allow',
      downloadPath: folder,
      eventsEnabled: true,
    });
  }

  async bringToFront() {
    await this.send('Page.bringToFront');
  }

  async close() {
    await this.connection.send('Target.closeTarget', { targetId: this.targetId });
  }
}

export function standInSource(bridgeUrl) {
  const source = readFileSync(new URL('./serial_stand_in.js', import.meta.url), 'utf8');
  return source.replaceAll('__BRIDGE__', bridgeUrl);
}
