// A player's click in a real browser: the example lobby page and web/zelv.js, served as a
// public site, against the real listener under Wine; the stand-in RetroArch records what
// it was started with. Without the player's permission the page says that the browser
// blocks it.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import {
  BUILD_DIR, EXAMPLES_DIR, PAGE_TEXT, joinThroughPage, launchChromium, logLines, makeJoinFolder,
  newTab, pageStatus, serveFolder, startListener, waitFor, waitForStandinRecords,
} from './support.mjs';

const PAGE_PORT = 8000;
const ORIGIN = `http://127.0.0.1:${PAGE_PORT}`;
const LOBBY = `${ORIGIN}/lobby.html`;
let folder, listener, server, browser;

const win = (p) => 'Z:' + p.replaceAll('/', '\\');

// The lobby page in a fresh tab whose site the player has answered for (granted or denied).
async function openLobby(permission) {
  const page = await newTab(browser, ORIGIN, permission);
  await page.goto(LOBBY);
  return page;
}

// Calls one of zelv.js's functions in the page; a throw comes back as { error }.
const kit = (page, fn, ...args) => page.evaluate(async ([fn, args]) => {
  try {
    return await (await import('/web/zelv.js'))[fn](...args);
  } catch (error) {
    return { error: `${error.name}: ${error.message}` };
  }
}, [fn, args]);

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
  const page = await newTab(browser, ORIGIN, 'granted');
  await page.clock.install();
  const seen = await joinThroughPage(page, LOBBY, {
    host: '192.0.2.7', port: '55435', core: 'examplecore', game: 'Puzzle Game.gb',
    nickname: 'Zoë & Max', password: 'pa ss',
  });
  assert.equal(seen.status, PAGE_TEXT.running);
  assert.equal(seen.answer, PAGE_TEXT.started);

  const records = await waitForStandinRecords(folder);
  assert.ok(records, 'RetroArch was not started; log:\n' + logLines(folder).join('\n'));
  assert.equal(records.length, 1);
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
  const page = await newTab(browser, ORIGIN, 'granted');
  fs.renameSync(path.join(folder, 'RA'), path.join(folder, 'RA-away'));
  try {
    const seen = await joinThroughPage(page, `${LOBBY}?game=Puzzle%20Game.gb`, {});
    // The launcher itself starts; its failure to start RetroArch shows only in the log.
    assert.equal(seen.answer, PAGE_TEXT.started);
    const failed = await waitFor(() => logLines(folder).find((l) => l.includes('Failed to launch RetroArch: GetLastError=')));
    assert.ok(failed, logLines(folder).join('\n'));
  } finally {
    fs.renameSync(path.join(folder, 'RA-away'), path.join(folder, 'RA'));
  }
});

test('"Copy join link" gives this page with the form in its query, without the password', async () => {
  const page = await openLobby('granted');
  const fields = { host: '192.0.2.7', game: 'A&B=C+D#E%F.gb', nickname: 'Zoë 😀', password: 'secret' };
  for (const [name, value] of Object.entries(fields)) await page.fill('#' + name, value);
  await page.click('#copy-link');
  const link = await page.inputValue('#link-text');
  assert.equal(link, `${LOBBY}?host=192.0.2.7&game=A%26B%3DC%2BD%23E%25F.gb&nickname=Zo%C3%AB%20%F0%9F%98%80`);
  // Opened, the link fills the form again.
  await page.goto(link);
  for (const [name, value] of Object.entries({ ...fields, password: '' })) assert.equal(await page.inputValue('#' + name), value);
});

const J = 'http://127.0.0.1:8080/join?';
const HOST = { host: '192.0.2.7' };

