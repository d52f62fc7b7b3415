// One join through the example lobby page with the real listener: ZelvListener.exe under
// Wine in the player's folder, examples/lobby.html served on loopback with the join in its
// query, as a lobby link has it, and Join pressed in headless Chromium or by the user.
// Ends once kovrin has started RetroArch and the listener has been stopped the way the
// tray menu's Exit stops it; exits 1 when any step went wrong.
//
//   node browser_join.mjs <player folder> <join query> [--port N] [--headless]
//                         [--expect-request TARGET] [--show-log]
import { spawn } from 'node:child_process';
import path from 'node:path';

import {
  EXAMPLES_DIR, PAGE_TEXT, joinThroughPage, launchChromium, logLines, serveFolder, startListener, waitFor,
} from '../browser/support.mjs';

const args = process.argv.slice(2);
const option = (name) => { const i = args.indexOf(name); return i >= 0 ? args[i + 1] : undefined; };
const folder = path.resolve(args[0]);
const fields = Object.fromEntries(new URLSearchParams(args[1]));
const pagePort = Number(option('--port') ?? 8000);
const headless = args.includes('--headless');
const expectedRequest = option('--expect-request');
const pageUrl = `http://127.0.0.1:${pagePort}/lobby.html?` + new URLSearchParams(fields);

const say = (text) => console.log('    ' + text);
const logged = (suffix) => logLines(folder).filter((line) => line.endsWith('] ' + suffix));
const check = (ok, what) => { if (!ok) throw new Error(what + '\nlauncher-log.txt:\n' + logLines(folder).join('\n')); };

say('starting ZelvListener.exe in ' + folder + ' (under Wine)');
const listener = await startListener(folder);
let server, browser;
let failed = false;
try {
  server = await serveFolder(EXAMPLES_DIR, pagePort);
  say('serving the example lobby page at ' + pageUrl);
  if (headless) {
    say('clicking Join in headless Chromium');
    browser = await launchChromium();
    const seen = await joinThroughPage(await browser.newPage(), pageUrl, {});
    say(`the page showed: "${seen.status}" then "${seen.answer}"`);
    check(seen.status === PAGE_TEXT.running, 'the page did not find the listener');
    check(seen.answer === PAGE_TEXT.started, 'the page did not say "Launcher started."');
  } else {
    say('opening the page in your browser: press Join there (waiting up to 5 minutes)');
    spawn('xdg-open', [pageUrl], { stdio: 'ignore', detached: true }).unref();
  }
  const done = await waitFor(() => logLines(folder).find((line) => line.endsWith('] RetroArch launched successfully.')
    || /\] (Failed to launch RetroArch|Core not found|Game not found|READ ERROR|CONFIG PARSE ERROR)/.test(line)),
  headless ? 20000 : 300000, 100);
  check(done?.endsWith('RetroArch launched successfully.'), 'kovrin did not start RetroArch');
  if (expectedRequest !== undefined) {
    // The page percent-encodes each field; the listener hands the query on unchanged.
    check(logged(`Request: GET ${expectedRequest} HTTP/1.1`).length === 1, 'the request line is not ' + expectedRequest);
    const query = expectedRequest.slice(expectedRequest.indexOf('?') + 1);
    check(logged('Calling launcher with URI: zelv://join?' + query).length === 1, 'the listener did not pass the query on as it came');
    check(logged('ARGS: zelv://join?' + query).length === 1, 'kovrin did not receive the join URI');
    check(logged('Launcher started').length === 1, 'one click did not start exactly one launcher');
  }
} catch (error) {
  console.error('error: ' + error.message);
  failed = true;
} finally {
  await browser?.close();
  server?.close();
  say('stopping the listener (WM_CLOSE, as the tray menu\'s Exit)');
  await listener.stop();
}
const last = logLines(folder).at(-1) ?? '';
if (!last.endsWith('] ZelvListener exiting')) {
  console.error('error: the listener did not end the orderly way; its last log line: ' + last);
  failed = true;
}
if (args.includes('--show-log')) {
  console.log('\n==> launcher-log.txt');
  for (const line of logLines(folder)) say(line);
}
process.exit(failed ? 1 : 0);
