#!/usr/bin/env python3
"""A stand-in for speech-dispatcher on a Unix socket, for the stalled-voice
scenarios. Point the game at it with SPEECHD_ADDRESS=unix_socket:SOCKET.

    fake_speechd.py SOCKET silent          accepts and reads, never answers
    fake_speechd.py SOCKET late:SECONDS [RECORD]
        answers in SSIP, but sends no reply before SECONDS after it started;
        the text of every message is appended to RECORD, one line each.
        Once the first reply has gone out, the file SOCKET.answering is made,
        for a test to wait on.
"""
import os
import socket
import sys
import threading
import time

path, mode = sys.argv[1], sys.argv[2]
record = sys.argv[3] if len(sys.argv) > 3 else None
started = time.monotonic()
delay = float(mode.split(":", 1)[1]) if mode.startswith("late:") else None
record_lock = threading.Lock()
message_id = [0]
answering = threading.Event()


def reply_for(command):
    words = command.split()
    verb = words[0].upper() if words else ""
    if verb == "SET":
        return "200 OK SET"
    if verb in ("CANCEL", "STOP"):
        return "210 OK CANCELED"
    if verb == "QUIT":
        return "231 HAPPY HACKING"
    return "500 ERR UNKNOWN COMMAND"


def serve(connection):
    stream = connection.makefile("rb")
    speaking = None

    def send(text):
        if delay is not None:
            wait = started + delay - time.monotonic()
            if wait > 0:
                time.sleep(wait)
        connection.sendall(text.encode() + b"\r\n")
        if not answering.is_set():
            answering.set()
            open(path + ".answering", "w").close()

    try:
        for raw in stream:
            line = raw.decode("utf-8", "replace").rstrip("\r\n")
            if delay is None:
                continue  # silent: read everything, answer nothing
            if speaking is not None:
                if line == ".":
                    with record_lock:
                        message_id[0] += 1
                        number = message_id[0]
                        if record:
                            with open(record, "a", encoding="utf-8") as out:
                                out.write("\n".join(speaking) + "\n")
                    send("225-%d\r\n225 OK MESSAGE QUEUED" % number)
                    speaking = None
                else:
                    speaking.append(line[1:] if line.startswith("..") else line)
                continue
            if line.upper() == "SPEAK":
                speaking = []
                send("230 OK RECEIVING DATA")
                continue
            send(reply_for(line))
            if line.upper() == "QUIT":
                break
    except OSError:
        pass
    finally:
        connection.close()


for stale in (path, path + ".answering"):
    if os.path.exists(stale):
        os.unlink(stale)
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(path)
server.listen(16)
while True:
    client, _ = server.accept()
    threading.Thread(target=serve, args=(client,), daemon=True).start()
