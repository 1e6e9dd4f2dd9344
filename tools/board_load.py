#!/usr/bin/env python3
"""Many simulated consoles on one broker, for the pump board's scale figures.

Each pump publishes its retained status and a reading on <root>/<id>/pressure
at the console's poll rate (every 1.5 s), and its status again when the
reading changed, at most once a second, as a console does. Every message also
carries "sent_ms", the wall-clock time it was sent in milliseconds since the
epoch, so that a subscriber can tell how long it took to reach it.

    tools/board_load.py --port 1883 --pumps 200 --seconds 60

With --alarms R, R readings a second (spread over the pumps) are over the
pressure limit and carry "alarm": true, so that a subscriber can time an
alarm from its publisher to its screen; the pump's next reading ends it.

Plain MQTT 3.1.1 over one socket; no client library needed.
"""
import argparse
import heapq
import json
import random
import socket
import struct
import time


def remaining_length(n):
    out = bytearray()
    while True:
        byte, n = n % 128, n // 128
        out.append(byte | (0x80 if n else 0))
        if not n:
            return bytes(out)


def packet(kind, body):
    return bytes([kind]) + remaining_length(len(body)) + body


def text(s):
    data = s.encode()
    return struct.pack("!H", len(data)) + data


def connect(host, port):
    sock = socket.create_connection((host, port))
    body = text("MQTT") + bytes([4, 0x02]) + struct.pack("!H", 60) + text("board-load-%d" % random.getrandbits(32))
    sock.sendall(packet(0x10, body))
    if sock.recv(4)[:1] != b"\x20":
        raise SystemExit("the broker did not accept the connection")
    return sock


def publish(sock, topic, payload, retain=False):
    sock.sendall(packet(0x30 | (1 if retain else 0), text(topic) + payload.encode()))


def iso_now():
    now = time.time()
    return time.strftime("%Y-%m-%dT%H:%M:%S", time.localtime(now)) + ".%03d" % (now % 1 * 1000) + \
        time.strftime("%z", time.localtime(now))[:3] + ":" + time.strftime("%z", time.localtime(now))[3:]


def status(pump_id, pressure, running):
    return json.dumps({
        "pump_id": pump_id, "online": True, "link": "answering", "port": "sim",
        "pump": "RUN" if running else "STOP", "flow_ml_min": 150, "pressure_limit_mpa": 5.0,
        "pressure_mpa": pressure, "run": {"state": "idle", "seconds_left": None},
        "time": iso_now(), "remote_control": False, "sent_ms": int(time.time() * 1000)})


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=1883)
    parser.add_argument("--root", default="pumps")
    parser.add_argument("--pumps", type=int, default=200)
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--period", type=float, default=1.5, help="seconds between readings")
    parser.add_argument("--alarms", type=float, default=0, help="alarm readings a second")
    args = parser.parse_args()

    sock = connect(args.host, args.port)
    ids = ["L%03d" % n for n in range(1, args.pumps + 1)]
    # Spread the pumps over the period, as consoles started at different times are.
    start = time.monotonic()
    due = [(start + args.period * i / len(ids), pump) for i, pump in enumerate(ids)]
    heapq.heapify(due)
    last_status = {pump: 0.0 for pump in ids}
    end = start + args.seconds
    next_alarm = start + 1 / args.alarms if args.alarms else end
    sent = 0
    while time.monotonic() < end:
        at, pump = heapq.heappop(due)
        time.sleep(max(0.0, at - time.monotonic()))
        reading = {"time": iso_now(), "pressure_mpa": round(random.uniform(0.5, 4.5), 1)}
        if args.alarms and time.monotonic() >= next_alarm:
            reading.update({"pressure_mpa": 5.5, "alarm": True})
            next_alarm += 1 / args.alarms
        pressure = reading["pressure_mpa"]
        reading["sent_ms"] = int(time.time() * 1000)
        publish(sock, "%s/%s/pressure" % (args.root, pump), json.dumps(reading))
        sent += 1
        if time.monotonic() - last_status[pump] >= 1.0:
            publish(sock, "%s/%s/status" % (args.root, pump), status(pump, pressure, True), retain=True)
            last_status[pump] = time.monotonic()
            sent += 1
        heapq.heappush(due, (at + args.period, pump))
    sock.sendall(packet(0xE0, b""))
    print("sent %d messages for %d pumps in %.0f s" % (sent, len(ids), args.seconds))


if __name__ == "__main__":
    main()