test('joinUrl writes the exact URL, and RetroArch receives each value whole', async () => {
  const page = await openLobby('granted');
  for (const row of [
    { params: { ...HOST, game: 'Puzzle Game.gb', nickname: 'two  blanks ' },
      url: J + 'host=192.0.2.7&game=Puzzle%20Game.gb&nickname=two%20%20blanks%20' },
    { params: { ...HOST, game: 'A&B=C+D#E%F.gb', nickname: 'a&b=c+d#e%f' },
      url: J + 'host=192.0.2.7&game=A%26B%3DC%2BD%23E%25F.gb&nickname=a%26b%3Dc%2Bd%23e%25f' },
    { params: { ...HOST, game: 'Zoë ポケ.gb', nickname: 'Zoë 😀' },
      url: J + 'host=192.0.2.7&game=Zo%C3%AB%20%E3%83%9D%E3%82%B1.gb&nickname=Zo%C3%AB%20%F0%9F%98%80' },
    { params: { ...HOST, game: "It's (1).gb", nickname: 'say "hi" back\\' },
      url: J + "host=192.0.2.7&game=It's%20(1).gb&nickname=say%20%22hi%22%20back%5C" },
    // Every key, given out of order; empty and null values are left out.
    { params: { nickname: 'N', password: 'p+w', session: 's1', relay: 'r.example', game: 'g.gb', core: '', port: 55435, host: null },
      url: J + 'port=55435&game=g.gb&relay=r.example&session=s1&password=p%2Bw&nickname=N', urlOnly: true },
    { params: { game: 'g.gb', hots: 'h' }, error: /^TypeError: .*"hots"/ },
    { params: { host: 'h' }, error: /^TypeError: .*game/ },
    { params: { game: '' }, error: /^TypeError: .*game/ },
  ]) {
    const what = JSON.stringify(row.params);
    const url = await kit(page, 'joinUrl', row.params);
    if (row.error) {
      assert.match(url.error ?? 'no error', row.error, what);
      continue;
    }
    assert.equal(url, row.url, what);
    if (row.urlOnly) continue;

    fs.writeFileSync(path.join(folder, 'games/gb', row.params.game), 'rom');
    for (const old of fs.readdirSync(path.join(folder, 'RA')).filter((n) => n.startsWith('standin-'))) {
      fs.rmSync(path.join(folder, 'RA', old));
    }
    assert.deepEqual(await kit(page, 'join', row.params),
      { ok: true, status: 200, text: 'Launcher started.', state: 'running', permission: 'granted' }, what);
    const records = await waitForStandinRecords(folder);
    assert.ok(records, `${what}: RetroArch was not started; log:\n` + logLines(folder).join('\n'));
    assert.deepEqual(records[0].argv, [
      win(folder) + '\\RA\\retroarch.exe', '--connect', '192.0.2.7', '--port', '55435',
      '--nick', row.params.nickname, win(folder) + '\\games\\gb\\' + row.params.game,
    ], what);
  }
});

test('the page and detect() tell a blocked site, a 500 without kovrin.exe, and a stopped listener', async () => {
  const blocked = await openLobby('denied');
  assert.equal(await pageStatus(blocked, 'blocked'), PAGE_TEXT.blocked('denied'));
  assert.deepEqual(await kit(blocked, 'detect'), { state: 'blocked', permission: 'denied' });

  // The listener alone in a folder, without the kovrin.exe it starts from beside itself.
  await listener.stop();
  const lone = path.join(folder, 'lone');
  fs.mkdirSync(lone);
  fs.copyFileSync(path.join(BUILD_DIR, 'bin/ZelvListener.exe'), path.join(lone, 'ZelvListener.exe'));
  listener = await startListener(lone, { exe: path.join(lone, 'ZelvListener.exe') });
  const page = await openLobby('granted');
  assert.deepEqual(await kit(page, 'join', { game: 'Puzzle Game.gb' }),
    { ok: false, status: 500, text: 'Failed to start launcher.', state: 'running', permission: 'granted' });

  await listener.stop();
  listener = null;
  await page.reload();
  assert.equal(await pageStatus(page, 'not-running'), PAGE_TEXT.notRunning);
  assert.deepEqual(await kit(page, 'join', { game: 'Puzzle Game.gb' }),
    { ok: false, status: 0, text: '', state: 'not-running', permission: 'granted' });
});

test('web/package.json carries the version of the programs', () => {
  const cmake = fs.readFileSync(path.join(EXAMPLES_DIR, '../CMakeLists.txt'), 'utf8');
  const pkg = JSON.parse(fs.readFileSync(path.join(EXAMPLES_DIR, '../web/package.json'), 'utf8'));
  assert.equal(pkg.version, cmake.match(/project\(Zelv VERSION (\S+)/)[1]);
});
