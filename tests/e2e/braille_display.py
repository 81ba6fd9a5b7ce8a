#!/usr/bin/env python3
# A braille display with no hardware, for BRLTTY's virtual ("vr") driver:
# it listens on a Unix socket, takes brltty's connection (brltty -b vr -d
# client:SOCKET), says it has CELLS cells, and logs every line of cells it is
# sent, each with the time it arrived on the monotonic clock, one per line:
#
#   12.345678 Visual "Welcome to Quillvane, version (0.7 beta"
#
# Its keys are the lines written to the FIFO KEYS (brltty's command names:
# FWinRt and FWinLt pan right and left), each sent to brltty as the
# display's own key press and logged as "12.345678 key FWinRt". Keys are
# sent at most one per 250 ms, as fingers press them: BRLTTY's virtual
# driver takes one command from what it reads at once, and drops the rest.
#
#   braille_display.py SOCKET KEYS LOG [CELLS]
#
# Runs until the process is ended; a BRLTTY that ends may be followed by
# another.
import os
import selectors
import socket
import sys
import time

path, keys_path, log_path = sys.argv[1:4]
cells = int(sys.argv[4]) if len(sys.argv) > 4 else 40

if os.path.exists(path):
    os.unlink(path)
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(path)
server.listen(1)
if not os.path.exists(keys_path):
    os.mkfifo(keys_path)
# Opened for reading and writing, so that the FIFO never reports its end
# when a writer closes it.
keys = os.open(keys_path, os.O_RDWR | os.O_NONBLOCK)
log = open(log_path, "a", buffering=1)


def note(text):
    log.write(f"{time.monotonic():.6f} {text}\n")


# One BRLTTY at a time; when it closes the connection (it ended), the next
# one may connect.
selector = selectors.DefaultSelector()
selector.register(keys, selectors.EVENT_READ, "keys")
while True:
    connection, _ = server.accept()
    connection.sendall(f"cells {cells}\n".encode())
    note(f"connected {cells}")
    selector.register(connection, selectors.EVENT_READ, "brltty")
    from_brltty = b""
    from_keys = b""
    waiting = []  # keys not yet sent
    next_key_at = 0.0
    open_ = True
    while open_:
        now = time.monotonic()
        if waiting and now >= next_key_at:
            name = waiting.pop(0)
            connection.sendall(f"{name}\n".encode())
            note(f"key {name}")
            next_key_at = now + 0.25
        timeout = max(0.0, next_key_at - time.monotonic()) if waiting else None
        for ready, _ in selector.select(timeout):
            if ready.data == "brltty":
                got = connection.recv(65536)
                if not got:
                    note("closed")
                    selector.unregister(connection)
                    connection.close()
                    open_ = False
                    break
                from_brltty += got
                while b"\n" in from_brltty:
                    line, from_brltty = from_brltty.split(b"\n", 1)
                    line = line.rstrip(b"\r").decode("utf-8", "replace")
                    # The cells as dots and the status cells repeat the text.
                    if line.startswith("Visual "):
                        note(line)
            else:
                from_keys += os.read(keys, 4096)
                while b"\n" in from_keys:
                    line, from_keys = from_keys.split(b"\n", 1)
                    name = line.decode().strip()
                    if name:
                        waiting.append(name)
