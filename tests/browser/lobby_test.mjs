// A player's click in a real browser: the example lobby page, served from another origin
// on loopback, pings the listener and joins through it; the stand-in RetroArch records
// what it was started with.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

import {
  EXAMPLES_DIR, joinThroughPage, launchChromium, logLines, makeJoinFolder, serveFolder,
  startListener, waitFor, waitForStandinRecords,
} from './support.mjs';

const PAGE_PORT = 8000;
let folder, listener, server, browser;

before(async () => {
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'zelv-browser-'));
  makeJoinFolder(folder);
  listener = await startListener(folder);
  server = await serveFolder(EXAMPLES_DIR, PAGE_PORT);
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  server?.close();
  await listener?.stop();
  if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

test('the lobby page detects the listener and a click starts RetroArch', async () => {
  const page = await browser.newPage();
  const seen = await joinThroughPage(page, `http://127.0.0.1:${PAGE_PORT}/lobby.html`, {
    host: '192.0.2.7', port: '55435', core: 'examplecore', game: 'Puzzle Game.gb',
    nickname: 'Zoë & Max', password: 'pa ss',
  });
  assert.equal(seen.status, 'Zelv listener is running.');
  assert.match(seen.answer, /^Launcher started\./);

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
});

test('a join whose RetroArch is missing is still "Launcher started."; the failure is in the log', async () => {
  const page = await browser.newPage();
  fs.renameSync(path.join(folder, 'RA'), path.join(folder, 'RA-away'));
  try {
    const seen = await joinThroughPage(page, `http://127.0.0.1:${PAGE_PORT}/lobby.html?game=Puzzle%20Game.gb`, {});
    // The launcher itself starts; its failure to start RetroArch shows only in the log.
    assert.match(seen.answer, /^Launcher started\./);
    const failed = await waitFor(() => logLines(folder).find((l) => l.includes('Failed to launch RetroArch: GetLastError=')));
    assert.ok(failed, logLines(folder).join('\n'));
  } finally {
    fs.renameSync(path.join(folder, 'RA-away'), path.join(folder, 'RA'));
  }
});
