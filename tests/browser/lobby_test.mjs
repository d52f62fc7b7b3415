// A player's click in a real browser: the example lobby page, served as a public site,
// finds the listener and joins through it; the stand-in RetroArch records what it was
// started with. Without the player's permission the page says that the browser blocks it.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import {
  EXAMPLES_DIR, PAGE_TEXT, joinThroughPage, launchChromium, logLines, makeJoinFolder, serveFolder,
  setLoopbackPermission, startListener, waitFor, waitForStandinRecords,
} from './support.mjs';

const PAGE_PORT = 8000;
const ORIGIN = `http://127.0.0.1:${PAGE_PORT}`;
let folder, listener, server, browser;

// A fresh tab whose site the player has answered for (granted or denied).
async function lobbyTab(permission) {
  const page = await browser.newPage();
  await setLoopbackPermission(page, ORIGIN, permission);
  return page;
}

before(async () => {
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'zelv-browser-'));
  makeJoinFolder(folder);
  listener = await startListener(folder);
  server = await serveFolder(EXAMPLES_DIR, PAGE_PORT);
  browser = await launchChromium({ publicPort: PAGE_PORT });
});

after(async () => {
  await browser?.close();
  server?.close();
  await listener?.stop();
  if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

test('the lobby page detects the listener and a click starts RetroArch', async () => {
  const page = await lobbyTab('granted');
  await page.clock.install();
  const seen = await joinThroughPage(page, `${ORIGIN}/lobby.html`, {
    host: '192.0.2.7', port: '55435', core: 'examplecore', game: 'Puzzle Game.gb',
    nickname: 'Zoë & Max', password: 'pa ss',
  });
  assert.equal(seen.status, PAGE_TEXT.running);
  assert.equal(seen.answer, PAGE_TEXT.started);

  const records = await waitForStandinRecords(folder);
  assert.ok(records, 'RetroArch was not started; log:\n' + logLines(folder).join('\n'));
  assert.equal(records.length, 1);
  const win = (p) => 'Z:' + p.replaceAll('/', '\\');
  assert.deepEqual(records[0].argv, [
    win(folder) + '\\RA\\retroarch.exe', '--connect', '192.0.2.7', '--port', '55435',
    '--nick', 'Zoë & Max', '--appendconfig', win(folder) + '\\netplay-pass.cfg',
    '--libretro', win(folder) + '\\cores\\examplecore_libretro.dll', win(folder) + '\\games\\gb\\Puzzle Game.gb',
  ]);
  assert.equal(fs.readFileSync(path.join(folder, 'netplay-pass.cfg'), 'latin1'), 'netplay_password = "pa ss"\r\n');

  // The page percent-encodes every field, and the request line shows exactly that.
  const log = logLines(folder);
  assert.ok(log.some((l) => l.endsWith('] Request: GET /join?host=192.0.2.7&port=55435&core=examplecore'
    + '&game=Puzzle%20Game.gb&password=pa%20ss&nickname=Zo%C3%AB%20%26%20Max HTTP/1.1')), log.join('\n'));
  // A simple GET needs no preflight, so the click started exactly one launcher.
  assert.equal(log.filter((l) => l.endsWith('] Launcher started')).length, 1);

  // An hour with the tab open adds no line to the player's log: the page asked at load and
  // before the join, and never on a timer.
  await page.clock.runFor('01:00:00');
  await new Promise((resolve) => setTimeout(resolve, 1000));
  assert.equal(logLines(folder).filter((l) => l.endsWith('] Request: GET /ping HTTP/1.1')).length, 2);
});

test('a join whose RetroArch is missing is still "Launcher started."; the failure is in the log', async () => {
  const page = await lobbyTab('granted');
  fs.renameSync(path.join(folder, 'RA'), path.join(folder, 'RA-away'));
  try {
    const seen = await joinThroughPage(page, `${ORIGIN}/lobby.html?game=Puzzle%20Game.gb`, {});
    // The launcher itself starts; its failure to start RetroArch shows only in the log.
    assert.equal(seen.answer, PAGE_TEXT.started);
    const failed = await waitFor(() => logLines(folder).find((l) => l.includes('Failed to launch RetroArch: GetLastError=')));
    assert.ok(failed, logLines(folder).join('\n'));
  } finally {
    fs.renameSync(path.join(folder, 'RA-away'), path.join(folder, 'RA'));
  }
});

test('"Copy join link" gives this page with the form in its query, without the password', async () => {
  const page = await lobbyTab('granted');
  await page.goto(`${ORIGIN}/lobby.html`);
  const fields = { host: '192.0.2.7', game: 'A&B=C+D#E%F.gb', nickname: 'Zoë 😀', password: 'secret' };
  for (const [name, value] of Object.entries(fields)) await page.fill('#' + name, value);
  await page.click('#copy-link');
  const link = await page.inputValue('#link-text');
  assert.equal(link, `${ORIGIN}/lobby.html?host=192.0.2.7&game=A%26B%3DC%2BD%23E%25F.gb&nickname=Zo%C3%AB%20%F0%9F%98%80`);
  // Opened, the link fills the form again.
  await page.goto(link);
  for (const [name, value] of Object.entries({ ...fields, password: '' })) assert.equal(await page.inputValue('#' + name), value);
});

test('the page tells a site the browser blocks from a listener that does not run', async () => {
  for (const row of [
    { permission: 'denied', state: 'blocked', text: PAGE_TEXT.blocked('denied') },
    { permission: 'granted', stopListener: true, state: 'not-running', text: PAGE_TEXT.notRunning },
  ]) {
    if (row.stopListener) {
      await listener.stop();
      listener = null;
    }
    const page = await lobbyTab(row.permission);
    await page.goto(`${ORIGIN}/lobby.html`);
    await page.waitForSelector(`#status[data-state="${row.state}"]`, { timeout: 10000 });
    assert.equal(await page.textContent('#status-text'), row.text);
    assert.deepEqual(await page.evaluate(async () => (await import('/web/zelv.js')).detect()),
      { state: row.state, permission: row.permission });
  }
});
