#!/usr/bin/env python3
"""A hostile telnet host on 127.0.0.1 for one client: hostile_host.py MODE PORT.

burst     1 GB of plain text as fast as the client takes it
storm     telnet option requests without end, never reading an answer
controls  every escape and control sequence, again and again, status requests included
"""
import socket
import sys

IAC, DO, DONT = 255, 253, 254


def controls():
    seqs = [b"\x1b" + bytes([c]) for c in range(0x20, 0x7f)]
    for final in range(0x40, 0x7f):
        for params in (b"", b"6", b"?6", b">0", b"=1", b"999;999", b"?1049", b"5$"):
            seqs.append(b"\x1b[" + params + bytes([final]))
    for request in (b'$q"p', b"$qm", b"$qr", b"$q q", b'$q"q', b"+q544e", b"1$r"):
        seqs.append(b"\x1bP" + request + b"\x1b\\")
    for n in range(0, 120):
        seqs.append(b"\x1b]%d;?\x07" % n)
    seqs.append(b"\x1b]52;c;?\x1b\\")
    return b"".join(seqs) + bytes(range(0, 32)) + "\u0090$q\"p\u009c\u009b6n".encode()


def main():
    mode, port = sys.argv[1], int(sys.argv[2])
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
    server.bind(("127.0.0.1", port))
    server.listen(1)
    conn, _ = server.accept()
    try:
        if mode == "burst":
            block = (b"x" * 79 + b"\n") * (1 << 14)
            for _ in range((1 << 30) // len(block)):
                conn.sendall(block)
        elif mode == "storm":
            storm = bytes([IAC, DO, 24, IAC, DONT, 24]) * (1 << 16)
            while True:
                conn.sendall(storm)
        else:
            block = controls()
            while True:
                conn.sendall(block)
    except OSError:
        pass


if __name__ == "__main__":
    main()
