// The example lobby page in its three states, for the README and docs/lobby-sites.md: a
// player's folder, the real listener under Wine, the page served as a public site, and
// headless Chromium.
//   lobby-join.png         access allowed: the listener runs, and a join was started
//   lobby-blocked.png      access denied in the site settings
//   lobby-not-running.png  access allowed, the listener stopped
//
//   node screenshot.mjs <player folder> <images folder>
import fs from 'node:fs';
import path from 'node:path';

import {
  PAGE_TEXT, joinThroughPage, launchChromium, logLines, newTab, pageStatus, runWithLobby,
  waitForStandinRecords,
} from './support.mjs';

const folder = path.resolve(process.argv[2]);
const images = path.resolve(process.argv[3]);
const fields = { host: '203.0.113.5', core: 'examplecore', game: 'Puzzle Game.gb', nickname: 'Player One' };

// Any free port: the page's origin differs from the listener's, as a lobby site's would.
await runWithLobby(folder, 0, async (pageUrl, listener) => {
  const url = new URL(pageUrl);
  const browser = await launchChromium({ publicPort: url.port });
  const tab = (permission) => newTab(browser, url.origin, permission, { viewport: { width: 680, height: 760 } });
  const shoot = async (page, name, state, text) => {
    const shown = await pageStatus(page, state);
    if (shown !== text) throw new Error(`the page in state ${state} says "${shown}"`);
    // Without the focus ring on the button and the caret in a field, as after a real click.
    await page.evaluate(() => document.activeElement?.blur());
    await page.screenshot({ path: path.join(images, name), fullPage: true });
    console.log(`    wrote ${path.join(images, name)}: "${shown}"`);
  };
  fs.mkdirSync(images, { recursive: true });

  const joined = await tab('granted');
  const seen = await joinThroughPage(joined, pageUrl, fields);
  console.log(`    the page showed "${seen.status}" then "${seen.answer}"`);
  if (seen.answer !== PAGE_TEXT.started) throw new Error('the join was not started');
  const records = await waitForStandinRecords(folder);
  if (!records) throw new Error('RetroArch (the stand-in) was not started; log:\n' + logLines(folder).join('\n'));
  console.log(`    the stand-in RetroArch was started: ${records[0].cmdline}`);
  await shoot(joined, 'lobby-join.png', 'running', PAGE_TEXT.running);

  const linkUrl = pageUrl + '?' + new URLSearchParams(fields);
  const blocked = await tab('denied');
  await blocked.goto(linkUrl);
  await shoot(blocked, 'lobby-blocked.png', 'blocked', PAGE_TEXT.blocked('denied'));

  await listener.stop();
  const stopped = await tab('granted');
  await stopped.goto(linkUrl);
  await shoot(stopped, 'lobby-not-running.png', 'not-running', PAGE_TEXT.notRunning);
  await browser.close();
});
