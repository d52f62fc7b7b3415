// The example lobby page after a join, for the README: a player's folder, the real
// listener under Wine, the page served on loopback, one join in headless Chromium, then
// a screenshot of the page showing the listener's answer.
//
//   node screenshot.mjs <player folder> <out.png>
import fs from 'node:fs';
import path from 'node:path';

import {
  joinThroughPage, launchChromium, logLines, runWithLobby, waitForStandinRecords,
} from './support.mjs';

const folder = path.resolve(process.argv[2]);
const out = path.resolve(process.argv[3]);
const fields = { host: '203.0.113.5', core: 'examplecore', game: 'Puzzle Game.gb', nickname: 'Player One' };

// Any free port: the page's origin differs from the listener's, as a lobby site's would.
await runWithLobby(folder, 0, async (pageUrl) => {
  const browser = await launchChromium();
  const page = await browser.newPage({ viewport: { width: 680, height: 720 } });
  const seen = await joinThroughPage(page, pageUrl, fields);
  console.log(`    the page showed "${seen.status}" then "${seen.answer}"`);
  if (!seen.answer.startsWith('Launcher started.')) throw new Error('the join was not started');
  const records = await waitForStandinRecords(folder);
  if (!records) throw new Error('RetroArch (the stand-in) was not started; log:\n' + logLines(folder).join('\n'));
  console.log(`    the stand-in RetroArch was started: ${records[0].cmdline}`);
  // Without the focus ring on the button and the caret in a field, as after a real click.
  await page.evaluate(() => document.activeElement?.blur());
  fs.mkdirSync(path.dirname(out), { recursive: true });
  await page.screenshot({ path: out, fullPage: true });
  console.log(`    wrote ${out}`);
  await browser.close();
});
