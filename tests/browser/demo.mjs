// The demo join: a player's folder, the real listener under Wine, the example lobby page
// served on loopback, and one join through it, by headless Chromium or by the user.
//
//   node demo.mjs <demo folder> [--headless]
import { spawn } from 'node:child_process';
import path from 'node:path';

import {
  joinThroughPage, launchChromium, logLines, runWithLobby, waitForStandinRecords,
} from './support.mjs';

const folder = path.resolve(process.argv[2] ?? 'demo');
const headless = process.argv.includes('--headless');
const fields = { host: '192.0.2.7', core: 'examplecore', game: 'Puzzle Game.gb', nickname: 'Demo Player', password: 'demo' };

console.log(`    demo folder ${folder}, with ZelvListener.exe running there (under Wine)`);
await runWithLobby(folder, 8000, async (lobbyUrl) => {
  const pageUrl = lobbyUrl + '?' + new URLSearchParams(fields);
  console.log(`    serving the example lobby page at ${pageUrl}`);
  if (headless) {
    console.log('    clicking Join in headless Chromium');
    const browser = await launchChromium();
    const seen = await joinThroughPage(await browser.newPage(), pageUrl, {});
    await browser.close();
    console.log(`    the page showed: "${seen.status}" then "${seen.answer}"`);
  } else {
    console.log('    opening the page in your browser: press Join there (waiting up to 5 minutes)');
    spawn('xdg-open', [pageUrl], { stdio: 'ignore', detached: true }).unref();
  }
  const records = await waitForStandinRecords(folder, headless ? 15000 : 300000, 200);
  console.log('\n==> launcher-log.txt');
  for (const line of logLines(folder)) console.log('    ' + line);
  if (!records) throw new Error('RetroArch (the stand-in) was not started');
  console.log('\n==> what the stand-in RetroArch received');
  console.log(`    working folder: ${records[0].cwd}`);
  console.log(`    command line:   ${records[0].cmdline}`);
  records[0].argv.forEach((arg, i) => console.log(`    argv[${i}] = ${arg}`));
});
