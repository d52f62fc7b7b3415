// The demo join: a player's folder, the real listener under Wine, the example lobby page
// served on loopback, and one join through it, by headless Chromium or by the user.
//
//   node demo.mjs <demo folder> [--headless]
import { spawn } from 'node:child_process';
import path from 'node:path';

import {
  EXAMPLES_DIR, joinThroughPage, launchChromium, logLines, makeJoinFolder, serveFolder,
  standinRecords, startListener, waitFor,
} from './support.mjs';

const folder = path.resolve(process.argv[2] ?? 'demo');
const headless = process.argv.includes('--headless');
const PAGE_PORT = 8000;
const fields = { host: '192.0.2.7', core: 'examplecore', game: 'Puzzle Game.gb', nickname: 'Demo Player', password: 'demo' };
const pageUrl = `http://127.0.0.1:${PAGE_PORT}/lobby.html?` + new URLSearchParams(fields);

console.log(`    demo folder ${folder}`);
makeJoinFolder(folder);
console.log('    starting ZelvListener.exe there (under Wine)');
const listener = await startListener(folder);
const server = await serveFolder(EXAMPLES_DIR, PAGE_PORT);
console.log(`    serving the example lobby page at ${pageUrl}`);

let failed = false;
try {
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
  const records = await waitFor(() => { const r = standinRecords(folder); return r.length ? r : null; },
    headless ? 15000 : 300000, 200);
  console.log('\n==> launcher-log.txt');
  for (const line of logLines(folder)) console.log('    ' + line);
  if (!records) throw new Error('RetroArch (the stand-in) was not started');
  console.log('\n==> what the stand-in RetroArch received');
  console.log(`    working folder: ${records[0].cwd}`);
  console.log(`    command line:   ${records[0].cmdline}`);
  records[0].argv.forEach((arg, i) => console.log(`    argv[${i}] = ${arg}`));
} catch (error) {
  console.error('error: ' + error.message);
  failed = true;
} finally {
  server.close();
  await listener.stop();
}
process.exit(failed ? 1 : 0);
