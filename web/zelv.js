// Zelv for lobby pages: find ZelvListener on the player's computer and ask it to join a
// netplay game. No dependencies; load it with <script type="module"> or through a bundler.
//
//   import { detect, join } from './zelv.js';
//   if ((await detect()).state === 'running') await join({ host, core, game });

export const LISTENER = 'http://127.0.0.1:8080';

// The join keys, in the order the URL carries them.
const KEYS = ['host', 'port', 'core', 'game', 'relay', 'session', 'password', 'nickname'];

// Chromium gates requests to 127.0.0.1 by "loopback-network" since version 145, and by
// "local-network-access" in 142 to 144; other browsers know neither.
const PERMISSION_NAMES = ['loopback-network', 'local-network-access'];

async function permissionStatus() {
  if (!globalThis.navigator?.permissions?.query) return null;
  for (const name of PERMISSION_NAMES) {
    try {
      return await navigator.permissions.query({ name });
    } catch {
      // This browser does not know that name; try the next.
    }
  }
  return null;
}

async function permission() {
  return (await permissionStatus())?.state ?? 'unsupported';
}

// Calls onChange with the new permission each time the player answers the browser's
// prompt or changes the site settings; resolves to the permission now.
export async function watchPermission(onChange) {
  const status = await permissionStatus();
  status?.addEventListener('change', () => onChange(status.state));
  return status?.state ?? 'unsupported';
}

// One plain GET: no custom headers and no credentials, so the browser sends no preflight.
// The timer covers the body too. A request cut by the timer is never sent later: Chromium
// drops it even when the player allows access afterwards.
async function ask(path, timeoutMs) {
  const controller = new AbortController();
  const timer = setTimeout(() => controller.abort(), timeoutMs);
  try {
    const reply = await fetch(LISTENER + path, {
      cache: 'no-store', signal: controller.signal, targetAddressSpace: 'loopback',
    });
    return { status: reply.status, text: await reply.text() };
  } catch {
    return { status: 0, text: '', timedOut: controller.signal.aborted };
  } finally {
    clearTimeout(timer);
  }
}

// A blocked request and a stopped listener fail alike, so the permission decides. While
// Chromium asks the player, it holds the request until the answer: a request that times
// out under an open question is blocked too. Nothing listening fails at once.
async function afterFailure(timedOut) {
  const now = await permission();
  const blocked = now === 'denied' || (timedOut && now === 'prompt');
  return { state: blocked ? 'blocked' : 'not-running', permission: now };
}

export async function detect({ timeoutMs = 1500 } = {}) {
  const reply = await ask('/ping', timeoutMs);
  if (reply.status === 0) return afterFailure(reply.timedOut);
  const running = reply.status === 200 && reply.text === 'pong';
  return { state: running ? 'running' : 'not-running', permission: await permission() };
}

export function joinUrl(params) {
  const values = params ?? {};
  for (const key of Object.keys(values)) {
    if (!KEYS.includes(key)) throw new TypeError(`zelv: unknown join key "${key}"`);
  }
  const given = (key) => values[key] !== undefined && values[key] !== null && String(values[key]) !== '';
  if (!given('game')) throw new TypeError('zelv: a join needs a game');
  // The launcher percent-decodes each value and reads '+' as a blank: encode every value.
  const pairs = KEYS.filter(given).map((key) => key + '=' + encodeURIComponent(values[key]));
  return LISTENER + '/join?' + pairs.join('&');
}

// "Launcher started." means kovrin.exe was started; whether it found the core and the game
// and started RetroArch is only in the player's log.
export async function join(params, { timeoutMs = 5000 } = {}) {
  const url = joinUrl(params);
  const reply = await ask(url.slice(LISTENER.length), timeoutMs);
  if (reply.status === 0) return { ok: false, status: 0, text: '', ...(await afterFailure(reply.timedOut)) };
  return {
    ok: reply.status === 200 && reply.text === 'Launcher started.',
    status: reply.status,
    text: reply.text,
    state: 'running',
    permission: await permission(),
  };
}
