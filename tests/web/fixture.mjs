// One browser test's world: the built site on localhost, the serial bridge, simulated radios
// plugged in as ports, and a fresh Chromium whose page has the serial stand-in; plus the steps
// a technician takes through the page's own controls.
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchBrowser, standInSource } from './browser.mjs';
import { motFile } from './mot_file.mjs';
import { SITE, startBridge, startRadio } from './radios.mjs';
import { serveSite } from './site_server.mjs';

export const CONNECTION_MESSAGE =
  'Ensure that all connections between the transceiver and the PC as well as the COM port ' +
  'settings are in place.\nPlease try again.';
export const UPDATER_CAPTION = 'Updater for QV-310/QV-410(HW V2.0)';

// standIn: the serial stand-in in the page; workerScript: what goes into its worker instead of
// the stand-in.
export async function openWorld(t, { standIn = true, workerScript } = {}) {
  const folder = mkdtempSync(join(tmpdir(), 'qv-web-test-'));
  const site = await serveSite(SITE);
  const bridge = await startBridge();
  const browser = await launchBrowser();
  const radios = [];
  const world = {
    folder,
    site,
    bridge,
    browser,
    page: await browser.newPage(standIn ? standInSource(bridge.url) : '', {
      workerScript: workerScript ?? (standIn ? standInSource(bridge.url) : ''),
    }),
    // A simulated radio plugged in as port `id` (USB ids as an FTDI cable's).
    async radio(id, options = [], usb = ['0403', '6001']) {
      const radio = await startRadio(options, {
        report: join(folder, `${id}.report.json`),
        dump: join(folder, `${id}.flash.bin`),
      });
      radios.push(radio);
      await bridge.plug(id, radio.device, ...usb);
      return radio;
    },
    // A small firmware file for the designer mode: its path and the flash it must leave.
    mot(spec = {}) {
      const file = motFile(spec);
      const path = join(folder, `${spec.version || 'TEST-2.1'}.mot`);
      writeFileSync(path, file.text);
      return { path, flash: file.flash };
    },
  };
  t.after(async () => {
    await browser.close();
    bridge.stop();
    await Promise.all(radios.map((radio) => radio.stop()));
    await site.close();
    rmSync(folder, { recursive: true, force: true });
  });
  return world;
}

// The page open and ready; in the designer mode its box answered first.
export async function openUpdater(page, url, { designer = false } = {}) {
  await page.goto(designer ? `${url}?QZX` : url);
  if (designer) {
    const box = await waitForBox(page);
    if (box.text !== 'This is Special Version for Designer!') {
      throw new Error(`the designer mode's box is missing: ${box.text}`);
    }
    await page.press('Enter');
  }
  await page.waitFor('document.body.dataset.ready', { what: 'the updater to be ready' });
}

// "Choose port": the browser's chooser gives the port the test offers.
export async function choosePort(world, id) {
  await world.bridge.offer(id);
  const before = await world.page.evaluate(`document.querySelector('#port').options.length`);
  await world.page.click('#choose-port');
  await world.page.waitFor(`document.querySelector('#port').options.length > ${before}`, {
    what: 'the chosen port in the list',
  });
}

export async function waitForBox(page, timeout = 60000) {
  await page.waitFor(`document.querySelector('#box').open`, { timeout, what: 'a box' });
  return page.evaluate(`({
    text: document.querySelector('#box-text').textContent,
    caption: document.querySelector('#box-caption').textContent,
    icon: document.querySelector('#box-icon').textContent,
    cancel: !document.querySelector('#box-cancel').hidden,
  })`);
}

// The box's answer, then the box gone, or another box in its place (the cancel notice follows
// its question within milliseconds, in the same dialog).
export async function answerBox(page, how) {
  const text = await page.text('#box-text');
  if (how === 'OK' || how === 'Cancel') {
    await page.click(`#box-${how.toLowerCase()}`);
  } else {
    await page.press(how);
  }
  await page.waitFor(
    `!document.querySelector('#box').open ||
     document.querySelector('#box-text').textContent !== ${JSON.stringify(text)}`,
    { what: 'the box to close' },
  );
}

// The designer's special settings: the Mot file chosen with "Refer", and other choices.
export async function useMotFile(page, path, { rounds, version = 'TEST-2.1' } = {}) {
  await page.click('#special-settings');
  await page.waitFor(`document.querySelector('#settings').open`, { what: 'Special Settings' });
  if (!(await page.evaluate(`document.querySelector('#use-mot').checked`))) {
    await page.click('#use-mot');
  }
  if (rounds) {
    await page.evaluate(`document.querySelector('#rounds').value = '${rounds}'`);
  }
  await page.setFiles('#mot-file', [path]);
  await page.click('#settings-ok');
  await page.waitFor(`document.querySelector('#title').textContent.endsWith('Ver. ${version}')`, {
    what: `the title to show ${version}`,
  });
}

// Write, the version change confirmed, and the closing box: its text and caption.
export async function writeRadio(page, { confirm = 'Enter' } = {}) {
  await page.click('#write');
  const question = await waitForBox(page);
  await answerBox(page, confirm);
  const closing = await waitForBox(page, 120000);
  return { question, closing };
}

// The service log as "Download service log" saves it, one object a line.
export async function downloadServiceLog(world) {
  const folder = join(world.folder, 'downloads');
  await world.page.allowDownloads(folder);
  const done = new Promise((resolve) => {
    const stop = world.browser.connection.on((message) => {
      if (message.method === 'Browser.downloadProgress' && message.params.state === 'completed') {
        stop();
        resolve();
      }
    });
  });
  await world.page.click('#download-log');
  await done;
  return readFileSync(join(folder, 'jobs.jsonl'), 'utf8')
    .split('\n')
    .filter(Boolean)
    .map((line) => JSON.parse(line));
}
