// How a lobby page written in TypeScript uses web/zelv.js; tsc --noEmit checks it against
// zelv.d.ts. Each @ts-expect-error marks a mistake the types must catch.
import { detect, join, joinUrl, watchPermission, type JoinParams, type State } from '../../../web/zelv.js';

export async function lobby(room: { host: string; port: number; game: string }): Promise<string> {
  const { state, permission } = await detect({ timeoutMs: 1000 });
  if (state === 'blocked') return `allow local network access (permission: ${permission})`;
  // @ts-expect-error: no such state
  if (state === 'stopped') return 'never';

  const params: JoinParams = { host: room.host, port: room.port, game: room.game, nickname: 'Zoë' };
  const link: string = joinUrl(params);
  const result = await join(params);
  const status: number = result.status;
  const after: State = result.state;
  return result.ok ? link : `${status} ${result.text} ${after}`;
}

export function mistakes(): void {
  // @ts-expect-error: a join needs a game
  joinUrl({ host: '192.0.2.7' });
  // @ts-expect-error: an unknown key
  joinUrl({ game: 'Tetris.gb', hots: '192.0.2.7' });
  // @ts-expect-error: values are text or a port number
  join({ game: 'Tetris.gb', nickname: 7 });
  // @ts-expect-error: timeoutMs is a number
  detect({ timeoutMs: '1500' });
  watchPermission((permission) => {
    // @ts-expect-error: no such permission
    if (permission === 'allowed') return;
  });
}
