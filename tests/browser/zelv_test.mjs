// web/zelv.js in Chromium, from a page served as a public site that the player allowed to
// reach this computer, against the real listener under Wine and a stand-in RetroArch.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import {
  BUILD_DIR, EXAMPLES_DIR, launchChromium, logLines, makeJoinFolder, serveFolder, setLoopbackPermission,
  startListener, waitForStandinRecords,
} from './support.mjs';

const PAGE_PORT = 8000;
const ORIGIN = `http://127.0.0.1:${PAGE_PORT}`;
let folder, listener, server, browser, page;

// Calls one of the module's functions in the page; a throw comes back as { error }.
const kit = (fn, ...args) => page.evaluate(async ([fn, args]) => {
  try {
    return await (await import('/web/zelv.js'))[fn](...args);
  } catch (error) {
    return { error: `${error.name}: ${error.message}` };
  }
}, [fn, args]);

before(async () => {
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'zelv-kit-'));
  makeJoinFolder(folder);
  listener = await startListener(folder);
  server = await serveFolder(EXAMPLES_DIR, PAGE_PORT);
  browser = await launchChromium({ publicPort: PAGE_PORT });
  page = await browser.newPage();
  await setLoopbackPermission(page, ORIGIN, 'granted');
  await page.goto(ORIGIN + '/lobby.html');
});

after(async () => {
  await browser?.close();
  server?.close();
  await listener?.stop();
  if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

const J = 'http://127.0.0.1:8080/join?';
const HOST = { host: '192.0.2.7' };

test('joinUrl writes the exact URL, and RetroArch receives each value whole', async () => {
  const win = (p) => 'Z:' + p.replaceAll('/', '\\');
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
    const url = await kit('joinUrl', row.params);
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
    assert.deepEqual(await kit('join', row.params),
      { ok: true, status: 200, text: 'Launcher started.', state: 'running', permission: 'granted' }, what);
    const records = await waitForStandinRecords(folder);
    assert.ok(records, `${what}: RetroArch was not started; log:\n` + logLines(folder).join('\n'));
    assert.deepEqual(records[0].argv, [
      win(folder) + '\\RA\\retroarch.exe', '--connect', '192.0.2.7', '--port', '55435',
      '--nick', row.params.nickname, win(folder) + '\\games\\gb\\' + row.params.game,
    ], what);
  }
});

test('detect and join follow the listener: running, a 500 without kovrin.exe, not running', async () => {
  assert.deepEqual(await kit('detect'), { state: 'running', permission: 'granted' });

  // The listener alone in a folder: kovrin.exe is in none of the places Windows looks.
  await listener.stop();
  const lone = path.join(folder, 'lone');
  fs.mkdirSync(lone);
  fs.copyFileSync(path.join(BUILD_DIR, 'bin/ZelvListener.exe'), path.join(lone, 'ZelvListener.exe'));
  listener = await startListener(lone, { exe: path.join(lone, 'ZelvListener.exe') });
  assert.deepEqual(await kit('join', { game: 'Puzzle Game.gb' }),
    { ok: false, status: 500, text: 'Failed to start launcher.', state: 'running', permission: 'granted' });

  await listener.stop();
  listener = null;
  assert.deepEqual(await kit('detect'), { state: 'not-running', permission: 'granted' });
  assert.deepEqual(await kit('join', { game: 'Puzzle Game.gb' }),
    { ok: false, status: 0, text: '', state: 'not-running', permission: 'granted' });
});

test('web/package.json carries the version of the programs', () => {
  const cmake = fs.readFileSync(path.join(EXAMPLES_DIR, '../CMakeLists.txt'), 'utf8');
  const pkg = JSON.parse(fs.readFileSync(path.join(EXAMPLES_DIR, '../web/package.json'), 'utf8'));
  assert.equal(pkg.version, cmake.match(/project\(Zelv VERSION (\S+)/)[1]);
});
