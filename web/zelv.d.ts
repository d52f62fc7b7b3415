// Types for zelv.js.

/** "running": ZelvListener answered /ping. "blocked": the browser refused the request for
 *  lack of local-network permission (or is still asking the player). "not-running":
 *  nothing answered. */
export type State = 'running' | 'blocked' | 'not-running';

/** The browser's answer for loopback access; "unsupported" where it has no such permission. */
export type Permission = 'granted' | 'denied' | 'prompt' | 'unsupported';

export interface Detection {
  state: State;
  permission: Permission;
}

/** A join; empty values are left out, and only game is required. */
export interface JoinParams {
  host?: string;
  port?: string | number;
  core?: string;
  game: string;
  relay?: string;
  session?: string;
  password?: string;
  nickname?: string;
}

export interface JoinResult extends Detection {
  /** True only for 200 "Launcher started.": kovrin.exe was started. */
  ok: boolean;
  /** The HTTP status; 0 when no reply came. */
  status: number;
  /** The reply's body: "Launcher started." or "Failed to start launcher."; empty without a reply. */
  text: string;
}

export const LISTENER: 'http://127.0.0.1:8080';

export function detect(options?: { timeoutMs?: number }): Promise<Detection>;

/** The exact join URL; throws a TypeError for an unknown key or a missing game. */
export function joinUrl(params: JoinParams): string;

export function join(params: JoinParams, options?: { timeoutMs?: number }): Promise<JoinResult>;

/** Calls onChange whenever the permission changes; resolves to the permission now. */
export function watchPermission(onChange: (permission: Permission) => void): Promise<Permission>;
