// The simulated radios of the browser tests: qv-radio-sim on a pseudo-terminal, and the bridge
// that the page's serial stand-in reaches them through.
import { spawn } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createInterface } from 'node:readline';

export const ROOT = new URL('../../', import.meta.url).pathname;
export const SIM = process.env.QV_RADIO_SIM || `${ROOT}build/release/src/sim/qv-radio-sim`;
export const SITE = process.env.QV_WEB_SITE || `${ROOT}build/web/site`;

function lines(stream) {
  const queue = [];
  const waiting = [];
  createInterface({ input: stream }).on('line', (line) => {
    if (waiting.length) {
      waiting.shift()(line);
    } else {
      queue.push(line);
    }
  });
  return () =>
    queue.length ? Promise.resolve(queue.shift()) : new Promise((r) => waiting.push(r));
}

// A radio: options are qv-radio-sim's, e.g. ['--no-high-speed', '--line-rate'].
export async function startRadio(options, files) {
  const args = [...options, '--report', files.report, '--dump', files.dump];
  const child = spawn(SIM, args, { stdio: ['ignore', 'pipe', 'inherit'] });
  const exited = new Promise((resolve) => child.on('exit', resolve));
  const next = lines(child.stdout);
  const device = await next();
  return {
    device,
    // Its report once `jobs` jobs have ended (written after each job).
    async report(jobs = 1, timeout = 15000) {
      const until = Date.now() + timeout;
      for (;;) {
        if (existsSync(files.report)) {
          const report = JSON.parse(readFileSync(files.report, 'utf8'));
          if (report.jobs >= jobs) {
            return report;
          }
        }
        if (Date.now() > until) {
          throw new Error(`the radio ended no ${jobs}. job`);
        }
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
    },
    flash: () => readFileSync(files.dump),
    stop: () => {
      child.kill('SIGTERM');
      return exited;
    },
  };
}

export async function startBridge() {
  const child = spawn('python3', [new URL('./serial_bridge.py', import.meta.url).pathname], {
    stdio: ['pipe', 'pipe', 'inherit'],
  });
  const next = lines(child.stdout);
  const port = (await next()).split(' ')[1];
  const command = async (text) => {
    child.stdin.write(`${text}\n`);
    const answer = await next();
    if (answer.startsWith('error')) {
      throw new Error(`bridge: ${text}: ${answer}`);
    }
    return answer;
  };
  return {
    url: `http://127.0.0.1:${port}`,
    // A cable on the radio's terminal; vid/pid in hex, or '-' for a port without USB ids.
    plug: (id, device, vid = '0403', pid = '6001') => command(`plug ${id} ${device} ${vid} ${pid}`),
    pull: (id) => command(`pull ${id}`),
    offer: (id) => command(`offer ${id}`),
    grant: (id) => command(`grant ${id}`),
    hold: (id) => command(`hold ${id}`),
    // Each open's line settings so far: [{baudRate, dataBits, stopBits, parity}, ...].
    opens: async (id) => JSON.parse(await command(`opens ${id}`)),
    stop: () => child.kill('SIGTERM'),
  };
}
