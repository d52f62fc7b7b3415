#!/usr/bin/env python3
"""A stand-in netplay relay on loopback, speaking RetroArch's tunnel protocol.

Usage: relay.py PORT SESSION_FILE [--never-accept]

Every id on the wire is a 4-byte ASCII magic followed by 12 bytes:
  host:   "RATS" + 12 zero bytes        -> "RATS" + a new session id; this connection is
                                           the session's control channel
  client: "RATS" + session id, then its netplay header; it waits, and the host is sent
          "RATL" + a new link id on the control channel
  host:   "RATA" + link id (control)    -> "RATA" + link id + the client's address as 16
                                           bytes (IPv6, IPv4 mapped); zeros for an unknown link
  host:   "RATL" + link id (new connection): piped to the waiting client, both ways
  "RATP" alone is a keepalive the host echoes.

The session id, base64 (16 characters), is written to SESSION_FILE, since RetroArch never
shows it. With --never-accept the relay reads "RATA" requests but never answers them, so
no client can get through: a check that a relay join needs every step of the tunnel.
"""
import asyncio
import base64
import ipaddress
import os
import sys

ID_LEN = 12
ZERO_ID = bytes(ID_LEN)


def say(text: str) -> None:
    print("relay: " + text, flush=True)


def address_bytes(peer) -> bytes:
    address = ipaddress.ip_address(peer[0])
    if address.version == 4:
        address = ipaddress.IPv6Address("::ffff:" + str(address))
    return address.packed


def new_id(taken) -> bytes:
    while True:
        ident = os.urandom(ID_LEN)
        if ident != ZERO_ID and ident not in taken:
            return ident


class Relay:
    def __init__(self, session_file: str, never_accept: bool):
        self.session_file = session_file
        self.never_accept = never_accept
        self.hosts = {}    # session id -> the host's control channel writer
        self.waiting = {}  # link id -> (client reader, client writer)

    async def serve(self, reader, writer):
        try:
            hello = await reader.readexactly(4 + ID_LEN)
        except (asyncio.IncompleteReadError, ConnectionError):
            writer.close()
            return
        magic, ident = hello[:4], hello[4:]
        if magic == b"RATS" and ident == ZERO_ID:
            await self.control(reader, writer)
        elif magic == b"RATS":
            await self.client(ident, reader, writer)
        elif magic == b"RATL":
            await self.link(ident, reader, writer)
        else:
            say(f"closing a connection that began with {hello[:4]!r}")
            writer.close()

    async def control(self, reader, writer):
        session = new_id(self.hosts)
        self.hosts[session] = writer
        writer.write(b"RATS" + session)
        await writer.drain()
        text = base64.b64encode(session).decode("ascii")
        with open(self.session_file + ".new", "w", encoding="ascii") as file:
            file.write(text + "\n")
        os.replace(self.session_file + ".new", self.session_file)
        say(f"host {writer.get_extra_info('peername')} opened session {text}")
        try:
            while True:
                magic = await reader.readexactly(4)
                if magic == b"RATP":
                    continue
                if magic != b"RATA":
                    say(f"unknown request {magic!r} on the control channel")
                    break
                link = await reader.readexactly(ID_LEN)
                if self.never_accept:
                    say(f"RATA for link {link.hex()} left unanswered (--never-accept)")
                    continue
                pending = self.waiting.get(link)
                peer = address_bytes(pending[1].get_extra_info("peername")) if pending else bytes(16)
                writer.write(b"RATA" + link + peer)
                await writer.drain()
                say(f"RATA for link {link.hex()}: {'client address sent' if pending else 'unknown link, zeros sent'}")
        except (asyncio.IncompleteReadError, ConnectionError):
            pass
        del self.hosts[session]
        say(f"session {text} closed by its host")
        writer.close()

    async def client(self, session, reader, writer):
        host = self.hosts.get(session)
        if host is None:
            say(f"client {writer.get_extra_info('peername')} asked for unknown session "
                f"{base64.b64encode(session).decode('ascii')}: closed")
            writer.close()
            return
        link = new_id(self.waiting)
        # What the client sends meanwhile stays in its reader's buffer and goes first.
        self.waiting[link] = (reader, writer)
        host.write(b"RATL" + link)
        await host.drain()
        say(f"client {writer.get_extra_info('peername')} waits on link {link.hex()}")

    async def link(self, link, reader, writer):
        pending = self.waiting.pop(link, None)
        if pending is None:
            say(f"link connection for unknown link {link.hex()}: closed")
            writer.close()
            return
        say(f"link {link.hex()} joined: piping host and client")
        client_reader, client_writer = pending
        await asyncio.gather(pipe(client_reader, writer), pipe(reader, client_writer))
        say(f"link {link.hex()} ended")


async def pipe(reader, writer):
    try:
        while data := await reader.read(65536):
            writer.write(data)
            await writer.drain()
    except ConnectionError:
        pass
    finally:
        writer.close()


async def main() -> int:
    args = [a for a in sys.argv[1:] if a != "--never-accept"]
    if len(args) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    relay = Relay(args[1], "--never-accept" in sys.argv)
    server = await asyncio.start_server(relay.serve, "127.0.0.1", int(args[0]))
    say(f"listening on 127.0.0.1:{args[0]}{' (never answering RATA)' if relay.never_accept else ''}")
    async with server:
        await server.serve_forever()
    return 0


if __name__ == "__main__":
    try:
        sys.exit(asyncio.run(main()))
    except KeyboardInterrupt:
        sys.exit(130)
