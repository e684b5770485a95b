#!/usr/bin/env node
// The web page's pace beside qv-flash's: one whole update of the carried package through the
// page in the real Chromium (visible, then hidden in a background tab) and one through
// `qv-flash write`, each against a fresh qv-radio-sim --line-rate (the wire's byte times
// modelled), measured by the job's own clock (the record's durationMs). Goal: the page at most
// 1.05 x qv-flash, hidden at most 1.10 x. Also the page's load to ready, from localhost.
// The three run in turn, --rounds times (default 2), and each ratio is taken within a round,
// so that a machine that gets busier or quieter meanwhile weighs on both sides alike.
//
//   node bench/web/pace.mjs [--mot BYTES] [--streamed] [--rounds N] [--loads N]
//
// --mot BYTES writes a Mot file of that many bytes through the designer mode instead of the
// carried package (a shorter run); the default transfer is whatever the radio offers
// (acknowledged at 115200). Needs the release build (qv-flash, qv-radio-sim) and build/web.
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchBrowser, standInSource } from '../../tests/web/browser.mjs';
import {
  answerBox,
  choosePort,
  downloadServiceLog,
  openUpdater,
  useMotFile,
  waitForBox,
} from '../../tests/web/fixture.mjs';
import { motFile } from '../../tests/web/mot_file.mjs';
import { ROOT, SITE, startBridge, startRadio } from '../../tests/web/radios.mjs';
import { serveSite } from '../../tests/web/site_server.mjs';

const FLASH = `${ROOT}build/release/src/cli/qv-flash`;

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at >= 0 ? process.argv[at + 1] : fallback;
}
const motBytes = Number(option('--mot', '0'));
const loads = Number(option('--loads', '10'));
const rounds = Number(option('--rounds', '2'));
const simOptions = ['--line-rate', ...(process.argv.includes('--streamed') ? ['--no-high-speed'] : [])];

const folder = mkdtempSync(join(tmpdir(), 'qv-web-pace-'));
const mot = motBytes > 0 ? motFile({ version: 'BENCH-1', bytes: motBytes }) : null;
const motPath = join(folder, 'bench.mot');
if (mot) {
  writeFileSync(motPath, mot.text);
}

async function radio(name) {
  return startRadio(simOptions, {
    report: join(folder, `${name}.report.json`),
    dump: join(folder, `${name}.flash.bin`),
  });
}

function run(program, args) {
  return new Promise((resolve, reject) => {
    const child = spawn(program, args, { stdio: ['ignore', 'ignore', 'inherit'] });
    child.on('exit', (code) => (code === 0 ? resolve() : reject(new Error(`${program}: ${code}`))));
  });
}

async function flashPace() {
  const sim = await radio('flash');
  const record = join(folder, 'flash.jsonl');
  const designer = mot ? ['qzx', '--mot', motPath] : [];
  await run(FLASH, ['write', '--port', sim.device, '--yes', '--quiet', '--record', record, ...designer]);
  await sim.stop();
  const line = JSON.parse(readFileSync(record, 'utf8').trim().split('\n').at(-1));
  return line.durationMs;
}

async function pagePace(hidden) {
  const site = await serveSite(SITE);
  const bridge = await startBridge();
  const sim = await radio(hidden ? 'hidden' : 'visible');
  await bridge.plug('cable', sim.device);
  const browser = await launchBrowser();
  const world = { folder: mkdtempSync(join(folder, 'page-')), browser, bridge, site };
  try {
    world.page = await browser.newPage(standInSource(bridge.url));
    const { page } = world;
    await openUpdater(page, site.url, { designer: Boolean(mot) });
    if (mot) {
      await useMotFile(page, motPath, { version: 'BENCH-1' });
    }
    await choosePort(world, 'cable');
    await page.click('#write');
    await waitForBox(page);
    await answerBox(page, 'Enter');
    if (hidden) {
      const other = await browser.newPage();
      await other.bringToFront();
      await page.waitFor(`document.visibilityState === 'hidden'`);
    }
    const closing = await waitForBox(page, 600000);
    if (closing.text !== 'Writing completed.') {
      throw new Error(`the page's job ended with: ${closing.text}`);
    }
    await page.bringToFront();
    await answerBox(page, 'Enter');
    const report = JSON.parse(readFileSync(join(folder, `${hidden ? 'hidden' : 'visible'}.report.json`)));
    if (report.deviations.length > 0) {
      throw new Error(`the radio saw deviations: ${JSON.stringify(report.deviations)}`);
    }
    return (await downloadServiceLog(world)).at(-1).durationMs;
  } finally {
    await browser.close();
    bridge.stop();
    await sim.stop();
    await site.close();
  }
}

// Navigation start to ready (title with the version, the ports listed, Write enabled once a
// port is chosen), from a warm HTTP server on localhost, the page's own measure.
async function loadTimes() {
  const site = await serveSite(SITE);
  const browser = await launchBrowser();
  const times = [];
  try {
    for (let i = 0; i < loads; ++i) {
      const page = await browser.newPage();
      await page.goto(`${site.url}?load=${i}`);
      await page.waitFor('document.body.dataset.ready');
      times.push(Number(await page.evaluate('document.body.dataset.readyMs')));
      await page.close();
    }
  } finally {
    await browser.close();
    await site.close();
  }
  return times.sort((a, b) => a - b);
}

const results = [];
for (let round = 0; round < rounds; ++round) {
  const flash = await flashPace();
  const visible = await pagePace(false);
  const hidden = await pagePace(true);
  results.push({ flash, visible, hidden });
}
const ready = await loadTimes();
rmSync(folder, { recursive: true, force: true });

const seconds = (ms) => `${(ms / 1000).toFixed(1)} s`;
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const image = mot ? `a ${motBytes}-byte Mot file` : 'the carried package';
console.log(`One update of ${image}, qv-radio-sim ${simOptions.join(' ')}, ${rounds} rounds:`);
console.log('  round  qv-flash write  the page, visible       the page, hidden');
results.forEach(({ flash, visible, hidden }, round) => {
  console.log(
    `  ${round + 1}      ${seconds(flash).padEnd(14)}  ${seconds(visible)} ${(visible / flash).toFixed(3)} x` +
      `    ${seconds(hidden)} ${(hidden / flash).toFixed(3)} x`,
  );
});
const visibleRatio = median(results.map((r) => r.visible / r.flash));
const hiddenRatio = median(results.map((r) => r.hidden / r.flash));
console.log(`  median ratio: visible ${visibleRatio.toFixed(3)} x (goal 1.05), hidden ${hiddenRatio.toFixed(3)} x (goal 1.10)`);
console.log(
  `Load to ready, ${loads} loads: median ${median(ready)} ms, ` +
    `slowest ${ready.at(-1)} ms (goal under 1000 ms; the first load includes compiling the module)`,
);
const ok = visibleRatio <= 1.05 && hiddenRatio <= 1.1 && ready.at(-1) < 1000;
process.exit(ok ? 0 : 1);
