// Helpers for driving the example lobby page against the real listener under Wine.
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const HERE = path.dirname(fileURLToPath(import.meta.url));
export const BUILD_DIR = process.env.ZELV_BUILD_DIR ?? path.resolve(HERE, '../../build');
export const EXAMPLES_DIR = path.resolve(HERE, '../../examples');
export const WEB_DIR = path.resolve(HERE, '../../web');

// What the example page says, in the words the player reads.
export const PAGE_TEXT = {
  running: 'Zelv listener is running.',
  notRunning: 'Start ZelvListener from the Start menu or its folder; not installed? Download Zelv',
  blocked: (permission) => 'Your browser blocks this site from reaching Zelv on this computer: '
    + `allow local network access for this site (permission: ${permission}).`,
  started: 'Launcher started. If RetroArch does not open within a few seconds, open the Zelv tray '
    + 'menu, View Logs: its last lines say why.',
};

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Polls until check() gives a truthy value or the time is up; gives that value or null.
export async function waitFor(check, timeoutMs = 10000, stepMs = 50) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() >= deadline) return null;
    await sleep(stepMs);
  }
}

// A player's folder: configuration, stand-in RetroArch, one core and one game.
export function makeJoinFolder(folder) {
  fs.rmSync(folder, { recursive: true, force: true });
  for (const sub of ['RA', 'cores', 'games/gb']) fs.mkdirSync(path.join(folder, sub), { recursive: true });
  fs.copyFileSync(path.join(BUILD_DIR, 'tests/retroarch_standin.exe'), path.join(folder, 'RA/retroarch.exe'));
  fs.writeFileSync(path.join(folder, 'cores/examplecore_libretro.dll'), 'core');
  fs.writeFileSync(path.join(folder, 'games/gb/Puzzle Game.gb'), 'rom');
  fs.writeFileSync(path.join(folder, 'launcher-config.json'),
    '{\n  "retroarchPath": "RA\\retroarch.exe",\n  "coresPath": "cores",\n  "gamesPath": "games"\n}\n');
}

export function logLines(folder) {
  const file = path.join(folder, 'launcher-log.txt');
  return fs.existsSync(file) ? fs.readFileSync(file, 'utf8').split('\r\n').filter((l) => l !== '') : [];
}

// The stand-in's records, each { cwd, cmdline, argv }.
export function standinRecords(folder) {
  const ra = path.join(folder, 'RA');
  return fs.readdirSync(ra).filter((name) => /^standin-\d+\.txt$/.test(name)).map((name) => {
    const record = { argv: [] };
    for (const line of fs.readFileSync(path.join(ra, name), 'utf8').split('\n')) {
      if (line.startsWith('cwd: ')) record.cwd = line.slice(5);
      else if (line.startsWith('cmdline: ')) record.cmdline = line.slice(9);
      else if (line.startsWith('argv[')) record.argv.push(line.slice(line.indexOf(']: ') + 3));
    }
    return record;
  });
}

// The stand-in's records once there is at least one, or null when none came in time.
export function waitForStandinRecords(folder, timeoutMs = 10000, stepMs = 50) {
  return waitFor(() => { const records = standinRecords(folder); return records.length ? records : null; },
    timeoutMs, stepMs);
}

function wine(args, options = {}) {
  return spawn('wine', args, { stdio: 'ignore', ...options });
}

// Starts ZelvListener.exe (the build's, unless exe names another) in the folder and waits
// until it listens.
export async function startListener(folder, { exe = path.join(BUILD_DIR, 'bin/ZelvListener.exe') } = {}) {
  const child = wine([exe], { cwd: folder });
  const outcome = await waitFor(() => logLines(folder).find((l) => l.endsWith('] Listening on http://localhost:8080')
    || l.endsWith('] Listener failed to start')), 20000);
  if (!outcome?.endsWith('Listening on http://localhost:8080')) {
    child.kill();
    const taken = outcome ? ' (127.0.0.1:8080 is taken: another listener runs outside the port lock?)' : '';
    throw new Error(`the listener did not start${taken}; log:\n` + logLines(folder).join('\n'));
  }
  return {
    // taskkill without /F sends WM_CLOSE, the path the tray menu's Exit takes.
    async stop() {
      spawnSync('wine', ['taskkill', '/IM', path.basename(exe)], { stdio: 'ignore' });
      const ended = await waitFor(() => child.exitCode !== null, 15000);
      if (!ended) child.kill('SIGKILL');
    },
  };
}

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8' };

// Serves a folder on 127.0.0.1:port, as a lobby site would serve its page, with the kit
// (web/) at /web/, where the example page's "../web/zelv.js" lands.
export function serveFolder(root, port) {
  const server = http.createServer((request, response) => {
    const name = path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const [base, rest] = name.startsWith('/web/') ? [WEB_DIR, name.slice(5)] : [root, name];
    const file = path.join(base, rest.replace(/^([/\\])+/, ''));
    if (!file.startsWith(base) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end('not found');
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

// Debian's Chromium, with everything that would reach outside this machine turned off.
// publicPort: pages served on 127.0.0.1:publicPort count as a public site, so reaching the
// listener needs the local-network permission, as from a lobby site on the Internet.
export function launchChromium({ headless = true, publicPort } = {}) {
  const args = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'];
  if (publicPort) args.push(`--ip-address-space-overrides=127.0.0.1:${publicPort}=public`);
  return chromium.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', headless, args });
}

// A new tab (newPage's options) in which the player has answered "may this site reach
// loopback" for origin ("granted", "denied", "prompt"), as in the site settings.
export async function newTab(browser, origin, setting, options = {}) {
  const page = await browser.newPage(options);
  const tab = await page.context().newCDPSession(page);
  const { targetInfo } = await tab.send('Target.getTargetInfo');
  await tab.detach();
  // Set through the browser's own session, which stays open: Chromium drops what a
  // session set when that session detaches.
  const session = await browser.newBrowserCDPSession();
  await session.send('Browser.setPermission', {
    permission: { name: 'loopback-network' }, setting, origin, browserContextId: targetInfo.browserContextId,
  });
  return page;
}

// Waits until the page's status box is in the state ("running", "blocked", "not-running")
// and gives its text.
export async function pageStatus(page, state) {
  await page.waitForSelector(`#status[data-state="${state}"]`, { timeout: 10000 });
  return page.textContent('#status-text');
}

// Opens the lobby page, waits until it has found the listener, fills the form and
// clicks Join like a player. Gives what the page showed.
export async function joinThroughPage(page, pageUrl, fields) {
  await page.goto(pageUrl);
  const status = await pageStatus(page, 'running');
  for (const [name, value] of Object.entries(fields)) await page.fill('#' + name, value);
  await page.click('#join');
  await page.waitForSelector('#answer[data-state="ok"], #answer[data-state="error"]', { timeout: 10000 });
  return { status, answer: await page.textContent('#answer') };
}

// A player's folder with the listener running in it and the example page served on
// 127.0.0.1:port (0: any free port). Runs body with the page's address and the listener,
// stops both, and ends the process: 0, or 1 after printing what failed.
export async function runWithLobby(folder, port, body) {
  makeJoinFolder(folder);
  const listener = await startListener(folder);
  const server = await serveFolder(EXAMPLES_DIR, port);
  let failed = false;
  try {
    await body(`http://127.0.0.1:${server.address().port}/lobby.html`, listener);
  } catch (error) {
    console.error('error: ' + error.message);
    failed = true;
  } finally {
    server.close();
    await listener.stop();
  }
  process.exit(failed ? 1 : 0);
}
